#include "link/SimulatedBand.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::array kPrefixes = {"K",  "W",  "N",  "AA", "AB", "KA", "KB", "KD", "WA", "WB",
                                  "VE", "VA", "DL", "DK", "G",  "M",  "F",  "EA", "I",  "JA",
                                  "OH", "SM", "PA", "ON", "OK", "SP", "LU", "PY", "VK", "ZL"};
constexpr std::array kReports = {"599", "599", "589", "579", "569", "559"};
constexpr std::array kGreetings = {"", "GM ", "GA ", "GE ", "TNX CALL ", "HI "};
constexpr std::array kConfirms = {"R R ", "QSL ", "TU ", "R TNX "};
constexpr std::array kFarewells = {"TNX QSO ", "TNX FER QSO ", "GL ", "ES GL ", "CUAGN "};
constexpr std::array kCqEnds = {"K", "PSE K", "AR K"};

template <class Array>
const char* Pick(std::mt19937& rng, const Array& a)
{
    return a[rng() % a.size()];
}

std::string Repeat(const std::string& word, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i)
        s += (i ? " " : "") + word;
    return s;
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::string w;
    for (char ch : text) {
        if (std::isalnum(static_cast<unsigned char>(ch)) || ch == '/') {
            w += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        } else if (!w.empty()) {
            words.push_back(std::move(w));
            w.clear();
        }
    }
    if (!w.empty())
        words.push_back(std::move(w));
    return words;
}

bool LooksLikeCall(const std::string& w)
{
    const bool digit = std::any_of(w.begin(), w.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    const bool letter = std::any_of(w.begin(), w.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
    return digit && letter && w.size() >= 3 && w.size() <= 12;
}

// A signal report as sent in an exchange: "599", "5NN", "579" and the like.
bool LooksLikeReport(const std::string& w)
{
    return w.size() == 3 && w[0] == '5' && (w == "5NN" || (std::isdigit(static_cast<unsigned char>(w[1])) && w[2] == '9'));
}

bool Contains(const std::vector<std::string>& words, const std::string& w)
{
    return std::find(words.begin(), words.end(), w) != words.end();
}

}  // namespace

SimulatedBand::SimulatedBand(const Options& options)
    : m_options(options), m_cqRng(options.seed), m_qsoRng(options.seed * 2654435761u + 1u)
{
    m_strCqCall = NewCall(m_cqRng);
}

std::string SimulatedBand::NewCall(std::mt19937& rng) const
{
    for (;;) {
        std::string call = Pick(rng, kPrefixes);
        call += static_cast<char>('0' + rng() % 10);
        const int letters = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < letters; ++i)
            call += static_cast<char>('A' + rng() % 26);
        const bool taken = call == m_strOpCall || call == m_strCqCall ||
                           std::any_of(m_pending.begin(), m_pending.end(), [&](const Caller& c) { return c.call == call; });
        if (!taken)
            return call;
    }
}

void SimulatedBand::Start(Clock::time_point now)
{
    m_items.clear();
    m_pending.clear();
    m_callers.clear();
    m_strHeard.clear();
    m_bKeyed = false;
    m_nextCq = now + m_options.cqFirst;
}

std::string SimulatedBand::CqText()
{
    const std::string call = m_strCqCall;
    const int cqs = 2 + static_cast<int>(m_cqRng() % 2);
    const int calls = 2 + static_cast<int>(m_cqRng() % 2);
    return "\r\n" + Repeat("CQ", cqs) + " DE " + Repeat(call, calls) + " " + Pick(m_cqRng, kCqEnds) + "\r\n";
}

std::string SimulatedBand::AnswerText(const std::string& op, const Caller& c)
{
    char serial[8];
    std::snprintf(serial, sizeof serial, "%03d", c.serial);
    return "\r\n" + op + " DE " + c.call + " " + c.call + " " + Pick(m_qsoRng, kGreetings) + "UR " +
           c.report + " " + c.report + " NR " + serial + " " + serial + " " + op + " DE " + c.call + " K\r\n";
}

