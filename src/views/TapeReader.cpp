#include "views/TapeReader.h"

#include "app/FileIo.h"

#include <cstring>

TapeReader::~TapeReader()
{
    Close();
}

bool TapeReader::Open(const std::string& path, int* error)
{
    Close();
    if (const int err = ProgramFileSystem().Open(path, OpenMode::Read, m_file)) {
        m_file.reset();
        if (error != nullptr)
            *error = err;
        return false;
    }
    m_nCarried = 0;
    return true;
}

void TapeReader::Close()
{
    m_file.reset();
    m_nCarried = 0;
}

size_t TapeReader::WholeReferencesLength() const
{
    // The buffer always starts at a reference boundary, so a scan from its
    // start pairs each caret with the character after it.
    size_t i = 0;
    while (i < m_nCarried) {
        if (m_buffer[i] == '^') {
            if (i + 1 >= m_nCarried)
                return i;
            i += 2;
        } else {
            ++i;
        }
    }
    return m_nCarried;
}

TapeReader::Result TapeReader::Next(std::string& piece, int* error)
{
    piece.clear();
    if (!m_file)
        return Result::kEnd;
    for (;;) {
        size_t n = 0;
        if (const int err = ReadFull(*m_file, m_buffer + m_nCarried, kBufferSize - m_nCarried, n)) {
            if (error != nullptr)
                *error = err;
            Close();
            return Result::kError;
        }
        if (n == 0) {
            // End of file: a last line without a line end still goes out.
            if (m_nCarried == 0) {
                Close();
                return Result::kEnd;
            }
            piece.assign(m_buffer, m_nCarried);
            m_nCarried = 0;
            return Result::kPiece;
        }
        m_nCarried += n;

        size_t cut = 0;
        for (size_t k = m_nCarried; k > 0; --k) {
            if (m_buffer[k - 1] == '\r' || m_buffer[k - 1] == '\n') {
                cut = k;
                break;
            }
        }
        if (cut == 0 && m_nCarried == kBufferSize) {
            // A line longer than the buffer: hand on what is read so far,
            // keeping a trailing caret for the character it refers to.
            cut = WholeReferencesLength();
        }
        if (cut == 0)
            continue;  // an unfinished line that still fits: read on
        piece.assign(m_buffer, cut);
        std::memmove(m_buffer, m_buffer + cut, m_nCarried - cut);
        m_nCarried -= cut;
        return Result::kPiece;
    }
}
