// The recovery copy in the running program: offered at start, restored into
// the document, written by the window's timer, removed by a save and by a
// clean exit, kept when the window goes without being closed (a signal).
#include "FrameFixture.h"

#include "app/SessionRecovery.h"
#include "frame/RecoveryStart.h"
#include "support/ManualTicks.h"
#include "support/ScratchDir.h"

#include <filesystem>

namespace {

class RecoveryFrame : public FrameFixture {
protected:
    void TearDown() override
    {
        Destroy();
        recovery.reset();
    }

    std::string Folder() const { return scratch.Path() + "/recovery"; }

    // An earlier session that was killed with three lines unsaved.
    void LeaveCopyOfEarlierSession()
    {
        MemorySettingsStore otherStore;
        CVELTRANDoc earlier(otherStore);
        earlier.AddText(" CQ TEST DE W1AW\n 599 001", CVELTRANDoc::kReceiveList);
        earlier.AddText(">TU 73", CVELTRANDoc::kTransmitList);
        earlierReceive = earlier.GetList(CVELTRANDoc::kReceiveList);
        SessionRecovery writer(earlier, Folder(), ticks);
        ASSERT_TRUE(writer.WriteNow()) << writer.LastError();
    }

    // Start-up as the program runs it: the question, the window, a new
    // document, then the answer applied.
    void Start(bool answer)
    {
        recovery = std::make_unique<SessionRecovery>(*(doc = std::make_unique<CVELTRANDoc>(store)), Folder(), ticks);
        RecoveryStart start(*recovery);
        start.Ask([this, answer](const QString& question) {
            questions.append(question);
            return answer;
        });
        app = std::make_unique<CVELTRANApp>(store);
        app->LoadFonts();
        frame = std::make_unique<CMainFrame>(*app, *doc, &prompts);
        frame->Documents().NewDocument();
        start.Apply(frame->Documents(), *app);
    }

    bool CopyThere() const { return std::filesystem::exists(recovery->DocumentPath()); }

    ScratchDir scratch;
    ManualTicks ticks;
    std::unique_ptr<SessionRecovery> recovery;
    LineList earlierReceive;
    QStringList questions;
};

TEST_F(RecoveryFrame, YesRestoresTheLinesUnsavedAndUntitled)
{
    LeaveCopyOfEarlierSession();
    Start(true);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith("Restore the text of the session that ended on "));
    EXPECT_TRUE(doc->GetList(CVELTRANDoc::kReceiveList) == earlierReceive);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(frame->Documents().Path().empty());
    EXPECT_TRUE(frame->windowTitle().startsWith("Untitled"));
    recovery->Flush();
    EXPECT_TRUE(CopyThere());
    EXPECT_EQ(app->Recovery(), recovery.get());

    // Saved: nothing is left to recover.
    prompts.saveName = QString::fromStdString(scratch.Path() + "/contest.rty");
    ASSERT_TRUE(frame->Documents().Save());
    recovery->Flush();
    EXPECT_FALSE(CopyThere());
}

TEST_F(RecoveryFrame, NoRemovesTheCopyAndKeepsTheNewDocument)
{
    LeaveCopyOfEarlierSession();
    Start(false);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->GetList(CVELTRANDoc::kReceiveList) == earlierReceive);
    recovery->Flush();
    EXPECT_FALSE(CopyThere());
}

TEST_F(RecoveryFrame, NothingIsAskedWithoutACopy)
{
    Start(true);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(RecoveryFrame, WindowsTimerWritesTheCopyAndACleanExitRemovesIt)
{
    Start(true);
    doc->AddText(" RYRYRY", CVELTRANDoc::kReceiveList);
    ASSERT_TRUE(QTest::qWaitFor([this] { return CopyThere(); }, 5000));
    prompts.answer = FramePrompts::SaveAnswer::Discard;
    frame->close();
    recovery->Flush();
    EXPECT_FALSE(CopyThere());
}

TEST_F(RecoveryFrame, WindowGoneWithoutCloseKeepsTheCopy)
{
    Start(true);
    doc->AddText(" RYRYRY", CVELTRANDoc::kReceiveList);
    ASSERT_TRUE(recovery->WriteNow());
    frame.reset();  // as after a termination signal
    recovery->Stop();
    EXPECT_TRUE(CopyThere());
}

}  // namespace
