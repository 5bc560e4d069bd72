#include "app/widgets/DeviceChooserDialog.h"

#include "app/DeviceChoice.h"
#include "app/widgets/FskKeyingBox.h"
#include "app/widgets/SoundCardPage.h"
#include "app/widgets/RigSettingsBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace {

std::string Std(const QString& s)
{
    const QByteArray b = s.toLocal8Bit();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

std::vector<SerialDeviceInfo> PresentDevices()
{
    std::vector<SerialDeviceInfo> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDeviceInfo d;
        d.portName = Std(info.portName());
        d.systemLocation = Std(info.systemLocation());
        d.description = Std(info.description());
        d.manufacturer = Std(info.manufacturer());
        d.serialNumber = Std(info.serialNumber());
        d.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        d.vendorId = info.vendorIdentifier();
        d.productId = info.productIdentifier();
        out.push_back(std::move(d));
    }
    return out;
}

}  // namespace

DeviceChooserDialog::DeviceChooserDialog(int port, const std::string& current, QWidget* parent, bool rttyPort)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Port Setup: COM%1").arg(port));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Devices present (pick one, or type any path below):"), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("devices"));
    const std::vector<DeviceEntry> entries = DeviceEntries(PresentDevices());
    for (const DeviceEntry& e : entries) {
        auto* item = new QListWidgetItem(QString::fromLocal8Bit(e.label.c_str()), m_list);
        item->setData(Qt::UserRole, QString::fromLocal8Bit(e.value.c_str()));
    }
    layout->addWidget(m_list);
    auto* pathLabel = new QLabel(QStringLiteral("&Device:"), this);
    m_fsk = new FskKeyingBox(this);
    m_path = new QLineEdit(QString::fromLocal8Bit(m_fsk->Load(current).c_str()), this);
    m_path->setObjectName(QStringLiteral("path"));
    pathLabel->setBuddy(m_path);
    layout->addWidget(pathLabel);
    layout->addWidget(m_path);
    layout->addWidget(m_fsk);
    m_fsk->DeviceChanged(m_path->text());
    connect(m_path, &QLineEdit::textChanged, m_fsk, &FskKeyingBox::DeviceChanged);
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->data(Qt::UserRole).toString() == m_path->text())
            m_list->item(i)->setSelected(true);  // the device in use now, without retyping the field
    }
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            m_path->setText(item->data(Qt::UserRole).toString());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    if (rttyPort) {
        m_soundCard = new SoundCardPage(current, entries, this);
        layout->addWidget(m_soundCard);
        const auto serialUsable = [this](bool card) {
            m_list->setEnabled(!card);
            m_path->setEnabled(!card);
            m_fsk->setEnabled(!card);
        };
        serialUsable(m_soundCard->IsChosen());
        connect(m_soundCard, &SoundCardPage::ChosenChanged, this, serialUsable);
    }
    m_rig = new RigSettingsBox(this);
    layout->addWidget(m_rig);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DeviceChooserDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string DeviceChooserDialog::Value() const
{
    if (m_soundCard && m_soundCard->IsChosen())
        return m_soundCard->Form().Value();
    return m_fsk->Wrap(Std(m_path->text().trimmed()));
}

void DeviceChooserDialog::SetRigSettings(const RigSettings& rig)
{
    m_rig->SetSettings(rig);
}

RigSettings DeviceChooserDialog::Rig() const
{
    return m_rig->Settings();
}

void DeviceChooserDialog::accept()
{
    if (m_soundCard && m_soundCard->IsChosen()) {
        if (m_soundCard->CheckForOk().isEmpty())
            QDialog::accept();
        return;
    }
    // An empty value would map the port to nothing at all.
    if (m_path->text().trimmed().isEmpty()) {
        m_path->setFocus();
        return;
    }
    QDialog::accept();
}
