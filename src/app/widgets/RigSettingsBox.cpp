#include "app/widgets/RigSettingsBox.h"

#include "link/HamlibRigModels.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>

namespace {

constexpr int kSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

struct PttItem {
    RigSettings::Ptt ptt;
    const char* label;
};
constexpr PttItem kPttItems[] = {
    {RigSettings::Ptt::Rts, "RTS of the port"},
    {RigSettings::Ptt::Dtr, "DTR of the port"},
    {RigSettings::Ptt::Cat, "CAT (the rig's PTT command)"},
    {RigSettings::Ptt::Cm108, "CM108 GPIO"},
    {RigSettings::Ptt::None, "None (VOX)"},
};

QString Local(const std::string& s)
{
    return QString::fromLocal8Bit(s.c_str());
}

std::string Std(const QString& s)
{
    const QByteArray b = s.trimmed().toLocal8Bit();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

}  // namespace

RigSettingsBox::RigSettingsBox(QWidget* parent) : QGroupBox(QStringLiteral("Rig control (Hamlib)"), parent)
{
    setObjectName(QStringLiteral("rig"));
    auto* form = new QFormLayout(this);

    m_model = new QComboBox(this);
    m_model->setObjectName(QStringLiteral("rigModel"));
    m_model->setEditable(true);
    m_model->setInsertPolicy(QComboBox::NoInsert);
    m_model->addItem(QStringLiteral("None"), 0);
    for (const RigModelInfo& m : HamlibRigModels()) {
        m_model->addItem(QStringLiteral("%1 %2 (%3)").arg(Local(m.manufacturer), Local(m.name)).arg(m.model),
                         m.model);
    }
    // Typing any part of a name finds the model.
    m_model->completer()->setFilterMode(Qt::MatchContains);
    m_model->completer()->setCompletionMode(QCompleter::PopupCompletion);
    form->addRow(QStringLiteral("Rig &model:"), m_model);

    m_port = new QLineEdit(this);
    m_port->setObjectName(QStringLiteral("rigPort"));
    m_port->setPlaceholderText(QStringLiteral("/dev/ttyUSB1, or localhost:4532 for rigctld"));
    form->addRow(QStringLiteral("Rig p&ort:"), m_port);

    m_baud = new QComboBox(this);
    m_baud->setObjectName(QStringLiteral("rigBaud"));
    m_baud->addItem(QStringLiteral("Model default"), 0);
    for (int speed : kSpeeds)
        m_baud->addItem(QString::number(speed), speed);
    form->addRow(QStringLiteral("Rig &speed:"), m_baud);

    m_ptt = new QComboBox(this);
    m_ptt->setObjectName(QStringLiteral("rigPtt"));
    for (const PttItem& item : kPttItems)
        m_ptt->addItem(QString::fromLatin1(item.label), static_cast<int>(item.ptt));
    form->addRow(QStringLiteral("&PTT (terminal unit):"), m_ptt);

    m_pttDevice = new QLineEdit(this);
    m_pttDevice->setObjectName(QStringLiteral("rigPttDevice"));
    m_pttDevice->setPlaceholderText(QStringLiteral("/dev/hidraw0"));
    form->addRow(QStringLiteral("CM108 &device:"), m_pttDevice);

    connect(m_ptt, &QComboBox::currentIndexChanged, this, [this] { RefreshEnabled(); });
    connect(m_model, &QComboBox::currentIndexChanged, this, [this] { RefreshEnabled(); });
    RefreshEnabled();
}

void RigSettingsBox::SetSettings(const RigSettings& rig)
{
    const int model = m_model->findData(rig.model);
    if (model >= 0) {
        m_model->setCurrentIndex(model);
    } else {
        // A model this Hamlib no longer lists stays chosen, by number.
        m_model->addItem(QStringLiteral("Model %1").arg(rig.model), rig.model);
        m_model->setCurrentIndex(m_model->count() - 1);
    }
    m_port->setText(Local(rig.port));
    const int baud = m_baud->findData(rig.baud);
    if (baud >= 0) {
        m_baud->setCurrentIndex(baud);
    } else {
        m_baud->addItem(QString::number(rig.baud), rig.baud);
        m_baud->setCurrentIndex(m_baud->count() - 1);
    }
    m_ptt->setCurrentIndex(std::max(0, m_ptt->findData(static_cast<int>(rig.ptt))));
    m_pttDevice->setText(Local(rig.pttDevice));
    RefreshEnabled();
}

RigSettings RigSettingsBox::Settings() const
{
    RigSettings rig;
    rig.model = m_model->currentData().toInt();
    rig.port = Std(m_port->text());
    rig.baud = m_baud->currentData().toInt();
    rig.ptt = static_cast<RigSettings::Ptt>(m_ptt->currentData().toInt());
    rig.pttDevice = Std(m_pttDevice->text());
    return rig;
}

void RigSettingsBox::RefreshEnabled()
{
    const bool rig = m_model->currentData().toInt() != 0;
    m_port->setEnabled(rig);
    m_baud->setEnabled(rig);
    m_pttDevice->setEnabled(static_cast<RigSettings::Ptt>(m_ptt->currentData().toInt()) == RigSettings::Ptt::Cm108);
}
