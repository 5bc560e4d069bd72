// The routing rule: editing commands reach only the active pane and are
// disabled where it has none; station commands reach the transmit pane from
// every pane; frame commands go to added handlers before the frame's own.
#include "app/CommandTable.h"
#include "frame/CommandRouter.h"
#include "frame/CommandRoutes.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using Pane = CommandRouter::Pane;

// Claims every command (or only `only`), enabled as told, and records runs.
class Probe : public CommandTarget {
public:
    explicit Probe(std::string name, int only = 0) : name(std::move(name)), m_only(only) {}
    bool OnCommand(int id) override
    {
        if (m_only && id != m_only)
            return false;
        ran += name;
        return true;
    }
    bool OnUpdateCommand(int id, CommandState& state) override
    {
        if (m_only && id != m_only)
            return false;
        ++asked;
        state.enabled = enabled;
        state.checked = true;
        return true;
    }
    std::string name;
    std::string ran;
    bool enabled = true;
    int asked = 0;

private:
    int m_only;
};

class CommandRouterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        router.SetPane(Pane::kReceive, &receive);
        router.SetPane(Pane::kTransmit, &transmit);
        router.SetPane(Pane::kTnc, &tnc);
        router.SetFrame(&frame);
    }
    // Runs `id` with `active` active: the name of the target that ran it, or
    // "-" when it was disabled (then nothing ran).
    std::string RunWith(int id, Pane active)
    {
        for (Probe* p : {&receive, &transmit, &tnc, &frame})
            p->ran.clear();
        const bool enabled = router.Query(id, active).enabled;
        const bool done = router.Execute(id, active);
        EXPECT_EQ(enabled, done) << id;
        const std::string all = receive.ran + transmit.ran + tnc.ran + frame.ran;
        return all.empty() ? "-" : all;
    }

    Probe receive{"R"}, transmit{"T"}, tnc{"N"}, frame{"F"};
    CommandRouter router;
};

TEST_F(CommandRouterTest, EditingCommandsActOnTheActivePaneOnly)
{
    struct Row {
        int id;
        const char* withReceive;
        const char* withTransmit;
        const char* withTnc;
    };
    const Row rows[] = {
        {ID_EDIT_PASTE, "-", "T", "-"},
        {ID_EDIT_CLEAR_SCREEN, "R", "T", "N"},
        {ID_EDIT_SWAP_FIGS, "R", "T", "-"},
        {ID_EDIT_SWAP_LINE, "R", "T", "-"},
        {ID_FILE_IMPORT_TAPE, "-", "T", "N"},
        {ID_FILE_EXPORT_TAPE, "R", "T", "N"},
        {ID_EDIT_COPY, "-", "T", "-"},
        {ID_FILE_PRINT, "R", "T", "N"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(RunWith(row.id, Pane::kReceive), row.withReceive) << row.id;
        EXPECT_EQ(RunWith(row.id, Pane::kTransmit), row.withTransmit) << row.id;
        EXPECT_EQ(RunWith(row.id, Pane::kTnc), row.withTnc) << row.id;
        EXPECT_EQ(RunWith(row.id, Pane::kNone), "-") << row.id;
    }
}

TEST_F(CommandRouterTest, StationCommandsReachTheTransmitPaneFromEveryPane)
{
    for (int id : {ID_TOOLS_TRANSMIT, ID_TOOLS_RECEIVE, ID_TOOLS_SEND_RECEIVE, ID_TOOLS_CLEAR_TX_BUFFER,
                   ID_TOOLS_LINE_MODE, ID_TOOLS_WORD_MODE, ID_TOOLS_CHAR_MODE, ID_SEND_CQ, ID_SEND_BRAG,
                   ID_SEND_EXCHANGE, ID_FILE_REPORT, ID_MACRO_F2, ID_MACRO_F4, ID_MACRO_F5, ID_MACRO_F6,
                   ID_MACRO_F7, ID_MACRO_F8, ID_MACRO_F9}) {
        for (Pane active : {Pane::kReceive, Pane::kTransmit, Pane::kTnc, Pane::kNone})
            EXPECT_EQ(RunWith(id, active), "T") << id << " from pane " << static_cast<int>(active);
    }
    // Without the transmit pane they are disabled.
    router.SetPane(Pane::kTransmit, nullptr);
    EXPECT_EQ(RunWith(ID_TOOLS_TRANSMIT, Pane::kReceive), "-");
}

TEST_F(CommandRouterTest, EnableRuleDecidesWhoIsAsked)
{
    transmit.enabled = false;
    // Asked: the owner's answer holds, check mark included.
    EXPECT_EQ(RunWith(ID_SEND_CQ, Pane::kReceive), "-");
    EXPECT_TRUE(router.Query(ID_TOOLS_TRANSMIT, Pane::kTnc).checked);
    // Always: nobody is asked, and it runs.
    const int asked = transmit.asked;
    EXPECT_EQ(RunWith(ID_TOOLS_CLEAR_TX_BUFFER, Pane::kTnc), "T");
    EXPECT_EQ(transmit.asked, asked);
    // Added handlers come before the frame's own; unknown commands are disabled.
    Probe ports("P", ID_TOOLS_PORTS);
    router.AddFrameTarget(&ports);
    EXPECT_EQ(RunWith(ID_TOOLS_PORTS, Pane::kTnc), "-");  // not the frame's own
    EXPECT_EQ(ports.ran, "P");
    EXPECT_EQ(RunWith(1, Pane::kTransmit), "-");
}

TEST(CommandRoutes, EveryCommandHasExactlyOneRow)
{
    std::set<int> commands;
    for (const CommandInfo& c : CommandTable())
        commands.insert(c.id);
    std::set<int> routed;
    for (const CommandRoute& r : CommandRoutes()) {
        EXPECT_TRUE(routed.insert(r.id).second) << "two rows for " << r.id;
        EXPECT_NE(r.owners, 0u) << r.id;
    }
    EXPECT_EQ(routed, commands);
}

TEST(CommandRoutes, TheKeyAMenuItemShowsIsTheFirstKeyOfItsRow)
{
    for (const CommandInfo& c : CommandTable()) {
        const std::string text = c.menuText;
        const size_t tab = text.find('\t');
        const std::vector<std::string> keys = KeysForCommand(c.id);
        if (tab == std::string::npos)
            continue;
        ASSERT_FALSE(keys.empty()) << c.id;
        EXPECT_EQ(text.substr(tab + 1), keys.front()) << c.id;
    }
}

}  // namespace
