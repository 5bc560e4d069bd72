#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/RtyFormat.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Lists with matching counts.
struct Lists {
    LineList lists[3];
    uint32_t counts[3] = {0, 0, 0};
    void Fix()
    {
        for (int i = 0; i < 3; ++i)
            counts[i] = static_cast<uint32_t>(lists[i].size());
    }
    std::string Encode() const { return EncodeRty(lists, counts); }
};

void ExpectSame(const RtyContent& got, const Lists& want)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got.counts[i], want.counts[i]) << "list " << i + 1;
        ASSERT_EQ(got.lists[i].size(), want.lists[i].size()) << "list " << i + 1;
        EXPECT_TRUE(got.lists[i] == want.lists[i]) << "list " << i + 1;
    }
}

// A small file that uses every prefix form except the long ones that need
// 64 KiB of data.
Lists SmallSample()
{
    Lists l;
    l.lists[0] = {" VELTRAN (c) 1998 Quorvane", "", " RYRYRY \xA4", std::string(254, 'x')};
    l.lists[1] = {};
    l.lists[2] = {std::string(300, 'y'), ">", std::string("\0\xFF\r", 3)};
    l.Fix();
    return l;
}

class RtyFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    std::string Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QStringList DirEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir m_dir;
};

}  // namespace

TEST(RtyEncode, EmptyDocumentIsEighteenZeroBytes)
{
    Lists l;
    EXPECT_EQ(l.Encode(), std::string(18, '\0'));
}

TEST(RtyEncode, SmallListsByteForByte)
{
    Lists l;
    l.lists[0] = {"AB", ""};
    l.lists[2] = {"x"};
    l.counts[0] = 2;
    l.counts[1] = 7;  // counts are written as kept, not recomputed
    l.counts[2] = 1;
    const std::string want = Bytes({2, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0,  // header
                                    2, 0, 2, 'A', 'B', 0,                // list 1
                                    0, 0,                                // list 2
                                    1, 0, 1, 'x'});                      // list 3
    EXPECT_EQ(l.Encode(), want);
}

TEST(RtyEncode, LengthPrefixForms)
{
    struct Case {
        size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {300, Bytes({0xFF, 0x2C, 0x01})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        Lists l;
        l.lists[1] = {std::string(c.length, 'q')};
        l.Fix();
        const std::string want = Bytes({0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}) + c.prefix +
                                 std::string(c.length, 'q') + Bytes({0, 0});
        const std::string got = l.Encode();
        EXPECT_EQ(got.size(), want.size()) << c.length;
        EXPECT_TRUE(got == want) << c.length;

        RtyContent back;
        std::string error;
        ASSERT_TRUE(DecodeRty(got, back, &error)) << c.length << ": " << error;
        ExpectSame(back, l);
    }
}

TEST(RtyEncode, LineCountForms)
{
    struct Case {
        size_t lines;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0x00, 0x00})},
        {1, Bytes({0x01, 0x00})},
        {300, Bytes({0x2C, 0x01})},
        {65534, Bytes({0xFE, 0xFF})},
        {65535, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        Lists l;
        for (size_t i = 0; i < c.lines; ++i)
            l.lists[0].push_back(std::to_string(i));
        l.Fix();
        const std::string got = l.Encode();
        EXPECT_EQ(got.substr(12, c.prefix.size()), c.prefix) << c.lines;
        RtyContent back;
        std::string error;
        ASSERT_TRUE(DecodeRty(got, back, &error)) << c.lines << ": " << error;
        ExpectSame(back, l);
    }
}

TEST(RtyDecode, AcceptsNonMinimalPrefixes)
{
    const std::string file = Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0xFF, 0xFF, 1, 0, 0, 0,                 // one line, long count form
                                    0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 'h', 'i', // two bytes, long length form
                                    0, 0, 0, 0});
    RtyContent got;
    std::string error;
    ASSERT_TRUE(DecodeRty(file, got, &error)) << error;
    EXPECT_EQ(got.lists[0], (LineList{"hi"}));
}

