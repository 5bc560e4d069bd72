#include "app/widgets/CPortsDialog.h"

#include "app/CVELTRANApp.h"
#include "app/DeviceMap.h"
#include "app/IntegerField.h"
#include "app/SettingsStore.h"
#include "app/widgets/DeviceChooserDialog.h"
#include "app/widgets/PaneFontDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QCheckBox* Check(const QString& text, const QString& name, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QButtonGroup* Radios(const QStringList& labels, const QString& prefix, QGroupBox* box, bool vertical)
{
    auto* group = new QButtonGroup(box);
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(box)) : new QHBoxLayout(box);
    for (int i = 0; i < labels.size(); ++i) {
        auto* b = new QRadioButton(labels[i], box);
        b->setObjectName(prefix + QString::number(i));
        group->addButton(b, i);
        layout->addWidget(b);
    }
    return group;
}

// Checks the button with `id`, or none at all for -1.
void Select(QButtonGroup* group, int id)
{
    if (id < 0) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(false);
        group->setExclusive(true);
        return;
    }
    group->button(id)->setChecked(true);
}

QLineEdit* WidthField(const QString& name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    // Digits only, as typed; the range is checked on OK.
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

QLabel* StateLabel(const std::string& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLocal8Bit(text.c_str()), parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

}  // namespace

CPortsDialog::CPortsDialog(CVELTRANApp& app, const PortsDialogStatus& status, QWidget* parent)
    : QDialog(parent), m_app(app)
{
    setWindowTitle(QStringLiteral("COM Port Selection"));
    m_fontChooser = &PaneFontDialog::Choose;
    m_deviceChooser = [this](QWidget* p, int port, const std::string& current) -> std::optional<std::string> {
        DeviceChooserDialog chooser(port, current, p, m_bSetupForRtty);
        chooser.SetRigSettings(m_rig ? *m_rig : LoadRigSettings(m_app.Settings()));
        if (chooser.exec() != QDialog::Accepted)
            return std::nullopt;
        m_rig = chooser.Rig();
        return chooser.Value();
    };
    m_message = [](QWidget* p, const QString& text) { QMessageBox::warning(p, QStringLiteral("VELTRAN"), text); };

    auto* outer = new QHBoxLayout(this);

    // ---- RTTY
    auto* rtty = new QGroupBox(QStringLiteral("RTTY"), this);
    auto* r = new QGridLayout(rtty);
    auto* rttyPortLabel = new QLabel(QStringLiteral("&COM Port:"), rtty);
    m_rttyPort = MakePortList(QStringLiteral("rttyPort"));
    rttyPortLabel->setBuddy(m_rttyPort);
    m_rttySetup = new QPushButton(QStringLiteral("Port Setup"), rtty);
    m_rttySetup->setObjectName(QStringLiteral("rttySetup"));
    auto* rttyFont = new QPushButton(QStringLiteral("Set &Font"), rtty);
    rttyFont->setObjectName(QStringLiteral("rttyFont"));
    m_rttyCrlf = Check(QStringLiteral("Xmit Extra CR"), QStringLiteral("rttyCrlf"), rtty);
    m_rttyLflf = Check(QStringLiteral("Rcv Extra LF"), QStringLiteral("rttyLflf"), rtty);
    r->addWidget(rttyPortLabel, 0, 0);
    r->addWidget(m_rttyPort, 0, 1);
    r->addWidget(m_rttySetup, 0, 2);
    r->addWidget(rttyFont, 1, 2);
    r->addWidget(m_rttyCrlf, 1, 0);
    r->addWidget(m_rttyLflf, 1, 1);

    auto* baudBox = new QGroupBox(QStringLiteral("Baud Rate"), rtty);
    QStringList baudLabels;
    for (const char* l : portschoice::kBaudLabels)
        baudLabels << QString::fromLatin1(l);
    m_baud = Radios(baudLabels, QStringLiteral("baud"), baudBox, false);
    r->addWidget(baudBox, 2, 0, 1, 3);
    auto* typeBox = new QGroupBox(QStringLiteral("Data Type"), rtty);
    m_type = Radios({QStringLiteral("Baudot (&5 bit)"), QStringLiteral("ASCII (&7 bit)"), QStringLiteral("ASCII (&8 bit)")},
                    QStringLiteral("type"), typeBox, true);
    r->addWidget(typeBox, 3, 0, 1, 2);
    auto* duplexBox = new QGroupBox(QStringLiteral("Protocol"), rtty);
    m_duplex = Radios({QStringLiteral("&Manual"), QStringLiteral("D&elay"), QStringLiteral("A&uto")},
                      QStringLiteral("duplex"), duplexBox, true);
    r->addWidget(duplexBox, 3, 2);
    m_extended = Check(QStringLiteral("&Allow extended Baudot charset"), QStringLiteral("rttyExtended"), rtty);
    m_diddle = Check(QStringLiteral("Use &Diddle"), QStringLiteral("diddle"), rtty);
    m_diddleBeep = Check(QStringLiteral("Use Diddle &Beep"), QStringLiteral("diddleBeep"), rtty);
    r->addWidget(m_extended, 4, 0, 1, 3);
    r->addWidget(m_diddle, 5, 0);
    r->addWidget(m_diddleBeep, 5, 1, 1, 2);
    auto* rttyWidthLabel = new QLabel(QStringLiteral("Pa&ge Width:  "), rtty);
    m_rttyWidth = WidthField(QStringLiteral("rttyPageWidth"), rtty);
    rttyWidthLabel->setBuddy(m_rttyWidth);
    r->addWidget(rttyWidthLabel, 6, 0);
    r->addWidget(m_rttyWidth, 6, 1);
    m_deadman = Check(QStringLiteral("Disable De&adman Timer"), QStringLiteral("disableDeadman"), rtty);
    r->addWidget(m_deadman, 7, 0, 1, 3);
    r->addWidget(StateLabel(status.rtty, QStringLiteral("rttyState"), rtty), 8, 0, 1, 3);
    outer->addWidget(rtty);

    // ---- TNC
    auto* right = new QVBoxLayout;
    auto* tnc = new QGroupBox(QStringLiteral("TNC"), this);
    auto* t = new QGridLayout(tnc);
    auto* tncPortLabel = new QLabel(QStringLiteral("COM &Port:"), tnc);
    m_tncPort = MakePortList(QStringLiteral("tncPort"));
    tncPortLabel->setBuddy(m_tncPort);
    m_tncSetup = new QPushButton(QStringLiteral("Port Setup"), tnc);
    m_tncSetup->setObjectName(QStringLiteral("tncSetup"));
    m_tncBaud = new QComboBox(tnc);
    m_tncBaud->setObjectName(QStringLiteral("tncBaud"));
    for (int speed : portschoice::kTncSpeeds)
        m_tncBaud->addItem(QString::number(speed));
    auto* tncFont = new QPushButton(QStringLiteral("Set F&ont"), tnc);
    tncFont->setObjectName(QStringLiteral("tncFont"));
    m_tncCrlf = Check(QStringLiteral("CR -> CR&LF"), QStringLiteral("tncCrlf"), tnc);
    auto* tncWidthLabel = new QLabel(QStringLiteral("Page &Width:  "), tnc);
    m_tncWidth = WidthField(QStringLiteral("tncPageWidth"), tnc);
    tncWidthLabel->setBuddy(m_tncWidth);
    t->addWidget(tncPortLabel, 0, 0);
    t->addWidget(m_tncPort, 0, 1);
    t->addWidget(m_tncSetup, 0, 2);
    t->addWidget(m_tncBaud, 1, 1);
    t->addWidget(tncFont, 1, 2);
    t->addWidget(m_tncCrlf, 2, 0, 1, 3);
    t->addWidget(tncWidthLabel, 3, 0);
    t->addWidget(m_tncWidth, 3, 1);
    t->addWidget(StateLabel(status.tnc, QStringLiteral("tncState"), tnc), 4, 0, 1, 3);
    right->addWidget(tnc);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPortsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    right->addWidget(buttons);
    right->addStretch();
    outer->addLayout(right);

    connect(rttyFont, &QPushButton::clicked, this, [this] { ChooseFont(PaneFontKind::Rtty); });
    connect(tncFont, &QPushButton::clicked, this, [this] { ChooseFont(PaneFontKind::Tnc); });
    connect(m_rttySetup, &QPushButton::clicked, this, [this] { ChooseDevice(m_rttyPort); });
    connect(m_tncSetup, &QPushButton::clicked, this, [this] { ChooseDevice(m_tncPort); });
    for (QComboBox* list : {m_rttyPort, m_tncPort})
        connect(list, &QComboBox::currentIndexChanged, this, &CPortsDialog::RefreshSetupButtons);

    Load();
}

QComboBox* CPortsDialog::MakePortList(const QString& name)
{
    auto* list = new QComboBox(this);
    list->setObjectName(name);
    // " NONE" begins with a blank, so a sorted list keeps it first.
    list->addItem(QString::fromLatin1(portschoice::kNoneEntry));
    for (int n = 1; n <= portschoice::kListedPorts; ++n)
        list->addItem(QStringLiteral("COM%1").arg(n));
    return list;
}

void CPortsDialog::Load()
{
    m_loaded = PortsSettings::Read(m_app.Settings());
    const PortsSettings& p = m_loaded;
    m_rttyPort->setCurrentIndex(portschoice::PortListIndex(p.rttyPort));
    m_tncPort->setCurrentIndex(portschoice::PortListIndex(p.tncPort));
    Select(m_baud, portschoice::BaudButton(p.rttyBaud));
    Select(m_type, portschoice::TypeButton(p.rttyType));
    Select(m_duplex, portschoice::DuplexButton(p.rttyDuplex));
    m_tncBaud->setCurrentIndex(portschoice::TncSpeedIndex(p.tncBaud));
    m_extended->setChecked(p.rttyExtended);
    m_rttyCrlf->setChecked(p.rttyCrlf);
    m_rttyLflf->setChecked(p.rttyLflf);
    m_tncCrlf->setChecked(p.tncCrlf);
    m_diddle->setChecked(p.diddle);
    m_diddleBeep->setChecked(p.diddleBeep);
    m_deadman->setChecked(p.disableDeadman);
    m_rttyWidth->setText(QString::number(p.rttyPageWidth));
    m_tncWidth->setText(QString::number(p.tncPageWidth));
    RefreshSetupButtons();
}

void CPortsDialog::RefreshSetupButtons()
{
    m_rttySetup->setEnabled(m_rttyPort->currentIndex() > 0);
    m_tncSetup->setEnabled(m_tncPort->currentIndex() > 0);
}

bool CPortsDialog::TakeWidth(QLineEdit* field, int& out)
{
    const QByteArray text = field->text().toLatin1();
    const IntegerFieldResult r = CheckIntegerField(std::string(text.constData(), static_cast<size_t>(text.size())),
                                                   portschoice::kMinPageWidth, portschoice::kMaxPageWidth);
    if (!r.value) {
        m_message(this, QString::fromLatin1(r.message.c_str()));
        field->setFocus();
        field->selectAll();
        return false;
    }
    out = *r.value;
    return true;
}

std::optional<PortsSettings> CPortsDialog::Collect()
{
    PortsSettings p = m_loaded;
    if (!TakeWidth(m_rttyWidth, p.rttyPageWidth) || !TakeWidth(m_tncWidth, p.tncPageWidth))
        return std::nullopt;
    p.rttyPort = m_rttyPort->currentIndex();
    p.tncPort = m_tncPort->currentIndex();
    if (m_tncBaud->currentIndex() >= 0)
        p.tncBaud = portschoice::kTncSpeeds[static_cast<size_t>(m_tncBaud->currentIndex())];
    if (m_baud->checkedId() >= 0)
        p.rttyBaud = portschoice::kBaudValues[static_cast<size_t>(m_baud->checkedId())];
    if (m_type->checkedId() >= 0)
        p.rttyType = portschoice::kTypeValues[static_cast<size_t>(m_type->checkedId())];
    if (m_duplex->checkedId() >= 0)
        p.rttyDuplex = m_duplex->checkedId();
    p.rttyExtended = m_extended->isChecked();
    p.rttyCrlf = m_rttyCrlf->isChecked();
    p.rttyLflf = m_rttyLflf->isChecked();
    p.tncCrlf = m_tncCrlf->isChecked();
    p.diddle = m_diddle->isChecked();
    p.diddleBeep = m_diddleBeep->isChecked();
    p.disableDeadman = m_deadman->isChecked();
    return p;
}

void CPortsDialog::accept()
{
    const std::optional<PortsSettings> p = Collect();
    if (!p)
        return;
    SettingsStore& s = m_app.Settings();
    p->Write(s);
    m_remapped.clear();
    for (const auto& [port, device] : m_devices) {
        if (DevicePathForPort(s, port) != device)
            m_remapped.insert(port);
        s.PutText(keys::kDevices, keys::DeviceKey(port), device);
    }
    // Another rig or PTT line: the RTTY port reopens keyed through it.
    if (m_rig && *m_rig != LoadRigSettings(s)) {
        SaveRigSettings(s, *m_rig);
        m_remapped.insert(p->rttyPort);
    }
    QDialog::accept();
}

void CPortsDialog::ChooseFont(PaneFontKind kind)
{
    const bool rtty = kind == PaneFontKind::Rtty;
    const std::optional<PaneFontChoice> choice =
        m_fontChooser(this, rtty ? m_app.m_fontRTTY : m_app.m_fontDNC, rtty ? m_app.m_colorRTTY : m_app.m_colorDNC);
    if (choice)
        ApplyPaneFontChoice(m_app, kind, *choice);
}

void CPortsDialog::ChooseDevice(QComboBox* list)
{
    const int port = list->currentIndex();
    if (port <= 0)
        return;
    const auto pending = m_devices.find(port);
    const std::string current =
        pending != m_devices.end() ? pending->second : DevicePathForPort(m_app.Settings(), port);
    m_bSetupForRtty = list == m_rttyPort;
    const std::optional<std::string> chosen = m_deviceChooser(this, port, current);
    if (chosen && !chosen->empty())
        m_devices[port] = *chosen;
}
