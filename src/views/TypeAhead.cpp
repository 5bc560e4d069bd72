#include "views/TypeAhead.h"

#include "app/CVELTRANDoc.h"
#include "app/SettingsStore.h"
#include "views/CommandTarget.h"
#include "views/FrameStatus.h"
#include "views/PromptFormat.h"
#include "views/ReceiveLineCutter.h"
#include "views/ReceiveSide.h"
#include "views/TransmitHost.h"
#include "views/TransmitLink.h"
#include "views/TxRxControl.h"
#include "views/VirtualKey.h"

#include <algorithm>

namespace {
constexpr uint8_t kBackspace = 8;
constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kFirstText = 27;  // Escape and above are text

std::string WithoutMarker(std::string_view line)
{
    return line.empty() ? std::string() : std::string(line.substr(1));
}
}  // namespace

TypeAhead::TypeAhead(SettingsStore& settings, CVELTRANDoc& doc, TransmitHost& host,
                     TxRxControl& control, const WallClock& clock)
    : m_settings(settings), m_doc(doc), m_host(host), m_control(control), m_clock(clock)
{
    m_bCharMode = m_settings.Get(keys::CharMode) != 0 ? 1 : 0;
    m_bWordMode = (!m_bCharMode && m_settings.Get(keys::WordMode) != 0) ? 1 : 0;
}

void TypeAhead::RefreshPortState()
{
    ReceiveSide* rv = m_host.ReceiveView();
    m_bPortOpen = (rv && rv->DisplayRunning()) ? 1 : 0;
    // Character mode needs Manual; Word mode may be turned on again by its command.
    if (m_control.CurrentProtocol() != TxRxControl::kManual) {
        m_bCharMode = 0;
        m_bWordMode = 0;
    }
}

void TypeAhead::OnReady()
{
    if (m_control.CurrentProtocol() != TxRxControl::kManual) {
        m_bCharMode = 0;
        m_bWordMode = 0;
    }
    m_strPrompt = FormatPrompt();
}

void TypeAhead::SaveModes()
{
    m_settings.Put(keys::CharMode, static_cast<int>(m_bCharMode));
    m_settings.Put(keys::WordMode, static_cast<int>(m_bWordMode));
}

std::string TypeAhead::FormatPrompt() const
{
    return FormatPromptText(m_settings.Get(keys::Prompt), m_settings.Get(keys::UseLocal) != 0,
                            m_clock);
}

std::string TypeAhead::DisplayLine() const
{
    return " " + m_strPrompt + LineText();
}

int TypeAhead::LineLength() const
{
    return static_cast<int>(m_strSent.size() + m_strWord.size() + m_strLine.size());
}

std::string TypeAhead::LineEnd() const
{
    return m_settings.Get(keys::RTTYCRLF) != 0 ? "\r\r\n" : "\r\n";
}

bool TypeAhead::OnKeyDown(int vk, bool ctrl)
{
    m_bKeyHandled = 0;
    if (!m_bPortOpen)
        return false;
    const int editable = static_cast<int>(Editable().size());
    switch (vk) {
    case vkey::kEnd:
        if (!m_bCharMode) {
            m_nCaret = SentLength() + editable;
            m_host.InvalidateCurrentLine();
        }
        return true;
    case vkey::kHome:
        if (!m_bCharMode) {
            m_nCaret = SentLength();
            m_host.InvalidateCurrentLine();
        }
        return true;
    case vkey::kLeft:
        if (!m_bCharMode && editable > 0 && m_nCaret > 0) {
            --m_nCaret;
            m_host.InvalidateCurrentLine();
        }
        return true;
    case vkey::kRight:
        if (!m_bCharMode && m_nCaret < SentLength() + editable) {
            ++m_nCaret;
            m_host.InvalidateCurrentLine();
        }
        return true;
    case vkey::kDelete:
        if (!m_bCharMode) {
            const int p = m_nCaret - SentLength();
            if (p >= 0 && p < editable) {
                Editable().erase(static_cast<size_t>(p), 1);
                m_host.InvalidateCurrentLine();
            }
        }
        return true;
    case vkey::kUp:
    case vkey::kF3:
        RepeatLastCommand();
        return true;
    case vkey::kF2:
    case vkey::kF4:
    case vkey::kF5:
    case vkey::kF6:
    case vkey::kF7:
    case vkey::kF8:
    case vkey::kF9:
        if (m_macro)
            m_macro(vk);
        m_bKeyHandled = 1;
        return true;
    default:
        break;
    }
    if (ctrl && vkey::IsLetterOrDigit(vk)) {
        if (m_macro)
            m_macro(vk);
        // The control character the key also produces must not become text.
        m_bKeyHandled = 1;
        return true;
    }
    return false;
}

