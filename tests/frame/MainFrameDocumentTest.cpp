#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "app/SettingsKeys.h"
#include "frame/Placement.h"
#include "support/FakeFileSystem.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QTemporaryDir>
#include <QUrl>
#include <fstream>
#include <iterator>
#include <unistd.h>

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

TEST_F(MainFrameDocument, DiskFullWhileSavingIsReportedAndThePreviousFileStays)
{
    FakeFileSystem fs;
    Make();
    doc->AddText(" first", CVELTRANDoc::kReceiveList);
    const std::string path = PathOf("log.rty");
    prompts.saveName = QString::fromStdString(path);
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    const auto before = fs.Contents(path);
    ASSERT_TRUE(before);

    doc->AddText(std::string(5000, 'x'), CVELTRANDoc::kReceiveList);
    fs.SetFreeSpace(100);
    frame->Action(ID_FILE_SAVE)->trigger();
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(prompts.errors[0].toStdString(),
              "Cannot save " + path + ".\ncannot write " + path + ": No space left on device");
    EXPECT_EQ(fs.Contents(path), before);
    EXPECT_EQ(fs.Files(), std::vector<std::string>{path});
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetList(1).back(), std::string(5000, 'x'));
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

TEST_F(MainFrameDocument, RelativePathIsRememberedFromAnyFolder)
{
    Make();
    doc->AddText(" RELATIVE", CVELTRANDoc::kReceiveList);
    prompts.saveName = QString::fromStdString(PathOf("a.rty"));
    frame->ExecuteCommand(ID_FILE_SAVE_AS);
    doc->ClearList(1);

    char* home = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(dir.path().toLocal8Bit().constData()), 0);
    const bool opened = frame->Documents().OpenDocumentFile("./a.rty");
    ASSERT_EQ(::chdir(home), 0);
    std::free(home);
    ASSERT_TRUE(opened);
    EXPECT_EQ(frame->Documents().Path(), PathOf("a.rty"));
    EXPECT_EQ(frame->Documents().Recent().Files().front(), PathOf("a.rty"));
    doc->ClearList(1);
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_MRU_FILE1));
    EXPECT_EQ(doc->GetList(1), LineList{" RELATIVE"});
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('\n').toStdString();
}

// "/p FILE" and "/pt FILE PRINTER": the document is printed as the Print
// command prints it, or the failure is reported; the stored layout stays.
TEST_F(MainFrameDocument, CommandLinePrintPrintsTheDocumentOrSaysWhyNot)
{
    Make();
    doc->AddText(" PRINTED LINE\n RYRYRY", CVELTRANDoc::kReceiveList);
    prompts.saveName = QString::fromStdString(PathOf("print.rty"));
    frame->ExecuteCommand(ID_FILE_SAVE_AS);
    Destroy();
    store.Put(keys::Top, placement::kDefault);
    struct Case {
        const char* what;
        std::string file;
        std::string printer;
        bool printed;
    };
    const Case cases[] = {
        {"default printer", PathOf("print.rty"), "", true},
        {"missing file", PathOf("absent.rty"), "", false},
        {"unknown printer", PathOf("print.rty"), "No Such Printer 42", false},
    };
    for (const Case& c : cases) {
        prompts.errors.clear();
        Make();
        const std::string pdf = PathOf("out.pdf");
        std::remove(pdf.c_str());
        QPrinter* printer = frame->SharedPrinter();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        EXPECT_EQ(frame->PrintFromCommandLine(c.file, c.printer), c.printed) << c.what;
        Destroy();
        std::ifstream in(pdf, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(bytes.find("/Type /Page") != std::string::npos, c.printed) << c.what;
        EXPECT_EQ(prompts.errors.size(), c.printed ? 0 : 1) << c.what;
        EXPECT_EQ(store.Get(keys::Top), placement::kDefault) << c.what;
    }
}

}  // namespace
