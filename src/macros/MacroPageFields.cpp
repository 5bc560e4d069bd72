#include "macros/MacroPageFields.h"

#include "app/SettingsKeys.h"
#include "macros/MacroStore.h"

namespace {

const std::string kNoText;

}  // namespace

MacroPageFields::MacroPageFields(const MacroPageInfo& page) : m_page(page)
{
    for (const std::string& key : page.fieldKeys) {
        if (key != keys::MacroBand.key)  // the band is a position, not a text
            m_texts.emplace_back(key, std::string());
    }
}

void MacroPageFields::Load(const MacroStore& store)
{
    for (auto& [key, text] : m_texts)
        text = store.Get(key, key == keys::MacroSerial.key ? keys::MacroSerial.def : "");
    if (m_page.kind == MacroPageInfo::Kind::Embedded)
        m_nBand = MacroStore::BandTextToIndex(store.Get(keys::MacroBand.key, keys::MacroBand.def));
}

void MacroPageFields::Save(MacroStore& store) const
{
    if (m_page.kind == MacroPageInfo::Kind::Embedded)
        store.Put(keys::MacroBand.key, MacroStore::BandIndexToText(m_nBand));
    for (const auto& [key, text] : m_texts)
        store.Put(key, text);
}

const std::string& MacroPageFields::Text(std::string_view key) const
{
    for (const auto& [k, text] : m_texts) {
        if (k == key)
            return text;
    }
    return kNoText;
}

void MacroPageFields::SetText(std::string_view key, std::string text)
{
    for (auto& [k, t] : m_texts) {
        if (k == key) {
            t = std::move(text);
            return;
        }
    }
}
