// What the operator is told, and what stays on the disk, when saving a
// document or appending a report fails: over the in-memory file system with
// its injected faults, and the two cases only a real disk shows (a lock held
// by another program, a read-only folder).
#include "app/FileIo.h"
#include "app/PosixFileSystem.h"
#include "app/ReportRecord.h"
#include "app/RtyFormat.h"
#include "app/SafeSave.h"

#include "support/FakeFileSystem.h"
#include "support/NoFileOverride.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <vector>

namespace {

using Op = FakeFileSystem::Op;
using Setup = std::function<void(FakeFileSystem&)>;

Setup Faults(std::vector<FakeFileSystem::Fault> faults)
{
    return [faults](FakeFileSystem& fs) {
        for (const auto& f : faults)
            fs.Fail(f);
    };
}

struct Sample {
    LineList lists[3];
    uint32_t counts[3] = {0, 0, 0};
    explicit Sample(size_t lines, char c)
    {
        lists[0].assign(lines, std::string(100, c));
        lists[2] = {"history"};
        counts[0] = static_cast<uint32_t>(lines);
        counts[2] = 1;
    }
    std::string Bytes() const { return EncodeRty(lists, counts); }
};

struct SaveCase {
    const char* what;
    Setup setUp;
    bool saved;
    const char* message;  // part of the error shown ("" when saved)
};

}  // namespace

// Whatever fails, the previous document file stays as it was and nothing
// else is left behind; short writes alone still save the whole file.
TEST(FileFaults, SavingADocumentKeepsThePreviousFileWhateverFails)
{
    const Sample old(3, 'o');
    const Sample next(60, 'n');
    const SaveCase cases[] = {
        {"short writes", Faults({{Op::Write, "", 0, 0, -1, 7}}), true, ""},
        {"disk full", [](FakeFileSystem& fs) { fs.SetFreeSpace(1000); }, false, "No space left on device"},
        {"disk full part-way through short writes",
         [](FakeFileSystem& fs) {
             fs.Fail({Op::Write, "", 0, 0, -1, 100});
             fs.SetFreeSpace(2500);
         },
         false, "No space left on device"},
        {"write error", Faults({{Op::Write, "", EIO, 0}}), false, "Input/output error"},
        {"flush error", Faults({{Op::Sync, "", EIO}}), false, "Input/output error"},
        {"close error", Faults({{Op::Close, "", EIO, 0, 1}}), false, "Input/output error"},
        {"rename error", Faults({{Op::Rename, "doc.rty", EIO}}), false, "cannot replace doc.rty"},
        {"disk full at the first entry", Faults({{Op::Create, "./.doc.rty.", ENOSPC}}), false,
         "cannot create a file in .: No space left on device"},
        {"read-only folder, disk full",
         [](FakeFileSystem& fs) {
             fs.SetReadOnlyFolder(".");
             fs.SetFreeSpace(1000);
         },
         false, "No space left on device; the file was not changed"},
        {"read-only folder, write error",
         [](FakeFileSystem& fs) {
             fs.SetReadOnlyFolder(".");
             fs.Fail({Op::Write, "doc.rty", EIO, 0, 1});
         },
         false, "Input/output error; the file was left as it was"},
        {"read-only folder, no room for the copy",
         [](FakeFileSystem& fs) {
             fs.SetReadOnlyFolder(".");
             fs.Fail({Op::Create, SaveBackupFolder() + "/doc.rty.", ENOSPC});
         },
         false, "before writing it (No space left on device); the file was not changed"},
        {"read-only folder, short writes",
         [](FakeFileSystem& fs) {
             fs.SetReadOnlyFolder(".");
             fs.Fail({Op::Write, "", 0, 0, -1, 5});
         },
         true, ""},
    };
    for (const SaveCase& c : cases) {
        FakeFileSystem fs;
        fs.Put("doc.rty", old.Bytes());
        c.setUp(fs);
        std::string error;
        const bool ok = WriteRtyFile("doc.rty", next.lists, next.counts, &error);
        EXPECT_EQ(ok, c.saved) << c.what << ": " << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(fs.Contents("doc.rty") == (c.saved ? next.Bytes() : old.Bytes())) << c.what;
        EXPECT_EQ(fs.Files(), std::vector<std::string>{"doc.rty"}) << c.what << ": nothing left behind";
    }
}

TEST(FileFaults, OpeningADocumentReadInTinyPiecesOrFailingHalfWay)
{
    const Sample doc(40, 'd');
    FakeFileSystem fs;
    fs.Put("doc.rty", doc.Bytes());
    fs.Fail({Op::Read, "doc.rty", 0, 0, -1, 3});
    RtyContent got;
    std::string error;
    ASSERT_TRUE(ReadRtyFile("doc.rty", got, &error)) << error;
    EXPECT_EQ(got.lists[0], doc.lists[0]);
    EXPECT_EQ(got.lists[2], doc.lists[2]);

    fs.Fail({Op::Read, "doc.rty", EIO, 100});
    RtyContent cut;
    EXPECT_FALSE(ReadRtyFile("doc.rty", cut, &error));
    EXPECT_NE(error.find("read error"), std::string::npos) << error;
    EXPECT_NE(error.find("Input/output error"), std::string::npos) << error;
}

