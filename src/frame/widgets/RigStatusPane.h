#pragma once
// The status bar pane of the rig (RigPaneText), read from the program's rig
// once a second on the user-interface thread. Reading never waits for the
// radio: the rig's own thread keeps the reading.
#include <QLabel>
#include <QTimer>

class RigStatusPane : public QLabel {
    Q_OBJECT

public:
    explicit RigStatusPane(QWidget* parent = nullptr);
    void Refresh();

private:
    QTimer m_timer;
};
