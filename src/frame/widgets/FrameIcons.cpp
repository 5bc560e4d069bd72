#include "frame/widgets/FrameIcons.h"

#include "app/CommandTable.h"

#include <QFile>

// The resource initialiser generated for resources/veltran.qrc.
static void InitVeltranResources()
{
    Q_INIT_RESOURCE(veltran);
}

namespace FrameIcons {

void EnsureLoaded()
{
    static const bool loaded = [] {
        InitVeltranResources();
        return true;
    }();
    (void)loaded;
}

QIcon ForCommand(int id)
{
    const CommandInfo* c = FindCommand(id);
    if (!c || !c->icon)
        return {};
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(c->icon)));
}

QIcon AppIcon()
{
    return QIcon(QStringLiteral(":/veltran.svg"));
}

}  // namespace FrameIcons
