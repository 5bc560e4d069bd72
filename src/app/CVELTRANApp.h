#pragma once
// The application object: the settings store every part reads, the test-mode
// flag, the pane fonts and text colours, the clock, and the registry of the
// document's views (FindView). It is not the QApplication: main() makes that
// first. Used on the user-interface thread only, except Clock(), whose tick
// source is thread-safe.
#include "link/TickSource.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <vector>

class SessionRecovery;
class SettingsStore;

class CVELTRANApp {
public:
    explicit CVELTRANApp(SettingsStore& settings);

    SettingsStore& Settings() const { return m_settings; }

    // Reads "Layout" "RTTYFaceName"/"RTTYSize"/"RTTYColor" and the DNC keys and
    // makes the two pane fonts and colours. Called once at start-up; the Ports
    // dialog's font buttons replace the fields directly afterwards.
    void LoadFonts();

    // The tick source for the panes' timers; tests install a fake one.
    const TickSource& Clock() const { return *m_clock; }
    // nullptr restores the steady clock. The source must outlive its use.
    void SetClock(const TickSource* clock);

    // The recovery copy of the document (SessionRecovery.h), when the program
    // keeps one (not owned; nullptr: none, as in most tests). Set before the
    // main window is made; the window's timer, the document commands, a clean
    // exit and a termination signal use it.
    SessionRecovery* Recovery() const { return m_recovery; }
    void SetRecovery(SessionRecovery* recovery) { m_recovery = recovery; }

    // Views register when made and unregister when destroyed, in pane order.
    void RegisterView(QObject* view);
    void UnregisterView(QObject* view);

    // The first registered view of class T (a QObject subclass), or nullptr.
    template <class T>
    T* FindView() const
    {
        for (const QPointer<QObject>& v : m_views) {
            if (T* found = qobject_cast<T*>(v.data()))
                return found;
        }
        return nullptr;
    }

    uint32_t m_bTestMode = 0;
    QFont m_fontRTTY;
    QFont m_fontDNC;
    QColor m_colorRTTY;
    QColor m_colorDNC;

private:
    SettingsStore& m_settings;
    const TickSource* m_clock;
    SessionRecovery* m_recovery = nullptr;
    std::vector<QPointer<QObject>> m_views;
};
