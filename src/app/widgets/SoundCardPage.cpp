#include "app/widgets/SoundCardPage.h"

#include "app/widgets/LevelBar.h"
#include "modem/ProgramLiveAudio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <iterator>

namespace {

// The meter reads the stream's peak this often; the bar paints no faster.
constexpr int kMeterPeriodMs = 50;

QString Q(const std::string& s)
{
    return QString::fromLocal8Bit(s.c_str());
}

std::string Std(const QString& s)
{
    const QByteArray b = s.toLocal8Bit();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// The PTT list's rows, in order.
constexpr AudioDeviceValue::Ptt kPttLines[] = {AudioDeviceValue::Ptt::Rts, AudioDeviceValue::Ptt::Dtr,
                                               AudioDeviceValue::Ptt::Cat, AudioDeviceValue::Ptt::Cm108,
                                               AudioDeviceValue::Ptt::None};
constexpr int kPttLineCount = static_cast<int>(std::size(kPttLines));

QCheckBox* Check(const QString& text, const QString& name, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

SoundCardPage::SoundCardPage(const std::string& current, const std::vector<DeviceEntry>& serialEntries,
                             QWidget* parent)
    : QWidget(parent)
{
    bool isCard = false;
    const SoundCardForm form = SoundCardForm::Load(current, &isCard);
    m_base = form.base;

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_chosen = Check(QStringLiteral("Sound &card"),
                     QStringLiteral("soundCard"), this);
    m_chosen->setToolTip(QStringLiteral("The modem in this program, through a sound card and the radio's audio"));
    outer->addWidget(m_chosen);
    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("soundCardBody"));
    auto* f = new QFormLayout(m_body);
    outer->addWidget(m_body);

    LiveAudioBackend* server = ProgramLiveAudio();
    const std::vector<AudioDeviceInfo> sources = server ? server->Sources() : std::vector<AudioDeviceInfo>{};
    const std::vector<AudioDeviceInfo> sinks = server ? server->Sinks() : std::vector<AudioDeviceInfo>{};
    m_capture = new QComboBox(m_body);
    m_capture->setObjectName(QStringLiteral("capture"));
    FillAudioList(m_capture, AudioDeviceEntries(sources, form.capture), form.capture);
    m_playback = new QComboBox(m_body);
    m_playback->setObjectName(QStringLiteral("playback"));
    FillAudioList(m_playback, AudioDeviceEntries(sinks, form.playback), form.playback);
    f->addRow(QStringLiteral("Captur&e device:"), m_capture);
    f->addRow(QStringLiteral("Play&back device:"), m_playback);
    m_notice = new QLabel(Q(AudioServerNotice(server != nullptr, sources.size(), sinks.size())), m_body);
    m_notice->setObjectName(QStringLiteral("audioNotice"));
    m_notice->setWordWrap(true);
    m_notice->setVisible(!m_notice->text().isEmpty());
    f->addRow(m_notice);

    m_mark = new QSpinBox(m_body);
    m_mark->setObjectName(QStringLiteral("mark"));
    m_mark->setRange(100, 3900);
    m_mark->setSuffix(QStringLiteral(" Hz"));
    m_mark->setValue(static_cast<int>(std::lround(form.markHz)));
    m_shift = new QSpinBox(m_body);
    m_shift->setObjectName(QStringLiteral("shift"));
    m_shift->setRange(-1000, 1000);
    m_shift->setSuffix(QStringLiteral(" Hz"));
    m_shift->setValue(static_cast<int>(std::lround(form.shiftHz)));
    m_shift->setToolTip(QStringLiteral("Space = mark + shift; negative puts the space below the mark"));
    f->addRow(QStringLiteral("M&ark frequency:"), m_mark);
    f->addRow(QStringLiteral("S&hift:"), m_shift);
    m_reverse = Check(QStringLiteral("&Reverse (swap mark and space)"), QStringLiteral("reverse"), m_body);
    m_usos = Check(QStringLiteral("U&nshift on space"), QStringLiteral("usos"), m_body);
    m_afc = Check(QStringLiteral("A&FC (follow a mistuned signal)"), QStringLiteral("afc"), m_body);
    m_reverse->setChecked(form.reverse);
    m_usos->setChecked(form.usos);
    m_afc->setChecked(form.afc);
    f->addRow(m_reverse);
    f->addRow(m_usos);
    f->addRow(m_afc);

    m_pttLine = new QComboBox(m_body);
    m_pttLine->setObjectName(QStringLiteral("pttLine"));
    m_pttLine->addItems({QStringLiteral("RTS"), QStringLiteral("DTR"), QStringLiteral("CAT"), QStringLiteral("CM108 GPIO"),
                         QStringLiteral("None (VOX)")});
    for (int i = 0; i < kPttLineCount; ++i) {
        if (kPttLines[i] == form.ptt)
            m_pttLine->setCurrentIndex(i);
    }
    m_pttDevice = new QComboBox(m_body);
    m_pttDevice->setObjectName(QStringLiteral("pttDevice"));
    m_pttDevice->setEditable(true);  // any path, as in the chooser's own field
    for (const DeviceEntry& e : PttDeviceEntries(serialEntries, HidrawDevicePaths()))
        m_pttDevice->addItem(Q(e.label), Q(e.value));
    m_pttDevice->setCurrentIndex(m_pttDevice->findData(Q(form.pttDevice)));
    m_pttDevice->setEditText(Q(form.pttDevice));
    // Picking an entry puts its path in the field, not its label.
    connect(m_pttDevice, &QComboBox::activated, this,
            [this](int i) { m_pttDevice->setEditText(m_pttDevice->itemData(i).toString()); });
    f->addRow(QStringLiteral("PTT &line:"), m_pttLine);
    f->addRow(QStringLiteral("PTT de&vice:"), m_pttDevice);
    connect(m_pttLine, &QComboBox::currentIndexChanged, this,
            [this](int i) { m_pttDevice->setEnabled(i >= 0 && PttLineNeedsDevice(kPttLines[i])); });
    m_pttDevice->setEnabled(PttLineNeedsDevice(form.ptt));

    m_meter = new LevelBar(Qt::Horizontal, m_body);
    m_meter->setObjectName(QStringLiteral("inputLevel"));
    m_meterState = new QLabel(m_body);
    m_meterState->setObjectName(QStringLiteral("inputLevelState"));
    m_meterState->setWordWrap(true);
    f->addRow(QStringLiteral("Input level:"), m_meter);
    f->addRow(m_meterState);
    m_problem = new QLabel(m_body);
    m_problem->setObjectName(QStringLiteral("soundCardProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: #c00000"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    f->addRow(m_problem);

    m_chosen->setChecked(isCard);
    m_body->setVisible(isCard);
    connect(m_chosen, &QCheckBox::toggled, this, [this](bool on) {
        m_body->setVisible(on);
        RefreshProbe();
        emit ChosenChanged(on);
    });
    connect(m_capture, &QComboBox::currentIndexChanged, this, &SoundCardPage::RefreshProbe);
    m_meterTimer.setInterval(kMeterPeriodMs);
    connect(&m_meterTimer, &QTimer::timeout, this, &SoundCardPage::ReadMeter);
    m_clock.start();
}

SoundCardPage::~SoundCardPage()
{
    m_meterTimer.stop();
    m_probe.Stop();
}

void SoundCardPage::FillAudioList(QComboBox* list, const std::vector<AudioDeviceEntry>& entries,
                                  const std::string& stored)
{
    for (const AudioDeviceEntry& e : entries) {
        list->addItem(Q(e.label), Q(e.name));
        list->setItemData(list->count() - 1, Q(e.name.empty() ? e.label : e.name), Qt::ToolTipRole);
    }
    list->setCurrentIndex(std::max(0, list->findData(Q(stored))));
}

bool SoundCardPage::IsChosen() const
{
    return m_chosen->isChecked();
}

SoundCardForm SoundCardPage::Form() const
{
    SoundCardForm form;
    form.base = m_base;
    form.capture = Std(m_capture->currentData().toString());
    form.playback = Std(m_playback->currentData().toString());
    form.markHz = m_mark->value();
    form.shiftHz = m_shift->value();
    form.reverse = m_reverse->isChecked();
    form.usos = m_usos->isChecked();
    form.afc = m_afc->isChecked();
    form.ptt = kPttLines[std::max(0, m_pttLine->currentIndex())];
    form.pttDevice = Std(m_pttDevice->currentText().trimmed());
    return form;
}

QString SoundCardPage::CheckForOk()
{
    const SoundCardForm form = Form();
    const QString problem = Q(form.Problem());
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    if (!problem.isEmpty()) {
        if (PttLineNeedsDevice(form.ptt) && form.pttDevice.empty())
            m_pttDevice->setFocus();
        else
            m_shift->setFocus();
    }
    return problem;
}

void SoundCardPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    RefreshProbe();
}

void SoundCardPage::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    RefreshProbe();
}

void SoundCardPage::RefreshProbe()
{
    const bool wanted = isVisible() && IsChosen();
    const std::string device = Std(m_capture->currentData().toString());
    if (!wanted) {
        m_meterTimer.stop();
        m_probe.Stop();
        m_meter->Clear();
        return;
    }
    if (m_probe.Running() && m_probe.Device() == device)
        return;
    if (m_bProbeFailed && m_failedDevice == device)
        return;
    std::string error;
    m_level = LevelMeter();
    m_meter->Clear();
    if (!m_probe.Start(ProgramLiveAudio(), device, error)) {
        m_bProbeFailed = true;
        m_failedDevice = device;
        m_meterTimer.stop();
        m_meterState->setText(QStringLiteral("No level: %1").arg(Q(error)));
        return;
    }
    m_bProbeFailed = false;
    m_meterState->setText(QStringLiteral("Set the receiver's audio so that the bar stays out of the red."));
    m_meterTimer.start();
}

void SoundCardPage::ReadMeter()
{
    const std::string down = m_probe.DownReason();
    if (!down.empty()) {
        m_failedDevice = m_probe.Device();
        m_bProbeFailed = true;
        m_probe.Stop();
        m_meterTimer.stop();
        m_meter->Clear();
        m_meterState->setText(QStringLiteral("No level: %1").arg(Q(down)));
        return;
    }
    bool clipped = false;
    const float peak = m_probe.TakePeak(&clipped);
    m_level.Feed(peak, clipped, m_clock.elapsed());
    m_meter->SetReading(m_level);
}
