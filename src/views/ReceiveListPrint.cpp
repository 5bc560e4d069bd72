#include "views/ReceiveListPrint.h"

#include <algorithm>

ReceiveListPrint::ReceiveListPrint(const LineList& lines, int linesPerPage)
    : m_lines(lines), m_nPerPage(std::max(linesPerPage, 1))
{
}

int ReceiveListPrint::PageCount() const
{
    const int n = static_cast<int>(m_lines.size());
    return std::max(1, (n + m_nPerPage - 1) / m_nPerPage);
}

std::vector<std::string> ReceiveListPrint::PageLines(int page) const
{
    const size_t first = static_cast<size_t>(std::max(page - 1, 0)) * static_cast<size_t>(m_nPerPage);
    if (first >= m_lines.size())
        return {};
    const size_t last = std::min(m_lines.size(), first + static_cast<size_t>(m_nPerPage));
    std::vector<std::string> lines;
    lines.reserve(last - first);
    for (size_t i = first; i < last; ++i)
        lines.emplace_back(m_lines[i]);
    return lines;
}

bool ReceiveListPrint::TakeTypedLine(int page)
{
    if (m_bLinePrinted || page != PageCount())
        return false;
    // The list ends on this page; a full page leaves no row for the line.
    if (static_cast<int>(PageLines(page).size()) >= m_nPerPage)
        return false;
    m_bLinePrinted = true;
    return true;
}
