#include "app/SessionRecovery.h"

#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/RecoveryQuestion.h"
#include "app/RtyFormat.h"
#include "support/ManualTicks.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

bool Exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

// The three lists as the copy on disk holds them; nothing when it can't be read.
std::optional<RtyContent> CopyOnDisk(const SessionRecovery& recovery)
{
    RtyContent content;
    std::string error;
    if (!ReadRtyFile(recovery.DocumentPath(), content, &error))
        return std::nullopt;
    return content;
}

size_t ReceiveLinesOnDisk(const SessionRecovery& recovery)
{
    const std::optional<RtyContent> content = CopyOnDisk(recovery);
    return content ? content->lists[0].size() : 0;
}

class SessionRecoveryTest : public ::testing::Test {
protected:
    std::string Folder() const { return scratch.Path() + "/VELTRAN/recovery"; }

    ScratchDir scratch;
    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    ManualTicks ticks;
};

TEST_F(SessionRecoveryTest, CopiesOnlyUnsavedChangesAndAtMostEveryThirtySeconds)
{
    SessionRecovery recovery(doc, Folder(), ticks);
    // Each step: the time, whether the document changes first, and the
    // receive lines the copy on disk then holds (0: no copy).
    const struct {
        uint32_t at;
        bool change;
        size_t linesOnDisk;
    } steps[] = {
        {0, false, 0},        // nothing unsaved: nothing written
        {1000, true, 1},      // the first change of the run is copied at once
        {11000, true, 1},     // 10 s later: too soon
        {30999, false, 1},    // still too soon, by a millisecond
        {31000, false, 2},    // 30 s after the first copy: the waiting change
        {90000, false, 2},    // no change since: nothing written
        {120000, true, 3},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.at);
        ticks.now = step.at;
        if (step.change)
            doc.AddText("RYRY", CVELTRANDoc::kReceiveList);
        recovery.Tick();
        ASSERT_TRUE(recovery.Flush()) << recovery.LastError();
        EXPECT_EQ(ReceiveLinesOnDisk(recovery), step.linesOnDisk);
    }
}

TEST_F(SessionRecoveryTest, UnchangedDocumentIsNotWrittenAgain)
{
    SessionRecovery recovery(doc, Folder(), ticks);
    doc.AddText("CQ", CVELTRANDoc::kReceiveList);
    ASSERT_TRUE(recovery.WriteNow());
    std::filesystem::remove(recovery.DocumentPath());
    ticks.now = 10 * SessionRecovery::kPeriodMs;
    recovery.Tick();
    ASSERT_TRUE(recovery.WriteNow());
    EXPECT_FALSE(Exists(recovery.DocumentPath()));
}

TEST_F(SessionRecoveryTest, CopyReadsBackAsTheSameListsAndCountsAndRestoresUnsaved)
{
    doc.AddText(" RYRYRY DE W1AW\n" + std::string(300, 'Z'), CVELTRANDoc::kReceiveList);
    doc.AddText("cmd:", CVELTRANDoc::kTncList);
    doc.AddText(">CQ CQ\n", CVELTRANDoc::kTransmitList);
    {
        SessionRecovery recovery(doc, Folder(), ticks);
        ASSERT_TRUE(recovery.WriteNow()) << recovery.LastError();
        const std::optional<RtyContent> content = CopyOnDisk(recovery);
        ASSERT_TRUE(content);
        for (int list = 1; list <= 3; ++list) {
            EXPECT_TRUE(content->lists[list - 1] == doc.GetList(list)) << "list " << list;
            EXPECT_EQ(content->counts[list - 1], doc.StoredCount(list)) << "list " << list;
        }
        // The session is killed here: the copy stays.
    }
    CVELTRANDoc next(settings);
    SessionRecovery recovery(next, Folder(), ticks);
    std::string error;
    ASSERT_TRUE(recovery.Restore(&error)) << error;
    for (int list = 1; list <= 3; ++list) {
        EXPECT_TRUE(next.GetList(list) == doc.GetList(list)) << "list " << list;
        EXPECT_EQ(next.GetLineCount(list), doc.GetLineCount(list)) << "list " << list;
    }
    EXPECT_TRUE(next.IsModified());
    EXPECT_TRUE(Exists(recovery.DocumentPath()));  // until the operator saves
    // What was restored is on disk already: not written again until it changes.
    std::filesystem::remove(recovery.DocumentPath());
    recovery.Tick();
    recovery.Flush();
    EXPECT_FALSE(Exists(recovery.DocumentPath()));
}

