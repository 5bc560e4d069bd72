#include "modem/SignalBrowser.h"

#include "modem/BandPass.h"
#include "modem/CallSigns.h"

#include <algorithm>
#include <cmath>

struct SignalBrowser::Channel {
    Channel(int id, const RttyParams& p)
        : id(id), params(p),
          filter(RttyDemodulator::kRate, std::min(p.MarkTone(), p.SpaceTone()) - kPassHz,
                 std::max(p.MarkTone(), p.SpaceTone()) + kPassHz, kTransitionHz),
          demod(p, RttyDemodulator::kRate), printer(p)
    {
    }

    void Hear(const float* x, size_t n)
    {
        filter.Process(x, n, filtered);
        demod.Process(filtered.data(), filtered.size());
    }

    int id;
    RttyParams params;   // mark and space as found, never reversed
    BandPass filter;
    std::vector<float> filtered;
    RttyDemodulator demod;
    RttyTextPrinter printer;
    std::string current;
    std::string last;
    std::vector<std::string> calls;
    double snrDb = 0.0;
    uint64_t heardAt = 0;

    std::vector<DecodedChar> pending;   // decided, not yet kHoldSamples old
    uint64_t loudAt = 0;     // decoder samples: its tones last heard loud
    bool loud = true;        // in the finder's newest block
    double level = 0.0;      // its block ratio while loud, averaged

    double Mark() const { return params.markHz + demod.AfcOffset(); }
    FoundSignal Tones() const
    {
        const double space = Mark() + params.shiftHz;
        return {std::min(Mark(), space), std::max(Mark(), space), snrDb};
    }

    // Hands on what the decoder decided kHoldSamples ago (all of it once
    // the squelch has closed, or at the end of a recording): what was
    // decided while the tones were loud is printed, the rest dropped.
    template <typename EndLine>
    void Drain(const EndLine& endLine, bool atEnd = false)
    {
        const std::vector<DecodedChar> chars = demod.Take();
        pending.insert(pending.end(), chars.begin(), chars.end());
        const bool closed = !demod.SquelchOpen() || atEnd;
        size_t ready = 0;
        while (ready < pending.size() && (closed || demod.Position() - pending[ready].emittedAt >= kHoldSamples))
            ++ready;
        std::string text;
        for (size_t i = 0; i < ready; ++i)
            if (pending[i].emittedAt <= loudAt + kDecideSamples)
                printer.Put(pending[i].code, text);
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(ready));
        for (char c : text) {
            if (c == '\n') {
                endLine(*this);
                continue;
            }
            current.push_back(c);
            if (current.size() >= kMaxLine)
                endLine(*this);
        }
    }
};

SignalBrowser::SignalBrowser(const RttyParams& params, double inputRate)
    : m_params(params), m_guard(inputRate), m_resampler(inputRate, RttyDemodulator::kRate),
      m_finder(RttyDemodulator::kRate, params.SpaceTone() - params.MarkTone(), params.baud, kLowHz, kHighHz),
      m_replay(static_cast<size_t>(kReplaySeconds * RttyDemodulator::kRate), 0.0f)
{
}

SignalBrowser::~SignalBrowser() = default;

void SignalBrowser::Process(const float* in, size_t n)
{
    m_clean.resize(n);
    m_guard.Clean(in, m_clean.data(), n);
    m_block.clear();
    m_resampler.Process(m_clean.data(), n, m_block);
    const auto endLine = [this](Channel& c) { EndLine(c); };
    // In pieces of at most one estimate's hop, so a signal is taken up as
    // soon as it is found.
    for (size_t at = 0; at < m_block.size(); at += SignalFinder::kHop) {
        const float* x = m_block.data() + at;
        const size_t count = std::min(SignalFinder::kHop, m_block.size() - at);
        for (size_t i = 0; i < count; ++i) {
            m_replay[m_replayPos] = x[i];
            m_replayPos = (m_replayPos + 1) % m_replay.size();
        }
        m_n += count;
        const bool estimated = m_finder.Process(x, count);
        for (auto& c : m_channels) {
            c->Hear(x, count);
            if (estimated) {
                const FoundSignal t = c->Tones();
                // Against its own level, so the block that holds only the
                // last few hundredths of a strong signal does not count.
                const double ratio = m_finder.BlockRatio(t.lowHz, t.highHz);
                c->loud = ratio > std::max(kLoudRatio, kLoudFraction * c->level);
                if (c->loud) {
                    c->heardAt = m_n;
                    c->level = c->level == 0.0 ? ratio : c->level + 0.2 * (ratio - c->level);
                    // The middle of the block's window.
                    c->loudAt = c->demod.Position() - std::min<uint64_t>(c->demod.Position(), SignalFinder::kSize / 2);
                }
            }
            c->Drain(endLine);
        }
        if (estimated)
            OnEstimate();
    }
}

double SignalBrowser::MarkFor(const FoundSignal& found) const
{
    return m_params.SpaceTone() > m_params.MarkTone() ? found.lowHz : found.highHz;
}

double SignalBrowser::CentreOf(const Channel& c) const
{
    return c.Mark() + 0.5 * c.params.shiftHz;
}

