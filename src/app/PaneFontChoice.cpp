#include "app/PaneFontChoice.h"

#include "app/CVELTRANApp.h"
#include "app/PaneFont.h"
#include "app/SettingsStore.h"

#include <QFontInfo>

#include <algorithm>
#include <string>

void ApplyPaneFontChoice(CVELTRANApp& app, PaneFontKind kind, const PaneFontChoice& choice)
{
    const bool rtty = kind == PaneFontKind::Rtty;
    const QFontInfo info(choice.font);
    const QByteArray face = choice.font.family().toLatin1();
    const QByteArray style = info.styleName().toLatin1();
    // The height in pixels, stored as a character height (negative) so it reads
    // back as the same pixel size whatever the font's leading.
    const int size = -std::max(1, info.pixelSize());
    const int rgb = StoredRgb(choice.color);
    SettingsStore& s = app.Settings();
    s.Put(rtty ? keys::RTTYFaceName : keys::DNCFaceName, std::string_view(face.constData(), face.size()));
    s.Put(rtty ? keys::RTTYStyleName : keys::DNCStyleName, std::string_view(style.constData(), style.size()));
    s.Put(rtty ? keys::RTTYSize : keys::DNCSize, size);
    s.Put(rtty ? keys::RTTYColor : keys::DNCColor, rgb);
    (rtty ? app.m_colorRTTY : app.m_colorDNC) = PaneColor(rgb);
    (rtty ? app.m_fontRTTY : app.m_fontDNC) = MakePaneFont(std::string(face.constData(), face.size()), size);
}
