#include "frame/widgets/FramePlacement.h"

#include "app/SettingsStore.h"
#include "frame/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// How long after the first show the stored outer size still waits for the
// window manager's frame.
constexpr int kFrameWaitMs = 3000;

}  // namespace

void FramePlacement::Apply(const SettingsStore& s)
{
    const PlacementRect stored{s.Get(keys::Left), s.Get(keys::Top), s.Get(keys::Right), s.Get(keys::Bottom)};
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect d = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const WindowPlacement p =
        ComputePlacement(stored, PlacementRect{d.left(), d.top(), d.left() + d.width(), d.top() + d.height()});
    if (p.useSystemDefault) {
        const QRect avail = screen ? screen->availableGeometry() : d;
        m_window.resize(avail.width() * 3 / 4, avail.height() * 3 / 4);
        return;
    }
    // move() places the outer edge; the size waits for the frame (FitStoredOuterSize).
    m_window.move(p.x, p.y);
    m_window.resize(p.cx, p.cy);
    m_wantedOuterSize = QSize(p.cx, p.cy);
}

void FramePlacement::OnShown()
{
    FitStoredOuterSize();
    // A window manager frames the window some time after it is shown (under
    // X11 only once it has reparented it); one that draws no frame never
    // does, and then the inner size already is the stored one.
    if (m_wantedOuterSize.isValid())
        QTimer::singleShot(kFrameWaitMs, &m_window, [this] { m_wantedOuterSize = QSize(); });
}

void FramePlacement::FitStoredOuterSize()
{
    // Take the frame off once it is known, so that start, exit, start gives
    // the same window.
    if (!m_wantedOuterSize.isValid() || !m_window.isVisible())
        return;
    const QSize frameExtra = m_window.frameGeometry().size() - m_window.geometry().size();
    if (frameExtra.isNull())
        return;
    const QSize inner = m_wantedOuterSize - frameExtra;
    m_wantedOuterSize = QSize();
    m_window.resize(inner);
}

void FramePlacement::Save(SettingsStore& s) const
{
    if (m_window.isMaximized() || m_window.isMinimized() || m_window.isFullScreen())
        return;
    const QRect r = m_window.frameGeometry();
    s.Put(keys::Top, r.top());
    s.Put(keys::Bottom, r.top() + r.height());
    s.Put(keys::Left, r.left());
    s.Put(keys::Right, r.left() + r.width());
}
