#include "app/LineList.h"

#include <sys/mman.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Blocks start small (a list of a few lines costs little) and grow to a
// size that keeps the plain blocks at the end small beside a long list's
// sealed ones, and a sealed block quick to inflate for one line.
constexpr size_t kFirstBlock = 4096;
constexpr size_t kLargestBlock = 8 * 1024;
// The store of sealed bytes grows by chunks of this size (or of one block's
// bytes, when larger).
constexpr size_t kSealedChunk = 256 * 1024;
// Raw deflate (no header: the block knows its sizes) with a window no
// larger than a block, so the coder's own state is some 40 KB, not 270.
constexpr int kWindowBits = -13;
constexpr int kMemLevel = 5;

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

// The coder's state, made once a thread and reset for each block: made and
// freed for every block, it lands at a new place as the heap grows and
// leaves the pages it touched resident behind it.
struct Deflater {
    Deflater() { ok = deflateInit2(&z, 1, Z_DEFLATED, kWindowBits, kMemLevel, Z_DEFAULT_STRATEGY) == Z_OK; }
    ~Deflater()
    {
        if (ok)
            deflateEnd(&z);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    z_stream z{};
    bool ok = false;
};

}  // namespace

// ---- Storage -----------------------------------------------------------------

LineList::Bytes::Bytes(size_t size) : m_size(size)
{
    if (size >= kMappedBytes) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            m_p = static_cast<char*>(p);
            m_mapped = true;
            return;
        }
    }
    m_p = new char[size];
}

LineList::Bytes::Bytes(Bytes&& other) noexcept
    : m_p(std::exchange(other.m_p, nullptr)), m_size(other.m_size), m_mapped(other.m_mapped)
{
}

LineList::Bytes& LineList::Bytes::operator=(Bytes&& other) noexcept
{
    if (this != &other) {
        reset();
        m_p = std::exchange(other.m_p, nullptr);
        m_size = other.m_size;
        m_mapped = other.m_mapped;
    }
    return *this;
}

void LineList::Bytes::reset()
{
    if (m_mapped)
        munmap(m_p, m_size);
    else
        delete[] m_p;
    m_p = nullptr;
    m_mapped = false;
}

// ---- Sealing -----------------------------------------------------------------

void LineList::Seal(size_t block)
{
    Block& b = m_blocks[block];
    if (!b.bytes || b.used == 0 || b.used > std::numeric_limits<uInt>::max())
        return;
    thread_local Deflater coder;
    z_stream& z = coder.z;
    if (!coder.ok || deflateReset(&z) != Z_OK)
        return;   // stays plain: nothing is lost
    // Only what pays is kept: the output may stop at seven eighths.
    const size_t limit = b.used - b.used / 8;
    thread_local std::vector<char> out;
    out.resize(std::max(out.size(), limit));
    z.next_in = reinterpret_cast<Bytef*>(b.bytes->get());
    z.avail_in = static_cast<uInt>(b.used);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(limit);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        return;   // binary or already dense: kept plain
    const size_t size = z.total_out;
    b.sealed = KeepSealed(out.data(), size);
    b.sealedSize = size;
    // A buffer a copy still reads is left to it.
    if (b.capacity == kLargestBlock && !m_spare && b.bytes.use_count() == 1) {
        m_spare = std::move(b.bytes);
        m_spareCapacity = b.capacity;
    }
    b.bytes.reset();
    b.capacity = b.used;
}

const char* LineList::KeepSealed(const char* bytes, size_t size)
{
    if (m_sealedChunks.empty() || m_sealedChunkSize - m_sealedChunkUsed < size) {
        m_sealedChunkSize = std::max(size, kSealedChunk);
        m_sealedChunks.push_back(std::make_shared<Bytes>(m_sealedChunkSize));
        m_sealedChunkUsed = 0;
    }
    char* at = m_sealedChunks.back()->get() + m_sealedChunkUsed;
    std::memcpy(at, bytes, size);
    m_sealedChunkUsed += size;
    m_sealedBytes += size;
    return at;
}

const char* LineList::BytesOf(size_t block) const
{
    const Block& b = m_blocks[block];
    if (b.bytes)
        return b.bytes->get();
    for (size_t k = 0; k < m_unpacked.size(); ++k) {
        if (m_unpacked[k].block == block) {
            // Moving the owners keeps every cached block where it is.
            std::rotate(m_unpacked.begin(), m_unpacked.begin() + static_cast<std::ptrdiff_t>(k),
                        m_unpacked.begin() + static_cast<std::ptrdiff_t>(k) + 1);
            return m_unpacked.front().bytes.get();
        }
    }
    Unpacked entry{block, Bytes(b.used)};
    z_stream z{};
    bool ok = inflateInit2(&z, kWindowBits) == Z_OK;
    if (ok) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(b.sealed));
        z.avail_in = static_cast<uInt>(b.sealedSize);
        z.next_out = reinterpret_cast<Bytef*>(entry.bytes.get());
        z.avail_out = static_cast<uInt>(b.used);
        ok = inflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out == b.used;
        inflateEnd(&z);
    }
    // Only memory running out can fail here (the bytes were deflated by this
    // list); the block then reads as empty lines instead of garbage prefixes.
    if (!ok)
        std::memset(entry.bytes.get(), 0, b.used);
    if (m_unpacked.size() == kUnpackedBlocks)
        m_unpacked.pop_back();
    m_unpacked.insert(m_unpacked.begin(), std::move(entry));
    return m_unpacked.front().bytes.get();
}

