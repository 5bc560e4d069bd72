#include "frame/widgets/SplitKeyboardMover.h"

#include "views/FrameStatus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSplitter>

namespace {
constexpr int kStep = 8;
}

SplitKeyboardMover::SplitKeyboardMover(QSplitter* splitter, FrameStatus& status, QObject* parent)
    : QObject(parent), m_splitter(splitter), m_status(status)
{
}

void SplitKeyboardMover::Start()
{
    if (m_active || m_splitter->count() < 3)
        return;
    m_active = true;
    m_handle = 1;
    m_saved = m_splitter->sizes();
    qApp->installEventFilter(this);
    m_status.SetMessageText(QStringLiteral(
        "Up/Down move the divider, Tab picks the other one, Enter keeps, Esc cancels"));
}

void SplitKeyboardMover::Move(int delta)
{
    // QSplitter::moveSplitter is protected; move the divider by trading
    // height between the two rows it separates, within their minimums.
    QList<int> sizes = m_splitter->sizes();
    const int above = m_handle - 1;
    const int below = m_handle;
    const int minAbove = std::max(1, m_splitter->widget(above)->minimumHeight());
    const int minBelow = std::max(1, m_splitter->widget(below)->minimumHeight());
    if (delta < 0)
        delta = -std::min(-delta, sizes[above] - minAbove);
    else
        delta = std::min(delta, sizes[below] - minBelow);
    if (delta == 0)
        return;
    sizes[above] += delta;
    sizes[below] -= delta;
    m_splitter->setSizes(sizes);
}

void SplitKeyboardMover::Finish(bool keep)
{
    m_active = false;
    qApp->removeEventFilter(this);
    if (!keep)
        m_splitter->setSizes(m_saved);
    m_status.SetMessageText(QString());
}

bool SplitKeyboardMover::eventFilter(QObject*, QEvent* event)
{
    if (!m_active)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        event->accept();  // no accelerator fires while the dividers move
        return true;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const int step = key->modifiers() & Qt::ControlModifier ? 1 : kStep;
        switch (key->key()) {
        case Qt::Key_Up:
            Move(-step);
            break;
        case Qt::Key_Down:
            Move(step);
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            m_handle = m_handle == 1 ? 2 : 1;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Finish(true);
            break;
        case Qt::Key_Escape:
            Finish(false);
            break;
        default:
            break;
        }
        return true;
    }
    case QEvent::KeyRelease:
        return true;
    case QEvent::MouseButtonPress:
        Finish(true);
        return false;
    default:
        return false;
    }
}
