#include "modem/RttyDemodulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kTiny = 1e-12f;

float Compare(float a, float b)
{
    return (a - b) / (a + b + kTiny);
}

}  // namespace

RttyDemodulator::RttyDemodulator(const RttyParams& params, double inputRate)
    : m_params(params), m_guard(inputRate), m_resampler(inputRate, kRate),
      m_spectrum(kRate, params.MarkTone(), params.SpaceTone(), params.baud, params.afc)
{
    m_bit = kRate / params.baud;
    m_quarter = std::max(1, static_cast<int>(std::lround(m_bit / 4.0)));
    m_period = params.FrameBits() * m_bit;
    m_trackPeriod = m_period;
    m_qMark.assign(m_quarter, {});
    m_qSpace.assign(m_quarter, {});
    m_histMark.assign(kHistory, {});
    m_histSpace.assign(kHistory, {});
    SetTones(0.0);
    // The earliest start bit that has one stop bit's worth of mark before it.
    m_hunt = m_bit;
}

void RttyDemodulator::SetTones(double offset)
{
    m_appliedOffset = offset;
    const double w = 2.0 * std::numbers::pi / kRate;
    m_stepMark = std::polar(1.0, -w * (m_params.MarkTone() + offset));
    m_stepSpace = std::polar(1.0, -w * (m_params.SpaceTone() + offset));
}

void RttyDemodulator::Process(const float* in, size_t n)
{
    m_clean.resize(n);
    m_guard.Clean(in, m_clean.data(), n);
    m_block.clear();
    m_resampler.Process(m_clean.data(), n, m_block);
    for (float x : m_block)
        Step(x);
}

std::vector<DecodedChar> RttyDemodulator::Take()
{
    std::vector<DecodedChar> out;
    out.swap(m_out);
    return out;
}

void RttyDemodulator::Step(float x)
{
    if (m_spectrum.Push(x)) {
        if (m_spectrum.Offset() != m_appliedOffset)
            SetTones(m_spectrum.Offset());
        ReleaseHeld();
    }

    const size_t slot = m_n % m_quarter;
    const std::complex<float> pm(static_cast<float>(x * m_loMark.real()), static_cast<float>(x * m_loMark.imag()));
    const std::complex<float> ps(static_cast<float>(x * m_loSpace.real()), static_cast<float>(x * m_loSpace.imag()));
    m_accMark += std::complex<double>(pm) - std::complex<double>(m_qMark[slot]);
    m_accSpace += std::complex<double>(ps) - std::complex<double>(m_qSpace[slot]);
    m_qMark[slot] = pm;
    m_qSpace[slot] = ps;
    m_histMark[m_n % kHistory] = std::complex<float>(m_accMark);
    m_histSpace[m_n % kHistory] = std::complex<float>(m_accSpace);

    m_loMark *= m_stepMark;
    m_loSpace *= m_stepSpace;
    if ((m_n & 1023) == 0) {
        m_loMark /= std::abs(m_loMark);
        m_loSpace /= std::abs(m_loSpace);
        // The sums are only ever the sum of their windows; rebuilding them
        // drops what rounding (or a sample far louder than the rest) left.
        m_accMark = {};
        m_accSpace = {};
        for (int i = 0; i < m_quarter; ++i) {
            m_accMark += std::complex<double>(m_qMark[i]);
            m_accSpace += std::complex<double>(m_qSpace[i]);
        }
    }
    ++m_n;
    Schedule();
}

// Amplitudes of one bit centred at `centre`: the quarter-bit integrator
// outputs that end at the bit's four quarter boundaries.
RttyDemodulator::Tones RttyDemodulator::TonesAt(double centre) const
{
    const int64_t end = static_cast<int64_t>(std::lround(centre)) + 2 * m_quarter;
    std::complex<float> sm{}, ss{};
    float em = 0.0f, es = 0.0f;
    for (int j = 0; j < 4; ++j) {
        const size_t i = static_cast<size_t>(end - j * m_quarter) % kHistory;
        sm += m_histMark[i];
        ss += m_histSpace[i];
        em += std::norm(m_histMark[i]);
        es += std::norm(m_histSpace[i]);
    }
    Tones t;
    t.mark[0] = std::abs(sm);
    t.space[0] = std::abs(ss);
    t.mark[1] = 2.0f * std::sqrt(em);
    t.space[1] = 2.0f * std::sqrt(es);
    return t;
}

