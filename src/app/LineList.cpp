#include "app/LineList.h"

#include <algorithm>
#include <cstring>

namespace {

// Blocks start small (a list of a few lines costs little) and double up to
// a size the allocator maps on its own, so a cleared list gives its memory
// back to the system.
constexpr size_t kFirstBlock = 4096;
constexpr size_t kLargestBlock = 256 * 1024;

size_t PrefixSize(size_t length)
{
    size_t n = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++n;
    }
    return n;
}

char* PutPrefix(char* out, size_t length)
{
    while (length >= 0x80) {
        *out++ = static_cast<char>(0x80 | (length & 0x7F));
        length >>= 7;
    }
    *out++ = static_cast<char>(length);
    return out;
}

// The length at `*offset`; `*offset` moves past the prefix.
size_t ReadPrefix(const char* bytes, size_t* offset)
{
    size_t length = 0;
    int shift = 0;
    for (;;) {
        const auto b = static_cast<unsigned char>(bytes[(*offset)++]);
        length |= static_cast<size_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0)
            return length;
        shift += 7;
    }
}

}  // namespace

// ---- Iteration ---------------------------------------------------------------

LineList::const_iterator::const_iterator(const LineList* list, size_t block, size_t offset)
    : m_list(list), m_block(block), m_offset(offset)
{
    SkipFinishedBlocks();
}

void LineList::const_iterator::SkipFinishedBlocks()
{
    if (m_list && m_block < m_list->m_blocks.size() && m_offset >= m_list->m_blocks[m_block].used) {
        ++m_block;
        m_offset = 0;
    }
}

std::string_view LineList::const_iterator::operator*() const
{
    size_t next = 0;
    return m_list->LineAt(m_block, m_offset, &next);
}

LineList::const_iterator& LineList::const_iterator::operator++()
{
    m_list->LineAt(m_block, m_offset, &m_offset);
    SkipFinishedBlocks();
    return *this;
}

LineList::const_iterator LineList::begin() const
{
    return const_iterator(this, 0, 0);
}

LineList::const_iterator LineList::end() const
{
    return const_iterator(this, m_blocks.size(), 0);
}

// ---- Construction ------------------------------------------------------------

LineList::LineList(std::initializer_list<std::string_view> lines)
{
    for (std::string_view line : lines)
        push_back(line);
}

LineList::LineList(const LineList& other)
    : m_marks(other.m_marks), m_last(other.m_last), m_count(other.m_count)
{
    // A copy holds each block at its filled size: the next line goes into a new one.
    m_blocks.reserve(other.m_blocks.size());
    for (const Block& from : other.m_blocks) {
        Block to;
        to.bytes = std::make_unique<char[]>(from.used);
        std::memcpy(to.bytes.get(), from.bytes.get(), from.used);
        to.capacity = from.used;
        to.used = from.used;
        m_blocks.push_back(std::move(to));
    }
}

LineList& LineList::operator=(const LineList& other)
{
    if (this != &other) {
        LineList copy(other);
        swap(copy);
    }
    return *this;
}

void LineList::swap(LineList& other) noexcept
{
    m_blocks.swap(other.m_blocks);
    m_marks.swap(other.m_marks);
    std::swap(m_last, other.m_last);
    std::swap(m_count, other.m_count);
}

void LineList::clear()
{
    LineList().swap(*this);  // gives the blocks back, not just the lines
}

// ---- Reading -----------------------------------------------------------------

std::string_view LineList::LineAt(size_t block, size_t offset, size_t* next) const
{
    const char* bytes = m_blocks[block].bytes.get();
    const size_t length = ReadPrefix(bytes, &offset);
    *next = offset + length;
    return std::string_view(bytes + offset, length);
}

LineList::Place LineList::PlaceOf(size_t i) const
{
    Place at = m_marks[i / kMarkEvery];
    size_t block = at.block;
    size_t offset = at.offset;
    for (size_t k = i % kMarkEvery; k > 0; --k) {
        LineAt(block, offset, &offset);
        if (offset >= m_blocks[block].used) {
            ++block;
            offset = 0;
        }
    }
    return Place{static_cast<uint32_t>(block), static_cast<uint32_t>(offset)};
}

std::string_view LineList::operator[](size_t i) const
{
    const Place at = i + 1 == m_count ? m_last : PlaceOf(i);
    size_t next = 0;
    return LineAt(at.block, at.offset, &next);
}

std::string_view LineList::back() const
{
    return (*this)[m_count - 1];
}

bool LineList::operator==(const LineList& other) const
{
    if (m_count != other.m_count)
        return false;
    return std::equal(begin(), end(), other.begin());
}

// ---- Changing ----------------------------------------------------------------

char* LineList::Room(size_t bytes)
{
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < bytes) {
        const size_t grown = m_blocks.empty() ? kFirstBlock : std::min(kLargestBlock, 2 * m_blocks.back().capacity);
        Block block;
        block.capacity = std::max(bytes, grown);
        // Not value-initialised: only the bytes written are ever touched.
        block.bytes.reset(new char[block.capacity]);
        m_blocks.push_back(std::move(block));
    }
    Block& last = m_blocks.back();
    return last.bytes.get() + last.used;
}

void LineList::push_back(std::string_view line)
{
    const size_t need = PrefixSize(line.size()) + line.size();
    char* out = Room(need);
    Block& last = m_blocks.back();
    m_last = Place{static_cast<uint32_t>(m_blocks.size() - 1), static_cast<uint32_t>(last.used)};
    if (m_count % kMarkEvery == 0)
        m_marks.push_back(m_last);
    out = PutPrefix(out, line.size());
    if (!line.empty())
        std::memcpy(out, line.data(), line.size());
    last.used += need;
    ++m_count;
}

void LineList::assign(size_t count, std::string_view line)
{
    const std::string copy(line);  // `line` may be one of this list's own
    clear();
    for (size_t i = 0; i < count; ++i)
        push_back(copy);
}

void LineList::Replace(size_t i, std::string_view line)
{
    if (i >= m_count)
        return;
    // The lines from i on are packed again behind the ones before it. The
    // new line may alias this list's own bytes, and the later lines are kept
    // as their packed records meanwhile (no object per line).
    const std::string replacement(line);
    std::string rest;
    const size_t restCount = m_count - i - 1;
    const Place at = PlaceOf(i);
    for (const_iterator it(this, at.block, at.offset); ++it != end();) {
        const std::string_view kept = *it;
        char prefix[10];
        rest.append(prefix, static_cast<size_t>(PutPrefix(prefix, kept.size()) - prefix));
        rest.append(kept);
    }
    m_blocks.resize(at.block + 1);
    m_blocks.back().used = at.offset;
    if (at.offset == 0)
        m_blocks.pop_back();
    m_marks.resize((i + kMarkEvery - 1) / kMarkEvery);
    m_count = i;
    push_back(replacement);
    size_t offset = 0;
    for (size_t k = 0; k < restCount; ++k) {
        const size_t length = ReadPrefix(rest.data(), &offset);
        push_back(std::string_view(rest).substr(offset, length));
        offset += length;
    }
}
