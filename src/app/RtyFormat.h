#pragma once
// The ".rty" document file. All integers little-endian:
//   header  three u32 line counts (lists 1, 2, 3)
//   list    a string count, then that many strings; three lists in order
// A string count is a u16 when at most 0xFFFE, else u16 0xFFFF then a u32.
// A string is a length prefix and that many bytes (no terminator): one byte
// when at most 254; else 0xFF and a u16 when at most 0xFFFD; else 0xFF,
// u16 0xFFFF and a u32. Bytes are written and read as they are.
//
// The reader opens every file that holds this layout, and trusts nothing in it:
//  - every count and length is checked against the bytes that remain before
//    anything is allocated for it (each string needs at least its one-byte
//    prefix), so a short file claiming billions of lines fails at once, and
//    the open document is only replaced once the whole file was read;
//  - header counts are kept exactly as stored, whatever their value and
//    whether or not they match the list sizes;
//  - after 0xFF, every 16-bit value below 0xFFFF is the length itself
//    (0xFFFE included, which this program writes in the long form);
//  - non-minimal prefixes (a long form holding a small value) are accepted;
//  - whatever follows the third list (a Ctrl-Z or padding left by a file
//    transfer) is ignored.
// Refused: a file that ends before its three lists do (a count or length
// claiming more than the file holds), anything that is not a regular file,
// and a document that does not fit in memory.
//
// Writing never leaves a half-written file: see SafeSave.h (a temporary file
// renamed over the target where the folder allows it, else in place after a
// copy of the old content is safe). Plain functions; no shared state; any thread.
#include "app/CVELTRANDoc.h"
#include "app/SafeSave.h"

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

// Streams the lists to `path` (see SafeSave.h); `used` tells how.
bool WriteRtyFile(const std::string& path, const LineList (&lists)[3],
                  const uint32_t (&counts)[3], std::string* error, SaveMethod* used = nullptr);

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
