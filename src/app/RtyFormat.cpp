#include "app/RtyFormat.h"

#include "app/FileIo.h"
#include "app/SafeSave.h"
#include "app/SystemErrorText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

constexpr size_t kIoChunk = size_t{1} << 20;

void SetError(std::string* error, std::string text)
{
    if (error)
        *error = std::move(text);
}

std::string ListName(int index)
{
    std::string name = "list ";
    name += std::to_string(index + 1);
    return name;
}

// Joins the pieces of a message. (GCC 12 warns falsely about
// `"literal" + std::string` at -O3, so messages are built by appending.)
std::string Text(std::initializer_list<std::string_view> parts)
{
    std::string out;
    for (std::string_view p : parts)
        out.append(p);
    return out;
}

// ---- writing ----

class StringSink {
public:
    explicit StringSink(std::string& out) : m_out(out) {}
    void Put(const void* data, size_t n) { m_out.append(static_cast<const char*>(data), n); }

private:
    std::string& m_out;
};

class CountingSink {
public:
    void Put(const void*, size_t n) { m_count += n; }
    uint64_t Count() const { return m_count; }

private:
    uint64_t m_count = 0;
};

// Buffered writes to a file; the first failure is kept and later writes are
// dropped.
class FileSink {
public:
    explicit FileSink(File& file) : m_file(file) { m_buf.reserve(kIoChunk); }
    void Put(const void* data, size_t n)
    {
        const char* p = static_cast<const char*>(data);
        if (m_buf.size() + n > kIoChunk) {
            Flush();
            if (n >= kIoChunk) {
                Write(p, n);
                return;
            }
        }
        m_buf.insert(m_buf.end(), p, p + n);
    }
    void Flush()
    {
        Write(m_buf.data(), m_buf.size());
        m_buf.clear();
    }
    int Errno() const { return m_errno; }

private:
    void Write(const char* p, size_t n)
    {
        if (m_errno == 0)
            m_errno = WriteAll(m_file, p, n);
    }

    File& m_file;
    int m_errno = 0;
    std::vector<char> m_buf;
};

template <class Sink>
void PutU8(Sink& sink, uint8_t v)
{
    sink.Put(&v, 1);
}

template <class Sink>
void PutU16(Sink& sink, uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    sink.Put(b, 2);
}

template <class Sink>
void PutU32(Sink& sink, uint32_t v)
{
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    sink.Put(b, 4);
}

bool FitsFormat(const LineList (&lists)[3], std::string* error)
{
    for (int i = 0; i < 3; ++i) {
        if (lists[i].size() > UINT32_MAX) {
            SetError(error, ListName(i) + " has too many lines for the file format");
            return false;
        }
        for (std::string_view line : lists[i]) {
            if (line.size() > UINT32_MAX) {
                SetError(error, ListName(i) + " has a line too long for the file format");
                return false;
            }
        }
    }
    return true;
}

template <class Sink>
void EncodeTo(Sink& sink, const LineList (&lists)[3], const uint32_t (&counts)[3])
{
    for (uint32_t count : counts)
        PutU32(sink, count);
    for (const LineList& list : lists) {
        const size_t n = list.size();
        if (n <= 0xFFFE) {
            PutU16(sink, static_cast<uint16_t>(n));
        } else {
            PutU16(sink, 0xFFFF);
            PutU32(sink, static_cast<uint32_t>(n));
        }
        for (std::string_view line : list) {
            const size_t len = line.size();
            if (len <= 254) {
                PutU8(sink, static_cast<uint8_t>(len));
            } else if (len <= 0xFFFD) {
                PutU8(sink, 0xFF);
                PutU16(sink, static_cast<uint16_t>(len));
            } else {
                PutU8(sink, 0xFF);
                PutU16(sink, 0xFFFF);
                PutU32(sink, static_cast<uint32_t>(len));
            }
            sink.Put(line.data(), len);
        }
    }
}

// ---- reading ----

class MemorySource {
public:
    explicit MemorySource(std::string_view bytes) : m_p(bytes.data()), m_n(bytes.size()) {}
    uint64_t Remaining() const { return m_n; }
    bool Read(void* dst, size_t n)
    {
        if (n > m_n)
            return false;
        if (n > 0)
            std::memcpy(dst, m_p, n);
        m_p += n;
        m_n -= n;
        return true;
    }
    int Errno() const { return 0; }

private:
    const char* m_p;
    size_t m_n;
};