bool TypeAhead::OnChar(uint8_t ch)
{
    if (!m_bPortOpen || m_bKeyHandled)
        return false;
    if (ch == kBackspace) {
        Backspace();
        return true;
    }
    if (ch == kCarriageReturn) {
        EndLine();
        return true;
    }
    if (ch < kFirstText)
        return true;
    if (ch >= 'a' && ch <= 'z' && m_settings.Get(keys::AutoCaps) != 0)
        ch = static_cast<uint8_t>(ch - 'a' + 'A');
    const char text = static_cast<char>(ch);
    InsertText(std::string_view(&text, 1));
    return true;
}

void TypeAhead::Backspace()
{
    if (m_bCharMode)
        return;  // what was typed is already on its way
    if (m_bWordMode) {
        // The caret may move back into text already sent; nothing is deleted there.
        if (!m_strWord.empty() && m_nCaret > 0) {
            --m_nCaret;
            const int p = m_nCaret - SentLength();
            if (p >= 0 && p < static_cast<int>(m_strWord.size()))
                m_strWord.erase(static_cast<size_t>(p), 1);
        }
    } else if (m_nCaret > 0) {
        --m_nCaret;
        const int p = m_nCaret - SentLength();
        if (p >= 0 && p < static_cast<int>(m_strLine.size()))
            m_strLine.erase(static_cast<size_t>(p), 1);
    }
    m_host.InvalidateCurrentLine();
}

void TypeAhead::InsertText(std::string_view text)
{
    // The receive page's bounds: a stored width out of them would end a line
    // at every key, or (near INT_MAX) overflow the wrap test below.
    const int width = ReceiveLineCutter::ClampPageWidth(m_settings.Get(keys::RTTYPageWidth));
    if (m_bCharMode)
        InsertCharMode(text, width);
    else if (m_bWordMode)
        InsertWordMode(text, width);
    else
        InsertLineMode(text, width);
}

void TypeAhead::HandOn(const std::string& piece)
{
    ReceiveSide* rv = m_host.ReceiveView();
    if (!rv)
        return;
    TransmitLink& link = rv->Link();
    std::string queued = piece;
    link.SendText(queued);
    rv->ClearDeadmanCount();
    std::string echo = LineText();
    link.EchoThroughCodec(echo, 1);
    rv->SetTxEcho(echo);
}

void TypeAhead::InsertCharMode(std::string_view text, int width)
{
    m_strSent.append(text);
    HandOn(std::string(text));
    m_nCaret = LineLength();
    if (m_nCaret > width)
        EndLine();
    else
        m_host.InvalidateCurrentLine();
}

void TypeAhead::InsertWordMode(std::string_view text, int width)
{
    m_strWord.append(text);
    // Only the first finished word goes now; later words follow one per insertion.
    const size_t blank = m_strWord.find(' ');
    if (blank != std::string::npos) {
        const std::string piece = m_strWord.substr(0, blank + 1);
        m_strWord.erase(0, blank + 1);
        m_strSent += piece;
        HandOn(piece);
    }
    m_nCaret = LineLength();
    // What was sent cannot move to the next line, so nothing is carried over.
    if (m_nCaret > width + 5)
        EndLine();
    else
        m_host.InvalidateCurrentLine();
}

void TypeAhead::InsertLineMode(std::string_view text, int width)
{
    const int p = std::clamp(m_nCaret - SentLength(), 0, static_cast<int>(m_strLine.size()));
    m_strLine.insert(static_cast<size_t>(p), text);
    m_nCaret += static_cast<int>(text.size());
    if (m_nCaret <= width + 5) {
        m_host.InvalidateCurrentLine();
        return;
    }
    // Wrap at the last blank; the partial word after it starts the next line.
    const size_t blank = m_strLine.rfind(' ');
    if (blank != std::string::npos && blank >= 1) {
        std::string carried = m_strLine.substr(blank + 1);
        m_strLine.resize(blank);
        EndLine();
        m_strLine = std::move(carried);
        m_nCaret = LineLength();
    } else {
        EndLine();
    }
    m_host.RepaintPane();
}

void TypeAhead::EndLine()
{
    m_doc.AddText(" " + m_strPrompt + LineText(), CVELTRANDoc::kTransmitList);

    ReceiveSide* rv = m_host.ReceiveView();
    const int protocol = m_control.CurrentProtocol();
    const bool merge = m_settings.Get(keys::XRMerge) != 0;
    // Under Delay the receive-pane copy is made when the buffer goes out.
    if (rv && (protocol == TxRxControl::kAuto || (protocol == TxRxControl::kManual && merge))) {
        std::string shown = LineText();
        rv->SetTxEcho(std::string());
        rv->Link().EchoThroughCodec(shown, 2);
        rv->TakeCompletedLines();
        m_doc.AddText(">" + shown, CVELTRANDoc::kReceiveList);
    }

    // In Character mode everything is gone already; only the line end follows.
    SendLine(m_bCharMode ? m_strLine : m_strWord + m_strLine);

    m_strPrompt = FormatPrompt();
    m_nCaret = 0;
    m_strSent.clear();
    m_strWord.clear();
    m_strLine.clear();
    m_host.RepaintPane();

    if (merge && rv) {
        rv->Repaint();
        rv->ScrollToNewest();
    }
    m_host.HistoryScrollToNewest();
}

