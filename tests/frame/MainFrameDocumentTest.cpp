#include "FrameFixture.h"

#include "app/CommandTable.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <fstream>

namespace {

class MainFrameDocument : public FrameFixture {
protected:
    std::string PathOf(const char* name) const { return dir.filePath(QLatin1String(name)).toStdString(); }
    QTemporaryDir dir;
};

TEST_F(MainFrameDocument, SaveThenOpenRoundTripsThroughTheMenu)
{
    Make();
    doc->AddText(" RYRYRY DE TEST\n", CVELTRANDoc::kReceiveList);
    doc->AddText("cmd:", CVELTRANDoc::kTncList);
    doc->AddText(">CQ CQ", CVELTRANDoc::kTransmitList);
    const LineList rx = doc->GetList(1);
    const LineList tnc = doc->GetList(2);
    const LineList tx = doc->GetList(3);

    prompts.saveName = QString::fromStdString(PathOf("contest"));  // no extension given
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    EXPECT_EQ(prompts.lastSuggested, "VELTRAN.rty");
    const std::string saved = PathOf("contest.rty");
    EXPECT_EQ(frame->Documents().Path(), saved);
    EXPECT_EQ(frame->windowTitle(), "contest.rty - Quorvane VELTRAN (simulated)");
    EXPECT_FALSE(doc->IsModified());

    for (int list = 1; list <= 3; ++list)
        doc->ClearList(list);
    doc->SetModified(true);
    prompts.openName = QString::fromStdString(saved);
    prompts.answer = FramePrompts::SaveAnswer::Discard;
    frame->Action(ID_FILE_OPEN)->trigger();
    EXPECT_EQ(prompts.asked, QStringList{"contest.rty"});
    EXPECT_EQ(doc->GetList(1), rx);
    EXPECT_EQ(doc->GetList(2), tnc);
    EXPECT_EQ(doc->GetList(3), tx);
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_EQ(store.GetText("Recent File List", "File1", ""), saved);
}

TEST_F(MainFrameDocument, CorruptFileIsReportedAndTheDocumentStays)
{
    Make();
    doc->AddText(" KEEP ME", CVELTRANDoc::kReceiveList);
    prompts.saveName = QString::fromStdString(PathOf("good.rty"));
    frame->ExecuteCommand(ID_FILE_SAVE);  // never saved: asks for a name
    ASSERT_EQ(prompts.saves, 1);
    const LineList before = doc->GetList(1);
    const int count = doc->GetLineCount(1);

    const std::string bad = PathOf("bad.rty");
    std::ofstream(bad, std::ios::binary) << std::string("\x05\x00\x00\x00\x01", 5);  // ends early
    EXPECT_FALSE(frame->Documents().OpenDocumentFile(bad));
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains(QString::fromStdString(bad)));
    EXPECT_GT(prompts.errors[0].split('\n').value(1).size(), 0);  // the reason follows
    EXPECT_EQ(doc->GetList(1), before);
    EXPECT_EQ(doc->GetLineCount(1), count);
    EXPECT_EQ(frame->Documents().Path(), PathOf("good.rty"));
    EXPECT_EQ(frame->windowTitle(), "good.rty - Quorvane VELTRAN (simulated)");

    EXPECT_FALSE(frame->Documents().OpenDocumentFile(PathOf("missing.rty")));
    EXPECT_EQ(prompts.errors.size(), 2);
    EXPECT_EQ(doc->GetList(1), before);
}

TEST_F(MainFrameDocument, CancelledQuestionKeepsTheModifiedDocument)
{
    Make();
    doc->AddText(" UNSAVED", CVELTRANDoc::kReceiveList);
    doc->SetModified(true);
    prompts.answer = FramePrompts::SaveAnswer::Cancel;
    const int lines = doc->GetLineCount(1);
    frame->ExecuteCommand(ID_FILE_NEW);
    EXPECT_EQ(prompts.asked, QStringList{"Untitled"});
    EXPECT_EQ(doc->GetLineCount(1), lines);
    EXPECT_TRUE(doc->IsModified());
    // Closing is refused as well.
    frame->show();
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());

    // "Save" with a cancelled file name also keeps everything.
    prompts.answer = FramePrompts::SaveAnswer::Save;
    prompts.saveName.clear();
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(doc->IsModified());

    prompts.answer = FramePrompts::SaveAnswer::Discard;
    EXPECT_TRUE(frame->close());
}

TEST_F(MainFrameDocument, NewKeepsTheListsAndAddsTheNoticeAgain)
{
    Make();
    frame->ExecuteCommand(ID_FILE_NEW);
    frame->ExecuteCommand(ID_FILE_NEW);
    ASSERT_EQ(doc->GetLineCount(1), 2);
    EXPECT_EQ(doc->GetList(1)[0], CVELTRANDoc::kNoticeLine);
    EXPECT_EQ(frame->windowTitle(), "Untitled - Quorvane VELTRAN (simulated)");
}

TEST_F(MainFrameDocument, RecentFilesAppearInTheFileMenuAndOpen)
{
    Make();
    doc->AddText(" FIRST", CVELTRANDoc::kReceiveList);
    prompts.saveName = QString::fromStdString(PathOf("one.rty"));
    frame->ExecuteCommand(ID_FILE_SAVE_AS);
    doc->ClearList(1);
    doc->AddText(" SECOND", CVELTRANDoc::kReceiveList);
    prompts.saveName = QString::fromStdString(PathOf("two.rty"));
    frame->ExecuteCommand(ID_FILE_SAVE_AS);

    QMenu* file = frame->menuBar()->actions().first()->menu();
    QStringList recent;
    for (QAction* a : file->actions()) {
        if (a->text().startsWith('&') && a->text().contains(".rty"))
            recent.append(a->text());
    }
    EXPECT_EQ(recent, (QStringList{"&1 " + QString::fromStdString(PathOf("two.rty")),
                                   "&2 " + QString::fromStdString(PathOf("one.rty"))}));
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_MRU_FILE2));
    EXPECT_EQ(doc->GetList(1), LineList{" FIRST"});
    EXPECT_EQ(frame->Documents().Recent().Files().front(), PathOf("one.rty"));
    EXPECT_FALSE(frame->QueryCommand(ID_FILE_MRU_FILE4).enabled);
}

TEST_F(MainFrameDocument, RecentFileThatVanishedIsReportedAndDropped)
{
    store.PutText("Recent File List", "File1", PathOf("gone.rty"));
    Make();
    EXPECT_TRUE(frame->QueryCommand(ID_FILE_MRU_FILE1).enabled);
    frame->ExecuteCommand(ID_FILE_MRU_FILE1);
    EXPECT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(frame->Documents().Recent().Files().empty());
}

TEST_F(MainFrameDocument, FileDroppedOnTheWindowIsOpened)
{
    Make();
    doc->AddText(" DROPPED", CVELTRANDoc::kReceiveList);
    prompts.saveName = QString::fromStdString(PathOf("drop.rty"));
    frame->ExecuteCommand(ID_FILE_SAVE_AS);
    doc->ClearList(1);
    frame->ExecuteCommand(ID_FILE_NEW);

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(PathOf("drop.rty")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_EQ(doc->GetList(1), LineList{" DROPPED"});
    EXPECT_EQ(frame->Documents().Path(), PathOf("drop.rty"));
}

}  // namespace
