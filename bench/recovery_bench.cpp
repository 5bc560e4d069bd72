// The recovery copy of a long session: 1,000,000 received lines of about 40
// characters. recovery_snapshot_ms_1M_lines is how long the window's thread
// is held by one timer tick that starts a copy (the snapshot of the three
// lists), the worst of five; recovery_write_ms_1M_lines the worker's time to
// write it (the median). The incompressible figure is the same snapshot of
// lines of random bytes, which the lists keep unsealed.
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/SessionRecovery.h"
#include "support/ManualTicks.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 1000000;
constexpr int kRuns = 5;

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void FillReceived(CVELTRANDoc& doc)
{
    const char* calls[] = {"K1ABC", "DL2XYZ", "JA3QRS", "VK4TUV", "G5WXY", "W6LMN"};
    std::string text;
    for (int i = 0; i < kLines; ++i) {
        text = " CQ TEST DE ";
        text += calls[i % 6];
        text += " ";
        text += calls[(i / 6) % 6];
        text += " 599 ";
        text += std::to_string(i);
        text += " K";
        doc.AddText(text, CVELTRANDoc::kReceiveList);
    }
}

void FillIncompressible(CVELTRANDoc& doc)
{
    std::mt19937 random(7);
    std::string text(40, ' ');
    for (int i = 0; i < kLines; ++i) {
        for (char& c : text)
            c = static_cast<char>(random() % 256);
        std::replace(text.begin(), text.end(), '\n', ' ');
        doc.AddText(text, CVELTRANDoc::kReceiveList);
    }
}

struct Figures {
    double worstHoldMs = 0;
    double medianWriteMs = 0;
};

Figures Measure(CVELTRANDoc& doc, const std::string& folder)
{
    ManualTicks ticks;
    SessionRecovery recovery(doc, folder, ticks);
    std::vector<double> writes;
    Figures f;
    for (int run = 0; run < kRuns; ++run) {
        doc.AddText(" one more line", CVELTRANDoc::kTransmitList);
        ticks.now += SessionRecovery::kPeriodMs;
        const auto start = std::chrono::steady_clock::now();
        recovery.Tick();
        f.worstHoldMs = std::max(f.worstHoldMs, MsSince(start));
        const auto written = std::chrono::steady_clock::now();
        if (!recovery.Flush()) {
            std::fprintf(stderr, "recovery write failed: %s\n", recovery.LastError().c_str());
            std::exit(1);
        }
        writes.push_back(MsSince(written));
    }
    recovery.Remove();
    recovery.Flush();
    std::sort(writes.begin(), writes.end());
    f.medianWriteMs = writes[writes.size() / 2];
    return f;
}

}  // namespace

int main()
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltran_recovery_bench_" +
                               std::to_string(::getpid());
    MemorySettingsStore settings;
    {
        CVELTRANDoc doc(settings);
        FillReceived(doc);
        const Figures f = Measure(doc, folder);
        std::printf("recovery_snapshot_ms_1M_lines %.3f ms\n", f.worstHoldMs);
        std::printf("recovery_write_ms_1M_lines %.1f ms\n", f.medianWriteMs);
    }
    {
        CVELTRANDoc doc(settings);
        FillIncompressible(doc);
        const Figures f = Measure(doc, folder);
        std::printf("recovery_snapshot_ms_1M_incompressible_lines %.3f ms\n", f.worstHoldMs);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
