#include "macros/widgets/CMacroKeysPage.h"

#include "app/Latin1Text.h"
#include "macros/widgets/DialogUnits.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CMacroKeysPage::CMacroKeysPage(const MacroPageInfo& page, MacroStore& store, QWidget* parent)
    : CMacroPage(parent), m_store(store), m_fields(page)
{
    setObjectName(QString::fromLatin1(page.className));
    setMinimumSize(DialogUnits::Size(*this, page.widthDlu, page.heightDlu));
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (const MacroRow& r : page.rows) {
        auto* label = new QLabel(QString::fromLatin1(r.label), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(r.key));
        edit->setFixedWidth(DialogUnits::X(*this, page.fieldWidthDlu));
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        if (*r.note)
            grid->addWidget(new QLabel(QString::fromLatin1(r.note), this), row, 2);
        m_edits[r.key] = edit;
        ++row;
    }
    if (*page.footNote)
        grid->addWidget(new QLabel(QString::fromLatin1(page.footNote), this), row++, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
}

void CMacroKeysPage::OnSetActive()
{
    m_fields.Load(m_store);
    for (const auto& [key, edit] : m_edits) {
        edit->setText(Latin1(m_fields.Text(key)));
        edit->setCursorPosition(0);
    }
}

void CMacroKeysPage::OnOK()
{
    for (const auto& [key, edit] : m_edits) {
        // A field holds only what the store can hold: characters outside
        // Latin-1 (pasted) become "?".
        m_fields.SetText(key, edit->text().toLatin1().toStdString());
    }
    m_fields.Save(m_store);
}
