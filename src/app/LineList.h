#pragma once
// The lines of one document list, packed: each line is its bytes after a
// length prefix (7 bits a byte, so one byte for a line below 128 bytes), in
// blocks that are filled and never moved. A received line of 40 characters
// thus costs about 41.5 bytes instead of a string object and its own heap
// block (about 100 bytes), and a list that grows for a whole weekend never
// copies itself into a bigger buffer (which would leave the old one resident
// in the heap). Lines are 8-bit byte strings: every byte value is kept as it
// is, the line end included.
//
// Older text is sealed: when a third block is started, the one two before
// it is deflated (zlib's fastest level: received text keeps about half its
// size, random printable characters about 85 %) into a store of its own,
// unless that would save less than an eighth. The sealed bytes are appended
// to large chunks that are never moved, and the sealed block's plain buffer
// takes the next lines, so a list that grows for days neither churns the
// heap nor leaves holes in it. The page in view and its last screens of
// scroll-back stay in the two plain blocks; a read of a sealed line inflates
// its block into a small cache of kUnpackedBlocks blocks.
//
// Reading line i walks at most kMarkEvery - 1 prefixes from the nearest
// mark; iteration is sequential. Appending is amortised O(1); Replace() of a
// line in the middle re-packs the lines after it. Not thread-safe, not even
// for reads (a read may fill the cache): the owner (the document) keeps it on
// one thread.
//
// A view of a line lasts until the list is changed or destroyed, and, for a
// line of a sealed block, until lines of kUnpackedBlocks other sealed blocks
// have been read since.
//
// A copy shares its bytes with the original wherever they can no longer
// change: the sealed chunks (each list seals into chunks of its own from then
// on) and the finished plain blocks (Replace() copies a shared one before it
// writes in it; a shared buffer is never reused for new lines). Only the
// block still being filled and the index are copied, so a snapshot of a long
// list costs little. The copy and the original may then be used on
// different threads.
#include <cstddef>
#include <deque>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class LineList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const;
        const_iterator& operator++();
        const_iterator operator++(int)
        {
            const_iterator was = *this;
            ++*this;
            return was;
        }
        bool operator==(const const_iterator& other) const { return m_block == other.m_block && m_offset == other.m_offset; }

    private:
        friend class LineList;
        const_iterator(const LineList* list, size_t block, size_t offset);
        void SkipFinishedBlocks();

        const LineList* m_list = nullptr;
        size_t m_block = 0;
        size_t m_offset = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = size_t;

    LineList() = default;
    LineList(std::initializer_list<std::string_view> lines);
    LineList(const LineList& other);
    LineList& operator=(const LineList& other);
    LineList(LineList&& other) noexcept = default;
    LineList& operator=(LineList&& other) noexcept = default;

    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // `i` < size(); the view lasts until the list is changed or destroyed.
    std::string_view operator[](size_t i) const;
    std::string_view back() const;

    void push_back(std::string_view line);
    // As a vector's: the list grows in pieces, so there is nothing to set aside.
    void reserve(size_t) {}
    // `count` copies of `line` in place of what the list held.
    void assign(size_t count, std::string_view line);
    // Line `i` (< size()) becomes `line`.
    void Replace(size_t i, std::string_view line);
    void clear();
    void swap(LineList& other) noexcept;

    const_iterator begin() const;
    const_iterator end() const;

    // The same lines, byte for byte.
    bool operator==(const LineList& other) const;

    // Lines between two marks: the longest walk of operator[].
    static constexpr size_t kMarkEvery = 32;
    // Inflated sealed blocks kept for reading.
    static constexpr size_t kUnpackedBlocks = 4;

    // Bytes the list holds for its lines: plain blocks at their capacity,
    // sealed ones at their deflated size (not the cache or the index).
    size_t StoredBytes() const;

private:
    // Bytes of a block or of the sealed store, uninitialised: from the heap
    // when small, and as pages of their own from kMappedBytes on, which are
    // resident only once written and go back to the system when freed.
    class Bytes {
    public:
        static constexpr size_t kMappedBytes = 128 * 1024;

        Bytes() = default;
        explicit Bytes(size_t size);
        ~Bytes() { reset(); }
        Bytes(Bytes&& other) noexcept;
        Bytes& operator=(Bytes&& other) noexcept;
        Bytes(const Bytes&) = delete;
        Bytes& operator=(const Bytes&) = delete;

        char* get() const { return m_p; }
        explicit operator bool() const { return m_p != nullptr; }
        void reset();

    private:
        char* m_p = nullptr;
        size_t m_size = 0;
        bool m_mapped = false;
    };

    struct Block {
        std::shared_ptr<Bytes> bytes;  // the lines; null once sealed; shared with copies when finished
        const char* sealed = nullptr;  // the deflated lines of a sealed block, in m_sealedChunks
        size_t capacity = 0;
        size_t used = 0;               // plain bytes of the lines, sealed or not
        size_t sealedSize = 0;
    };
    struct Unpacked {
        size_t block;
        Bytes bytes;
    };
    struct Place {
        uint32_t block;
        uint32_t offset;
    };

    Place PlaceOf(size_t i) const;
    std::string_view LineAt(size_t block, size_t offset, size_t* next) const;
    // The plain bytes of `block`, inflated into the cache when it is sealed.
    const char* BytesOf(size_t block) const;
    // Room for `bytes` more at the end; true when a new block was started.
    bool Room(size_t bytes);
    void Seal(size_t block);
    void Unseal(size_t block);
    // Gives `block` plain bytes of its own before they are written.
    void Own(size_t block);
    // A copy of `size` deflated bytes at the end of the sealed store.
    const char* KeepSealed(const char* bytes, size_t size);

    // Both grow in pieces, never copied into a bigger array: a long list's
    // index would otherwise leave a hole of each size it passed in the heap.
    std::deque<Block> m_blocks;
    std::deque<Place> m_marks;  // where line k * kMarkEvery starts
    Place m_last{0, 0};          // where the newest line starts
    size_t m_count = 0;
    mutable std::vector<Unpacked> m_unpacked;  // most recently read first
    // Shared with copies of this list; only the last, when this list made it
    // (m_sealedChunkSize > 0), is still written to, beyond what any copy reads.
    std::vector<std::shared_ptr<Bytes>> m_sealedChunks;
    size_t m_sealedChunkSize = 0;  // of the last chunk
    size_t m_sealedChunkUsed = 0;  // of the last chunk
    size_t m_sealedBytes = 0;      // in all chunks, holes left by Replace() included
    std::shared_ptr<Bytes> m_spare;  // a sealed block's plain buffer, for the next block
    size_t m_spareCapacity = 0;
};
