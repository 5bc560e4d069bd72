#include "app/PaneFont.h"
#include "app/SettingsKeys.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include <climits>

TEST(PaneFont, PaneFontIsFixedPitchMediumWeight)
{
    const QFont font = MakePaneFont("", 0);
    EXPECT_TRUE(font.fixedPitch());
    EXPECT_EQ(font.weight(), QFont::Medium);
    EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());

    const QFont named = MakePaneFont("Courier New", -13);
    EXPECT_EQ(named.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(named.pixelSize(), 13);
    EXPECT_EQ(MakePaneFont("", 16).pixelSize(), 16);
    // Sizes no chooser gives leave the choice to the system.
    for (int absurd : {INT_MIN, -257, 257, INT_MAX})
        EXPECT_EQ(MakePaneFont("", absurd), MakePaneFont("", 0)) << absurd;
}

TEST(PaneFont, ColoursAreStoredAsBlueGreenRed)
{
    EXPECT_EQ(PaneColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(PaneColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(PaneColor(0x00123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(StoredRgb(QColor(0x56, 0x34, 0x12)), 0x00123456);
    EXPECT_EQ(PaneColor(keys::kSystemColor), QGuiApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(StoredRgb(PaneColor(0x00ABCDEF)), 0x00ABCDEF);
}
