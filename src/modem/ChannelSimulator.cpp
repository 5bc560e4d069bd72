#include "modem/ChannelSimulator.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

namespace {

using cplx = std::complex<double>;

// Analytic signal by a Hilbert FIR (odd taps, Blackman window), delay aligned.
std::vector<cplx> Analytic(const std::vector<float>& x)
{
    constexpr int kHalf = 63;
    std::vector<double> h(2 * kHalf + 1, 0.0);
    for (int k = -kHalf; k <= kHalf; ++k) {
        if (k % 2 == 0)
            continue;
        const double w = 0.42 + 0.5 * std::cos(std::numbers::pi * k / (kHalf + 1)) +
                         0.08 * std::cos(2.0 * std::numbers::pi * k / (kHalf + 1));
        h[k + kHalf] = 2.0 / (std::numbers::pi * k) * w;
    }
    const long n = static_cast<long>(x.size());
    std::vector<cplx> y(x.size());
    for (long i = 0; i < n; ++i) {
        double q = 0.0;
        const long lo = std::max(-static_cast<long>(kHalf), -i);
        const long hi = std::min(static_cast<long>(kHalf), n - 1 - i);
        for (long k = lo; k <= hi; k += 1) {
            const double c = h[k + kHalf];
            if (c != 0.0)
                q += c * x[i + k];
        }
        // h(k) multiplies x(i+k): this is the transform with its sign flipped.
        y[i] = cplx(x[i], -q);
    }
    return y;
}

// A complex Gaussian tap process with a Gaussian Doppler spectrum of
// standard deviation sigma (Hz), unit mean power, sampled at `rate`.
std::vector<cplx> TapProcess(size_t n, double rate, double spreadHz, std::mt19937_64& rng)
{
    if (spreadHz <= 0.0)
        return std::vector<cplx>(n, cplx(1.0, 0.0));
    const double sigma = spreadHz / 2.0;
    const double slowRate = std::max(16.0, 16.0 * sigma);
    // Filter with |H(f)|^2 = exp(-f^2 / (2 sigma^2)): a Gaussian impulse
    // response with time deviation 1 / (2 pi sigma sqrt 2).
    const double st = 1.0 / (2.0 * std::numbers::pi * sigma * std::numbers::sqrt2);
    const int half = static_cast<int>(std::ceil(4.0 * st * slowRate));
    std::vector<double> g(2 * half + 1);
    double energy = 0.0;
    for (int k = -half; k <= half; ++k) {
        const double t = k / slowRate;
        g[k + half] = std::exp(-t * t / (2.0 * st * st));
        energy += g[k + half] * g[k + half];
    }
    for (double& v : g)
        v /= std::sqrt(energy);
    const size_t slowN = static_cast<size_t>(std::ceil(n / rate * slowRate)) + 2;
    std::normal_distribution<double> normal(0.0, std::sqrt(0.5));
    std::vector<cplx> white(slowN + g.size());
    for (cplx& w : white)
        w = cplx(normal(rng), normal(rng));
    std::vector<cplx> slow(slowN);
    for (size_t i = 0; i < slowN; ++i) {
        cplx acc{};
        for (size_t k = 0; k < g.size(); ++k)
            acc += g[k] * white[i + k];
        slow[i] = acc;
    }
    std::vector<cplx> tap(n);
    for (size_t i = 0; i < n; ++i) {
        const double pos = i / rate * slowRate;
        const size_t j = static_cast<size_t>(pos);
        const double f = pos - j;
        tap[i] = slow[j] * (1.0 - f) + slow[std::min(j + 1, slowN - 1)] * f;
    }
    return tap;
}

cplx At(const std::vector<cplx>& x, double pos)
{
    if (pos < 0.0 || pos > static_cast<double>(x.size() - 1))
        return {};
    const size_t i = static_cast<size_t>(pos);
    const double f = pos - i;
    if (i + 1 >= x.size())
        return x[i];
    return x[i] * (1.0 - f) + x[i + 1] * f;
}

}  // namespace

