#include "frame/widgets/TuningDock.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "app/widgets/LevelBar.h"
#include "frame/widgets/WaterfallView.h"
#include "modem/AudioTap.h"

#include <QCloseEvent>
#include <QHBoxLayout>

TuningDock::TuningDock(AudioTap& tap, SettingsStore& settings, QWidget* parent)
    : QDockWidget(QStringLiteral("Tuning Display"), parent), m_tap(tap), m_settings(settings)
{
    setObjectName(QStringLiteral("TuningDock"));
    setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    auto* body = new QWidget(this);
    auto* layout = new QHBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    m_view = new WaterfallView(tap, settings, body);
    m_meter = new LevelBar(Qt::Vertical, body);
    m_meter->setObjectName(QStringLiteral("tuningLevel"));
    layout->addWidget(m_view, 1);
    layout->addWidget(m_meter);
    setWidget(body);
    m_timer.setInterval(kFramePeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &TuningDock::Frame);
    m_clock.start();
    hide();
}

bool TuningDock::Wanted() const
{
    return m_settings.Get(keys::TuningDisplay) != 0;
}

void TuningDock::SetWanted(bool wanted)
{
    m_settings.Put(keys::TuningDisplay, wanted ? 1 : 0);
    RefreshShown();
}

void TuningDock::RefreshShown()
{
    const bool show = Wanted() && m_tap.IsActive();
    if (show != isVisible())
        setVisible(show);
}

void TuningDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    // Peaks from before the dock was shown are stale.
    m_tap.TakePeak();
    m_level = LevelMeter();
    m_meter->Clear();
    m_timer.start();
}

void TuningDock::hideEvent(QHideEvent* event)
{
    QDockWidget::hideEvent(event);
    m_timer.stop();
}

void TuningDock::closeEvent(QCloseEvent* event)
{
    m_settings.Put(keys::TuningDisplay, 0);
    QDockWidget::closeEvent(event);
}

void TuningDock::Frame()
{
    if (!m_tap.IsActive()) {
        RefreshShown();
        return;
    }
    m_view->Advance();
    bool clipped = false;
    const float peak = m_tap.TakePeak(&clipped);
    m_level.Feed(peak, clipped, m_clock.elapsed());
    m_meter->SetReading(m_level);
}