namespace {

struct ReportCase {
    const char* what;
    Setup setUp;
    const char* message;   // the text shown; "" when logged
    const char* expected;  // REPORT.TXT afterwards; nullptr: no such file
};

constexpr const char* kEarlier = "<call:4>W1AW<eor>\r\n";

void WithEarlier(FakeFileSystem& fs, uint32_t mode = 0644)
{
    fs.Put("REPORT.TXT", kEarlier, mode);
}

}  // namespace

// Each record is logged whole or not at all, and what was logged before
// stays: the operator sees the reason whenever the record is not logged.
TEST(FileFaults, AppendingAReportLogsTheWholeRecordOrNothing)
{
    const ReportCase cases[] = {
        {"short writes", [](FakeFileSystem& fs) { WithEarlier(fs); fs.Fail({Op::Write, "", 0, 0, -1, 2}); }, "",
         "<call:4>W1AW<eor>\r\nNEW\r\n"},
        {"disk full", [](FakeFileSystem& fs) { WithEarlier(fs); fs.SetFreeSpace(3); }, "No space left on device",
         kEarlier},
        {"disk full found only while writing",
         [](FakeFileSystem& fs) {
             WithEarlier(fs);
             fs.Fail({Op::Reserve, "", EOPNOTSUPP});
             fs.Fail({Op::Write, "", 0, 0, -1, 2});
             fs.SetFreeSpace(3);
         },
         "No space left on device", kEarlier},
        {"flush error", [](FakeFileSystem& fs) { WithEarlier(fs); fs.Fail({Op::Sync, "", EIO}); },
         "Input/output error", kEarlier},
        {"locked by another program",
         [](FakeFileSystem& fs) {
             WithEarlier(fs);
             fs.HoldLock("REPORT.TXT");
         },
         "REPORT.TXT is locked by another program.", kEarlier},
        {"read-only file", [](FakeFileSystem& fs) { WithEarlier(fs, 0444); }, "Permission denied", kEarlier},
        {"missing in a read-only folder", [](FakeFileSystem& fs) { fs.SetReadOnlyFolder("."); },
         "Permission denied", nullptr},
        {"a folder in its place", [](FakeFileSystem& fs) { fs.MakeDirectory("REPORT.TXT"); }, "Is a directory",
         nullptr},
        {"locks not supported", [](FakeFileSystem& fs) { WithEarlier(fs); fs.Fail({Op::Lock, "", ENOLCK}); }, "",
         "<call:4>W1AW<eor>\r\nNEW\r\n"},
        {"last line without its line end", [](FakeFileSystem& fs) { fs.Put("REPORT.TXT", "hand edit"); }, "",
         "hand edit\r\nNEW\r\n"},
    };
    for (const ReportCase& c : cases) {
        FakeFileSystem fs;
        c.setUp(fs);
        std::string error;
        const bool ok = ReportRecord::Append("NEW", &error);
        EXPECT_EQ(ok, *c.message == '\0') << c.what;
        EXPECT_EQ(error, c.message) << c.what;
        const auto after = fs.Contents("REPORT.TXT");
        if (c.expected) {
            EXPECT_EQ(after, std::optional<std::string>(c.expected)) << c.what;
        } else {
            EXPECT_FALSE(after) << c.what;
        }
    }
}

// The real disk: a lock taken with either call by another program, and a
// folder the operator may not write in.
TEST(FileFaults, ReportOnTheDiskHonoursOtherProgramsLocksAndFolderRights)
{
    ScratchDir dir;
    const std::string log = dir.Path() + "/REPORT.TXT";
    dir.Write("REPORT.TXT", kEarlier);
    for (const bool recordLock : {false, true}) {
        const int other = ::open(log.c_str(), O_RDWR);
        ASSERT_GE(other, 0);
        struct flock region {};
        region.l_type = F_WRLCK;
        ASSERT_EQ(recordLock ? ::fcntl(other, F_OFD_SETLK, &region) : ::flock(other, LOCK_EX), 0);
        std::string error;
        EXPECT_FALSE(ReportRecord::Append("NEW", &error, log)) << recordLock;
        EXPECT_EQ(error, "REPORT.TXT is locked by another program.");
        ::close(other);
    }
    std::string error;
    ASSERT_TRUE(ReportRecord::Append("NEW", &error, log)) << error;

    const std::string shut = dir.Path() + "/shut";
    ASSERT_EQ(::mkdir(shut.c_str(), 0555), 0);
    {
        const NoFileOverride asUser;
        EXPECT_FALSE(ReportRecord::Append("LOST", &error, shut + "/REPORT.TXT"));
    }
    EXPECT_EQ(error, "Permission denied");
    std::unique_ptr<File> file;
    ASSERT_EQ(PosixFileSystem::Instance().Open(log, OpenMode::Read, file), 0);
    char buf[128];
    size_t got = 0;
    ASSERT_EQ(ReadFull(*file, buf, sizeof buf, got), 0);
    EXPECT_EQ(std::string(buf, got), std::string(kEarlier) + "NEW\r\n");
}
