#include "views/ReceiveLineCutter.h"

#include <algorithm>

namespace {
constexpr char kBel = 0x07;
constexpr char kBaudotBell = '*';  // figures reading of the code that rings the bell
}  // namespace

int ReceiveLineCutter::ClampPageWidth(int stored)
{
    return std::clamp(stored, kMinPageWidth, kMaxPageWidth);
}

ReceiveLineCutter::ReceiveLineCutter(BellHook bell) : m_bell(std::move(bell)) {}

ReceiveLineCutter::Repaint ReceiveLineCutter::Pass(std::string_view taken, int byteSize, int pageWidth)
{
    if (taken.empty() && m_strPending.empty())
        return Repaint::kNone;

    if (m_bell) {
        const char bell = byteSize == 5 ? kBaudotBell : kBel;
        for (char c : taken) {
            if (c == bell)
                m_bell();
        }
    }

    for (char c : taken) {
        if (c != '\r')
            m_strPending.push_back(c);
    }
    if (!taken.empty())
        m_bCurrentStale = true;

    const size_t width = static_cast<size_t>(ClampPageWidth(pageWidth));
    // A line ends at its LF only within the page width: text that came in
    // one read ahead of a late LF wraps at the width just as the same text
    // arriving slowly does, so no line is ever wider than the page.
    const size_t lf = m_strPending.find('\n');
    if (lf != std::string::npos && lf < width)
        return FinishLine(lf, 1);
    if (m_strPending.size() >= width)
        return FinishLine(width, 0);
    if (m_strPending.empty())
        return Repaint::kNone;

    {
        MutexLock hold(m_lock);
        m_strCurrentLine.assign(1, ' ');
        m_strCurrentLine += m_strPending;
    }
    m_bCurrentStale = false;
    return Repaint::kCurrentLine;
}

ReceiveLineCutter::Repaint ReceiveLineCutter::FinishLine(size_t length, size_t skip)
{
    {
        MutexLock hold(m_lock);
        m_strCurrentLine.clear();
        if (!m_strCompleted.empty())
            m_strCompleted.push_back('\n');
        m_strCompleted.push_back(' ');
        m_strCompleted.append(m_strPending, 0, length);
    }
    m_strPending.erase(0, length + skip);
    // The current line was just emptied: whatever is left must be shown again.
    m_bCurrentStale = !m_strPending.empty();
    return Repaint::kWholeView;
}

bool ReceiveLineCutter::NeedsPass(int pageWidth) const
{
    if (m_strPending.empty())
        return false;
    if (m_bCurrentStale)
        return true;
    return m_strPending.find('\n') != std::string::npos ||
           m_strPending.size() >= static_cast<size_t>(ClampPageWidth(pageWidth));
}

std::string ReceiveLineCutter::CurrentLine() const
{
    MutexLock hold(m_lock);
    return m_strCurrentLine;
}

std::string ReceiveLineCutter::TakeCompleted()
{
    MutexLock hold(m_lock);
    std::string out;
    out.swap(m_strCompleted);
    return out;
}

void ReceiveLineCutter::Snapshot(std::string* currentLine, std::string* completed)
{
    MutexLock hold(m_lock);
    *currentLine = m_strCurrentLine;
    completed->clear();
    completed->swap(m_strCompleted);
}
