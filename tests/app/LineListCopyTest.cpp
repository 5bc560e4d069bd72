// A copy of a list shares the bytes that can no longer change with its
// original: whatever either list does afterwards, the other keeps its lines,
// also when the copy is read on another thread (the ThreadSanitizer build
// checks that no byte both read there and written here is shared).
#include "app/LineList.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Received-like lines (they seal) and lines of every byte value (they stay plain).
std::vector<std::string> Lines(size_t n, int salt)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < n; ++i) {
        if (i % 3 == 0) {
            std::string raw(37, '\0');
            for (size_t k = 0; k < raw.size(); ++k)
                raw[k] = static_cast<char>((i * 131 + k * 17 + static_cast<size_t>(salt)) % 256);
            lines.push_back(raw);
        } else {
            lines.push_back(" CQ TEST DE W" + std::to_string(salt) + "AW " + std::to_string(i) + " K");
        }
    }
    return lines;
}

LineList Fill(const std::vector<std::string>& lines)
{
    LineList list;
    for (const std::string& line : lines)
        list.push_back(line);
    return list;
}

void ExpectHolds(const LineList& list, const std::vector<std::string>& want)
{
    ASSERT_EQ(list.size(), want.size());
    size_t i = 0;
    for (std::string_view line : list)
        ASSERT_EQ(line, want[i++]) << "line " << i - 1;
}

struct Change {
    const char* name;
    void (*apply)(LineList& list);
};

const Change kChanges[] = {
    {"appending many more lines (seals shared blocks)",
     [](LineList& l) {
         for (const std::string& line : Lines(40000, 9))
             l.push_back(line);
     }},
    {"replacing an early line (re-packs every shared block after it)", [](LineList& l) { l.Replace(5, "X"); }},
    {"replacing the last line", [](LineList& l) { l.Replace(l.size() - 1, std::string(300, 'Y')); }},
    {"clearing and refilling", [](LineList& l) {
         l.clear();
         for (const std::string& line : Lines(30000, 4))
             l.push_back(line);
     }},
};

TEST(LineListCopy, OriginalAndCopyKeepTheirLinesWhateverTheOtherDoes)
{
    const std::vector<std::string> lines = Lines(30000, 1);
    for (const Change& change : kChanges) {
        SCOPED_TRACE(change.name);
        LineList original = Fill(lines);
        LineList copy = original;
        change.apply(original);
        ExpectHolds(copy, lines);
        change.apply(copy);
        LineList again = Fill(lines);
        change.apply(again);
        EXPECT_TRUE(copy == again);
        EXPECT_TRUE(original == again);
    }
}

TEST(LineListCopy, CopyReadsOnAnotherThreadWhileTheOriginalChanges)
{
    const std::vector<std::string> lines = Lines(30000, 2);
    LineList original = Fill(lines);
    LineList copy = original;
    bool same = false;
    std::thread reader([&copy, &lines, &same] {
        size_t i = 0;
        same = copy.size() == lines.size();
        for (std::string_view line : copy)
            same = same && line == lines[i++];
    });
    for (const Change& change : kChanges)
        change.apply(original);
    reader.join();
    EXPECT_TRUE(same);
}

}  // namespace
