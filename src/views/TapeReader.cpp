#include "views/TapeReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

TapeReader::~TapeReader()
{
    Close();
}

bool TapeReader::Open(const std::string& path, int* error)
{
    Close();
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        if (error != nullptr)
            *error = errno;
        return false;
    }
    m_nCarried = 0;
    return true;
}

void TapeReader::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
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
    if (m_fd < 0)
        return Result::kEnd;
    for (;;) {
        ssize_t n = 0;
        do {
            n = ::read(m_fd, m_buffer + m_nCarried, kBufferSize - m_nCarried);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            if (error != nullptr)
                *error = errno;
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
        m_nCarried += static_cast<size_t>(n);

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