// Reads a file of known size in chunks. Remaining() counts what the file
// still holds, buffered or not.
class FileSource {
public:
    FileSource(File& file, uint64_t size) : m_file(file), m_remaining(size), m_unread(size)
    {
        m_buf.resize(static_cast<size_t>(std::min<uint64_t>(size, kIoChunk)));
    }
    uint64_t Remaining() const { return m_remaining; }
    bool Read(void* dst, size_t n)
    {
        if (n > m_remaining)
            return false;
        char* out = static_cast<char*>(dst);
        const size_t fromBuf = std::min(n, m_len - m_pos);
        if (fromBuf > 0)
            std::memcpy(out, m_buf.data() + m_pos, fromBuf);
        m_pos += fromBuf;
        out += fromBuf;
        size_t need = n - fromBuf;
        if (need >= m_buf.size()) {
            // Large lines go straight to their destination.
            if (!ReadFully(out, need))
                return false;
            need = 0;
        }
        if (need > 0) {
            if (!Refill())
                return false;
            if (need > m_len)
                return Fail(0);
            std::memcpy(out, m_buf.data(), need);
            m_pos = need;
        }
        m_remaining -= n;
        return true;
    }
    int Errno() const { return m_errno; }

private:
    bool Refill()
    {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(m_unread, m_buf.size()));
        m_pos = 0;
        m_len = 0;
        if (!ReadFully(m_buf.data(), want))
            return false;
        m_len = want;
        return true;
    }
    bool ReadFully(char* p, size_t n)
    {
        if (n > m_unread)
            return Fail(0);
        size_t got = 0;
        if (const int err = ReadFull(m_file, p, n, got))
            return Fail(err);
        m_unread -= got;
        if (got < n)
            return Fail(0);  // the file shrank while being read
        return true;
    }
    // `err` 0: the file ended before the count (Errno() stays 0).
    bool Fail(int err)
    {
        m_errno = err;
        return false;
    }

    File& m_file;
    uint64_t m_remaining;  // bytes of the file not yet handed out
    uint64_t m_unread;     // bytes of the file not yet read into memory
    std::vector<char> m_buf;
    size_t m_pos = 0;
    size_t m_len = 0;
    int m_errno = 0;
};

template <class Source>
bool GetU8(Source& src, uint8_t& v)
{
    return src.Read(&v, 1);
}

