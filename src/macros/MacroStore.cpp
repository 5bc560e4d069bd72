#include "macros/MacroStore.h"

#include "app/CVELTRANDoc.h"
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
    // The same leading-digits conversion as the serial number's.
    const int32_t value = CVELTRANDoc::DecimalValue(text);
    for (int b = 1; b < kBandCount; ++b) {
        if (value == kBandMetres[b])
            return b;
    }
    return 0;
}
