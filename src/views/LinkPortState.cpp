#include "views/LinkPortState.h"

#include "app/DeviceMap.h"
#include "app/SettingsKeys.h"
#include "link/SerialLink.h"

PortState StateOfLink(const std::string& name, int configuredPort, const SerialLink& link,
                      const SettingsStore& settings)
{
    PortState s;
    s.name = name;
    s.port = configuredPort > keys::kMaxPort ? 1 : configuredPort;
    if (s.port > 0)
        s.device = DevicePathForPort(settings, s.port);
    s.open = link.IsOpen();
    s.vanished = link.IsDown();
    s.error = link.OpenError();
    s.reason = s.vanished ? link.DownReason() : link.OpenErrorText();
    return s;
}
