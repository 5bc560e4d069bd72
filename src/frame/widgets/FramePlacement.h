#pragma once
// The main window's stored placement ("Layout" "Top", "Bottom", "Left",
// "Right", the outer rectangle): applied once before the window is shown,
// clamped to the screen (ComputePlacement), and stored once when it closes
// unless it is maximised, minimised or full screen. Because resize() sets the
// inner size, the size is corrected for the window manager's frame once that
// frame is known. User-interface thread only.
#include <QSize>

class QWidget;
class SettingsStore;

class FramePlacement {
public:
    // `window` must outlive this.
    explicit FramePlacement(QWidget& window) : m_window(window) {}

    // Moves and sizes the window as stored, or to the system default.
    void Apply(const SettingsStore& settings);
    // From the window's show event.
    void OnShown();
    // From the window's show, move and resize events.
    void FitStoredOuterSize();
    void Save(SettingsStore& settings) const;

private:
    QWidget& m_window;
    // The stored outer size, until the window manager's frame is known and the
    // inner size has been set to fit it (or a short while after the first show).
    QSize m_wantedOuterSize;
};