TEST_F(SessionRecoveryTest, CopyGoesOnRemoveAndWhenTheDocumentWasSaved)
{
    SessionRecovery recovery(doc, Folder(), ticks);
    doc.AddText("CQ", CVELTRANDoc::kReceiveList);
    ASSERT_TRUE(recovery.WriteNow());
    recovery.Remove();
    ASSERT_TRUE(recovery.Flush());
    EXPECT_FALSE(Exists(recovery.DocumentPath()));
    EXPECT_FALSE(Exists(recovery.TimePath()));
    EXPECT_FALSE(recovery.Pending());

    // Saved by a path that did not say so: the next tick removes the copy.
    doc.AddText("DE", CVELTRANDoc::kReceiveList);
    ticks.now += SessionRecovery::kPeriodMs;
    ASSERT_TRUE(recovery.WriteNow());
    ASSERT_TRUE(Exists(recovery.DocumentPath()));
    doc.SetModified(false);
    recovery.Tick();
    ASSERT_TRUE(recovery.Flush());
    EXPECT_FALSE(Exists(recovery.DocumentPath()));
}

TEST_F(SessionRecoveryTest, RemovalQueuedAtExitIsDoneBeforeTheWorkerEnds)
{
    auto recovery = std::make_unique<SessionRecovery>(doc, Folder(), ticks);
    doc.AddText("CQ", CVELTRANDoc::kReceiveList);
    ASSERT_TRUE(recovery->WriteNow());
    const std::string path = recovery->DocumentPath();
    recovery->Remove();
    recovery.reset();
    EXPECT_FALSE(Exists(path));
}

TEST_F(SessionRecoveryTest, PendingAtStartWithTheTimeItWasWritten)
{
    {
        SessionRecovery none(doc, Folder(), ticks);
        EXPECT_FALSE(none.Pending());
    }
    const auto before = std::chrono::system_clock::now() - std::chrono::seconds(1);
    {
        SessionRecovery recovery(doc, Folder(), ticks);
        doc.AddText("CQ", CVELTRANDoc::kReceiveList);
        ASSERT_TRUE(recovery.WriteNow());
    }
    const auto after = std::chrono::system_clock::now() + std::chrono::seconds(1);
    SessionRecovery recovery(doc, Folder(), ticks);
    const std::optional<SessionRecovery::TimePoint> written = recovery.Pending();
    ASSERT_TRUE(written);
    EXPECT_GE(*written, before);
    EXPECT_LE(*written, after);

    // A copy whose time is lost is still offered, without a time.
    std::filesystem::remove(recovery.TimePath());
    ASSERT_TRUE(recovery.Pending());
    EXPECT_EQ(*recovery.Pending(), SessionRecovery::TimePoint{});
}

TEST_F(SessionRecoveryTest, WriteThatFailsSaysWhyAndLeavesNoCopy)
{
    scratch.Write("blocked", "a file where the folder should be");
    SessionRecovery recovery(doc, scratch.Path() + "/blocked/recovery", ticks);
    doc.AddText("CQ", CVELTRANDoc::kReceiveList);
    EXPECT_FALSE(recovery.WriteNow());
    EXPECT_FALSE(recovery.LastError().empty());
    EXPECT_FALSE(recovery.Pending());
}

TEST_F(SessionRecoveryTest, WorksOnTheCallingThreadAfterStop)
{
    SessionRecovery recovery(doc, Folder(), ticks);
    recovery.Stop();
    doc.AddText("CQ", CVELTRANDoc::kReceiveList);
    ASSERT_TRUE(recovery.WriteNow());
    EXPECT_EQ(ReceiveLinesOnDisk(recovery), 1u);
    recovery.Remove();
    EXPECT_FALSE(Exists(recovery.DocumentPath()));
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(SessionRecoveryFolder, StateHomeOrItsDefaultAndTheDemoApart)
{
    ScopedEnv home("HOME", "/home/op");
    const struct {
        const char* stateHome;
        bool demo;
        const char* folder;
    } cases[] = {
        {"/var/state", false, "/var/state/VELTRAN/recovery"},
        {"/var/state", true, "/var/state/VELTRAN/recovery/demo"},
        {nullptr, false, "/home/op/.local/state/VELTRAN/recovery"},
        {nullptr, true, "/home/op/.local/state/VELTRAN/recovery/demo"},
        {"relative/state", false, "/home/op/.local/state/VELTRAN/recovery"},  // ignored, as the XDG rules say
        {"", false, "/home/op/.local/state/VELTRAN/recovery"},
    };
    for (const auto& c : cases) {
        ScopedEnv state("XDG_STATE_HOME", c.stateHome);
        EXPECT_EQ(SessionRecovery::FolderFor(c.demo), c.folder) << (c.stateHome ? c.stateHome : "(unset)");
    }
}

TEST(RecoveryQuestion, NamesTheTimeInTheLocalesShortFormat)
{
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const QDateTime when(QDate(2026, 11, 28), QTime(23, 59));
    const SessionRecovery::TimePoint written{std::chrono::milliseconds(when.toMSecsSinceEpoch())};
    EXPECT_EQ(RecoveryQuestionText(written, locale),
              "Restore the text of the session that ended on " + locale.toString(when, QLocale::ShortFormat) + "?");
    EXPECT_EQ(RecoveryQuestionText(SessionRecovery::TimePoint{}, locale), "Restore the text of an earlier session?");
}

}  // namespace
