// The keying rules over a few hundred random sessions on the link alone, on
// a virtual clock (see support/KeyingProperty.h for the rules). A failing
// seed replays: the message names it.
#include "support/KeyingProperty.h"

#include <gtest/gtest.h>

TEST(KeyingProperty, EveryRandomLinkSessionKeepsTheKeyingRules)
{
    constexpr uint32_t kSessions = 300;
    for (uint32_t seed = 1; seed <= kSessions; ++seed) {
        const keying::Outcome outcome = keying::RunLinkSession(seed);
        for (const std::string& rule : outcome.broken)
            ADD_FAILURE() << "seed " << seed << ": " << rule;
        if (!outcome.broken.empty()) {
            ADD_FAILURE() << "seed " << seed << ":\n" << outcome.account;
            break;   // one session's account is enough to go on
        }
    }
}
