#include "link/PortWaitState.h"

#include <gtest/gtest.h>

namespace {

// What one turn of a wait gives: whether it ends, and the flags it sets.
struct Turn {
    bool ends;
    uint32_t flags;
};

Turn TakeTurn(PortWaitState& wait, bool live)
{
    PortEvents ev;
    const bool ends = wait.Ends(ev, live);
    return {ends, ev.flags};
}

}  // namespace

TEST(PortWaitState, AWakeEndsOneWaitACancelEveryWaitUntilReopenedAndDownOutranksBoth)
{
    CondVar changed;
    PortWaitState wait(changed);
    EXPECT_FALSE(TakeTurn(wait, true).ends);

    wait.Wake();
    const Turn woken = TakeTurn(wait, true);
    EXPECT_FALSE(woken.ends);  // the device's own events still count in this turn
    EXPECT_EQ(woken.flags, PortEvents::kWoken);
    EXPECT_EQ(TakeTurn(wait, true).flags, 0u) << "a wake is taken once";

    wait.Wake();
    wait.Cancel();
    for (int i = 0; i < 2; ++i) {
        const Turn cancelled = TakeTurn(wait, true);
        EXPECT_TRUE(cancelled.ends);
        EXPECT_EQ(cancelled.flags, PortEvents::kCancelled);
    }
    const Turn down = TakeTurn(wait, false);
    EXPECT_TRUE(down.ends);
    EXPECT_EQ(down.flags, PortEvents::kDown);

    wait.Reset();
    EXPECT_FALSE(wait.Cancelled());
    EXPECT_EQ(TakeTurn(wait, true).flags, 0u) << "an open forgets the wake given before it";
}
