#include "app/AboutInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(AboutInfo, DiskLineUsesKbUpToAndIncluding1024)
{
    EXPECT_EQ(FormatDiskLine(512, "C:"), "512 KB Free Space on C:");
    EXPECT_EQ(FormatDiskLine(1024, "C:"), "1024 KB Free Space on C:");
    EXPECT_EQ(FormatDiskLine(1025, "C:"), "1 MB Free Space on C:");
    EXPECT_EQ(FormatDiskLine(2048, "C:"), "2 MB Free Space on C:");
    EXPECT_EQ(FormatDiskLine(0, "/home/op"), "0 KB Free Space on /home/op");
}

TEST(AboutInfo, DiskLineUnavailableWhenUnknown)
{
    EXPECT_EQ(FormatDiskLine(std::nullopt, "/x"), "Unavailable");
}

TEST(AboutInfo, LongPlaceIsNotCut)
{
    const std::string place = "/" + std::string(3000, 'd');
    EXPECT_EQ(FormatDiskLine(4096, place), "4 MB Free Space on " + place);
}

TEST(AboutInfo, PlaceIsCutAfterADriveLetterOnly)
{
    EXPECT_EQ(DiskPlace("C:\\HAM\\RTTY"), "C:");
    EXPECT_EQ(DiskPlace("/home/op/rtty"), "/home/op/rtty");
    EXPECT_EQ(DiskPlace(""), "");
}

TEST(AboutInfo, MemoryLineInKb)
{
    EXPECT_EQ(FormatMemoryLine(64ull * 1024 * 1024), "65536 KB Memory");
    EXPECT_EQ(FormatMemoryLine(1023), "0 KB Memory");
}

TEST(AboutInfo, RealMeasurementsAreSensible)
{
    EXPECT_GT(PhysicalMemoryBytes(), 0u);
    const std::string cwd = CurrentDirectory();
    ASSERT_FALSE(cwd.empty());
    EXPECT_TRUE(FreeDiskKB(cwd).has_value());
    EXPECT_FALSE(FreeDiskKB("/no/such/directory/here").has_value());
}

}  // namespace
