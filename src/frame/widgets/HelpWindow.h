#pragma once
// Help, "&Help Topics" and F1: the user guide shipped in the resources
// (":/help/guide.html"), shown in a window of its own beside the main window.
#include <QDialog>

class QTextBrowser;

class HelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);
    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