std::string SimulatedBand::ConfirmText(const std::string& op, const std::string& call)
{
    return "\r\n" + op + " DE " + call + " " + Pick(m_qsoRng, kConfirms) + Pick(m_qsoRng, kFarewells) + "73 " +
           op + " DE " + call + " SK\r\n";
}

void SimulatedBand::Schedule(Clock::time_point when, std::string text)
{
    auto at = std::upper_bound(m_items.begin(), m_items.end(), when,
                               [](Clock::time_point t, const Item& i) { return t < i.when; });
    m_items.insert(at, Item{when, std::move(text)});
    // The CQ station waits for the contact to end before it calls again.
    m_nextCq = std::max(m_nextCq, when + m_options.cqInterval);
}

void SimulatedBand::Keyed(Clock::time_point)
{
    m_bKeyed = true;
}

void SimulatedBand::Hear(std::string_view text)
{
    m_strHeard.append(text);
}

void SimulatedBand::Unkeyed(Clock::time_point now)
{
    m_bKeyed = false;
    const std::vector<std::string> words = Words(m_strHeard);
    m_strHeard.clear();
    if (words.empty())
        return;
    for (size_t i = words.size(); i-- > 1;) {
        if (words[i - 1] == "DE" && LooksLikeCall(words[i])) {
            m_strOpCall = words[i];
            break;
        }
    }
    if (m_strOpCall.empty())
        return;   // nobody answers an unsigned transmission
    const auto jitter = [this] { return std::chrono::milliseconds(m_qsoRng() % 400); };
    const Clock::time_point when = now + m_options.answerDelay + jitter();

    // An exchange to a station that answered: it confirms; the others give up.
    const bool report = std::any_of(words.begin(), words.end(), LooksLikeReport);
    for (const Caller& c : m_pending) {
        if (report && Contains(words, c.call)) {
            const std::string call = c.call;
            m_pending.clear();
            m_callers.clear();
            Schedule(when, ConfirmText(m_strOpCall, call));
            return;
        }
    }
    const auto answer = [&](std::string call, Clock::time_point at) {
        Caller c{std::move(call), Pick(m_qsoRng, kReports), 1 + static_cast<int>(m_qsoRng() % 250)};
        Schedule(at, AnswerText(m_strOpCall, c));
        m_callers.push_back(c.call);
        m_pending.push_back(std::move(c));
    };
    // Called by the operator, the CQ station answers (and calls CQ again later).
    if (Contains(words, m_strCqCall) && !Contains(words, "CQ")) {
        m_pending.clear();
        m_callers.clear();
        answer(m_strCqCall, when);
        return;
    }
    if (Contains(words, "CQ")) {
        m_pending.clear();
        m_callers.clear();
        answer(NewCall(m_qsoRng), when);
        if (static_cast<int>(m_qsoRng() % 100) < m_options.pileupPercent)
            answer(NewCall(m_qsoRng), when);   // at the same time: heard right behind the first
    }
}

SimulatedBand::Clock::time_point SimulatedBand::NextDue() const
{
    if (m_bKeyed)
        return Clock::time_point::max();
    Clock::time_point t = m_nextCq;
    if (!m_items.empty())
        t = std::min(t, m_items.front().when);
    return t;
}

std::string SimulatedBand::Take(Clock::time_point now)
{
    std::string text;
    if (m_bKeyed)
        return text;
    while (!m_items.empty() && m_items.front().when <= now) {
        text += m_items.front().text;
        m_items.pop_front();
    }
    if (now >= m_nextCq) {
        text += CqText();
        // Every so often, give or take a quarter.
        const auto interval = m_options.cqInterval.count();
        const auto spread = interval / 2 > 0 ? static_cast<long long>(m_cqRng() % static_cast<uint32_t>(interval / 2)) : 0;
        m_nextCq = now + std::chrono::milliseconds(interval - interval / 4 + spread);
    }
    return text;
}
