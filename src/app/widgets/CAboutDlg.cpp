#include "app/widgets/CAboutDlg.h"

#include "app/AboutInfo.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_memory(new QLabel(this)), m_disk(new QLabel(this))
{
    setWindowTitle(QStringLiteral("About VELTRAN"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/veltran.svg")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto* product = new QLabel(QStringLiteral("<b>VELTRAN</b> Version 1.2"), this);
    auto* notice = new QLabel(QStringLiteral("Radioteletype terminal for RTTY modems\n"
                                             "Copyright (c) 1998 Quorvane\n"
                                             "All rights reserved."),
                              this);

    m_memory->setText(QString::fromLatin1(FormatMemoryLine(PhysicalMemoryBytes()).c_str()));
    const std::string cwd = CurrentDirectory();
    m_disk->setText(QString::fromLocal8Bit(FormatDiskLine(FreeDiskKB(cwd), DiskPlace(cwd)).c_str()));
    m_disk->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    grid->addWidget(icon, 0, 0, 4, 1);
    grid->addWidget(product, 0, 1);
    grid->addWidget(notice, 1, 1);
    grid->addWidget(m_memory, 2, 1);
    grid->addWidget(m_disk, 3, 1);
    grid->setHorizontalSpacing(16);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

QString CAboutDlg::MemoryLine() const
{
    return m_memory->text();
}

QString CAboutDlg::DiskLine() const
{
    return m_disk->text();
}
