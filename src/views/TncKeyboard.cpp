#include "views/TncKeyboard.h"

#include "app/CVELTRANDoc.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "views/VirtualKey.h"

int TncKeyboard::MacroKey(int vk, bool ctrl)
{
    switch (vk) {
    case vkey::kF2:
    case vkey::kF4:
    case vkey::kF5:
    case vkey::kF6:
    case vkey::kF7:
    case vkey::kF8:
    case vkey::kF9:
        return vk;
    default:
        break;
    }
    // Ctrl+C stays a character: the TNC's break into command mode.
    if (ctrl && vkey::IsLetterOrDigit(vk) && vk != 'C')
        return vk;
    return 0;
}

char TncKeyboard::ArrowChar(int vk)
{
    switch (vk) {
    case vkey::kLeft: return 0x08;
    case vkey::kUp: return 0x0B;
    case vkey::kRight: return 0x09;
    case vkey::kDown: return 0x0A;
    default: return 0;
    }
}

bool TncKeyboard::OnKeyDown(int vk, bool ctrl)
{
    if (const char c = ArrowChar(vk)) {
        OnChar(static_cast<uint8_t>(c));
        return true;
    }
    const int key = MacroKey(vk, ctrl);
    if (key == 0)
        return false;
    std::string text = m_doc.ExpandMacro(static_cast<char>(key), true);
    if (!text.empty())
        m_sink.SendText(text);
    return true;
}

void TncKeyboard::OnChar(uint8_t c)
{
    if (c == '\r' && m_settings.Get(keys::TNCCRLF) != 0) {
        m_sink.SendChars("\r\n");
        return;
    }
    m_sink.SendChars(std::string(1, static_cast<char>(c)));
}
