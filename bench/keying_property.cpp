// The keying rules over many random sessions on a virtual clock, the longer
// run of the test suite's few hundred (the rules: tests/support/KeyingProperty.h).
// One "name value unit" line each:
//   keying_sessions            sessions run (seeds 1..N; --sessions N, default 20000)
//   keying_rules_broken        sessions that broke a rule (the first is printed to stderr)
//   keying_session_real_us     real time one session of some 10 s of air time takes
#include "support/KeyingProperty.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    uint32_t sessions = 20000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--sessions") == 0)
            sessions = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    uint32_t broken = 0;
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t seed = 1; seed <= sessions; ++seed) {
        const keying::Outcome outcome = keying::RunLinkSession(seed);
        if (outcome.broken.empty())
            continue;
        if (broken++ == 0) {
            for (const std::string& rule : outcome.broken)
                std::fprintf(stderr, "seed %u: %s\n", seed, rule.c_str());
            std::fprintf(stderr, "%s", outcome.account.c_str());
        }
    }
    const double us =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / sessions;
    std::printf("keying_sessions %u sessions\n", sessions);
    std::printf("keying_rules_broken %u sessions\n", broken);
    std::printf("keying_session_real_us %.1f us\n", us);
    return broken == 0 ? 0 : 1;
}