const std::vector<FadingProfile>& FadingPresets()
{
    static const std::vector<FadingProfile> presets = {
        {"good", 0.5, 0.1},          {"moderate", 1.0, 0.5},       {"poor", 2.0, 0.5},
        {"flutter", 0.5, 10.0},      {"mid-quiet", 0.5, 0.1},      {"mid-moderate", 1.0, 0.5},
        {"mid-disturbed", 2.0, 1.0}, {"low-quiet", 0.5, 0.5},      {"low-moderate", 2.0, 1.5},
        {"low-disturbed", 6.0, 10.0}, {"high-quiet", 1.0, 0.5},    {"high-moderate", 3.0, 10.0},
        {"high-disturbed", 7.0, 30.0},
    };
    return presets;
}

std::optional<FadingProfile> FadingPreset(std::string_view name)
{
    for (const FadingProfile& p : FadingPresets())
        if (p.name == name)
            return p;
    return std::nullopt;
}

double ChannelSimulator::KeyedPower(const std::vector<float>& x, double rate)
{
    const size_t block = std::max<size_t>(1, static_cast<size_t>(rate / 100.0));
    std::vector<double> powers;
    for (size_t i = 0; i + block <= x.size(); i += block) {
        double p = 0.0;
        for (size_t k = 0; k < block; ++k)
            p += static_cast<double>(x[i + k]) * x[i + k];
        powers.push_back(p / block);
    }
    if (powers.empty())
        return 0.0;
    const double peak = *std::max_element(powers.begin(), powers.end());
    double sum = 0.0;
    size_t count = 0;
    for (double p : powers)
        if (p >= 0.01 * peak) {
            sum += p;
            ++count;
        }
    return count ? sum / count : 0.0;
}

double ChannelSimulator::NoiseVariance(double power, double snrDb, double rate)
{
    // One-sided density N0 with N0 * 3000 = Ps / SNR, white up to rate / 2.
    const double n0 = power / std::pow(10.0, snrDb / 10.0) / 3000.0;
    return n0 * rate / 2.0;
}

std::vector<float> ChannelSimulator::Apply(const std::vector<float>& in, double rate, const ChannelSettings& s)
{
    std::mt19937_64 rng(s.seed);
    const double power = KeyedPower(in, rate);
    const bool shaped = s.fading || s.offsetHz != 0.0 || s.baudError != 0.0;
    std::vector<float> out(in);
    if (shaped) {
        const std::vector<cplx> a = Analytic(in);
        // Baud error: output sample i reads the input at i * (1 + e).
        const double speed = 1.0 + s.baudError;
        const size_t n = static_cast<size_t>(std::floor(in.size() / speed));
        std::vector<cplx> tap1, tap2;
        double delay = 0.0;
        if (s.fading) {
            tap1 = TapProcess(n, rate, s.fading->spreadHz, rng);
            tap2 = TapProcess(n, rate, s.fading->spreadHz, rng);
            delay = s.fading->delayMs * 1e-3 * rate;
        }
        // Time scaling moves every frequency by the factor `speed`; bring
        // the centre back and add the offset.
        const double shift = s.offsetHz - s.baudError * s.centreHz;
        out.assign(n, 0.0f);
        const double w = 2.0 * std::numbers::pi * shift / rate;
        for (size_t i = 0; i < n; ++i) {
            const double pos = i * speed;
            cplx v = At(a, pos);
            if (s.fading)
                v = std::sqrt(0.5) * (tap1[i] * v + tap2[i] * At(a, pos - delay * speed));
            v *= std::polar(1.0, w * static_cast<double>(i));
            out[i] = static_cast<float>(v.real());
        }
    }
    if (s.noise) {
        std::normal_distribution<double> normal(0.0, std::sqrt(NoiseVariance(power, s.snrDb, rate)));
        for (float& v : out)
            v = static_cast<float>(v + normal(rng));
    }
    return out;
}
