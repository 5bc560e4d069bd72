// An in-place save (its folder may not be written) keeps the old content in
// the backup folder first. That folder is made and checked through the
// program's file system, so its failures are seen: the temporary folder
// stands in, and with neither the save is refused and says so.
#include "app/FileIo.h"
#include "app/SafeSave.h"

#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

TEST(SaveBackupFolder, AFolderThatCannotBeMadeOrWrittenGivesWayToTheTemporaryFolderOrIsReported)
{
    using Op = FakeFileSystem::Op;
    const std::string cache = std::string(std::getenv("XDG_CACHE_HOME")) + "/VELTRAN";
    const std::string temp = std::filesystem::temp_directory_path().string();
    const struct {
        const char* what;
        std::function<void(FakeFileSystem&)> setUp;
        std::string backupIn;  // the folder the old content went to; empty: none
    } cases[] = {
        {"nothing fails", [](FakeFileSystem&) {}, cache},
        {"the cache folder can't be made", [&](FakeFileSystem& fs) { fs.Fail({Op::MakeFolders, cache, EACCES}); },
         temp},
        {"the cache folder may not be written", [&](FakeFileSystem& fs) { fs.Fail({Op::Access, cache, EACCES}); },
         temp},
        {"no temporary folder either",
         [&](FakeFileSystem& fs) {
             fs.Fail({Op::MakeFolders, cache, EROFS});
             fs.Fail({Op::Stat, temp, ENOENT});
         },
         ""},
    };
    for (const auto& c : cases) {
        FakeFileSystem fs;
        fs.MakeDirectory(temp);
        fs.Put("doc.rty", "old");
        fs.SetReadOnlyFolder(".");
        c.setUp(fs);
        std::string error;
        const bool saved =
            SaveFileSafely("doc.rty", 3, [](File& f) { return WriteAll(f, "new", 3); }, &error);
        EXPECT_EQ(saved, !c.backupIn.empty()) << c.what << ": " << error;
        EXPECT_EQ(fs.Contents("doc.rty"), saved ? "new" : "old") << c.what;
        if (saved)
            EXPECT_EQ(fs.Calls(Op::Create, c.backupIn + "/doc.rty."), 1) << c.what;
        else
            EXPECT_NE(error.find("cannot keep a copy of doc.rty"), std::string::npos) << c.what << ": " << error;
    }
}
