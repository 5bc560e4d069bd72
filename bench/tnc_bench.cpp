// TNC pane figures, offscreen:
//   tnc_paint_ms_1M_lines        one full paint with 1,000,000 lines in the TNC list,
//                                5,000 of them scrolled back
//   tnc_line_to_screen_ms_p50/p99  simulated modem at 1200 baud sending lines ended by
//                                CR LF: from the moment a line's CR (which ends it) is
//                                readable to the end of the paint that shows the line
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/NullFrameStatus.h"
#include "views/widgets/CVELTRANView2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

double PaintMs()
{
    MemorySettingsStore settings;
    settings.Put(keys::TNCPort, 0);
    CVELTRANApp app(settings);
    app.LoadFonts();
    CVELTRANDoc doc(settings);
    std::string text;
    for (int i = 0; i < 1000000; ++i) {
        if (i)
            text += '\n';
        text += "cmd: MONITOR ON " + std::to_string(i);
    }
    doc.AddText(text, CVELTRANDoc::kTncList);
    text = std::string();

    NullFrameStatus status;
    CVELTRANView2 view(app, doc, status);
    view.resize(800, 600);
    view.show();
    QCoreApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    bar->setSliderPosition(bar->maximum() - 5000);
    view.viewport()->repaint();  // warm-up: fonts, glyph caches

    std::vector<double> ms;
    for (int i = 0; i < 51; ++i) {
        QElapsedTimer t;
        t.start();
        view.viewport()->repaint();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The 50th and 99th percentiles, in that order.
std::pair<double, double> LineToScreenMs(int lines)
{
    using Clock = std::chrono::steady_clock;
    MemorySettingsStore settings;
    settings.Put(keys::TNCPort, 0);
    CVELTRANApp app(settings);
    app.LoadFonts();
    CVELTRANDoc doc(settings);
    NullFrameStatus status;
    CVELTRANView2 view(app, doc, status);
    view.resize(800, 600);
    view.show();
    QCoreApplication::processEvents();

    auto modem = std::make_shared<SimulatedModem>();
    view.Link().SetDeviceOpener(
        [modem](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(modem); });
    settings.Put(keys::TNCPort, 2);
    settings.Put(keys::TNCBaud, 1200);
    view.ApplyPortSettings();

    std::string text;
    std::vector<size_t> endAt;  // index of each line's CR
    for (int i = 0; i < lines; ++i) {
        text += "cmd: STATUS " + std::to_string(i) + "\r\n";
        endAt.push_back(text.size() - 2);
    }

    std::vector<Clock::time_point> due(endAt.size());
    std::vector<double> latency;
    size_t seen = 0;
    QEventLoop loop;
    QObject::connect(&view, &CVELTRANView2::painted, [&](const QRect&) {
        const Clock::time_point now = Clock::now();
        const size_t shown = doc.GetList(CVELTRANDoc::kTncList).size();
        for (; seen < shown && seen < due.size(); ++seen)
            latency.push_back(std::chrono::duration<double, std::milli>(now - due[seen]).count());
        if (seen >= due.size())
            loop.quit();
    });

    const Clock::time_point first = modem->FeedAtLineSpeed(text);
    const auto charTime = modem->CharTime();
    for (size_t i = 0; i < due.size(); ++i)
        due[i] = first + charTime * static_cast<int64_t>(endAt[i]);
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(charTime * text.size()) +
                       std::chrono::seconds(5);
    QTimer::singleShot(static_cast<int>(limit.count()), &loop, &QEventLoop::quit);
    loop.exec();
    if (latency.empty())
        return {-1, -1};
    std::sort(latency.begin(), latency.end());
    const size_t p99 = std::min(latency.size() - 1, (latency.size() * 99 + 99) / 100 - 1);
    return {latency[latency.size() / 2], latency[p99]};
}

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    std::printf("tnc_paint_ms_1M_lines %.3f ms\n", PaintMs());
    std::fflush(stdout);
    const auto [p50, p99] = LineToScreenMs(40);
    std::printf("tnc_line_to_screen_ms_p50 %.3f ms\n", p50);
    std::printf("tnc_line_to_screen_ms_p99 %.3f ms\n", p99);
    return 0;
}