bool TypeAhead::SendLine(const std::string& text)
{
    ReceiveSide* rv = m_host.ReceiveView();
    if (!rv)
        return true;
    // A piece of any length goes whole: the history already shows it as sent.
    std::string piece = text;
    if (!m_bCharMode)
        piece += LineEnd();
    const int protocol = m_control.CurrentProtocol();
    if (protocol == TxRxControl::kDelay) {
        m_control.AppendDelayed(piece);
        return true;
    }
    TransmitLink& link = rv->Link();
    if (m_bCharMode) {
        link.SendChar(LineEnd().c_str());
    } else {
        if (protocol == TxRxControl::kAuto) {
            if (FrameStatus* status = m_host.Status())
                status->SetAutoPaneText("Auto TXD   ");
        }
        link.SendText(piece);
    }
    rv->ClearDeadmanCount();
    return true;
}

void TypeAhead::RepeatLastCommand()
{
    const LineList& history = m_doc.GetList(CVELTRANDoc::kTransmitList);
    if (history.empty())
        return;
    // The stored line starts with its marker and the prompt of its day; the
    // current prompt's length says how much of it to skip.
    const std::string_view last = history.back();
    const size_t skip = 1 + FormatPrompt().size();
    InsertText(last.size() > skip ? last.substr(skip) : std::string_view());
}

void TypeAhead::DuplicateCommand()
{
    const LineList& history = m_doc.GetList(CVELTRANDoc::kTransmitList);
    if (m_nSelLine < 1 || m_nSelLine > static_cast<int>(history.size()))
        return;
    InsertText(WithoutMarker(history[static_cast<size_t>(m_nSelLine - 1)]));
}

std::optional<std::string> TypeAhead::CopyText() const
{
    const LineList& history = m_doc.GetList(CVELTRANDoc::kTransmitList);
    if (m_nSelLine < 1 || m_nSelLine > static_cast<int>(history.size()))
        return std::nullopt;
    return WithoutMarker(history[static_cast<size_t>(m_nSelLine - 1)]);
}

void TypeAhead::Paste(std::string_view clipboardText)
{
    InsertText(clipboardText);
    m_host.InvalidateCurrentLine();
}

void TypeAhead::ClearScreen()
{
    m_doc.ClearList(CVELTRANDoc::kReceiveList);
    m_doc.ClearList(CVELTRANDoc::kTransmitList);
    m_host.RepaintPane();
    if (ReceiveSide* rv = m_host.ReceiveView())
        rv->Repaint();
}

void TypeAhead::FlushUnsent(const std::string& unsent)
{
    if (unsent.empty())
        return;
    // Finished lines still waiting under Delay belong before this text: they
    // go first, with their usual receive-pane copy.
    m_control.FlushDelayed(true);
    m_control.AppendDelayed(unsent);
    m_control.FlushDelayed(false);
}

void TypeAhead::SetCharMode()
{
    if (!m_bCharMode) {
        const std::string unsent = m_strWord + m_strLine;
        m_strSent += unsent;
        m_strWord.clear();
        m_strLine.clear();
        FlushUnsent(unsent);
    }
    m_bCharMode = m_control.CurrentProtocol() == TxRxControl::kManual ? 1 : 0;
    m_bWordMode = 0;
    m_host.InvalidateCurrentLine();
}

void TypeAhead::SetWordMode()
{
    if (!m_bWordMode) {
        const std::string unsent = m_strWord + m_strLine;
        m_strSent += unsent;
        m_strWord.clear();
        m_strLine.clear();
        FlushUnsent(unsent);
    }
    m_bWordMode = 1;
    m_bCharMode = 0;
    m_host.InvalidateCurrentLine();
}

void TypeAhead::SetLineMode()
{
    if (m_bWordMode) {
        const std::string unsent = m_strWord;
        m_strSent += unsent;
        m_strWord.clear();
        m_strLine.clear();
        FlushUnsent(unsent);
    }
    m_bCharMode = 0;
    m_bWordMode = 0;
    m_host.InvalidateCurrentLine();
}

void TypeAhead::DiscardUnsent()
{
    m_strWord.clear();
    m_strLine.clear();
    m_nCaret = std::min(m_nCaret, LineLength());
    m_host.InvalidateCurrentLine();
}

void TypeAhead::UpdateCopy(CommandState& state) const
{
    state.enabled = m_nSelLine > 0;
}

void TypeAhead::UpdateLineMode(CommandState& state) const
{
    state.checked = !m_bCharMode && !m_bWordMode;
}

void TypeAhead::UpdateWordMode(CommandState& state) const
{
    state.checked = m_bWordMode != 0;
}

void TypeAhead::UpdateCharMode(CommandState& state) const
{
    state.checked = m_bCharMode != 0;
}
