#pragma once
// The fields of one macro page and the page rule for them: Load reads every
// key of the page from the store (on each activation of the page), Save
// writes every key back, changed or not (on OK, for pages that were shown).
// The "Embedded" page holds the serial text ("I", default "0") and the band
// position (from "B", default "10"; -1 until loaded) instead of texts.
// User-interface thread only.
#include "macros/MacroPages.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class MacroStore;

class MacroPageFields {
public:
    explicit MacroPageFields(const MacroPageInfo& page);

    void Load(const MacroStore& store);
    void Save(MacroStore& store) const;

    // The field of `key` ("I" for the serial text); empty for a key the page
    // does not have. SetText ignores such keys.
    const std::string& Text(std::string_view key) const;
    void SetText(std::string_view key, std::string text);

    int BandPosition() const { return m_nBand; }
    void SetBandPosition(int position) { m_nBand = position; }

private:
    const MacroPageInfo& m_page;
    std::vector<std::pair<std::string, std::string>> m_texts;  // declaration order
    int m_nBand = -1;
};
