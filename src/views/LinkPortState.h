#pragma once
// The state of a pane's link as the operator is told it (PortState), read
// from the link itself. The status bar, the Ports dialog and the transmit
// side's refusal to key a port that is down all word it from here.
// Owner's (user-interface) thread.
#include "app/PortState.h"

#include <string>

class SerialLink;
class SettingsStore;

// `configuredPort` is the stored port number (0 or less: none; above 16 the
// link runs port 1).
PortState StateOfLink(const std::string& name, int configuredPort, const SerialLink& link,
                      const SettingsStore& settings);
