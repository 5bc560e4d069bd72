#include "frame/widgets/CKCallDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>

CKCallDialog::CKCallDialog(const std::string& call, QWidget* parent) : QDialog(parent), m_strCall(call)
{
    setWindowTitle(QStringLiteral("Set the Called Station (K)"));
    auto* layout = new QHBoxLayout(this);
    m_edit = new QLineEdit(QString::fromLatin1(call.data(), static_cast<qsizetype>(call.size())), this);
    m_edit->setObjectName(QStringLiteral("call"));
    m_edit->setMinimumWidth(m_edit->fontMetrics().averageCharWidth() * 28);
    layout->addWidget(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CKCallDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CKCallDialog::accept()
{
    const QByteArray text = m_edit->text().toLatin1();
    m_strCall.assign(text.constData(), static_cast<size_t>(text.size()));
    QDialog::accept();
}
