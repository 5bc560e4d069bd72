#pragma once
// What the panes may ask of the main window's status bar. The frame implements
// it; a pane calls it on the user-interface thread only. Texts are 8-bit byte
// strings shown as Latin-1.
#include <QString>
#include <string>

class QPrinter;

class FrameStatus {
public:
    virtual ~FrameStatus() = default;

    // Pane 3: stored and re-applied at every interface update ("Diddle" until
    // a pane first writes it).
    virtual void SetDiddlePaneText(const std::string& text) = 0;
    // Pane 4: the automatic-mode and direction text, stored like pane 3.
    virtual void SetAutoPaneText(const std::string& text) = 0;
    // Pane 5: the data mode ("RTTY", "ASCII" or empty); not stored.
    virtual void SetModePaneText(const std::string& text) = 0;
    // Pane 6: a signed decimal number (the baud rate in use, or 0).
    virtual void SetBaudPaneNumber(int n) = 0;
    // Recomputes panes 5 and 6 from the ports the panes have in use.
    virtual void UpdatePortStatus() = 0;
    // The stretching message pane 0.
    virtual void SetMessageText(const QString& text) = 0;
    // The program's one printer, set up by File, "P&rint Setup...": a pane that
    // prints uses it so the chosen printer and page settings apply. May be
    // nullptr (then the pane makes its own default printer).
    virtual QPrinter* SharedPrinter() { return nullptr; }
};
