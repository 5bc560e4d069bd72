#include "app/PortState.h"

#include "app/DeviceMap.h"
#include "app/SystemErrorText.h"

#include <cerrno>

PortCondition ConditionOf(const PortState& s)
{
    if (s.port <= 0)
        return PortCondition::None;
    if (!s.open || s.vanished)
        return PortCondition::Down;
    return IsSimulatedDevice(s.device) ? PortCondition::Simulated : PortCondition::Open;
}

std::string PortFailureReason(int error)
{
    if (error == 0)
        return "it could not be opened";
    std::string text = SystemErrorText(error);
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return text + " (the device is missing: is the adapter plugged in?)";
    case EBUSY:
        return text + " (in use by another program)";
    case EACCES:
    case EPERM:
        return text +
               " (you are not allowed to use it: add your user to the group that owns the device, "
               "usually \"dialout\", for example with \"sudo adduser $USER dialout\", then log out and "
               "log in again)";
    case ENOTTY:
        return text + " (not a serial device)";
    default:
        return text;
    }
}

std::string DescribePortState(const PortState& s)
{
    const std::string head = s.name + " port";
    switch (ConditionOf(s)) {
    case PortCondition::None:
        return head + ": none";
    case PortCondition::Open:
        return head + " COM" + std::to_string(s.port) + " is open on " + s.device + ".";
    case PortCondition::Simulated:
        return head + " COM" + std::to_string(s.port) + " runs on the simulated modem (" + s.device +
               "), not on a radio.";
    case PortCondition::Down:
        break;
    }
    const std::string device = s.device.empty() ? std::string("(no device)") : s.device;
    if (s.vanished)
        return head + " COM" + std::to_string(s.port) + " is down: " + device + " has gone away" +
               (s.reason.empty() ? std::string() : " (" + s.reason + ")") +
               ". Apply the Ports dialog again to reopen it.";
    return head + " COM" + std::to_string(s.port) + " is down: " + device + ": " +
           (s.reason.empty() ? PortFailureReason(s.error) : s.reason) + ".";
}
