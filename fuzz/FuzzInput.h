#pragma once
// Takes the fuzzer's bytes apart: small choices from the front, the rest as
// the input proper. Running out of bytes gives zeros, never an error, so
// every input is a valid case.
#include <cstddef>
#include <cstdint>
#include <string_view>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t Byte()
    {
        if (m_pos >= m_size)
            return 0;
        return m_data[m_pos++];
    }
    // One of `count` choices (count > 0).
    size_t Choice(size_t count) { return Byte() % count; }
    bool Flag() { return Byte() & 1; }
    // Up to the next `sep` (dropped) or the end.
    std::string_view Until(char sep)
    {
        const std::string_view rest = Rest();
        const size_t end = rest.find(sep);
        const std::string_view piece = rest.substr(0, end);
        m_pos += end == std::string_view::npos ? rest.size() : end + 1;
        return piece;
    }
    // The next `n` bytes, or what is left.
    std::string_view Take(size_t n)
    {
        const std::string_view piece = Rest().substr(0, n);
        m_pos += piece.size();
        return piece;
    }
    std::string_view Rest()
    {
        const std::string_view rest(reinterpret_cast<const char*>(m_data) + m_pos, m_size - m_pos);
        return rest;
    }
    bool Empty() const { return m_pos >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
