// The keying rules over many random sessions on a virtual clock, the longer
// run of the test suite's few hundred (the rules: tests/support/KeyingProperty.h).
// One "name value unit" line each:
//   keying_sessions            sessions run (seeds 1..N; --sessions N, default 20000)
//   keying_rules_broken        sessions that broke a rule (to stderr: the first's account,
//                              then each later one's seed and first broken rule)
//   keying_session_real_us     real time one session of some 10 s of air time takes
// With --views the sessions are the transmit pane's rule classes over the
// link (tests/views/KeyingSession.h) and the figures are named keying_views_*.
// --show SEED prints that seed's account: with --views the pane's session
// always, the link's session only when it broke a rule.
#include "support/KeyingProperty.h"
#include "views/KeyingSession.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    uint32_t sessions = 20000;
    bool views = false;
    long show = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--views") == 0)
            views = true;
        else if (i + 1 < argc && std::strcmp(argv[i], "--sessions") == 0)
            sessions = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (i + 1 < argc && std::strcmp(argv[i], "--show") == 0)
            show = std::strtol(argv[++i], nullptr, 10);
    }
    if (show >= 0) {
        const auto seed = static_cast<uint32_t>(show);
        const keying::Session session = views ? keying::RecordViewsSession(seed) : keying::Session{};
        const keying::Outcome outcome = views ? keying::Outcome{keying::CheckKeying(session), keying::Describe(session)}
                                              : keying::RunLinkSession(seed);
        for (const std::string& rule : outcome.broken)
            std::printf("broken: %s\n", rule.c_str());
        std::printf("%s", outcome.account.c_str());
        return outcome.broken.empty() ? 0 : 1;
    }
    const std::string prefix = views ? "keying_views_" : "keying_";
    uint32_t broken = 0;
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t seed = 1; seed <= sessions; ++seed) {
        const keying::Outcome outcome = views ? keying::RunViewsSession(seed) : keying::RunLinkSession(seed);
        if (outcome.broken.empty())
            continue;
        if (broken++ == 0) {
            for (const std::string& rule : outcome.broken)
                std::fprintf(stderr, "seed %u: %s\n", seed, rule.c_str());
            std::fprintf(stderr, "%s", outcome.account.c_str());
        } else {
            std::fprintf(stderr, "seed %u: %s\n", seed, outcome.broken.front().c_str());
        }
    }
    const double us =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / sessions;
    std::printf("%ssessions %u sessions\n", prefix.c_str(), sessions);
    std::printf("%srules_broken %u sessions\n", prefix.c_str(), broken);
    std::printf("%ssession_real_us %.1f us\n", prefix.c_str(), us);
    return broken == 0 ? 0 : 1;
}
