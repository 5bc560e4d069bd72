#include "app/CVELTRANApp.h"

#include "app/PaneFont.h"
#include "app/SettingsStore.h"

#include <algorithm>

CVELTRANApp::CVELTRANApp(SettingsStore& settings)
    : m_settings(settings), m_clock(&SteadyTickSource::Instance())
{
}

void CVELTRANApp::LoadFonts()
{
    // The style names are stored by the Ports dialog but not used for the font.
    m_fontRTTY = MakePaneFont(m_settings.Get(keys::RTTYFaceName), m_settings.Get(keys::RTTYSize));
    m_colorRTTY = PaneColor(m_settings.Get(keys::RTTYColor));
    m_fontDNC = MakePaneFont(m_settings.Get(keys::DNCFaceName), m_settings.Get(keys::DNCSize));
    m_colorDNC = PaneColor(m_settings.Get(keys::DNCColor));
}

void CVELTRANApp::SetClock(const TickSource* clock)
{
    m_clock = clock ? clock : &SteadyTickSource::Instance();
}

void CVELTRANApp::RegisterView(QObject* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.emplace_back(view);
}

void CVELTRANApp::UnregisterView(QObject* view)
{
    // Destroyed views have already become null pointers; drop those as well.
    std::erase_if(m_views, [view](const QPointer<QObject>& v) { return v.isNull() || v.data() == view; });
}
