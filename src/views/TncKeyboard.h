#pragma once
// The TNC pane's keyboard: a plain terminal, so what is typed goes straight
// to the TNC and nothing is echoed (the TNC's own echo shows it).
//
// - Characters go out unchanged, control characters included (Ctrl+C is 0x03,
//   the TNC's way back to command mode); CR goes out as CR, or as CR LF when
//   "Ports" "TNCCRLF" is set.
// - The arrows stand for characters: left BS, up VT, right TAB, down LF.
// - F2, F4..F9 and Ctrl with a letter (except C) or a digit send the key's
//   macro, expanded as the transmit pane expands it. The keystroke's own
//   character still follows (Ctrl+A sends macro A, then 0x01).
// User-interface thread only.
#include <cstdint>
#include <string>

class CVELTRANDoc;
class SettingsStore;

// Where the keyboard's text goes: the TNC link.
class TncKeySink {
public:
    virtual ~TncKeySink() = default;
    // Characters as typed (the link's SendChar).
    virtual void SendChars(const std::string& bytes) = 0;
    // An expanded macro (the link's SendText).
    virtual void SendText(std::string& text) = 0;
};

class TncKeyboard {
public:
    TncKeyboard(SettingsStore& settings, CVELTRANDoc& doc, TncKeySink& sink)
        : m_settings(settings), m_doc(doc), m_sink(sink)
    {
    }

    // A key-down with the key codes of VirtualKey.h. True when the key was
    // an arrow or a macro key (the character message may still follow).
    bool OnKeyDown(int vk, bool ctrl);
    // A character message.
    void OnChar(uint8_t c);

    // The macro key a key-down sends (0 for none).
    static int MacroKey(int vk, bool ctrl);
    // The character an arrow stands for (0 for a key that is no arrow).
    static char ArrowChar(int vk);

private:
    SettingsStore& m_settings;
    CVELTRANDoc& m_doc;
    TncKeySink& m_sink;
};
