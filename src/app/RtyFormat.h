#pragma once
// The ".rty" document file. All integers little-endian:
//   header  three u32 line counts (lists 1, 2, 3)
//   list    a string count, then that many strings; three lists in order
// A string count is a u16 when at most 0xFFFE, else u16 0xFFFF then a u32.
// A string is a length prefix and that many bytes (no terminator): one byte
// when at most 254; else 0xFF and a u16 when at most 0xFFFD; else 0xFF,
// u16 0xFFFF and a u32. Bytes are written and read as they are.
//
// The reader trusts nothing in the file:
//  - every count and length is checked against the bytes that remain before
//    anything is allocated for it (each string needs at least its one-byte
//    prefix), so a short file claiming billions of lines fails at once;
//  - a header count above 2147483647 is rejected (the document keeps signed
//    32-bit counts); header counts may otherwise differ from the list sizes,
//    as they are kept exactly as stored;
//  - the u16 length 0xFFFE after 0xFF is never written by this format and is
//    rejected;
//  - the file must end exactly after the third list: trailing bytes mean it
//    is not a document this program wrote, and it is rejected.
// Non-minimal prefixes (a long form holding a small value) are accepted.
//
// Writing is atomic: the file is written beside the target under a temporary
// name, flushed to disk and renamed over it, so a failed save leaves the
// previous file whole. Plain functions; no shared state; any thread.
#include "app/CVELTRANDoc.h"

#include <cstdint>
#include <string>
#include <string_view>

struct RtyContent {
    LineList lists[3];
    uint32_t counts[3] = {0, 0, 0};
};

// What the reader allocated at most in one piece (a list's reservation or one
// line), for checks that allocation stays bounded by the input.
struct RtyReadStats {
    uint64_t largestAllocation = 0;
};

// The file image of the lists and counts; empty when the lists cannot be
// written in this format (2^32 lines or more, or a line of 4 GiB or more),
// which WriteRtyFile reports as an error.
std::string EncodeRty(const LineList (&lists)[3], const uint32_t (&counts)[3]);

// Parses a file image into `out` (which should be empty). On failure returns
// false with the reason in `error`; `out` then holds whatever was read and
// must be discarded.
bool DecodeRty(std::string_view bytes, RtyContent& out, std::string* error,
               RtyReadStats* stats = nullptr);

// Streams the lists to `path` atomically (see above).
bool WriteRtyFile(const std::string& path, const LineList (&lists)[3],
                  const uint32_t (&counts)[3], std::string* error);

// Reads a regular file at `path` into `out`, in pieces, never holding the
// whole file image besides the lists. Same rules and failure contract as
// DecodeRty.
bool ReadRtyFile(const std::string& path, RtyContent& out, std::string* error,
                 RtyReadStats* stats = nullptr);

// Bridges the format and the document's private lists.
struct RtyCodec {
    static bool Save(const CVELTRANDoc& doc, const std::string& path, std::string* error);
    // Reads into a fresh content and replaces the document's lists and counts
    // only when the whole file was read.
    static bool Open(CVELTRANDoc& doc, const std::string& path, std::string* error);
};
