#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/RtyFormat.h"
#include "app/SafeSave.h"
#include "support/NoFileOverride.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
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

TEST(RtyDecode, RefusesAnEmptyFile)
{
    RtyContent got;
    std::string error;
    EXPECT_FALSE(DecodeRty(std::string(), got, &error));
    EXPECT_FALSE(error.empty());
}

// Files other writers produce: padding after the third list, header counts
// beyond the signed range, and the 16-bit length 0xFFFE.
TEST(RtyDecode, OpensWhatTheLayoutHolds)
{
    const std::string oneLine = Bytes({1, 0, 1, 'A', 0, 0, 0, 0});
    const std::string zeroCounts(12, '\0');
    struct Case {
        const char* what;
        std::string bytes;
        LineList list1;
        uint32_t count1;
    };
    const Case cases[] = {
        {"a Ctrl-Z after list 3", zeroCounts + oneLine + "\x1A", {"A"}, 0},
        {"128 bytes of padding", zeroCounts + oneLine + std::string(128, '\0'), {"A"}, 0},
        {"header count 2^31", Bytes({0, 0, 0, 0x80}) + std::string(8, '\0') + oneLine, {"A"}, 0x80000000u},
        {"header count 2^32-1", Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + std::string(8, '\0') + oneLine, {"A"},
         0xFFFFFFFFu},
        {"length 0xFFFE in 16 bits",
         zeroCounts + Bytes({1, 0, 0xFF, 0xFE, 0xFF}) + std::string(65534, 'w') + Bytes({0, 0, 0, 0}),
         {std::string(65534, 'w')}, 0},
    };
    for (const Case& c : cases) {
        RtyContent got;
        std::string error;
        RtyReadStats stats;
        ASSERT_TRUE(DecodeRty(c.bytes, got, &error, &stats)) << c.what << ": " << error;
        EXPECT_EQ(got.lists[0], c.list1) << c.what;
        EXPECT_EQ(got.counts[0], c.count1) << c.what;
        EXPECT_LE(stats.largestAllocation, c.bytes.size()) << c.what;
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

TEST_F(RtyFileTest, DocumentSavesHugeHeaderCountsBackUnchanged)
{
    const std::string file = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 3, 0, 0, 0,
                                    1, 0, 1, 'A', 0, 0, 0, 0});
    const std::string path = Path("counts.rty");
    WriteAll(path, file);
    MemorySettingsStore settings;
    CVELTRANDoc doc(settings);
    std::string error;
    ASSERT_TRUE(doc.OpenFile(path, &error)) << error;
    EXPECT_EQ(doc.GetLineCount(1), INT32_MAX);
    EXPECT_EQ(doc.GetLineCount(2), INT32_MAX);
    EXPECT_EQ(doc.GetLineCount(3), 3);
    ASSERT_TRUE(doc.SaveFile(path, &error)) << error;
    EXPECT_TRUE(ReadAll(path) == file);
}

namespace {

struct SaveCase {
    const char* what;
    // Makes the file to save over (and whatever else the case needs) in
    // `dir`; false: the case cannot be set up here.
    std::function<bool(const std::string& dir)> setUp;
    SaveMethod method;
};

std::string BackupEntries()
{
    std::string names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(SaveBackupFolder(), ec))
        names += e.path().filename().string() + " ";
    return names;
}

}  // namespace

// Where the folder allows a rename the file is replaced; where it does not,
// or a rename would lose a hard link or the owner, it is written in place.
// Either way the file keeps its mode, owner, links and attributes.
TEST_F(RtyFileTest, SaveKeepsTheFileWhereverTheUserMayWriteIt)
{
    const SaveCase cases[] = {
        {"plain file", [](const std::string&) { return true; }, SaveMethod::Replace},
        {"read-only folder", [](const std::string& dir) { return ::chmod(dir.c_str(), 0555) == 0; },
         SaveMethod::InPlace},
        {"second hard link",
         [](const std::string& dir) { return ::link((dir + "/doc.rty").c_str(), (dir + "/other.rty").c_str()) == 0; },
         SaveMethod::InPlace},
        {"another account's file",
         [](const std::string& dir) {
             return ::geteuid() == 0 && ::chown((dir + "/doc.rty").c_str(), 4242, 4242) == 0 &&
                    ::chmod((dir + "/doc.rty").c_str(), 0666) == 0;
         },
         SaveMethod::InPlace},
        {"extended attribute",
         [](const std::string& dir) {
             return ::setxattr((dir + "/doc.rty").c_str(), "user.veltran", "kept", 4, 0) == 0;
         },
         SaveMethod::Replace},
    };
    const Lists l = SmallSample();
    for (const SaveCase& c : cases) {
        const std::string dir = Path(c.what);
        ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
        const std::string path = dir + "/doc.rty";
        WriteAll(path, "old content");
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        if (!c.setUp(dir)) {
            ::chmod(dir.c_str(), 0700);
            continue;
        }
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        std::string error;
        SaveMethod used = c.method == SaveMethod::Replace ? SaveMethod::InPlace : SaveMethod::Replace;
        bool ok = false;
        {
            const NoFileOverride asUser;
            ok = WriteRtyFile(path, l.lists, l.counts, &error, &used);
        }
        ::chmod(dir.c_str(), 0700);
        ASSERT_TRUE(ok) << c.what << ": " << error;
        EXPECT_EQ(used, c.method) << c.what;
        EXPECT_TRUE(ReadAll(path) == l.Encode()) << c.what;
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
        EXPECT_EQ(after.st_uid, before.st_uid) << c.what;
        EXPECT_EQ(after.st_gid, before.st_gid) << c.what;
        EXPECT_EQ(after.st_nlink, before.st_nlink) << c.what;
        if (before.st_nlink > 1) {
            EXPECT_TRUE(ReadAll(dir + "/other.rty") == l.Encode()) << c.what;
        }
        if (std::string_view(c.what) == "extended attribute") {
            char value[8] = {};
            EXPECT_EQ(::getxattr(path.c_str(), "user.veltran", value, sizeof value), 4) << c.what;
        }
        size_t entries = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
            ++entries;
        EXPECT_EQ(entries, before.st_nlink) << c.what << ": no temporary file left";
        EXPECT_EQ(BackupEntries(), "") << c.what << ": the copy of the old content is removed";
    }
}

TEST_F(RtyFileTest, FailedSaveInPlaceLeavesTheFileAsItWas)
{
    const std::string dir = Path("shared");
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    const std::string path = dir + "/log.rty";
    const std::string old = SmallSample().Encode();
    WriteAll(path, old);
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    Lists big;
    big.lists[0].assign(100, std::string(200, 'B'));
    big.Fix();
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    std::string error;
    bool ok = true;
    {
        const NoFileOverride asUser;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        ok = WriteRtyFile(path, big.lists, big.counts, &error);
        ::setrlimit(RLIMIT_FSIZE, &saved);
    }
    std::signal(SIGXFSZ, previous);
    ::chmod(dir.c_str(), 0700);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("left as it was"), std::string::npos) << error;
    EXPECT_TRUE(ReadAll(path) == old);
    EXPECT_EQ(BackupEntries(), "");
}
