#include "app/MemorySettingsStore.h"
#include "frame/BarStyle.h"
#include "frame/DocumentNaming.h"
#include "frame/PortStatus.h"
#include "frame/RecentFileList.h"

#include <gtest/gtest.h>

namespace {

TEST(BarStyle, DefaultWordIsDockedAtTheTop)
{
    EXPECT_EQ(DockSideOfStyle(barstyle::kDefault), DockSide::Top);
    EXPECT_EQ(DockSideOfStyle(barstyle::kDefault | barstyle::kCreateExtras), DockSide::Top);
}

TEST(BarStyle, EachSideRoundTripsAndOtherBitsStay)
{
    const uint32_t word = barstyle::kDefault | barstyle::kCreateExtras;
    for (DockSide side : {DockSide::Left, DockSide::Top, DockSide::Right, DockSide::Bottom}) {
        const uint32_t changed = StyleWithDockSide(word, side);
        EXPECT_EQ(DockSideOfStyle(changed), side);
        EXPECT_EQ(changed & ~barstyle::kAlignAny, word & ~barstyle::kAlignAny);
    }
    EXPECT_EQ(StyleWithDockSide(barstyle::kDefault, DockSide::Left), 0x50001800u);
}

TEST(BarStyle, NoOrSeveralAlignmentBitsMeanTop)
{
    EXPECT_EQ(DockSideOfStyle(0x50000000u), DockSide::Top);
    EXPECT_EQ(DockSideOfStyle(barstyle::kAlignLeft | barstyle::kAlignRight), DockSide::Top);
    EXPECT_EQ(DockSideOfStyle(barstyle::kAlignBottom), DockSide::Bottom);
}

TEST(PortStatus, RttyPortWinsWithItsDataMode)
{
    PortStatusInput in;
    in.rttyInUse = true;
    in.rttyBaud = 45;
    in.rttyByteSize = 5;
    in.tncInUse = true;
    in.tncBaud = 1200;
    PortStatusText out = ComputePortStatus(in);
    EXPECT_EQ(out.mode, "RTTY");
    EXPECT_EQ(out.baud, 45);
    for (int bits : {7, 8}) {
        in.rttyByteSize = bits;
        in.rttyBaud = 110;
        out = ComputePortStatus(in);
        EXPECT_EQ(out.mode, "ASCII");
        EXPECT_EQ(out.baud, 110);
    }
}

TEST(PortStatus, TncOnlyGivesAsciiAndTheTncBaud)
{
    PortStatusInput in;
    in.rttyBaud = 45;
    in.tncInUse = true;
    in.tncBaud = 9600;
    const PortStatusText out = ComputePortStatus(in);
    EXPECT_EQ(out.mode, "ASCII");
    EXPECT_EQ(out.baud, 9600);
}

TEST(PortStatus, NeitherPortGivesEmptyAndZero)
{
    PortStatusInput in;
    in.rttyBaud = 45;
    in.tncBaud = 1200;
    const PortStatusText out = ComputePortStatus(in);
    EXPECT_EQ(out.mode, "");
    EXPECT_EQ(out.baud, 0);
}

TEST(PortStatus, APortInUseThatIsDownIsShownDownNeverAsRunning)
{
    PortStatusInput in;
    in.rttyInUse = true;
    in.rttyBaud = 45;
    in.rttyDown = true;
    in.tncInUse = true;
    in.tncBaud = 1200;
    PortStatusText out = ComputePortStatus(in);
    EXPECT_EQ(out.mode, "DOWN");
    EXPECT_EQ(out.baud, 0);
    EXPECT_TRUE(out.down);
    in.rttyInUse = false;
    in.tncDown = true;
    out = ComputePortStatus(in);
    EXPECT_EQ(out.mode, "DOWN");
    EXPECT_TRUE(out.down);
    in.tncDown = false;
    EXPECT_FALSE(ComputePortStatus(in).down);
}

TEST(RecentFileList, NewestFirstAtMostFourNoDuplicates)
{
    MemorySettingsStore store;
    RecentFileList list(store);
    for (const char* f : {"/a.rty", "/b.rty", "/c.rty", "/d.rty", "/e.rty"})
        list.Add(f);
    EXPECT_EQ(list.Files(), (std::vector<std::string>{"/e.rty", "/d.rty", "/c.rty", "/b.rty"}));
    list.Add("/c.rty");
    EXPECT_EQ(list.Files(), (std::vector<std::string>{"/c.rty", "/e.rty", "/d.rty", "/b.rty"}));
    EXPECT_EQ(store.GetText("Recent File List", "File1", ""), "/c.rty");
    EXPECT_EQ(store.GetText("Recent File List", "File4", ""), "/b.rty");

    RecentFileList reread(store);
    reread.Load();
    EXPECT_EQ(reread.Files(), list.Files());
}

TEST(RecentFileList, RemovedEntryLeavesAnEmptySlotBehind)
{
    MemorySettingsStore store;
    RecentFileList list(store);
    list.Add("/a.rty");
    list.Add("/b.rty");
    list.Remove("/b.rty");
    EXPECT_EQ(list.Files(), std::vector<std::string>{"/a.rty"});
    EXPECT_EQ(store.GetText("Recent File List", "File2", "x"), "");
    RecentFileList reread(store);
    reread.Load();
    EXPECT_EQ(reread.Files(), std::vector<std::string>{"/a.rty"});
}

TEST(DocumentNaming, TitlesAndExtensions)
{
    EXPECT_EQ(WindowTitleFor(""), "Untitled - Quorvane VELTRAN");
    EXPECT_EQ(WindowTitleFor("/home/op/log/contest.rty"), "contest.rty - Quorvane VELTRAN");
    EXPECT_EQ(WithRtyExtension("/tmp/x"), "/tmp/x.rty");
    EXPECT_EQ(WithRtyExtension("/tmp/x.rty"), "/tmp/x.rty");
    EXPECT_EQ(WithRtyExtension("/tmp/dir.d/x"), "/tmp/dir.d/x.rty");
    EXPECT_EQ(WithRtyExtension("/tmp/.hidden"), "/tmp/.hidden.rty");
}

}  // namespace
