#pragma once
// The rig fields of the device chooser: the rig model (Hamlib's list, sorted,
// searchable by typing any part of a name), its port (a serial device, or
// host:port of a running rigctld), its serial speed, and the line that keys a
// hardware terminal's transmitter. Loads from and hands back a RigSettings;
// storing is the Ports dialog's business.
#include "app/RigSettings.h"

#include <QGroupBox>

class QComboBox;
class QLineEdit;

class RigSettingsBox : public QGroupBox {
    Q_OBJECT

public:
    explicit RigSettingsBox(QWidget* parent = nullptr);

    void SetSettings(const RigSettings& rig);
    RigSettings Settings() const;

private:
    void RefreshEnabled();

    QComboBox* m_model = nullptr;
    QLineEdit* m_port = nullptr;
    QComboBox* m_baud = nullptr;
    QComboBox* m_ptt = nullptr;
    QLineEdit* m_pttDevice = nullptr;
};
