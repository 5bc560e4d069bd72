#pragma once
// The device chooser's "FSK keying" option for a serial port: a check box and
// the line that keys PTT (RTS or DTR). It reads and writes the FSK part of the
// device value (FskDeviceValue.h); the chooser's path field keeps the device
// itself. Off and disabled for the sound-card modem, which keys no UART.
#include <QWidget>
#include <string>

class QCheckBox;
class QComboBox;

class FskKeyingBox : public QWidget {
    Q_OBJECT

public:
    explicit FskKeyingBox(QWidget* parent = nullptr);

    // Shows the FSK part of `value`; returns the device without it.
    std::string Load(const std::string& value);
    // The device value for `device` with the option as shown.
    std::string Wrap(const std::string& device) const;
    // Follows the device being chosen (only serial ports take FSK keying).
    void DeviceChanged(const QString& device);

private:
    void Refresh();

    QCheckBox* m_on = nullptr;
    QComboBox* m_ptt = nullptr;
};
