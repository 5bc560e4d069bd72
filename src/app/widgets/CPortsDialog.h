#pragma once
// "COM Port Selection": the two ports, everything about the RTTY line, the
// page widths, the deadman switch and the pane fonts. Loads every "Ports"
// value when made; OK checks the page widths, then writes the values in their
// fixed order (PortsSettings) and the devices chosen with "Port Setup"; Cancel
// writes nothing. The font buttons act at once, even if the dialog is then
// cancelled. The dialog never touches a port: the frame applies the settings
// after OK.
#include "app/PaneFontChoice.h"
#include "app/PortsSettings.h"
#include "app/RigSettings.h"

#include <QDialog>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

class CVELTRANApp;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the frame knows of each port now (DescribePortState), shown under its group.
struct PortsDialogStatus {
    std::string rtty;
    std::string tnc;
};

class CPortsDialog : public QDialog {
    Q_OBJECT

public:
    using FontChooser = std::function<std::optional<PaneFontChoice>(QWidget* parent, const QFont&, const QColor&)>;
    using DeviceChooser =
        std::function<std::optional<std::string>(QWidget* parent, int port, const std::string& current)>;
    using MessageSink = std::function<void(QWidget* parent, const QString& text)>;

    CPortsDialog(CVELTRANApp& app, const PortsDialogStatus& status, QWidget* parent = nullptr);

    // Seams for tests; the defaults run PaneFontDialog, DeviceChooserDialog
    // and a message box.
    void SetFontChooser(FontChooser chooser) { m_fontChooser = std::move(chooser); }
    void SetDeviceChooser(DeviceChooser chooser) { m_deviceChooser = std::move(chooser); }
    void SetMessageSink(MessageSink sink) { m_message = std::move(sink); }

    // The values as the controls give them (stored values kept where a
    // control has no selection); nothing when a page width is refused.
    std::optional<PortsSettings> Collect();
    // After OK: the port numbers "Port Setup" gave another device (and the
    // RTTY port when the rig or its PTT line changed).
    std::set<int> RemappedPorts() const { return m_remapped; }

public slots:
    void accept() override;

private:
    QComboBox* MakePortList(const QString& name);
    void Load();
    void ChooseFont(PaneFontKind kind);
    void ChooseDevice(QComboBox* list);
    void RefreshSetupButtons();
    bool TakeWidth(QLineEdit* field, int& out);

    CVELTRANApp& m_app;
    PortsSettings m_loaded;
    std::map<int, std::string> m_devices;  // "Port Setup" choices, written on OK
    std::set<int> m_remapped;
    bool m_bSetupForRtty = false;  // the chooser now open is the RTTY port's (it may offer a sound card)
    std::optional<RigSettings> m_rig;      // the chooser's rig fields, written on OK

    QComboBox* m_rttyPort = nullptr;
    QPushButton* m_rttySetup = nullptr;
    QCheckBox* m_rttyCrlf = nullptr;
    QCheckBox* m_rttyLflf = nullptr;
    QButtonGroup* m_baud = nullptr;
    QButtonGroup* m_type = nullptr;
    QButtonGroup* m_duplex = nullptr;
    QCheckBox* m_extended = nullptr;
    QCheckBox* m_diddle = nullptr;
    QCheckBox* m_diddleBeep = nullptr;
    QLineEdit* m_rttyWidth = nullptr;
    QCheckBox* m_deadman = nullptr;
    QComboBox* m_tncPort = nullptr;
    QPushButton* m_tncSetup = nullptr;
    QComboBox* m_tncBaud = nullptr;
    QCheckBox* m_tncCrlf = nullptr;
    QLineEdit* m_tncWidth = nullptr;

    FontChooser m_fontChooser;
    DeviceChooser m_deviceChooser;
    MessageSink m_message;
};
