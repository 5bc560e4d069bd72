#pragma once
// "Tuning Display": a dock of the main window with the waterfall of the RTTY
// sound card's capture audio and its input level bar. Shown only while the
// operator wants it (View menu, "Layout" "TuningDisplay") and the RTTY port
// runs on a sound card (the tap is open). While shown it reads the tap at
// most 20 times a second; hidden it does nothing at all.
// Window thread only.
#include "modem/LevelMeter.h"

#include <QDockWidget>
#include <QElapsedTimer>
#include <QTimer>

class AudioTap;
class LevelBar;
class SettingsStore;
class WaterfallView;

class TuningDock : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kFramePeriodMs = 50;

    TuningDock(AudioTap& tap, SettingsStore& settings, QWidget* parent = nullptr);

    // The operator's choice, read from and written to the store.
    bool Wanted() const;
    void SetWanted(bool wanted);
    // Shows or hides the dock as the choice and the port now ask.
    void RefreshShown();

    WaterfallView* View() const { return m_view; }
    LevelBar* Meter() const { return m_meter; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The dock's own close button is the View menu's toggle too.
    void closeEvent(QCloseEvent* event) override;

private:
    void Frame();

    AudioTap& m_tap;
    SettingsStore& m_settings;
    WaterfallView* m_view = nullptr;
    LevelBar* m_meter = nullptr;
    LevelMeter m_level;
    QTimer m_timer;
    QElapsedTimer m_clock;
};
