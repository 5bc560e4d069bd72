// What the tuning display costs: one frame (20 a second while shown) takes
// the newest capture audio from the tap, makes a waterfall row and paints
// the view. Measured as process CPU time over many frames run back to back,
// so the figures hold however busy the machine's other cores are.
//   waterfall_frame_us          row + paint, 600 columns, the capture at the
//                               sound-card port's 48 kHz
//   waterfall_row_us            the row alone (Waterfall::Update), 48 kHz
//   waterfall_frame_us_8k       row + paint with the capture at 8 kHz
//   waterfall_cpu_percent       one core's share at 20 frames a second (48 kHz)
#include "app/MemorySettingsStore.h"
#include "frame/widgets/WaterfallView.h"
#include "modem/AudioTap.h"
#include "modem/Waterfall.h"

#include <QApplication>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr int kFramesPerSecond = 20;
constexpr int kFrames = 2000;

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// A keyed RTTY-like pair of tones in noise, one frame's worth at a time.
class Signal {
public:
    explicit Signal(double rate) : m_rate(rate), m_gauss(0.0f, 0.05f) {}
    std::vector<float> Next(size_t n)
    {
        std::vector<float> out(n);
        for (float& s : out) {
            const double hz = (m_n / static_cast<size_t>(m_rate / 45.45)) % 2 ? 2125.0 : 2295.0;
            m_phase += 2.0 * std::numbers::pi * hz / m_rate;
            s = 0.3f * static_cast<float>(std::sin(m_phase)) + m_gauss(m_rng);
            ++m_n;
        }
        return out;
    }

private:
    double m_rate;
    double m_phase = 0.0;
    size_t m_n = 0;
    std::mt19937 m_rng{1};
    std::normal_distribution<float> m_gauss;
};

// Microseconds of CPU per frame; `paint` also paints the view into an image.
double FrameMicros(double rate, bool paint)
{
    AudioTap tap;
    tap.Open(rate, 2125, 2295);
    MemorySettingsStore store;
    WaterfallView view(tap, store);
    view.resize(600, 120 + WaterfallView::kScaleHeight);
    Waterfall alone(600);
    QImage target(view.size(), QImage::Format_RGB32);
    Signal signal(rate);
    const size_t perFrame = static_cast<size_t>(rate / kFramesPerSecond);
    // The signal is made beforehand: its sine and noise are not the display's cost.
    std::vector<std::vector<float>> blocks;
    for (int i = 0; i < kFrames; ++i)
        blocks.push_back(signal.Next(perFrame));
    const double start = CpuSeconds();
    for (const std::vector<float>& block : blocks) {
        tap.Push(block.data(), block.size());
        if (paint) {
            view.Advance();
            view.render(&target);
        } else {
            alone.Update(tap);
        }
    }
    return (CpuSeconds() - start) / kFrames * 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    const double frame = FrameMicros(48000, true);
    const double row = FrameMicros(48000, false);
    const double frame8 = FrameMicros(8000, true);
    std::printf("waterfall_frame_us %.1f us\n", frame);
    std::printf("waterfall_row_us %.1f us\n", row);
    std::printf("waterfall_frame_us_8k %.1f us\n", frame8);
    std::printf("waterfall_cpu_percent %.3f %%\n", frame * kFramesPerSecond / 1e6 * 100.0);
    return 0;
}