void LineList::Unseal(size_t block)
{
    Block& b = m_blocks[block];
    if (b.bytes)
        return;
    auto bytes = std::make_shared<Bytes>(b.used);
    std::memcpy(bytes->get(), BytesOf(block), b.used);
    b.bytes = std::move(bytes);
    b.capacity = b.used;
    b.sealed = nullptr;   // its bytes stay in the store as a hole
    b.sealedSize = 0;
}

void LineList::Own(size_t block)
{
    Block& b = m_blocks[block];
    if (!b.bytes || b.bytes.use_count() == 1)
        return;
    auto own = std::make_shared<Bytes>(b.capacity);
    std::memcpy(own->get(), b.bytes->get(), b.used);
    b.bytes = std::move(own);
}

size_t LineList::StoredBytes() const
{
    size_t n = m_sealedBytes;
    for (const Block& b : m_blocks)
        n += b.bytes ? b.capacity : 0;
    return n;
}

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
    : m_marks(other.m_marks), m_last(other.m_last), m_count(other.m_count), m_sealedChunks(other.m_sealedChunks)
{
    // A copy holds each block at its filled size: the next line goes into a
    // new one. Sealed blocks point into the shared chunks; with
    // m_sealedChunkSize 0, this list's own seals start a chunk of its own.
    for (size_t k = 0; k < other.m_blocks.size(); ++k) {
        const Block& from = other.m_blocks[k];
        Block to;
        to.capacity = from.used;
        to.used = from.used;
        if (from.bytes && k + 1 < other.m_blocks.size()) {
            to.bytes = from.bytes;  // finished: changed only by Replace(), which copies it first
        } else if (from.bytes) {
            to.bytes = std::make_shared<Bytes>(from.used);  // the block the original still fills
            std::memcpy(to.bytes->get(), from.bytes->get(), from.used);
        } else {
            to.sealed = from.sealed;
            to.sealedSize = from.sealedSize;
            m_sealedBytes += from.sealedSize;
        }
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
    m_unpacked.swap(other.m_unpacked);
    m_sealedChunks.swap(other.m_sealedChunks);
    std::swap(m_sealedChunkSize, other.m_sealedChunkSize);
    std::swap(m_sealedChunkUsed, other.m_sealedChunkUsed);
    std::swap(m_sealedBytes, other.m_sealedBytes);
    std::swap(m_spare, other.m_spare);
    std::swap(m_spareCapacity, other.m_spareCapacity);
}

void LineList::clear()
{
    LineList().swap(*this);  // gives the blocks back, not just the lines
}

// ---- Reading -----------------------------------------------------------------

std::string_view LineList::LineAt(size_t block, size_t offset, size_t* next) const
{
    const char* bytes = BytesOf(block);
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

bool LineList::Room(size_t bytes)
{
    if (!m_blocks.empty() && m_blocks.back().bytes && m_blocks.back().capacity - m_blocks.back().used >= bytes)
        return false;
    const size_t grown = m_blocks.empty() ? kFirstBlock : std::min(kLargestBlock, 2 * m_blocks.back().capacity);
    Block block;
    block.capacity = std::max(bytes, grown);
    if (m_spare && m_spareCapacity >= block.capacity) {
        block.bytes = std::move(m_spare);
        block.capacity = m_spareCapacity;
    } else {
        block.bytes = std::make_shared<Bytes>(block.capacity);
    }
    m_blocks.push_back(std::move(block));
    return true;
}

void LineList::push_back(std::string_view line)
{
    const size_t need = PrefixSize(line.size()) + line.size();
    const bool started = Room(need);
    Block& last = m_blocks.back();
    char* out = last.bytes->get() + last.used;
    m_last = Place{static_cast<uint32_t>(m_blocks.size() - 1), static_cast<uint32_t>(last.used)};
    if (m_count % kMarkEvery == 0)
        m_marks.push_back(m_last);
    out = PutPrefix(out, line.size());
    if (!line.empty())
        std::memcpy(out, line.data(), line.size());
    last.used += need;
    ++m_count;
    // Only now: `line` may have been a view of the block being sealed.
    if (started && m_blocks.size() >= 3)
        Seal(m_blocks.size() - 3);
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
    if (at.offset == 0) {
        m_blocks.pop_back();
    } else {
        Unseal(at.block);   // the lines before i in it stay, the rest is appended
        Own(at.block);
        m_blocks.back().used = at.offset;
    }
    m_unpacked.clear();   // blocks from at.block on are written anew
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
