// Receive pane figures, offscreen:
//   rx_paint_ms_100_lines      one full paint of the page, 100 lines in the receive list
//   rx_paint_ms_1M_lines       the same with 1,000,000 lines, 5,000 of them scrolled back
//   rx_char_to_screen_ms_p50/p99  simulated modem at 45 baud: from the moment a
//                              character is readable to the end of the paint that shows it
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/NullFrameStatus.h"
#include "views/widgets/CVELTRANView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median time of a synchronous full repaint of the page.
double PaintMs(size_t lines, int scrollBack)
{
    MemorySettingsStore settings;
    settings.Put(keys::RTTYPort, 0);
    CVELTRANApp app(settings);
    app.LoadFonts();
    CVELTRANDoc doc(settings);
    std::string text;
    text.reserve(lines * 64);
    for (size_t i = 0; i < lines; ++i) {
        if (i)
            text += '\n';
        text += " RYRYRYRYRY THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 ";
        text += std::to_string(i);
    }
    doc.AddText(text, CVELTRANDoc::kReceiveList);
    text = std::string();

    NullFrameStatus status;
    CVELTRANView view(app, doc, status);
    view.resize(800, 600);
    view.show();
    QCoreApplication::processEvents();
    // Scrolled back as the operator would: the thumb dragged to that line.
    QScrollBar* bar = view.verticalScrollBar();
    bar->setSliderPosition(bar->maximum() - scrollBack);
    view.viewport()->repaint();  // warm-up: fonts, glyph caches

    std::vector<double> ms;
    for (int i = 0; i < 51; ++i) {
        QElapsedTimer t;
        t.start();
        view.viewport()->repaint();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return Median(ms);
}

// The 50th and 99th percentiles, in that order.
std::pair<double, double> CharToScreenMs(int characters)
{
    using Clock = std::chrono::steady_clock;
    MemorySettingsStore settings;
    settings.Put(keys::RTTYPort, 0);
    CVELTRANApp app(settings);
    app.LoadFonts();
    CVELTRANDoc doc(settings);
    NullFrameStatus status;
    CVELTRANView view(app, doc, status);
    view.resize(800, 600);
    view.show();
    QCoreApplication::processEvents();

    auto modem = std::make_shared<SimulatedModem>();
    view.Link().SetDeviceOpener(
        [modem](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(modem); });
    settings.Put(keys::RTTYPort, 1);
    settings.Put(keys::RTTYBaud, 45);
    settings.Put(keys::RTTYType, 5);
    view.ApplyPortSettings();

    // Letters R and Y (Baudot 10 and 21); past the page width the finished
    // line moves to the list, so count what both hold.
    std::string codes;
    for (int i = 0; i < characters; ++i)
        codes += static_cast<char>(i % 2 ? 21 : 10);

    std::vector<Clock::time_point> due(codes.size());
    std::vector<double> latency;
    size_t seen = 0;
    QEventLoop loop;
    QObject::connect(&view, &CVELTRANView::painted, [&](const QRect&) {
        const Clock::time_point now = Clock::now();
        size_t shown = 0;
        for (std::string_view line : doc.GetList(CVELTRANDoc::kReceiveList))
            shown += line.empty() ? 0 : line.size() - 1;
        const std::string current = view.CurrentLine();
        shown += current.empty() ? 0 : current.size() - 1;
        for (; seen < shown && seen < due.size(); ++seen)
            latency.push_back(std::chrono::duration<double, std::milli>(now - due[seen]).count());
        if (seen >= due.size())
            loop.quit();
    });

    const Clock::time_point first = modem->FeedAtLineSpeed(codes);
    const auto charTime = modem->CharTime();
    for (size_t i = 0; i < due.size(); ++i)
        due[i] = first + charTime * static_cast<int64_t>(i);
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(charTime * characters) +
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
    const double small = PaintMs(100, 0);
    const double large = PaintMs(1000000, 5000);
    std::printf("rx_paint_ms_100_lines %.3f ms\n", small);
    std::printf("rx_paint_ms_1M_lines %.3f ms\n", large);
    std::fflush(stdout);
    const auto [p50, p99] = CharToScreenMs(100);
    std::printf("rx_char_to_screen_ms_p50 %.3f ms\n", p50);
    std::printf("rx_char_to_screen_ms_p99 %.3f ms\n", p99);
    return 0;
}
