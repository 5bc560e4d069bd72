#pragma once
// The macro editor "Edit Macros": a modal sheet of eight tabbed pages
// ("Main", "Embedded", "A-G", "H-L", "U-Z", "0-4", "5-9", "F2-F9") with OK
// and Cancel only. Each page reloads its keys whenever it becomes the current
// tab; OK makes every page that was shown write all its keys, Cancel writes
// nothing. Around the run the starting serial number "I" is handled by
// SerialReseed: changed through the sheet and confirmed, it re-seeds the
// document's running serial number; otherwise its old text is written back.
// User-interface thread only.
#include "macros/MacroStore.h"

#include <QDialog>
#include <vector>

class CMacroPage;
class CVELTRANDoc;
class QDialogButtonBox;
class QPrinter;
class QTabWidget;
class SettingsStore;

class CMacroSheet : public QDialog {
    Q_OBJECT

public:
    // `doc` is the receive pane's document, nullptr when there is none;
    // `printer` the shared printer for the macro list (nullptr: the sheet's own).
    CMacroSheet(SettingsStore& settings, CVELTRANDoc* doc, QPrinter* printer, QWidget* parent = nullptr);

    // Runs the sheet modally and then handles "I"; returns Accepted or Rejected.
    int DoModal();

    QTabWidget* Tabs() const { return m_tabs; }
    QDialogButtonBox* Buttons() const { return m_buttons; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PageChanged(int index);

    MacroStore m_store;
    CVELTRANDoc* m_pDoc;
    QTabWidget* m_tabs = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    std::vector<CMacroPage*> m_pages;  // tab order, owned by the tabs
    int m_nActive = -1;
};
