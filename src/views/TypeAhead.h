#pragma once
// The line being typed in the transmit pane and the rules that hand it to the
// RTTY link: the three send modes (Line, Word, Character), the automatic wrap
// at the page width, the keys and characters of the pane, the end of a line
// with its history entry and receive-pane copy, and the commands that work on
// typed text (Repeat Last, Duplicate, Copy, Paste, Clear Screen, the modes).
//
// The line is shown as " " + prompt + sent + word + line. m_strSent has been
// handed on and never goes again; in Line mode m_strWord is empty, in Word
// mode m_strLine is empty, in Character mode both are. m_nCaret counts from
// the start of m_strSent. User-interface thread only.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class CVELTRANDoc;
class SettingsStore;
class TransmitHost;
class TxRxControl;
class WallClock;
struct CommandState;

class TypeAhead {
public:
    // Sends the macro of a key code: 'A'..'Z', '0'..'9', or vkey::kF2..kF9.
    using MacroHandler = std::function<void(int key)>;

    TypeAhead(SettingsStore& settings, CVELTRANDoc& doc, TransmitHost& host, TxRxControl& control,
              const WallClock& clock);

    // The pane became ready: modes follow the protocol, the first prompt is made.
    void OnReady();
    // Copies the receive view's port-open flag; under Delay and Auto both mode
    // flags are cleared (at construction and after the Ports dialog).
    void RefreshPortState();
    // Writes the send mode back to "CharMode"/"WordMode" (pane destroyed).
    void SaveModes();

    void SetMacroHandler(MacroHandler handler) { m_macro = std::move(handler); }

    // A key-down with its virtual-key code; true when consumed here, false
    // for the toolkit's default handling.
    bool OnKeyDown(int vk, bool ctrl);
    // A character message; true when consumed, false for default handling.
    // Dropped while the key-down before it was consumed as a command.
    bool OnChar(uint8_t ch);

    // Inserts text at the caret as if typed (typing, paste, macros).
    void InsertText(std::string_view text);
    // Finishes the current line (Enter, automatic wrap).
    void EndLine();
    // Hands a finished piece to the link or the Delay buffer; always true.
    bool SendLine(const std::string& text);
    std::string FormatPrompt() const;

    void RepeatLastCommand();
    void DuplicateCommand();
    // The text Copy puts on the clipboard: history line m_nSelLine without its marker.
    std::optional<std::string> CopyText() const;
    void Paste(std::string_view clipboardText);
    void ClearScreen();
    void SetLineMode();
    void SetWordMode();
    void SetCharMode();
    // Clear TX Buffer's part: the unsent typed text is dropped.
    void DiscardUnsent();

    void UpdateCopy(CommandState& state) const;
    void UpdateLineMode(CommandState& state) const;
    void UpdateWordMode(CommandState& state) const;
    void UpdateCharMode(CommandState& state) const;

    // " " + prompt + sent + word + line, as drawn.
    std::string DisplayLine() const;
    // sent + word + line: the line without its prompt (printing, echoes).
    std::string LineText() const { return m_strSent + m_strWord + m_strLine; }

    const std::string& Prompt() const { return m_strPrompt; }
    const std::string& Sent() const { return m_strSent; }
    const std::string& Word() const { return m_strWord; }
    const std::string& Line() const { return m_strLine; }
    int Caret() const { return m_nCaret; }
    bool PortOpen() const { return m_bPortOpen != 0; }
    bool CharMode() const { return m_bCharMode != 0; }
    bool WordMode() const { return m_bWordMode != 0; }
    bool KeyHandled() const { return m_bKeyHandled != 0; }
    int SelLine() const { return m_nSelLine; }
    void SetSelLine(int line) { m_nSelLine = line; }

private:
    // The text that can still be edited in the current mode.
    std::string& Editable() { return m_bWordMode ? m_strWord : m_strLine; }
    const std::string& Editable() const { return m_bWordMode ? m_strWord : m_strLine; }
    int SentLength() const { return static_cast<int>(m_strSent.size()); }
    int LineLength() const;
    // Gives a piece to the link at once (Character and Word mode) and
    // refreshes the receive view's echo of the line.
    void HandOn(const std::string& piece);
    void InsertCharMode(std::string_view text, int width);
    void InsertWordMode(std::string_view text, int width);
    void InsertLineMode(std::string_view text, int width);
    void Backspace();
    // Mode commands: the unsent part goes out at once, without a line end.
    void FlushUnsent(const std::string& unsent);
    std::string LineEnd() const;

    SettingsStore& m_settings;
    CVELTRANDoc& m_doc;
    TransmitHost& m_host;
    TxRxControl& m_control;
    const WallClock& m_clock;
    MacroHandler m_macro;

    std::string m_strPrompt;
    std::string m_strSent;
    std::string m_strWord;
    std::string m_strLine;
    uint32_t m_bPortOpen = 0;
    uint32_t m_bCharMode = 0;
    uint32_t m_bWordMode = 0;
    int32_t m_nCaret = 0;
    int32_t m_nSelLine = -1;
    uint32_t m_bKeyHandled = 0;
};
