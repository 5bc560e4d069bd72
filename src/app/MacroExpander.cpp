#include "app/MacroExpander.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"

#include <cstdio>

namespace {

// Upper-casing of one 8-bit character as the type-ahead does it: ASCII
// letters and the Latin-1 small letters with a capital form.
char UpperChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z')
        return static_cast<char>(u - 0x20);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
        return static_cast<char>(u - 0x20);
    return c;
}

// Names that may be looked up in the store. Macro keys are letters, digits
// and F2..F9; any other byte after a caret (punctuation, control or 8-bit
// characters) has no macro and must not reach the store, where characters
// such as '/' would be read as group separators.
bool IsStoreName(const std::string& name)
{
    if (name.size() == 2)
        return name[0] == 'F' && name[1] >= '2' && name[1] <= '9';
    if (name.size() != 1)
        return false;
    const char c = name[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

MacroExpander::MacroExpander(const SettingsStore& settings, int32_t& serialNumber,
                             const WallClock& clock, std::function<int()> rttyByteSize)
    : m_settings(settings),
      m_nSerialNumber(serialNumber),
      m_clock(clock),
      m_rttyByteSize(std::move(rttyByteSize))
{
}

std::string MacroExpander::KeyName(char key, bool fromKeyboard)
{
    return std::string(1, fromKeyboard ? key : UpperChar(key));
}

std::string MacroExpander::ExpandMacro(char key, bool fromKeyboard)
{
    Budget budget;
    return Expand(key, fromKeyboard, 1, budget);
}

void MacroExpander::ExpandReferences(std::string& text)
{
    Budget budget;
    std::string out;
    out.reserve(text.size());
    Scan(text, false, 0, 0, budget, out);
    text = std::move(out);
}

bool MacroExpander::BuiltIn(const std::string& name, std::string& out)
{
    char buf[64];
    const bool local = m_settings.Get(keys::UseLocal) != 0;
    switch (name[0]) {
    case 'D': {
        const CivilTime now = m_clock.Now(local);
        std::snprintf(buf, sizeof buf, "%d-%02d-%02d ", now.month, now.day, now.year % 100);
        out = buf;
        return true;
    }
    case 'T': {
        const CivilTime now = m_clock.Now(local);
        std::snprintf(buf, sizeof buf, local ? "%02d%02d " : "%02d%02dZ ", now.hour, now.minute);
        out = buf;
        return true;
    }
    case 'I':
        std::snprintf(buf, sizeof buf, "%ld", static_cast<long>(m_nSerialNumber));
        // The counter is a 32-bit word: past its largest value it wraps.
        m_nSerialNumber = static_cast<int32_t>(static_cast<uint32_t>(m_nSerialNumber) + 1u);
        out = buf;
        return true;
    case 'J':
        std::snprintf(buf, sizeof buf, "%ld",
                      static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(m_nSerialNumber) - 1u)));
        out = buf;
        return true;
    case 'M':
        out = (m_rttyByteSize ? m_rttyByteSize() : m_settings.Get(keys::RTTYType)) == 5 ? "RTTY "
                                                                                        : "ASCII ";
        return true;
    case 'Q':
        out = std::string(1, kStopTransmit);
        return true;
    case 'W':
        out = std::string(1, kStartTransmit);
        return true;
    default:
        return false;
    }
}

std::string MacroExpander::Expand(char key, bool fromKeyboard, int depth, Budget& budget)
{
    std::string out;
    if (depth > kMaxDepth || budget.expansions <= 0)
        return out;
    --budget.expansions;

    std::string name = KeyName(key, fromKeyboard);
    if (BuiltIn(name, out))
        return out;

    const auto code = static_cast<unsigned char>(key);
    if (code >= 0x71 && code <= 0x78)
        name = std::string("F") + static_cast<char>(code - 63);
    if (!IsStoreName(name))
        return out;

    const std::string stored = m_settings.GetText(keys::kSettings, name, "");
    if (stored.size() > budget.macroBytes) {
        budget.macroBytes = 0;
        return out;
    }
    budget.macroBytes -= stored.size();
    Scan(stored, true, key, depth, budget, out);
    return out;
}

void MacroExpander::Scan(std::string_view text, bool selfRule, char self, int depth,
                         Budget& budget, std::string& out)
{
    size_t pos = 0;
    for (;;) {
        const size_t caret = text.find('^', pos);
        if (caret == std::string_view::npos) {
            out.append(text.substr(pos));
            return;
        }
        if (caret + 1 >= text.size()) {
            // A caret with nothing after it ends the text and adds nothing.
            out.append(text.substr(pos, caret - pos));
            return;
        }
        const char c = text[caret + 1];
        if (c == '^') {
            out.append(text.substr(pos, caret + 1 - pos));
            pos = caret + 2;
            continue;
        }
        out.append(text.substr(pos, caret - pos));
        pos = caret + 2;
        if (!selfRule || c != self)
            out += Expand(c, false, depth + 1, budget);
    }
}