template <class Source>
bool GetU16(Source& src, uint16_t& v)
{
    uint8_t b[2];
    if (!src.Read(b, 2))
        return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

template <class Source>
bool GetU32(Source& src, uint32_t& v)
{
    uint8_t b[4];
    if (!src.Read(b, 4))
        return false;
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

void Note(RtyReadStats* stats, uint64_t bytes)
{
    if (stats && bytes > stats->largestAllocation)
        stats->largestAllocation = bytes;
}

template <class Source>
bool Truncated(const Source& src, std::string* error, const std::string& where)
{
    if (src.Errno() != 0)
        SetError(error, Text({"read error ", where, ": ", SystemErrorText(src.Errno())}));
    else
        SetError(error, Text({"the file ends early (", where, ")"}));
    return false;
}

template <class Source>
bool DecodeFrom(Source& src, RtyContent& out, std::string* error, RtyReadStats* stats)
{
    uint32_t counts[3];
    for (int i = 0; i < 3; ++i) {
        if (!GetU32(src, counts[i]))
            return Truncated(src, error, "in the header");
    }
    for (int i = 0; i < 3; ++i) {
        const std::string where = Text({"in ", ListName(i)});
        uint16_t shortCount = 0;
        if (!GetU16(src, shortCount))
            return Truncated(src, error, where);
        uint64_t count = shortCount;
        if (shortCount == 0xFFFF) {
            uint32_t longCount = 0;
            if (!GetU32(src, longCount))
                return Truncated(src, error, where);
            count = longCount;
        }
        // Every line takes at least its one-byte length prefix.
        if (count > src.Remaining()) {
            SetError(error, Text({ListName(i), " claims ", std::to_string(count), " lines but only ",
                                  std::to_string(src.Remaining()), " bytes follow"}));
            return false;
        }
        // The packed list grows with what is actually read, so a list that
        // claims many lines costs nothing in advance.
        LineList& list = out.lists[i];
        std::string line;
        for (uint64_t j = 0; j < count; ++j) {
            uint8_t first = 0;
            if (!GetU8(src, first))
                return Truncated(src, error, where);
            uint64_t len = first;
            if (first == 0xFF) {
                uint16_t mid = 0;
                if (!GetU16(src, mid))
                    return Truncated(src, error, where);
                // Any 16-bit value below 0xFFFF is the length itself,
                // 0xFFFE included (this program writes that one in the long
                // form, other writers may not).
                len = mid;
                if (mid == 0xFFFF) {
                    uint32_t longLen = 0;
                    if (!GetU32(src, longLen))
                        return Truncated(src, error, where);
                    len = longLen;
                }
            }
            if (len > src.Remaining()) {
                SetError(error, Text({"line ", std::to_string(j + 1), " of ", ListName(i), " claims ",
                                      std::to_string(len), " bytes but only ",
                                      std::to_string(src.Remaining()), " follow"}));
                return false;
            }
            // One scratch buffer for every line: it grows to the longest.
            line.resize(static_cast<size_t>(len));
            Note(stats, len);
            if (!src.Read(line.data(), line.size()))
                return Truncated(src, error, where);
            list.push_back(line);
        }
    }
    // Whatever follows the third list (a Ctrl-Z or padding from a file
    // transfer) is not part of the document and is left unread.
    std::copy(std::begin(counts), std::end(counts), std::begin(out.counts));
    return true;
}

// A file that the format allows can still hold more than memory does: the
// open then fails with a message instead of ending the program.
template <class Source>
bool DecodeGuarded(Source& src, RtyContent& out, std::string* error, RtyReadStats* stats)
{
    try {
        return DecodeFrom(src, out, error, stats);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    SetError(error, "not enough memory to hold the document");
    return false;
}

}  // namespace

std::string EncodeRty(const LineList (&lists)[3], const uint32_t (&counts)[3])
{
    std::string out;
    if (!FitsFormat(lists, nullptr))
        return out;
    StringSink sink(out);
    EncodeTo(sink, lists, counts);
    return out;
}

bool DecodeRty(std::string_view bytes, RtyContent& out, std::string* error, RtyReadStats* stats)
{
    MemorySource src(bytes);
    return DecodeGuarded(src, out, error, stats);
}

bool WriteRtyFile(const std::string& path, const LineList (&lists)[3],
                  const uint32_t (&counts)[3], std::string* error, SaveMethod* used)
{
    if (!FitsFormat(lists, error))
        return false;
    CountingSink size;
    EncodeTo(size, lists, counts);
    auto write = [&](File& file) {
        FileSink sink(file);
        EncodeTo(sink, lists, counts);
        sink.Flush();
        return sink.Errno();
    };
    return SaveFileSafely(path, size.Count(), write, error, used);
}

bool ReadRtyFile(const std::string& path, RtyContent& out, std::string* error,
                 RtyReadStats* stats)
{
    std::unique_ptr<File> file;
    if (const int err = ProgramFileSystem().Open(path, OpenMode::Read, file)) {
        SetError(error, Text({"cannot open ", path, ": ", SystemErrorText(err)}));
        return false;
    }
    FileInfo info;
    if (file->Stat(info) != 0 || info.kind != FileInfo::Kind::Regular) {
        SetError(error, Text({path, " is not a document file"}));
        return false;
    }
    FileSource src(*file, info.size);
    return DecodeGuarded(src, out, error, stats);
}

bool RtyCodec::Save(const CVELTRANDoc& doc, const std::string& path, std::string* error)
{
    return WriteRtyFile(path, doc.m_lists, doc.m_nCounts, error);
}

bool RtyCodec::Open(CVELTRANDoc& doc, const std::string& path, std::string* error)
{
    RtyContent content;
    if (!ReadRtyFile(path, content, error))
        return false;
    for (int i = 0; i < 3; ++i) {
        doc.m_lists[i].swap(content.lists[i]);
        doc.m_nCounts[i] = content.counts[i];
    }
    return true;
}