void SignalBrowser::OnEstimate()
{
    std::vector<FoundSignal> pending;
    for (const FoundSignal& f : m_finder.Found()) {
        const auto same = [&](const auto& other, double hz) { return std::fabs(other - f.CentreHz()) < hz; };
        const auto known = std::find_if(m_channels.begin(), m_channels.end(),
                                        [&](const auto& c) { return same(CentreOf(*c), m_finder.SameSignalHz()); });
        if (known != m_channels.end()) {
            (*known)->heardAt = m_n;
            // The average lags a signal that has stopped: keep what it said
            // while the signal was on.
            if ((*known)->loud)
                (*known)->snrDb = f.snrDb;
            continue;
        }
        // Beside a signal on the air, a pair that shares one of its tones
        // is its sideband; beside a silent one it may be a new station. A
        // pair much stronger than the signal it shares a tone with is the
        // real one, and that signal was the sideband (taken up while the
        // real one still sent only its mark): it goes, text and all.
        const auto shadows = [&](const auto& c) {
            return c->loud && SignalFinder::SharesTone(f.lowHz, f.highHz, c->Tones());
        };
        bool sharesTone = false;
        for (auto it = m_channels.begin(); it != m_channels.end();) {
            if (!shadows(*it)) {
                ++it;
            } else if ((*it)->snrDb + kStrongerDb < f.snrDb) {
                it = m_channels.erase(it);
            } else {
                sharesTone = true;
                ++it;
            }
        }
        // Found twice in a row at about the same place: a signal, not a
        // moment of noise or a passing sideband.
        const double near = 0.25 * std::fabs(m_params.shiftHz);
        const bool again = std::any_of(m_pending.begin(), m_pending.end(),
                                       [&](const FoundSignal& p) { return same(p.CentreHz(), near); });
        if (sharesTone)
            continue;
        if (again && m_channels.size() < static_cast<size_t>(kMaxSignals))
            Spawn(f);
        else
            pending.push_back(f);
    }
    m_pending.swap(pending);

    const uint64_t limit = static_cast<uint64_t>(kAgeOutSeconds * RttyDemodulator::kRate);
    for (auto it = m_channels.begin(); it != m_channels.end();) {
        if (m_n - (*it)->heardAt > limit) {
            EndLine(**it);
            it = m_channels.erase(it);
        } else
            ++it;
    }
}

void SignalBrowser::Spawn(const FoundSignal& found)
{
    RttyParams p = m_params;
    const double mark = MarkFor(found);
    p.shiftHz = m_params.SpaceTone() - m_params.MarkTone();
    p.markHz = mark;
    p.reverse = false;
    auto c = std::make_unique<Channel>(m_nextId++, p);
    c->snrDb = found.snrDb;
    c->heardAt = m_n;
    // The audio it was found in, oldest first.
    const size_t have = static_cast<size_t>(std::min<uint64_t>(m_n, m_replay.size()));
    const size_t start = (m_replayPos + m_replay.size() - have) % m_replay.size();
    const size_t first = std::min(have, m_replay.size() - start);
    c->Hear(m_replay.data() + start, first);
    c->Hear(m_replay.data(), have - first);
    c->loudAt = c->demod.Position();
    c->Drain([this](Channel& ch) { EndLine(ch); });
    m_channels.push_back(std::move(c));
}

void SignalBrowser::EndLine(Channel& c)
{
    while (!c.current.empty() && c.current.back() == ' ')
        c.current.pop_back();
    if (c.current.find_first_not_of(' ') == std::string::npos) {
        c.current.clear();
        return;
    }
    for (std::string& call : FindCallSigns(c.current)) {
        if (std::find(c.calls.begin(), c.calls.end(), call) != c.calls.end())
            continue;
        c.calls.push_back(std::move(call));
        if (c.calls.size() > kMaxCalls)
            c.calls.erase(c.calls.begin());
    }
    m_lines.push_back({c.id, c.Mark(), c.current});
    c.last = std::move(c.current);
    c.current.clear();
}

void SignalBrowser::Flush()
{
    for (auto& c : m_channels) {
        c->Drain([this](Channel& ch) { EndLine(ch); }, true);
        EndLine(*c);
    }
}

std::vector<BrowsedLine> SignalBrowser::TakeLines()
{
    std::vector<BrowsedLine> out;
    out.swap(m_lines);
    return out;
}

std::vector<BrowsedSignal> SignalBrowser::Signals() const
{
    std::vector<BrowsedSignal> out;
    for (const auto& c : m_channels) {
        BrowsedSignal s;
        s.id = c->id;
        s.markHz = c->Mark();
        s.snrDb = c->snrDb;
        s.line = c->current.find_first_not_of(' ') != std::string::npos ? c->current : c->last;
        s.calls = c->calls;
        s.silentSeconds = static_cast<double>(m_n - c->heardAt) / RttyDemodulator::kRate;
        out.push_back(std::move(s));
    }
    std::sort(out.begin(), out.end(), [](const BrowsedSignal& a, const BrowsedSignal& b) { return a.markHz < b.markHz; });
    return out;
}
