// Tape files that cannot be read as expected, and export targets that cannot
// be written, over the in-memory file system: the operator is told the
// system's reason, what went out before the fault stays sent, and a tape
// that failed gets no note line.
#include "RecordingSendHost.h"

#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "views/SendQueue.h"
#include "views/TapeExport.h"
#include "views/TapeSender.h"
#include "views/TncTapeSender.h"

#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace {

using Op = FakeFileSystem::Op;

class TncHost : public TncTapeHost {
public:
    std::string sent;
    std::vector<std::string> errors;
    void SendToTnc(std::string& text) override { sent += text; }
    void TncListChanged() override {}
    void ShowFileError(const std::string& text) override { errors.push_back(text); }
};

// 40 lines of 60 characters: three reads of the 1024-byte buffer.
std::string Lines()
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += std::string(58, static_cast<char>('A' + i % 26)) + "\r\n";
    return text;
}

// Every byte value, line ends and the transmitter's control characters among them.
std::string Binary()
{
    std::string bytes;
    for (int round = 0; round < 8; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>((b * 7 + round) & 0xFF);
    return bytes;
}

struct TapeCase {
    const char* what;
    std::function<void(FakeFileSystem&)> setUp;
    const char* error;   // "" when sent completely
    size_t sentBytes;    // of the expanded text, at least (0: nothing)
};

}  // namespace

TEST(TapeFaults, EachSenderReportsTheReasonKeepsWhatWentOutAndAddsNoNote)
{
    const std::string lines = Lines();
    const TapeCase cases[] = {
        {"readable", [&](FakeFileSystem& fs) { fs.Put("t.txt", lines); }, "", lines.size()},
        {"read in tiny pieces",
         [&](FakeFileSystem& fs) {
             fs.Put("t.txt", lines);
             fs.Fail({Op::Read, "t.txt", 0, 0, -1, 5});
         },
         "", lines.size()},
        {"binary", [](FakeFileSystem& fs) { fs.Put("t.txt", Binary()); }, "", 1},
        {"missing", [](FakeFileSystem&) {}, "No such file or directory", 0},
        {"unreadable", [&](FakeFileSystem& fs) { fs.Put("t.txt", lines, 0200); }, "Permission denied", 0},
        {"a folder", [](FakeFileSystem& fs) { fs.MakeDirectory("t.txt"); }, "Is a directory", 0},
        {"read error after the first buffer",
         [&](FakeFileSystem& fs) {
             fs.Put("t.txt", lines);
             fs.Fail({Op::Read, "t.txt", EIO, 1});
         },
         "Input/output error", 1020},
    };
    for (const TapeCase& c : cases) {
        for (const bool tnc : {false, true}) {
            FakeFileSystem fs;
            c.setUp(fs);
            MemorySettingsStore settings;
            settings.PutInt("Options", "EchoImport", 1);
            CVELTRANDoc doc(settings);
            std::vector<std::string> errors;
            std::string sent;
            if (tnc) {
                TncHost host;
                TncTapeSender(host, doc).SendFileToTnc("t.txt");
                errors = host.errors;
                sent = host.sent;
            } else {
                RecordingSendHost host;
                SendQueue queue;
                TapeSender(host, doc, queue).SendTape("t.txt");
                while (queue.Pump()) {
                }
                for (const std::string& e : host.events)
                    if (e.rfind("error:", 0) == 0)
                        errors.push_back(e.substr(6));
                sent = host.sent;
            }
            const std::string where = std::string(c.what) + (tnc ? " (TNC)" : " (RTTY)");
            const int notes = doc.GetLineCount(tnc ? CVELTRANDoc::kTncList : CVELTRANDoc::kTransmitList);
            if (*c.error == '\0') {
                EXPECT_TRUE(errors.empty()) << where;
                EXPECT_EQ(notes, 1) << where;
            } else {
                EXPECT_EQ(errors, std::vector<std::string>{c.error}) << where;
                EXPECT_EQ(notes, 0) << where;
            }
            EXPECT_GE(sent.size(), c.sentBytes) << where;
            if (c.sentBytes == 0) {
                EXPECT_EQ(sent, "") << where;
            } else if (c.sentBytes == lines.size()) {
                EXPECT_EQ(sent, lines) << where;
            } else if (c.sentBytes == 1020) {
                EXPECT_EQ(sent, lines.substr(0, sent.size())) << where << ": whole lines, in order";
            }
        }
    }
}

namespace {

struct ExportCase {
    const char* what;
    std::function<void(FakeFileSystem&)> setUp;
    const char* error;
    std::optional<std::string> left;  // the file afterwards
};

}  // namespace

TEST(TapeFaults, ExportTellsWhyAndKeepsWhatWasWritten)
{
    const ExportCase cases[] = {
        {"short writes", [](FakeFileSystem& fs) { fs.Fail({Op::Write, "", 0, 0, -1, 3}); }, "",
         std::string(" ABC\r\n>CQ\r\n")},
        {"folder not writable", [](FakeFileSystem& fs) { fs.SetReadOnlyFolder("out"); }, "Permission denied",
         std::nullopt},
        {"a folder in its place", [](FakeFileSystem& fs) { fs.MakeDirectory("out/x.txt"); }, "Is a directory",
         std::nullopt},
        {"read-only file", [](FakeFileSystem& fs) { fs.Put("out/x.txt", "old", 0444); }, "Permission denied",
         std::string("old")},
        {"disk full after the first line", [](FakeFileSystem& fs) { fs.SetFreeSpace(8); },
         "No space left on device", std::string(" ABC\r\n>C")},
        {"error on close", [](FakeFileSystem& fs) { fs.Fail({Op::Close, "", EIO}); }, "Input/output error",
         std::string(" ABC\r\n>CQ\r\n")},
    };
    for (const ExportCase& c : cases) {
        FakeFileSystem fs;
        c.setUp(fs);
        std::string error;
        const bool ok = TapeExport::WriteLines("out/x.txt", {" ABC", "", ">CQ"}, &error);
        EXPECT_EQ(ok, *c.error == '\0') << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(fs.Contents("out/x.txt"), c.left) << c.what;
    }
}
