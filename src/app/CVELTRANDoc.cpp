#include "app/CVELTRANDoc.h"

#include "app/RtyFormat.h"
#include "app/SettingsStore.h"

#include <algorithm>
#include <climits>

namespace {

bool ValidList(int list)
{
    return list >= 1 && list <= 3;
}

// Lists are only ever read through this when the number is valid; an invalid
// number reads as an empty list rather than as someone else's memory.
const LineList& EmptyList()
{
    static const LineList empty;
    return empty;
}

}  // namespace

int32_t CVELTRANDoc::DecimalValue(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Accumulated as a magnitude and clamped, so a long digit string gives the
    // nearest 32-bit value instead of overflowing.
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            value = limit;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

CVELTRANDoc::CVELTRANDoc(SettingsStore& settings) : m_settings(settings)
{
    m_nSerialNumber = DecimalValue(m_settings.Get(keys::MacroSerial));
}

void CVELTRANDoc::AppendLine(int index, std::string_view line)
{
    m_lists[index].push_back(line);
    if (m_nCounts[index] < UINT32_MAX)
        ++m_nCounts[index];
}

void CVELTRANDoc::AddText(std::string_view text, int list)
{
    if (text.data() == nullptr || !ValidList(list))
        return;
    const int index = list - 1;
    const bool extraLine = list == kReceiveList && m_settings.Get(keys::RTTYLFLF) != 0;
    size_t start = 0;
    for (;;) {
        const size_t lf = text.find('\n', start);
        const size_t end = lf == std::string_view::npos ? text.size() : lf;
        AppendLine(index, text.substr(start, end - start));
        if (extraLine)
            AppendLine(index, std::string_view(""));
        if (lf == std::string_view::npos)
            break;
        start = lf + 1;
    }
    m_bModified = true;
    ++m_nRevision;
}

int CVELTRANDoc::GetLineCount(int list) const
{
    return ValidList(list) ? static_cast<int>(std::min<uint32_t>(m_nCounts[list - 1], INT32_MAX)) : 0;
}

const LineList& CVELTRANDoc::GetList(int list) const
{
    return ValidList(list) ? m_lists[list - 1] : EmptyList();
}

uint32_t CVELTRANDoc::StoredCount(int list) const
{
    return ValidList(list) ? m_nCounts[list - 1] : 0;
}

void CVELTRANDoc::SetLine(int list, size_t index, std::string line)
{
    if (!ValidList(list) || index >= m_lists[list - 1].size())
        return;
    m_lists[list - 1].Replace(index, line);
    m_bModified = true;
    ++m_nRevision;
}

void CVELTRANDoc::ClearList(int list)
{
    if (!ValidList(list))
        return;
    m_lists[list - 1].clear();  // gives the memory back, not just the lines
    m_nCounts[list - 1] = 0;
    m_bModified = true;
    ++m_nRevision;
}

void CVELTRANDoc::OnNewDocument()
{
    if (m_settings.Get(keys::InitLogo) != 0)
        AddText(kNoticeLine, kReceiveList);
    m_bModified = false;
    ++m_nRevision;
}

bool CVELTRANDoc::SaveFile(const std::string& path, std::string* error)
{
    if (!RtyCodec::Save(*this, path, error))
        return false;
    m_bModified = false;
    return true;
}

bool CVELTRANDoc::OpenFile(const std::string& path, std::string* error)
{
    if (!RtyCodec::Open(*this, path, error))
        return false;
    m_bModified = false;
    ++m_nRevision;
    return true;
}
