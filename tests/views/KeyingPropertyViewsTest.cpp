// The keying rules over a couple of hundred random sessions of the transmit
// pane's rule classes on a live link, on a virtual clock (the sessions:
// KeyingSession.h; the rules: support/KeyingProperty.h). A failing seed
// replays: the message names it.
#include "KeyingSession.h"

#include <gtest/gtest.h>

TEST(KeyingPropertyViews, EveryRandomPaneSessionKeepsTheKeyingRules)
{
    constexpr uint32_t kSessions = 200;
    for (uint32_t seed = 1; seed <= kSessions; ++seed) {
        const keying::Outcome outcome = keying::RunViewsSession(seed);
        for (const std::string& rule : outcome.broken)
            ADD_FAILURE() << "seed " << seed << ": " << rule;
        if (!outcome.broken.empty()) {
            ADD_FAILURE() << "seed " << seed << ":\n" << outcome.account;
            break;   // one session's account is enough to go on
        }
    }
}
