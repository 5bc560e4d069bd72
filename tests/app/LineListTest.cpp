#include "app/LineList.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

// Lines of every byte value and of lengths on both sides of the prefix
// widths and of the block sizes, enough of them to cross many marks.
std::vector<std::string> Sample()
{
    std::vector<std::string> lines;
    for (int b = 0; b < 256; ++b)
        lines.emplace_back(static_cast<size_t>(b % 3), static_cast<char>(b));
    for (size_t n : {0, 1, 127, 128, 129, 16383, 16384, 4095, 4096, 262143, 262144, 262145, 600000})
        lines.emplace_back(n, static_cast<char>(n));
    for (int i = 0; i < 5000; ++i)
        lines.push_back(std::string(static_cast<size_t>(i % 61), static_cast<char>('A' + i % 26)) + '\n');
    return lines;
}

void ExpectHolds(const LineList& list, const std::vector<std::string>& want)
{
    ASSERT_EQ(list.size(), want.size());
    size_t i = 0;
    for (std::string_view line : list)
        ASSERT_EQ(line, want[i++]) << "iterating, line " << i - 1;
    ASSERT_EQ(i, want.size());
    for (size_t k = 0; k < want.size(); ++k)
        ASSERT_EQ(list[k], want[k]) << "line " << k;
    if (!want.empty()) {
        EXPECT_EQ(list.back(), want.back());
    }
}

}  // namespace

TEST(LineList, KeepsEveryByteAndLengthByIndexAndInOrder)
{
    const std::vector<std::string> want = Sample();
    LineList list;
    for (const std::string& line : want)
        list.push_back(line);
    ExpectHolds(list, want);
    const LineList copy(list);
    ExpectHolds(copy, want);
    EXPECT_TRUE(copy == list);
}

TEST(LineList, ReplaceChangesOneLineAndKeepsTheOthers)
{
    const std::vector<std::string> base = Sample();
    for (size_t at : {size_t{0}, size_t{15}, size_t{16}, size_t{265}, base.size() / 2, base.size() - 1}) {
        for (const std::string& line : {std::string(), std::string(300000, 'x'), std::string("short")}) {
            LineList list;
            for (const std::string& l : base)
                list.push_back(l);
            std::vector<std::string> want = base;
            want[at] = line;
            list.Replace(at, line);
            ExpectHolds(list, want);
            list.push_back("after");  // the list still grows where it ends
            want.push_back("after");
            ExpectHolds(list, want);
        }
    }
}

TEST(LineList, ClearedListIsEmptyAndGrowsAgain)
{
    LineList list{"a", "b"};
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list.begin() == list.end());
    list.push_back("c");
    ExpectHolds(list, {"c"});
    EXPECT_FALSE(list == (LineList{"c", ""}));
}

// Received-looking text (words from a small vocabulary) is sealed as the
// list grows; random bytes are kept plain. Either way every line reads back,
// in order, by index, after a copy, and from views held across reads of
// other sealed blocks.
TEST(LineList, OlderBlocksAreSealedWhenItPaysAndReadBackTheSame)
{
    std::mt19937 rng(7);
    const char* words[] = {"CQ", "TEST", "DE", "W1AW", "599", "TU", "QRZ?", "5NN", "K", "DL0ABC", "RST", "NAME"};
    std::vector<std::string> text, noise;
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        while (line.size() < 20 + static_cast<size_t>(i % 40))
            line += std::string(words[rng() % std::size(words)]) + ' ';
        text.push_back(line);
        std::string bytes(static_cast<size_t>(i % 80), '\0');
        for (char& c : bytes)
            c = static_cast<char>(rng());
        noise.push_back(bytes);
    }
    for (const auto* want : {&text, &noise}) {
        LineList list;
        size_t raw = 0;
        for (const std::string& line : *want) {
            list.push_back(line);
            raw += line.size() + 1;
        }
        if (want == &text)
            EXPECT_LT(list.StoredBytes(), raw / 2);
        else
            EXPECT_GE(list.StoredBytes(), raw);
        ExpectHolds(list, *want);
        ExpectHolds(LineList(list), *want);
        // One line from each of kUnpackedBlocks far-apart sealed blocks at once.
        std::vector<std::string_view> held;
        for (size_t k = 0; k < LineList::kUnpackedBlocks; ++k)
            held.push_back(list[k * 4000 + 1]);
        for (size_t k = 0; k < held.size(); ++k)
            EXPECT_EQ(held[k], (*want)[k * 4000 + 1]);
    }
}

TEST(LineList, LinesOfTheListItselfCanBeAppendedWhileItsBlocksAreSealed)
{
    LineList list;
    std::vector<std::string> want;
    for (int i = 0; i < 30000; ++i) {
        if (i % 3 == 0 || want.empty()) {
            want.push_back("RECEIVED LINE " + std::to_string(i));
            list.push_back(want.back());
        } else {
            const size_t from = static_cast<size_t>(i) * 7919 % want.size();
            want.push_back(want[from]);
            list.push_back(list[from]);   // a view into the list's own (possibly sealed) bytes
        }
    }
    ExpectHolds(list, want);
}