TEST(RtyDecode, RejectsWhatThisFormatNeverWrites)
{
    const std::string header = Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"trailing byte", std::string(18, '\0') + "!"},
        {"header count above INT32_MAX", Bytes({0, 0, 0, 0x80}) + std::string(14, '\0')},
        {"0xFFFE length marker", header + Bytes({1, 0, 0xFF, 0xFE, 0xFF, 'a', 0, 0, 0, 0})},
        {"empty file", std::string()},
    };
    for (const Case& c : cases) {
        RtyContent got;
        std::string error;
        EXPECT_FALSE(DecodeRty(c.bytes, got, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(RtyDecode, KeepsHeaderCountsThatDisagreeWithTheLists)
{
    const std::string file = Bytes({9, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F,
                                    1, 0, 1, 'A', 0, 0, 0, 0});
    RtyContent got;
    std::string error;
    ASSERT_TRUE(DecodeRty(file, got, &error)) << error;
    EXPECT_EQ(got.counts[0], 9u);
    EXPECT_EQ(got.counts[2], 0x7FFFFFFFu);
    EXPECT_EQ(got.lists[0], (LineList{"A"}));
}

TEST(RtyDecode, HugeClaimsFailAtOnceWithoutAllocating)
{
    // 50 bytes claiming 4 billion lines, then a line claiming 4 GiB.
    std::string lines = std::string(12, '\0') + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    lines.resize(50, 'z');
    std::string length = std::string(12, '\0') + Bytes({1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    length.resize(50, 'z');
    for (const std::string& file : {lines, length}) {
        RtyContent got;
        std::string error;
        RtyReadStats stats;
        EXPECT_FALSE(DecodeRty(file, got, &error, &stats));
        EXPECT_NE(error.find("4294967295"), std::string::npos) << error;
        EXPECT_LE(stats.largestAllocation, file.size());
    }
}

TEST(RtyDecode, EveryTruncationFailsCleanly)
{
    const std::string whole = SmallSample().Encode();
    for (size_t n = 0; n < whole.size(); ++n) {
        RtyContent got;
        std::string error;
        RtyReadStats stats;
        EXPECT_FALSE(DecodeRty(std::string_view(whole).substr(0, n), got, &error, &stats)) << n;
        EXPECT_FALSE(error.empty()) << n;
        EXPECT_LE(stats.largestAllocation, n);
    }
}

TEST(RtyDecode, TruncationsOfLongFormsFailCleanly)
{
    Lists l;
    l.lists[0].assign(70000, "");
    l.lists[1] = {std::string(70000, 'L'), std::string(65533, 'M')};
    l.Fix();
    const std::string whole = l.Encode();
    std::vector<size_t> cuts;
    for (size_t n = 0; n < 40; ++n)
        cuts.push_back(n);
    for (size_t around : {size_t{12 + 6 + 70000}, whole.size() - 65533 - 3 - 2, whole.size() - 1}) {
        for (size_t d = 0; d < 12; ++d)
            cuts.push_back(around - d);
    }
    for (size_t n : cuts) {
        RtyContent got;
        std::string error;
        RtyReadStats stats;
        EXPECT_FALSE(DecodeRty(std::string_view(whole).substr(0, n), got, &error, &stats)) << n;
        EXPECT_LE(stats.largestAllocation, n);
    }
    RtyContent got;
    std::string error;
    ASSERT_TRUE(DecodeRty(whole, got, &error)) << error;
    ExpectSame(got, l);
}

// A corpus of valid files plus random mutations of them: the reader never
// crashes, never allocates more in one piece than the input holds, and what
// it accepts survives a write/read round trip.
TEST(RtyDecode, SurvivesMutatedFiles)
{
    std::vector<std::string> corpus;
    corpus.push_back(Lists().Encode());
    corpus.push_back(SmallSample().Encode());
    {
        Lists l;
        l.lists[2] = {std::string(255, 'a'), std::string(1, '\xFF'), "", "CQ CQ"};
        l.lists[0] = {"A"};
        l.Fix();
        corpus.push_back(l.Encode());
    }
    {
        Lists l;
        l.lists[1].assign(300, "de");
        l.Fix();
        corpus.push_back(l.Encode());
    }

    std::mt19937 rng(20240531);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    int accepted = 0;
    for (int round = 0; round < 10000; ++round) {
        std::string file = corpus[pick(corpus.size())];
        const int edits = 1 + static_cast<int>(pick(4));
        for (int e = 0; e < edits; ++e) {
            switch (pick(5)) {
            case 0:  // flip a byte
                if (!file.empty())
                    file[pick(file.size())] = static_cast<char>(pick(256));
                break;
            case 1:  // a byte that means "long form follows"
                if (!file.empty())
                    file[pick(file.size())] = '\xFF';
                break;
            case 2:  // cut
                file.resize(pick(file.size() + 1));
                break;
            case 3:  // insert
                file.insert(file.begin() + static_cast<long>(pick(file.size() + 1)),
                            static_cast<char>(pick(256)));
                break;
            default:  // erase
                if (!file.empty())
                    file.erase(pick(file.size()), 1);
                break;
            }
        }
        RtyContent got;
        std::string error;
        RtyReadStats stats;
        const bool ok = DecodeRty(file, got, &error, &stats);
        ASSERT_LE(stats.largestAllocation, file.size()) << "round " << round;
        if (!ok) {
            ASSERT_FALSE(error.empty()) << "round " << round;
            continue;
        }
        ++accepted;
        RtyContent again;
        ASSERT_TRUE(DecodeRty(EncodeRty(got.lists, got.counts), again, &error)) << error;
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(again.lists[i], got.lists[i]);
            ASSERT_EQ(again.counts[i], got.counts[i]);
        }
    }
    EXPECT_GT(accepted, 0) << "mutations should sometimes still be valid (e.g. a changed text byte)";
}

TEST_F(RtyFileTest, RoundTripThroughTheFileSystem)
{
    Lists l;
    l.lists[0].assign(300, std::string(67, 'R'));
    l.lists[1] = {std::string(65534, 'T')};
    l.lists[2].reserve(70000);
    for (int i = 0; i < 70000; ++i)
        l.lists[2].push_back(std::string(static_cast<size_t>(i % 300), static_cast<char>(i)));
    l.Fix();
    const std::string path = Path("big.rty");
    std::string error;
    ASSERT_TRUE(WriteRtyFile(path, l.lists, l.counts, &error)) << error;
    EXPECT_TRUE(ReadAll(path) == l.Encode());
    RtyContent back;
    RtyReadStats stats;
    ASSERT_TRUE(ReadRtyFile(path, back, &error, &stats)) << error;
    ExpectSame(back, l);
    EXPECT_LE(stats.largestAllocation, ReadAll(path).size());
    EXPECT_EQ(DirEntries(), QStringList{QStringLiteral("big.rty")}) << "no temporary file left";
}

TEST_F(RtyFileTest, MissingOrNonRegularFilesAreRefused)
{
    RtyContent got;
    std::string error;
    EXPECT_FALSE(ReadRtyFile(Path("absent.rty"), got, &error));
    EXPECT_NE(error.find("absent.rty"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(ReadRtyFile(m_dir.path().toStdString(), got, &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(RtyFileTest, FailedSaveKeepsThePreviousFile)
{
    const std::string path = Path("keep.rty");
    const std::string old = SmallSample().Encode();
    WriteAll(path, old);

    Lists big;
    big.lists[0].assign(100, std::string(200, 'B'));
    big.Fix();
    // A file size limit makes the write fail part-way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool ok = WriteRtyFile(path, big.lists, big.counts, &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ReadAll(path) == old);
    EXPECT_EQ(DirEntries(), QStringList{QStringLiteral("keep.rty")});

    // A directory in the way: the rename fails and nothing is left behind.
    const std::string dirPath = Path("sub");
    ASSERT_EQ(::mkdir(dirPath.c_str(), 0700), 0);
    EXPECT_FALSE(WriteRtyFile(dirPath, big.lists, big.counts, &error));
    EXPECT_EQ(DirEntries(), (QStringList{QStringLiteral("keep.rty"), QStringLiteral("sub")}));
    EXPECT_FALSE(WriteRtyFile(Path("nodir/x.rty"), big.lists, big.counts, &error));
}

TEST_F(RtyFileTest, SaveKeepsPermissionsAndSymbolicLinks)
{
    const std::string real = Path("real.rty");
    const std::string link = Path("link.rty");
    WriteAll(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.rty", link.c_str()), 0);
    const Lists l = SmallSample();
    std::string error;
    ASSERT_TRUE(WriteRtyFile(link, l.lists, l.counts, &error)) << error;
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_TRUE(ReadAll(real) == l.Encode());
}

TEST_F(RtyFileTest, DocumentOpenIsAllOrNothing)
{
    MemorySettingsStore settings;
    CVELTRANDoc source(settings);
    source.AddText("one\ntwo", CVELTRANDoc::kReceiveList);
    source.AddText("tnc", CVELTRANDoc::kTncList);
    source.AddText(std::string(300, 'h'), CVELTRANDoc::kTransmitList);
    const std::string path = Path("doc.rty");
    std::string error;
    ASSERT_TRUE(source.SaveFile(path, &error)) << error;
    EXPECT_FALSE(source.IsModified());
    const std::string whole = ReadAll(path);

    CVELTRANDoc target(settings);
    target.AddText("keep me", CVELTRANDoc::kTransmitList);
    const std::string cut = Path("cut.rty");
    for (size_t n = 0; n < whole.size(); ++n) {
        WriteAll(cut, whole.substr(0, n));
        error.clear();
        EXPECT_FALSE(target.OpenFile(cut, &error)) << n;
        EXPECT_FALSE(error.empty()) << n;
        EXPECT_EQ(target.GetList(3), (LineList{"keep me"})) << n;
        EXPECT_EQ(target.GetLineCount(3), 1) << n;
        EXPECT_EQ(target.GetLineCount(1), 0) << n;
        EXPECT_TRUE(target.IsModified()) << n;
    }

    ASSERT_TRUE(target.OpenFile(path, &error)) << error;
    EXPECT_FALSE(target.IsModified());
    for (int list = 1; list <= 3; ++list) {
        EXPECT_EQ(target.GetList(list), source.GetList(list)) << list;
        EXPECT_EQ(target.GetLineCount(list), source.GetLineCount(list)) << list;
    }
}
