#pragma once
// View, "S&plit": moves the two pane dividers with the keyboard. While active
// it takes every key: Up/Down move the chosen divider (8 pixels, 1 with Ctrl),
// Tab switches between the two dividers, Enter keeps the new heights and
// Escape puts the old ones back. A mouse press anywhere also ends it, keeping
// the heights. The status bar's message pane says what to do.
#include <QList>
#include <QObject>

class FrameStatus;
class QSplitter;

class SplitKeyboardMover : public QObject {
    Q_OBJECT

public:
    SplitKeyboardMover(QSplitter* splitter, FrameStatus& status, QObject* parent = nullptr);

    void Start();
    bool IsActive() const { return m_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Move(int delta);
    void Finish(bool keep);

    QSplitter* m_splitter;
    FrameStatus& m_status;
    QList<int> m_saved;
    int m_handle = 1;  // 1: between rows 0 and 1; 2: between rows 1 and 2
    bool m_active = false;
};
