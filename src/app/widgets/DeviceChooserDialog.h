#pragma once
// "Port Setup": which device a COM number means. Lists the serial devices
// present (Qt Serial Port) under their stable names, offers the simulated
// modem, and accepts any path typed in; for the RTTY port also the sound-card
// modem (SoundCardPage). Hands back the chosen value; the Ports dialog stores
// it in "Devices" "COM<N>" when it is confirmed.
#include "app/RigSettings.h"

#include <QDialog>
#include <string>

class FskKeyingBox;
class QLineEdit;
class RigSettingsBox;
class QListWidget;
class SoundCardPage;

class DeviceChooserDialog : public QDialog {
    Q_OBJECT

public:
    // `current`: the device the number maps to now (shown in the path field).
    // `rttyPort`: the port is the RTTY port, which may be a sound card.
    DeviceChooserDialog(int port, const std::string& current, QWidget* parent = nullptr, bool rttyPort = false);

    // The device value as confirmed (the path field's text, or the sound card's value).
    std::string Value() const;
    // The rig fields (model, port, PTT line), shown as given, handed back as edited.
    void SetRigSettings(const RigSettings& rig);
    RigSettings Rig() const;

private:
    void accept() override;

    QListWidget* m_list = nullptr;
    QLineEdit* m_path = nullptr;
    FskKeyingBox* m_fsk = nullptr;  // the FSK part of the value
    SoundCardPage* m_soundCard = nullptr;
    RigSettingsBox* m_rig = nullptr;
};
