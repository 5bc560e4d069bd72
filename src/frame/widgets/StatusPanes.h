#pragma once
// The status bar's ten panes, left to right: 0 the stretching message pane
// (prompts, or its idle text), 1 and 2 blank spacers, 3 the idle-fill text,
// 4 the automatic-mode text, 5 the data mode, 6 the baud rate, 7 to 9 the
// caps, num and scroll lock indicators; the rig's dial frequency stands
// before them. Each pane's initial text fixes its width for good. Panes 3 and
// 4 keep the text last written and show it again at every Refresh.
// User-interface thread only.
#include <QString>
#include <array>
#include <string>

class QLabel;
class QStatusBar;

class StatusPanes {
public:
    // Fills `bar`, which must outlive this.
    explicit StatusPanes(QStatusBar& bar);

    void SetDiddleText(const std::string& text);
    void SetAutoText(const std::string& text);
    void SetModeText(const std::string& text);
    void SetBaudNumber(int n);
    // Panes 5 and 6: the tool tip names the ports' devices; `down` marks them.
    void MarkPorts(const QString& tip, bool down);
    // Pane 0; an empty text brings back the idle text.
    void SetMessage(const QString& text);
    // Shows panes 3 and 4's stored texts again and reads the lock keys.
    void Refresh();

    // Pane 0..9's text as shown; empty for another number.
    QString Text(int pane) const;

private:
    void RefreshLockPanes();

    QStatusBar& m_bar;
    std::array<QLabel*, 10> m_panes{};  // [0] unused: pane 0 is the bar's message area
    QLabel* m_idleLabel = nullptr;
    std::string m_diddleText;
    std::string m_autoText;
};
