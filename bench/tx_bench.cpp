// Transmit pane figures on the simulated modem, one "name value unit" line each:
//   tx_keystroke_to_wire_ms_p50 / _p99 / _max
//       Character mode at 45 baud, 5-bit Baudot, Manual protocol, transmitting
//       with no idle fill and nothing queued: from the key event delivered to
//       the transmit pane to the modem taking the character's write.
//   tx_keying_delay_ms
//       Transmit pressed on an unkeyed link: the command to the first write
//       (the PTT margins of 100 ms before and after raising RTS).
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/MemorySettingsStore.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/NullFrameStatus.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView3.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

size_t WriteCount(const std::vector<SimEvent>& log)
{
    return static_cast<size_t>(std::count_if(log.begin(), log.end(),
                                              [](const SimEvent& e) { return e.kind == SimEvent::Kind::Write; }));
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5));
    return values[index];
}

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);

    MemorySettingsStore settings;
    settings.Put(keys::RTTYPort, 1);
    settings.Put(keys::RTTYBaud, 45);
    settings.Put(keys::RTTYType, 5);
    settings.Put(keys::RTTYDuplex, 0);
    settings.Put(keys::Diddle, 0);
    settings.Put(keys::CharMode, 1);
    settings.Put(keys::RTTYPageWidth, 1000);
    settings.PutText("Devices", "COM1", "sim:quiet");
    CVELTRANDoc doc(settings);
    CVELTRANApp app(settings);
    NullFrameStatus status;

    auto modem = std::make_shared<SimulatedModem>("plain");
    CVELTRANView receive(app, doc, status);
    receive.Link().Connect(false);
    receive.Link().SetDeviceOpener(
        [modem](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(modem); });
    receive.ApplyPortSettings();
    CVELTRANView3 transmit(app, doc, status);
    QCoreApplication::processEvents();

    // Transmit: the shift code pushed at the start is the first write.
    const Clock::time_point pressed = Clock::now();
    transmit.OnCommand(ID_TOOLS_TRANSMIT);
    modem->WaitFor([](const std::vector<SimEvent>& log) { return WriteCount(log) >= 1; }, 5s);
    std::vector<SimEvent> log = modem->Log();
    const auto first = std::find_if(log.begin(), log.end(),
                                    [](const SimEvent& e) { return e.kind == SimEvent::Kind::Write; });
    const double keying = first == log.end() ? -1.0 : Ms(first->time - pressed);

    const int samples = 100;
    const auto settle = modem->CharTime() * 2;  // the previous character has left the line
    std::vector<double> latencies;
    latencies.reserve(samples);
    for (int i = 0; i < samples; ++i) {
        std::this_thread::sleep_for(settle);
        const size_t before = WriteCount(modem->Log());
        QKeyEvent key(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QStringLiteral("E"));
        const Clock::time_point sent = Clock::now();
        QCoreApplication::sendEvent(&transmit, &key);
        if (!modem->WaitFor([before](const std::vector<SimEvent>& l) { return WriteCount(l) > before; }, 5s))
            continue;
        log = modem->Log();
        const auto write = std::find_if(log.rbegin(), log.rend(),
                                        [](const SimEvent& e) { return e.kind == SimEvent::Kind::Write; });
        latencies.push_back(Ms(write->time - sent));
    }
    transmit.OnCommand(ID_TOOLS_RECEIVE);

    if (latencies.empty()) {
        std::printf("tx_keystroke_to_wire_ms_p99 -1 ms\n");
        return 1;
    }
    std::printf("tx_keystroke_to_wire_ms_p50 %.3f ms\n", Percentile(latencies, 0.50));
    std::printf("tx_keystroke_to_wire_ms_p99 %.3f ms\n", Percentile(latencies, 0.99));
    std::printf("tx_keystroke_to_wire_ms_max %.3f ms\n", *std::max_element(latencies.begin(), latencies.end()));
    std::printf("tx_keying_delay_ms %.1f ms\n", keying);
    return 0;
}
