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
// Reading line i walks at most kMarkEvery - 1 prefixes from the nearest
// mark; iteration is sequential. Appending is amortised O(1); Replace() of a
// line in the middle re-packs the lines after it. Not thread-safe: the owner
// (the document) keeps it on one thread.
#include <cstddef>
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
    // Room for the index of `lines` lines (the text grows block by block).
    void reserve(size_t lines) { m_marks.reserve(lines / kMarkEvery + 1); }
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
    static constexpr size_t kMarkEvery = 16;

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        size_t capacity = 0;
        size_t used = 0;
    };
    struct Place {
        uint32_t block;
        uint32_t offset;
    };

    Place PlaceOf(size_t i) const;
    std::string_view LineAt(size_t block, size_t offset, size_t* next) const;
    char* Room(size_t bytes);

    std::vector<Block> m_blocks;
    std::vector<Place> m_marks;  // where line k * kMarkEvery starts
    Place m_last{0, 0};          // where the newest line starts
    size_t m_count = 0;
};
