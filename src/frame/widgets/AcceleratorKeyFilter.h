#pragma once
// Keeps the accelerator keys of table 128 out of the panes. An enabled
// command's shortcut takes its key before any pane sees it; a disabled one
// lets the key through, and the pane would take it as typing (Ctrl+V with an
// empty clipboard became the "V" macro). This filter drops such a key, so a
// disabled command's key does nothing at all. User-interface thread only.
#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

class AcceleratorKeyFilter : public QObject {
    Q_OBJECT

public:
    explicit AcceleratorKeyFilter(QObject* parent);

    // Keys sent to `pane` itself are looked at.
    void Watch(QWidget* pane);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<QPointer<QWidget>> m_panes;
};
