#pragma once
// "Port Setup": which device a COM number means. Lists the serial devices
// present (Qt Serial Port) under their stable names, offers the simulated
// modem, and accepts any path typed in. Hands back the chosen value; the Ports
// dialog stores it in "Devices" "COM<N>" when it is confirmed.
#include <QDialog>
#include <string>

class FskKeyingBox;
class QLineEdit;
class QListWidget;

class DeviceChooserDialog : public QDialog {
    Q_OBJECT

public:
    // `current`: the device the number maps to now (shown in the path field).
    DeviceChooserDialog(int port, const std::string& current, QWidget* parent = nullptr);

    // The device value as confirmed (the path field's text).
    std::string Value() const;

private:
    void accept() override;

    QListWidget* m_list = nullptr;
    QLineEdit* m_path = nullptr;
    FskKeyingBox* m_fsk = nullptr;  // the FSK part of the value
};
