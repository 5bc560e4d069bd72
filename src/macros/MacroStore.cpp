#include "macros/MacroStore.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"

namespace {

constexpr int kBandMetres[MacroStore::kBandCount] = {10, 12, 15, 17, 20, 30, 40, 75, 80};

}  // namespace

std::string MacroStore::Get(std::string_view key, std::string_view def) const
{
    return m_settings.GetText(keys::kSettings, key, def);
}

void MacroStore::Put(std::string_view key, std::string_view text)
{
    m_settings.PutText(keys::kSettings, key, text);
}

std::string MacroStore::BandIndexToText(int index)
{
    if (index < 1 || index >= kBandCount)
        return "10";
    return std::to_string(kBandMetres[index]);
}

int MacroStore::BandTextToIndex(std::string_view text)
{
    // A decimal conversion as the C library's atoi reads it (leading blanks,
    // a sign, then digits), capped so that no digit string can overflow.
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < 1000000)
            value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    for (int b = 1; b < kBandCount; ++b) {
        if (value == kBandMetres[b])
            return b;
    }
    return 0;
}
