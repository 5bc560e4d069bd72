#include "views/TncLineCutter.h"

#include "views/ReceiveLineCutter.h"

namespace {

constexpr char kBackspace = 0x08;

// A CR inside a finished line takes the character after it with it.
void DropCarriageReturns(std::string& line)
{
    size_t cr = line.find('\r');
    while (cr != std::string::npos) {
        line.erase(cr, 2);
        cr = line.find('\r', cr);
    }
}

}  // namespace

bool TncLineCutter::IsShort(size_t width) const
{
    return m_strPending.find_first_of("\r\n") == std::string::npos && 2 * m_strPending.size() < width;
}

void TncLineCutter::ShowPending()
{
    MutexLock hold(m_lock);
    m_strCurrentLine = m_strPending;
    m_nCaret = static_cast<int>(m_strPending.size());
}

DisplayPass::Repaint TncLineCutter::Pass(std::string_view taken, int, int pageWidth)
{
    const size_t width = static_cast<size_t>(ReceiveLineCutter::ClampPageWidth(pageWidth));
    if (m_bEndedByCr && !taken.empty()) {
        m_bEndedByCr = false;
        if (taken.front() == '\n')
            taken.remove_prefix(1);  // the second half of a CR LF already acted on
    }
    if (taken.empty() && !NeedsPass(pageWidth))
        return Repaint::kNone;
    m_strPending.append(taken);

    if (IsShort(width)) {
        if (m_strPending.find(kBackspace) == std::string::npos) {
            ShowPending();
            return Repaint::kCurrentLine;
        }
        for (size_t bs = m_strPending.find(kBackspace); bs != std::string::npos;
             bs = m_strPending.find(kBackspace)) {
            if (bs == 0)
                m_strPending.erase(0, 1);
            else
                m_strPending.erase(bs - 1, 2);
        }
        ShowPending();
        return Repaint::kCurrentLineErase;
    }

    bool finished = false;
    for (;;) {
        if (IsShort(width)) {
            ShowPending();
            return Repaint::kWholeView;
        }
        // Only a line end within the page width counts: text that came in
        // one read ahead of a late line end wraps at the width, as the same
        // text arriving slowly does, so no line is wider than the page.
        std::string line;
        const size_t lf = m_strPending.find('\n');
        const size_t cr = m_strPending.find('\r');
        if (lf < width) {
            line = m_strPending.substr(0, lf);
            m_strPending.erase(0, lf + 1);
        } else if (cr < width) {
            line = m_strPending.substr(0, cr);
            m_strPending.erase(0, cr + 1);
            m_bEndedByCr = m_strPending.empty();
        } else if (m_strPending.size() >= width) {
            line = m_strPending.substr(0, width);
            m_strPending.erase(0, width);
        } else {
            // Between half the width and the width, no line end: wait for more.
            return finished ? Repaint::kWholeView : Repaint::kNone;
        }
        DropCarriageReturns(line);
        MutexLock hold(m_lock);
        if (!finished) {
            // What the current line showed is now in a finished line.
            m_strCurrentLine.clear();
            m_nCaret = 0;
        }
        if (!m_strCompleted.empty())
            m_strCompleted.push_back('\n');
        m_strCompleted += line;
        finished = true;
    }
}

bool TncLineCutter::NeedsPass(int pageWidth) const
{
    const size_t width = static_cast<size_t>(ReceiveLineCutter::ClampPageWidth(pageWidth));
    return m_strPending.size() >= width;
}

std::string TncLineCutter::CurrentLine() const
{
    MutexLock hold(m_lock);
    return m_strCurrentLine;
}

int TncLineCutter::Caret() const
{
    MutexLock hold(m_lock);
    return m_nCaret;
}

void TncLineCutter::Current(std::string* line, int* caret) const
{
    MutexLock hold(m_lock);
    *line = m_strCurrentLine;
    *caret = m_nCaret;
}

std::string TncLineCutter::TakeCompleted()
{
    MutexLock hold(m_lock);
    std::string out;
    out.swap(m_strCompleted);
    return out;
}