float RttyDemodulator::Soft(const Tones& t, int slicer) const
{
    const int kind = slicer / 2;   // 0 coherent, 1 quarter energies
    if (slicer % 2 == 0)
        return Compare(t.mark[kind], t.space[kind]);
    // A tone faded into the noise keeps a level of at least a fraction of
    // the other's, so its noise is not read as a keyed tone: the tone that
    // is left decides.
    constexpr float floorRatio = 0.25f;
    float lm = m_levelMark[kind] > 0 ? m_levelMark[kind] : 1.0f;
    float ls = m_levelSpace[kind] > 0 ? m_levelSpace[kind] : 1.0f;
    lm = std::max(lm, floorRatio * ls);
    ls = std::max(ls, floorRatio * lm);
    return Compare(t.mark[kind] / lm, t.space[kind] / ls);
}

double RttyDemodulator::StopCentre(double tau) const
{
    // The middle of the whole stop element, so a small timing error never
    // reaches into the last data bit.
    return tau + (1 + m_params.dataBits) * m_bit + std::max(1.0, m_params.stopBits) * m_bit * 0.5;
}

double RttyDemodulator::Needed(double tau) const
{
    return StopCentre(tau) + 2 * m_quarter + 1;
}

RttyDemodulator::Frame RttyDemodulator::FrameAt(double tau) const
{
    Frame f;
    const int data = m_params.dataBits;
    f.bits = data + 2;
    for (int k = 0; k < f.bits; ++k) {
        const double c = k == data + 1 ? StopCentre(tau) : tau + (k + 0.5) * m_bit;
        f.tones[k] = TonesAt(c);
        for (int s = 0; s < kSlicers; ++s)
            f.soft[s][k] = Soft(f.tones[k], s);
    }
    // Timing: start should be space, stop mark, data bits clear either way;
    // plain coherent and quarter-energy views added.
    double m = 0.0;
    for (int s : {0, 2}) {
        m += -f.soft[s][0] + f.soft[s][data + 1];
        for (int k = 1; k <= data; ++k)
            m += std::fabs(f.soft[s][k]);
    }
    f.metric = m;
    return f;
}

bool RttyDemodulator::LooksIdle(const Frame& f) const
{
    // A weak start bit alone is not enough: in back-to-back traffic a noisy
    // start bit is far likelier than a pause, and a frame read from idle
    // mark comes out as all ones anyway.
    if (f.soft[0][0] + f.soft[2][0] < 0.0f)
        return false;
    for (int k = 1; k < f.bits - 1; ++k)
        if (f.soft[0][k] <= 0.0f)
            return false;
    return true;
}

bool RttyDemodulator::StartMissing(const Frame& f) const
{
    // No mark-to-space edge anywhere near the expected start: the frame
    // would be read from the pause and the next start bit inside it.
    return 0.5f * (f.soft[0][0] + f.soft[2][0]) > kPauseStart;
}

bool RttyDemodulator::FrameValid(const Frame& f, int s) const
{
    return f.soft[s][0] < 0.0f && f.soft[s][f.bits - 1] > 0.0f;
}

void RttyDemodulator::Decide(const Frame& f, double tau)
{
    const int data = m_params.dataBits;
    int best = m_forced;
    float bestConf = -1.0f;
    if (best < 0) {
        for (int s = 0; s < kSlicers; ++s) {
            float c = 0.0f;
            for (int k = 1; k <= data; ++k)
                c += std::fabs(f.soft[s][k]);
            c /= static_cast<float>(data);
            if (!FrameValid(f, s))
                c *= 0.5f;
            if (c > bestConf) {
                bestConf = c;
                best = s;
            }
        }
    }
    DecodedChar ch;
    for (int k = 1; k <= data; ++k)
        if (f.soft[best][k] > 0.0f)
            ch.code |= 1u << (k - 1);
    float conf = 1.0f;
    for (int k = 1; k <= data; ++k)
        conf = std::min(conf, std::fabs(f.soft[best][k]));
    ch.confidence = conf;
    ch.slicer = best;
    ch.stopEnd = tau + m_params.FrameBits() * m_bit;
    ch.emittedAt = m_n;

    // Tone levels from the decided bits (the plain coherent decision).
    constexpr float a = 0.08f;
    for (int k = 0; k < f.bits; ++k) {
        const bool mark = k == 0 ? false : (k == f.bits - 1 ? true : ((ch.code >> (k - 1)) & 1u));
        for (int kind = 0; kind < 2; ++kind) {
            float& level = mark ? m_levelMark[kind] : m_levelSpace[kind];
            const float v = mark ? f.tones[k].mark[kind] : f.tones[k].space[kind];
            level = level == 0.0f ? v : level + a * (v - level);
        }
    }
    if (m_spectrum.SignalPresent())
        m_out.push_back(ch);
    else if (m_holding)
        m_held.push_back(ch);
}

