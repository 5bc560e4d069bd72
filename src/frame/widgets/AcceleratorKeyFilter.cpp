#include "frame/widgets/AcceleratorKeyFilter.h"

#include "app/CommandTable.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <algorithm>

namespace {

bool IsAccelerator(const QKeyEvent& key)
{
    // The keypad flag only says where Insert or Delete sit on the keyboard.
    const QKeyCombination pressed(key.modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(key.key()));
    return std::any_of(AcceleratorTable().begin(), AcceleratorTable().end(), [&](const Accelerator& a) {
        const QKeySequence keys(QString::fromLatin1(a.keys));
        return keys.count() == 1 && keys[0] == pressed;
    });
}

}  // namespace

AcceleratorKeyFilter::AcceleratorKeyFilter(QObject* parent) : QObject(parent)
{
    // On the application, so that filters installed later for a while (the
    // splash, the keyboard split mover) see keys first; Qt takes a deleted
    // filter off by itself.
    qApp->installEventFilter(this);
}

void AcceleratorKeyFilter::Watch(QWidget* pane)
{
    if (pane)
        m_panes.emplace_back(pane);
}

bool AcceleratorKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    if (std::find(m_panes.begin(), m_panes.end(), watched) == m_panes.end())
        return false;
    return IsAccelerator(*static_cast<QKeyEvent*>(event));
}
