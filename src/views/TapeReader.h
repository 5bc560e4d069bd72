#pragma once
// Reads a tape file in pieces for sending: each piece ends with a line end
// (CR or LF) where the file has one, so lines go out whole.
//
// The file is read through one 1024-byte buffer; the unfinished line after
// the last line end is carried over to the next read. Every byte of the file
// is handed on, in order: a line longer than the buffer goes out in
// buffer-sized pieces, and text after the last line end goes out as the final
// piece. A piece is never cut between a caret and the character it refers to,
// so caret references survive the cuts. Each read fills the buffer as far as
// the file allows, so the pieces are the same however the file system splits
// its reads. Files come from ProgramFileSystem(). Not thread-safe; one reader
// per send.
#include "app/FileSystem.h"

#include <cstddef>
#include <memory>
#include <string>

class TapeReader {
public:
    static constexpr size_t kBufferSize = 1024;

    enum class Result { kPiece, kEnd, kError };

    TapeReader() = default;
    ~TapeReader();
    TapeReader(const TapeReader&) = delete;
    TapeReader& operator=(const TapeReader&) = delete;

    // Opens an existing regular file for reading (others may read and write
    // it). False with the errno in `error` when it cannot be opened (EISDIR
    // for a folder, EINVAL for a device or a pipe).
    bool Open(const std::string& path, int* error);
    // The next piece; kEnd once everything has been handed on (the file is
    // then closed); kError with the errno when a read fails (file closed).
    Result Next(std::string& piece, int* error);
    void Close();

private:
    // Length of the longest prefix of the buffer that does not end inside a
    // caret reference.
    size_t WholeReferencesLength() const;

    std::unique_ptr<File> m_file;
    char m_buffer[kBufferSize] = {};
    size_t m_nCarried = 0;
};
