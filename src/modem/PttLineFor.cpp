#include "modem/PttLineFor.h"

#include "link/Cm108PttLine.h"
#include "link/NoPttLine.h"
#include "link/PosixSerialPort.h"
#include "link/RigPttLine.h"
#include "link/SerialPttLine.h"
#include "link/SimulatedModem.h"

#include <string_view>

namespace {

constexpr std::string_view kSimPrefix = "sim:";

// Stands in for a serial choice with no device: it never opens.
class UnchosenPttLine : public PttLine {
public:
    bool Open(std::string& error) override
    {
        error = "No PTT device chosen";
        return false;
    }
    void Close() override {}
    void Set(bool) override {}
    bool IsKeyed() const override { return false; }
    bool IsDown() const override { return true; }
};

}  // namespace

std::unique_ptr<PttLine> PttLineFor(const AudioDeviceValue& value)
{
    if (value.ptt == AudioDeviceValue::Ptt::None)
        return std::make_unique<NoPttLine>();
    if (value.ptt == AudioDeviceValue::Ptt::Cat)
        return RigPttLine::Cat();
    if (value.ptt == AudioDeviceValue::Ptt::Cm108)
        return std::make_unique<Cm108PttLine>(value.pttDevice);
    if (value.pttDevice.empty())
        return std::make_unique<UnchosenPttLine>();
    const std::string_view path = value.pttDevice;
    std::unique_ptr<PortDevice> device;
    if (path.substr(0, kSimPrefix.size()) == kSimPrefix)
        device = std::make_unique<SimulatedModem>(path.substr(kSimPrefix.size()));
    else
        device = std::make_unique<PosixSerialPort>(value.pttDevice);
    const auto line = value.ptt == AudioDeviceValue::Ptt::Dtr ? SerialPttLine::Line::Dtr : SerialPttLine::Line::Rts;
    return std::make_unique<SerialPttLine>(std::move(device), line, value.pttDevice);
}
