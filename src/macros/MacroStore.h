#pragma once
// The macro set: one text value per key in section "Settings" of the settings
// store. There is no copy in memory: Get reads the store at the moment of use
// and Put writes straight back, so an edit acts at the next read. The running
// serial number is the document's, not the store's. User-interface thread only.
#include <string>
#include <string_view>

class SettingsStore;

class MacroStore {
public:
    explicit MacroStore(SettingsStore& settings) : m_settings(settings) {}

    // The stored text under `key`, or `def` when the key is missing.
    std::string Get(std::string_view key, std::string_view def) const;
    // Stores `text` under `key`; whether the write succeeded is not reported.
    void Put(std::string_view key, std::string_view text);

    // Number of band positions of the "Embedded" page's slider.
    static constexpr int kBandCount = 9;
    // Band text of a slider position: "12" ... "80" for 1..8, "10" otherwise.
    static std::string BandIndexToText(int index);
    // Slider position of a band text (leading decimal digits; none gives 0):
    // 12, 15, 17, 20, 30, 40, 75, 80 give 1..8, every other number 0.
    static int BandTextToIndex(std::string_view text);

private:
    SettingsStore& m_settings;
};
