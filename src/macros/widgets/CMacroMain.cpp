#include "macros/widgets/CMacroMain.h"

#include "macros/MacroPages.h"
#include "macros/widgets/DialogUnits.h"
#include "macros/widgets/MacroListPrinter.h"

#include <QHBoxLayout>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

CMacroMain::CMacroMain(MacroStore& store, QPrinter* printer, QWidget* parent)
    : CMacroPage(parent), m_store(store), m_printer(printer)
{
    const MacroPageInfo& info = *MacroPages::Find("CMacroMain");
    setObjectName(QString::fromLatin1(info.className));
    setMinimumSize(DialogUnits::Size(*this, info.widthDlu, info.heightDlu));
    auto* print = new QPushButton(QString::fromLatin1(MacroPages::kPrintButton), this);
    print->setObjectName(QStringLiteral("print"));
    print->setAutoDefault(false);
    auto* preview = new QPushButton(QStringLiteral("Print Pre&view"), this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setAutoDefault(false);
    connect(print, &QPushButton::clicked, this, &CMacroMain::PrintMacroList);
    connect(preview, &QPushButton::clicked, this, &CMacroMain::PreviewMacroList);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(print);
    row->addWidget(preview);
    row->addStretch(1);
    auto* page = new QVBoxLayout(this);
    page->addStretch(1);
    page->addLayout(row);
    page->addStretch(1);
}

CMacroMain::~CMacroMain() = default;

QPrinter& CMacroMain::Printer()
{
    if (m_printer)
        return *m_printer;
    if (!m_ownPrinter)
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_ownPrinter;
}

void CMacroMain::PrintMacroList()
{
    MacroListPrinter::PrintWithDialog(Printer(), m_store, this);
}

void CMacroMain::PreviewMacroList()
{
    MacroListPrinter::Preview(Printer(), m_store, this);
}