void RttyDemodulator::ReleaseHeld()
{
    if (!m_holding)
        return;
    if (m_spectrum.SignalPresent()) {
        m_out.insert(m_out.end(), m_held.begin(), m_held.end());
        m_held.clear();
    }
    if (m_spectrum.Estimates() >= kHoldEstimates) {
        m_holding = false;
        m_held.clear();
    }
}

void RttyDemodulator::Schedule()
{
    const double now = static_cast<double>(m_n) - 1.0;
    const double window = m_lockedCount < 30 ? m_bit / 3.0 : m_bit / 4.0;
    for (;;) {
        if (m_locked) {
            if (Needed(m_expect + window) > now)
                return;
            double bestTau = m_expect;
            Frame best;
            best.metric = -1e9;
            for (double t = m_expect - window; t <= m_expect + window; t += 2.0) {
                Frame f = FrameAt(t);
                if (f.metric > best.metric) {
                    best = f;
                    bestTau = t;
                }
            }
            if (LooksIdle(best) || StartMissing(best)) {
                // Steady mark, or a pause longer than a character's stop
                // bits (a sender between two writes, an operator typing):
                // look for the next start from here.
                m_locked = false;
                m_lockedCount = 0;
                m_hunt = m_expect - window;
                continue;
            }
            // The clock moves part of the way to each measured start, and
            // its period a smaller part: quickly while it settles (a sender
            // a percent or two off speed), then steady through noise.
            const double beta = m_lockedCount < 8 ? 0.5 : (m_lockedCount < 30 ? 0.25 : 0.1);
            const double gamma = m_lockedCount < 8 ? 0.1 : (m_lockedCount < 30 ? 0.03 : 0.01);
            const double tau = m_lockedCount >= 1 ? m_expect + beta * (bestTau - m_expect) : bestTau;
            const Frame f = tau == bestTau ? best : FrameAt(tau);
            m_trackPeriod += gamma * (bestTau - m_expect);
            m_trackPeriod = std::clamp(m_trackPeriod, 0.97 * m_period, 1.04 * m_period);
            Decide(f, tau);
            const bool valid = FrameValid(f, 0) || FrameValid(f, 2);
            m_recentInvalid = valid ? std::max(0, m_recentInvalid - 1) : m_recentInvalid + 2;
            if (m_recentInvalid >= 5) {
                // Several broken frames in a row: the clock is on the wrong
                // edge. Hunt again from just after this character's start.
                m_locked = false;
                m_lockedCount = 0;
                m_recentInvalid = 0;
                m_hunt = tau + m_bit;
                continue;
            }
            ++m_lockedCount;
            m_expect = tau + m_trackPeriod;
            continue;
        }
        // Hunting: a mark-to-space edge whose frame then checks out.
        const double probe = m_hunt + 0.5 * m_bit;
        if (probe + 2 * m_quarter + 1 > now)
            return;
        if (m_hunt - 0.5 * m_bit - 2 * m_quarter < 0) {
            m_hunt += 4.0;
            continue;
        }
        const Tones before = TonesAt(m_hunt - 0.5 * m_bit);
        const Tones start = TonesAt(probe);
        const float pre = 0.5f * (Soft(before, 0) + Soft(before, 2));
        const float st = 0.5f * (Soft(start, 0) + Soft(start, 2));
        if (!(pre > 0.15f && st < -0.15f && pre - st > 0.6f)) {
            m_hunt += 4.0;
            continue;
        }
        // Refine over the next half bit once the whole frame is in.
        if (Needed(m_hunt + 0.5 * m_bit) > now)
            return;
        double bestTau = m_hunt;
        Frame best;
        best.metric = -1e9;
        for (double t = m_hunt - 0.25 * m_bit; t <= m_hunt + 0.5 * m_bit; t += 2.0) {
            Frame f = FrameAt(t);
            if (f.metric > best.metric) {
                best = f;
                bestTau = t;
            }
        }
        if (!(FrameValid(best, 0) || FrameValid(best, 2))) {
            m_hunt += 0.5 * m_bit;
            continue;
        }
        Decide(best, bestTau);
        m_locked = true;
        m_lockedCount = 1;
        m_recentInvalid = 0;
        // A clock that ran recently keeps its period (a short pause or a
        // slip); after a silence it starts from the nominal one.
        if (!m_spectrum.SignalPresent())
            m_trackPeriod = m_period;
        m_expect = bestTau + m_trackPeriod;
    }
}
