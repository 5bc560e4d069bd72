#pragma once
// The device chooser's "Sound card" page for the RTTY port: capture and
// playback devices (the sound server's, by description), tones, reverse,
// unshift on space, AFC, the PTT line and its device, and an input
// level meter. The meter runs a capture stream of its own on the chosen
// capture device while the page is chosen and shown, and stops it when the
// page is hidden, unticked or destroyed. The rules are SoundCardForm's.
#include "app/DeviceChoice.h"
#include "app/SoundCardForm.h"
#include "modem/CaptureLevelProbe.h"
#include "modem/LevelMeter.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

class LevelBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

class SoundCardPage : public QWidget {
    Q_OBJECT

public:
    // `current`: the port's value now; `serialEntries`: the chooser's list
    // of serial devices, offered for the PTT line.
    SoundCardPage(const std::string& current, const std::vector<DeviceEntry>& serialEntries,
                  QWidget* parent = nullptr);
    ~SoundCardPage() override;

    // "Sound card" is ticked: the port is to be this sound card.
    bool IsChosen() const;
    SoundCardForm Form() const;
    // Empty when the page can be stored; else the reason, shown on the page
    // (and the offending field focused).
    QString CheckForOk();

    // The meter's bar, for tests.
    LevelBar* Meter() const { return m_meter; }

signals:
    void ChosenChanged(bool chosen);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FillAudioList(QComboBox* list, const std::vector<AudioDeviceEntry>& entries, const std::string& stored);
    // Starts, restarts or stops the meter's stream as the page now needs it.
    void RefreshProbe();
    void ReadMeter();

    QCheckBox* m_chosen = nullptr;
    QWidget* m_body = nullptr;
    QComboBox* m_capture = nullptr;
    QComboBox* m_playback = nullptr;
    QLabel* m_notice = nullptr;
    QSpinBox* m_mark = nullptr;
    QSpinBox* m_shift = nullptr;
    QCheckBox* m_reverse = nullptr;
    QCheckBox* m_usos = nullptr;
    QCheckBox* m_afc = nullptr;
    QComboBox* m_pttLine = nullptr;
    QComboBox* m_pttDevice = nullptr;
    LevelBar* m_meter = nullptr;
    QLabel* m_meterState = nullptr;
    QLabel* m_problem = nullptr;

    AudioDeviceValue m_base;
    CaptureLevelProbe m_probe;
    LevelMeter m_level;
    QTimer m_meterTimer;
    QElapsedTimer m_clock;
    bool m_bProbeFailed = false;  // tried this device and failed: not retried every tick
    std::string m_failedDevice;
};
