#pragma once
// The "Main" page: no keys, only the "&Print" button that prints the macro
// list (PrintMacroList), and our "Print Pre&view" button beside it, which
// shows the same page in the print preview as the panes' Print Preview does.
#include "macros/widgets/CMacroPage.h"

#include <memory>

class MacroStore;
class QPrinter;

class CMacroMain : public CMacroPage {
    Q_OBJECT

public:
    // `printer` is the program's shared printer (its set-up is kept between
    // prints); nullptr uses a printer of the page's own.
    CMacroMain(MacroStore& store, QPrinter* printer, QWidget* parent = nullptr);
    ~CMacroMain() override;

    void OnSetActive() override {}
    void OnOK() override {}

    // The print dialog, then the list as stored now on one page.
    void PrintMacroList();
    void PreviewMacroList();

private:
    QPrinter& Printer();

    MacroStore& m_store;
    QPrinter* m_printer;
    std::unique_ptr<QPrinter> m_ownPrinter;
};
