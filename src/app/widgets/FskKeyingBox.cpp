#include "app/widgets/FskKeyingBox.h"

#include "app/FskDeviceValue.h"
#include "modem/AudioDeviceValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

FskKeyingBox::FskKeyingBox(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_on = new QCheckBox(QStringLiteral("FSK keying"), this);
    m_on->setObjectName(QStringLiteral("fskKeying"));
    m_on->setToolTip(QStringLiteral("TXD keys the radio's FSK input; PTT on the line chosen"));
    auto* pttLabel = new QLabel(QStringLiteral("PTT on:"), this);
    m_ptt = new QComboBox(this);
    m_ptt->setObjectName(QStringLiteral("fskPtt"));
    m_ptt->addItem(QStringLiteral("RTS"));
    m_ptt->addItem(QStringLiteral("DTR"));
    pttLabel->setBuddy(m_ptt);
    layout->addWidget(m_on);
    layout->addWidget(pttLabel);
    layout->addWidget(m_ptt);
    layout->addStretch();
    connect(m_on, &QCheckBox::toggled, this, &FskKeyingBox::Refresh);
    Refresh();
}

std::string FskKeyingBox::Load(const std::string& value)
{
    const FskDeviceValue v = ParseFskDeviceValue(value);
    m_on->setChecked(v.fsk);
    m_ptt->setCurrentIndex(v.ptt == FskKeyedPort::PttOn::Dtr ? 1 : 0);
    Refresh();
    return v.device;
}

std::string FskKeyingBox::Wrap(const std::string& device) const
{
    FskDeviceValue v;
    v.fsk = m_on->isEnabled() && m_on->isChecked();
    v.ptt = m_ptt->currentIndex() == 1 ? FskKeyedPort::PttOn::Dtr : FskKeyedPort::PttOn::Rts;
    v.device = device;
    return FormatFskDeviceValue(v);
}

void FskKeyingBox::DeviceChanged(const QString& device)
{
    const QByteArray bytes = device.trimmed().toLocal8Bit();
    m_on->setEnabled(!IsAudioDeviceValue(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
    Refresh();
}

void FskKeyingBox::Refresh()
{
    m_ptt->setEnabled(m_on->isEnabled() && m_on->isChecked());
}
