// Reading tapes in pieces of whole lines, the file test, and Export Tape.
#include "views/FileExists.h"
#include "views/TapeExport.h"
#include "views/TapeReader.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TapeFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir.empty());
    }
    std::string Write(const std::string& name, const std::string& content) { return scratch.Write(name, content); }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Every piece of the file, in order.
    static std::vector<std::string> Pieces(const std::string& path)
    {
        TapeReader reader;
        int error = 0;
        EXPECT_TRUE(reader.Open(path, &error));
        std::vector<std::string> pieces;
        std::string piece;
        while (reader.Next(piece, &error) == TapeReader::Result::kPiece)
            pieces.push_back(piece);
        return pieces;
    }
    static std::string Join(const std::vector<std::string>& pieces)
    {
        std::string all;
        for (const std::string& p : pieces)
            all += p;
        return all;
    }

    ScratchDir scratch;
    const std::string dir = scratch.Path();
};

}  // namespace

TEST_F(TapeFilesTest, PiecesEndAtLineEndsAndCarryTheUnfinishedLineWhole)
{
    // 50 lines of 58 characters and CR LF: 3000 bytes over the 1024 boundaries.
    std::string content;
    for (int i = 0; i < 50; ++i) {
        std::string line = std::to_string(i) + ":";
        line.resize(58, static_cast<char>('A' + i % 26));
        content += line + "\r\n";
    }
    ASSERT_EQ(content.size(), 3000u);
    const auto pieces = Pieces(Write("t.txt", content));
    EXPECT_EQ(Join(pieces), content);
    for (const std::string& p : pieces) {
        EXPECT_LE(p.size(), TapeReader::kBufferSize);
        EXPECT_EQ(p.back(), '\n');
        EXPECT_EQ(p.size() % 60, 0u);
    }
    EXPECT_GE(pieces.size(), 3u);
}

TEST_F(TapeFilesTest, LastLineWithoutLineEndIsSentToo)
{
    const auto pieces = Pieces(Write("t.txt", "CQ CQ\r\nDE W1AW K"));
    EXPECT_EQ(Join(pieces), "CQ CQ\r\nDE W1AW K");
    EXPECT_EQ(pieces.back(), "DE W1AW K");
}

TEST_F(TapeFilesTest, LineLongerThanTheBufferIsSentWhole)
{
    std::string longLine;
    for (int i = 0; i < 1500; ++i)
        longLine += static_cast<char>('a' + i % 26);
    const std::string content = longLine + "\r\nNEXT\r\n";
    const auto pieces = Pieces(Write("t.txt", content));
    EXPECT_EQ(Join(pieces), content);
    EXPECT_EQ(pieces.front().size(), TapeReader::kBufferSize);
}

TEST_F(TapeFilesTest, CutInsideALongLineNeverSplitsACaretReference)
{
    // The caret falls on the last byte of the first buffer.
    std::string content(1023, 'x');
    content += "^K tail\r\n";
    auto pieces = Pieces(Write("a.txt", content));
    EXPECT_EQ(Join(pieces), content);
    EXPECT_EQ(pieces.front(), std::string(1023, 'x'));
    EXPECT_EQ(pieces[1].substr(0, 2), "^K");

    // Two carets ending the buffer are one literal caret and may stay together.
    content = std::string(1022, 'x') + "^^" + std::string(600, 'y') + "\n";
    pieces = Pieces(Write("b.txt", content));
    EXPECT_EQ(Join(pieces), content);
    EXPECT_EQ(pieces.front().size(), 1024u);

    // A run of carets pairs up from its start: 511 literal carets and a
    // reference fill the buffer exactly ...
    content = std::string(1023, '^') + "Kz\n";
    pieces = Pieces(Write("c.txt", content));
    EXPECT_EQ(Join(pieces), content);
    EXPECT_EQ(pieces.front().size(), 1024u);
    // ... while one more byte before them leaves the last caret unpaired.
    content = "x" + std::string(1023, '^') + "Kz\n";
    pieces = Pieces(Write("d.txt", content));
    EXPECT_EQ(Join(pieces), content);
    EXPECT_EQ(pieces.front().size(), 1023u);
    EXPECT_EQ(pieces[1].substr(0, 2), "^K");
}

TEST_F(TapeFilesTest, RandomBytesReachTheEndWholeAndInOrder)
{
    std::mt19937 rng(777);
    std::string content;
    for (int i = 0; i < 20000; ++i) {
        const unsigned r = rng() % 16;
        content += r == 0 ? '^' : r == 1 ? '\n' : r == 2 ? '\r' : static_cast<char>(rng() & 0xFF);
    }
    content += std::string(3000, '^');  // no line end at all at the close
    const auto pieces = Pieces(Write("r.txt", content));
    EXPECT_EQ(Join(pieces), content);
    for (const std::string& p : pieces)
        EXPECT_LE(p.size(), TapeReader::kBufferSize);
}

TEST_F(TapeFilesTest, EmptyFileHasNoPieceAndMissingFileGivesItsError)
{
    EXPECT_TRUE(Pieces(Write("e.txt", "")).empty());

    TapeReader reader;
    int error = 0;
    EXPECT_FALSE(reader.Open(dir + "/missing.txt", &error));
    EXPECT_EQ(error, ENOENT);
}

TEST_F(TapeFilesTest, FileExistsForFilesOnly)
{
    EXPECT_EQ(FileExists(dir + "/TAPECQ.TXT"), 0);
    Write("TAPECQ.TXT", "CQ\r\n");
    EXPECT_EQ(FileExists(dir + "/TAPECQ.TXT"), 1);
    EXPECT_EQ(FileExists(dir), 0);
    EXPECT_EQ(FileExists(""), 0);
}

TEST_F(TapeFilesTest, ExportWritesNonEmptyLinesWithCrLfAndReplacesTheFile)
{
    const std::string path = Write("VELTRAN Export.txt", "old content that must go");
    std::string error;
    ASSERT_TRUE(TapeExport::WriteLines(path, {" ABC", "", ">CQ CQ", "", " "}, &error));
    EXPECT_EQ(Read(path), " ABC\r\n>CQ CQ\r\n \r\n");
    ASSERT_TRUE(TapeExport::WriteLines(path, {}, &error));
    EXPECT_EQ(Read(path), "");
}

TEST_F(TapeFilesTest, ExportFailuresGiveTheSystemText)
{
    std::string error;
    EXPECT_FALSE(TapeExport::WriteLines(dir + "/no/such/dir/x.txt", {"A"}, &error));
    EXPECT_FALSE(error.empty());
    if (access("/dev/full", W_OK) == 0) {
        error.clear();
        EXPECT_FALSE(TapeExport::WriteLines("/dev/full", {"A"}, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(TapeFilesTest, AFolderAPipeOrADeviceIsRefusedAtOnceInsteadOfWaitedOn)
{
    // A pipe without a writer would block the open, and a device like
    // /dev/zero never ends: neither may hold up the window.
    const std::string fifo = dir + "/pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        int error;
    } cases[] = {{fifo, EINVAL}, {"/dev/zero", EINVAL}, {dir, EISDIR}};
    for (const auto& c : cases) {
        TapeReader reader;
        int error = 0;
        EXPECT_FALSE(reader.Open(c.path, &error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
    }
}
