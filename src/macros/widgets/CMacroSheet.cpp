#include "macros/widgets/CMacroSheet.h"

#include "macros/MacroPages.h"
#include "macros/SerialReseed.h"
#include "macros/widgets/CMacroEmbedded.h"
#include "macros/widgets/CMacroKeysPage.h"
#include "macros/widgets/CMacroMain.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

CMacroSheet::CMacroSheet(SettingsStore& settings, CVELTRANDoc* doc, QPrinter* printer, QWidget* parent)
    : QDialog(parent), m_store(settings), m_pDoc(doc)
{
    setWindowTitle(QStringLiteral("Edit Macros"));
    m_tabs = new QTabWidget(this);
    m_tabs->setUsesScrollButtons(false);  // all eight tabs in view
    m_pages = {new CMacroMain(m_store, printer), new CMacroEmbedded(m_store), new CMacroAF(m_store),
               new CMacroHQ(m_store),           new CMacroUZ(m_store),       new CMacro04(m_store),
               new CMacro59(m_store),           new CMacroF1F9(m_store)};
    for (size_t i = 0; i < m_pages.size(); ++i)
        m_tabs->addTab(m_pages[i], QString::fromLatin1(MacroPages::All()[i].title));
    // OK and Cancel only: edits take effect when the sheet closes.
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CMacroSheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CMacroSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CMacroSheet::PageChanged);
}

int CMacroSheet::DoModal()
{
    SerialReseed serial(m_store, m_pDoc);
    const int result = exec();
    serial.AfterClose(result == QDialog::Accepted);
    return result;
}

void CMacroSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_nActive < 0)
        PageChanged(m_tabs->currentIndex());
}

void CMacroSheet::PageChanged(int index)
{
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        return;
    m_nActive = index;
    m_pages[static_cast<size_t>(index)]->Activate();
}

void CMacroSheet::accept()
{
    for (CMacroPage* page : m_pages) {
        if (page->WasShown())
            page->OnOK();
    }
    QDialog::accept();
}
