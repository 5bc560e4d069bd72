// The macro store reads and writes section "Settings" at each use, and maps
// band texts to slider positions and back.
#include "app/MemorySettingsStore.h"
#include "macros/MacroStore.h"

#include <gtest/gtest.h>

TEST(MacroStore, ReadsTheStoreAtEachUseWithTheCallersDefault)
{
    MemorySettingsStore settings;
    MacroStore store(settings);
    EXPECT_EQ(store.Get("K", ""), "");
    EXPECT_EQ(store.Get("I", "0"), "0");
    EXPECT_EQ(store.Get("B", "10"), "10");
    EXPECT_FALSE(settings.Contains("Settings", "K"));

    store.Put("K", "W1AW");
    EXPECT_EQ(settings.GetText("Settings", "K", ""), "W1AW");
    // A change made behind the store's back is seen at the next read.
    settings.PutText("Settings", "K", "DL0ABC");
    EXPECT_EQ(store.Get("K", ""), "DL0ABC");
    // An empty stored text is a stored text: the default does not replace it.
    store.Put("B", "");
    EXPECT_EQ(store.Get("B", "10"), "");
}

TEST(MacroStore, BandPositionsRoundTripAndUnknownBandsFallToTen)
{
    const char* bands[] = {"10", "12", "15", "17", "20", "30", "40", "75", "80"};
    for (int i = 0; i < MacroStore::kBandCount; ++i) {
        EXPECT_EQ(MacroStore::BandIndexToText(i), bands[i]);
        EXPECT_EQ(MacroStore::BandTextToIndex(bands[i]), i);
    }
    // 75 and 80 are distinct positions.
    EXPECT_EQ(MacroStore::BandTextToIndex("75"), 7);
    EXPECT_EQ(MacroStore::BandTextToIndex("80"), 8);
    // Positions outside the slider give the 10 m band.
    EXPECT_EQ(MacroStore::BandIndexToText(-1), "10");
    EXPECT_EQ(MacroStore::BandIndexToText(9), "10");
    // A band that is no slider position, and text without digits, give 0.
    EXPECT_EQ(MacroStore::BandTextToIndex("25"), 0);
    EXPECT_EQ(MacroStore::BandTextToIndex(""), 0);
    EXPECT_EQ(MacroStore::BandTextToIndex("abc"), 0);
    // Leading digits count; what follows them does not.
    EXPECT_EQ(MacroStore::BandTextToIndex("20m"), 4);
    EXPECT_EQ(MacroStore::BandTextToIndex("40 metres"), 6);
    // A digit string too long for any integer is no band, not an overflow.
    EXPECT_EQ(MacroStore::BandTextToIndex("99999999999999999999999980"), 0);
}

TEST(MacroStore, StoredBandOutsideTheSliderIsWrittenBackAsTen)
{
    // What the "Embedded" page does on activation and OK.
    MemorySettingsStore settings;
    MacroStore store(settings);
    store.Put("B", "25");
    store.Put("B", MacroStore::BandIndexToText(MacroStore::BandTextToIndex(store.Get("B", "10"))));
    EXPECT_EQ(store.Get("B", "10"), "10");
    store.Put("B", "80");
    store.Put("B", MacroStore::BandIndexToText(MacroStore::BandTextToIndex(store.Get("B", "10"))));
    EXPECT_EQ(store.Get("B", "10"), "80");
}
