// The frame's dialog commands through the real dialogs, offscreen: Ports (with
// the device chooser and the port state it leads to), Options, K-Call and the
// tape editing commands.
#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "frame/widgets/COptionsDialog.h"
#include "frame/widgets/FrameDialogCommands.h"
#include "link/PosixSerialPort.h"
#include "support/ModalDriver.h"
#include "support/Pty.h"
#include "views/widgets/CVELTRANView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <cerrno>

namespace {

void ClickLeft(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
}

template <class T>
T* Child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void TypeInto(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

class FrameDialogs : public FrameFixture {
protected:
    CVELTRANView* Receive() { return qobject_cast<CVELTRANView*>(frame->Splitter()->widget(0)); }
    QString ModeTip() { return frame->statusBar()->findChild<QLabel*>(QStringLiteral("StatusPane5"))->toolTip(); }

    // Runs the Ports dialog; `edit` changes it before OK is clicked.
    void RunPorts(const std::function<void(QDialog*)>& edit)
    {
        bool ran = false;
        WhenModal([&](QDialog* d) {
            ran = true;
            edit(d);
            ClickButton(d, QDialogButtonBox::Ok);
        });
        frame->ExecuteCommand(ID_TOOLS_PORTS);
        ASSERT_TRUE(ran);
    }

    // Ports dialog, "Port Setup" for the RTTY port, the path typed in, OK, OK.
    void MapRttyPortTo(const std::string& path)
    {
        RunPorts([&](QDialog* ports) {
            WhenModal([&](QDialog* chooser) {
                TypeInto(Child<QLineEdit>(chooser, "path"), QString::fromStdString(path));
                ClickButton(chooser, QDialogButtonBox::Ok);
            });
            QTest::mouseClick(Child<QAbstractButton>(ports, "rttySetup"), Qt::LeftButton);
        });
    }
};

TEST_F(FrameDialogs, OkReappliesThePortsAndAChangedBaudReopensTheLinkAtTheNewSpeed)
{
    Make();
    ASSERT_TRUE(Receive()->Link().IsOpen());
    EXPECT_EQ(frame->PaneText(6), "45");
    RunPorts([](QDialog* d) { ClickLeft(Child<QAbstractButton>(d, "baud5")); });
    EXPECT_TRUE(Receive()->Link().IsOpen());
    EXPECT_EQ(Receive()->Link().m_nBaud, 110u);
    EXPECT_EQ(frame->PaneText(5), "RTTY");
    EXPECT_EQ(frame->PaneText(6), "110");
    // Both ports run on the simulated modem here, and the window says so.
    EXPECT_TRUE(frame->windowTitle().endsWith(" (simulated)"));
    EXPECT_TRUE(ModeTip().contains("simulated modem (sim:plain)")) << ModeTip().toStdString();

    RunPorts([](QDialog* d) { Child<QComboBox>(d, "rttyPort")->setCurrentIndex(0); });
    EXPECT_FALSE(Receive()->Link().IsOpen());
    EXPECT_EQ(frame->PaneText(5), "ASCII");  // the TNC port is what is left
    EXPECT_EQ(frame->PaneText(6), "1200");
}

TEST_F(FrameDialogs, TheDeviceChooserMapsAPortAndAPortThatCannotOpenIsShownDownWithTheReason)
{
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    Make();
    MapRttyPortTo(pty.Path());
    EXPECT_EQ(store.GetText("Devices", "COM1", ""), pty.Path());
    EXPECT_TRUE(Receive()->Link().IsOpen());
    EXPECT_EQ(frame->PaneText(5), "RTTY");
    EXPECT_TRUE(ModeTip().contains(QString::fromStdString("COM1 is open on " + pty.Path()))) << ModeTip().toStdString();

    MapRttyPortTo("/nonexistent/veltran-port");
    EXPECT_FALSE(Receive()->Link().IsOpen());
    EXPECT_EQ(frame->PaneText(5), "DOWN");
    EXPECT_EQ(frame->PaneText(6), "0");
    EXPECT_TRUE(ModeTip().contains("/nonexistent/veltran-port: No such file or directory")) << ModeTip().toStdString();
    // The Ports dialog tells the same.
    RunPorts([](QDialog* d) {
        EXPECT_TRUE(Child<QLabel>(d, "rttyState")->text().contains("No such file or directory"));
    });

    // Another program holds the device: "in use", never success; applying
    // the dialog again once it has let go opens the port.
    PosixSerialPort holder(pty.Path());
    ASSERT_TRUE(holder.Open(LineSettings{}));
    MapRttyPortTo(pty.Path());
    EXPECT_EQ(frame->PaneText(5), "DOWN");
    EXPECT_TRUE(ModeTip().contains("in use by another program")) << ModeTip().toStdString();
    holder.Close();
    RunPorts([](QDialog*) {});
    EXPECT_EQ(frame->PaneText(5), "RTTY");
}

TEST_F(FrameDialogs, OptionsKeepsTheDialogOpenForAMissingEditorWithTheChecksAlreadyStored)
{
    Make();
    EditorEnvironment env;
    env.desktop = true;
    env.find = [](const std::string& name) -> std::string {
        if (name == "xdg-open")
            return "/usr/bin/xdg-open";
        return name.find('/') != std::string::npos && name == "/bin/sh" ? name : std::string();
    };
    frame->DialogCommands().SetEditorEnvironment(env);

    // The default, left alone, is not the operator's choice: nothing is written for it.
    WhenModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Options");
        EXPECT_TRUE(Child<QLabel>(d, "editorNote")->text().contains("xdg-open"));
        ClickButton(d, QDialogButtonBox::Ok);
    });
    frame->ExecuteCommand(ID_TOOLS_OPTIONS);
    EXPECT_FALSE(store.Contains("Options", "Editor"));

    QStringList messages;
    bool stayedOpen = false;
    WhenModal([&](QDialog* d) {
        auto* options = qobject_cast<COptionsDialog*>(d);
        ASSERT_NE(options, nullptr);
        options->SetMessageSink([&](QWidget*, const QString& text) { messages << text; });
        ClickLeft(Child<QAbstractButton>(d, "zulu"));
        TypeInto(Child<QLineEdit>(d, "editor"), QStringLiteral("no-such-editor"));
        ClickButton(d, QDialogButtonBox::Ok);
        stayedOpen = d->isVisible();
        // The dialog's focus child (the window need not be active offscreen).
        EXPECT_EQ(d->focusWidget(), Child<QLineEdit>(d, "editor"));
        TypeInto(Child<QLineEdit>(d, "editor"), QStringLiteral("/bin/sh"));
        ClickButton(d, QDialogButtonBox::Ok);
    });
    frame->ExecuteCommand(ID_TOOLS_OPTIONS);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages, QStringList{"Unable to locate the tape editor.  Please choose an editor."});
    EXPECT_EQ(store.GetInt("Settings", "UseLocal", -1), 1);
    EXPECT_FALSE(store.Contains("Options", "UseLocal"));
    EXPECT_EQ(store.GetText("Options", "Editor", ""), "/bin/sh");
}

TEST_F(FrameDialogs, BrowseTakesTheChosenProgramAndShowsEveryOtherFieldAsLoaded)
{
    EditorEnvironment env;
    env.find = [](const std::string&) { return std::string(); };
    const size_t writesBefore = store.PutCount();
    COptionsDialog dialog(store, env);
    dialog.show();
    QString initial;
    dialog.SetFileChooser([&](QWidget*, const QString& name) {
        initial = name;
        return QStringLiteral("/usr/local/bin/tape-editor");
    });
    ClickLeft(Child<QAbstractButton>(&dialog, "autoCaps"));
    TypeInto(Child<QLineEdit>(&dialog, "editor"), QStringLiteral("typed"));
    QTest::mouseClick(Child<QAbstractButton>(&dialog, "browse"), Qt::LeftButton);
    EXPECT_EQ(initial, "notepad.exe");  // the field as loaded, not what was typed
    EXPECT_EQ(Child<QLineEdit>(&dialog, "editor")->text(), "/usr/local/bin/tape-editor");
    EXPECT_FALSE(Child<QAbstractButton>(&dialog, "autoCaps")->isChecked());
    EXPECT_EQ(store.PutCount(), writesBefore);
}

TEST_F(FrameDialogs, OptionsStoresTheLoggerAndRefusesAnAddressItCouldNeverSendTo)
{
    EditorEnvironment env;
    env.find = [](const std::string& name) { return name; };
    COptionsDialog dialog(store, env);
    dialog.show();
    QStringList messages;
    dialog.SetMessageSink([&](QWidget*, const QString& text) { messages << text; });
    EXPECT_FALSE(Child<QAbstractButton>(&dialog, "loggerUdp")->isChecked());  // off by default
    EXPECT_EQ(Child<QLineEdit>(&dialog, "loggerAddress")->text(), "127.0.0.1");
    ClickLeft(Child<QAbstractButton>(&dialog, "loggerUdp"));
    TypeInto(Child<QLineEdit>(&dialog, "loggerAddress"), QStringLiteral("my-logger"));
    ClickButton(&dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages, QStringList{COptionsDialog::kLoggerAddressBad});
    EXPECT_FALSE(store.Contains("Options", "LoggerUDP"));

    TypeInto(Child<QLineEdit>(&dialog, "loggerAddress"), QStringLiteral("192.168.1.20"));
    auto* port = Child<QSpinBox>(&dialog, "loggerPort");
    port->selectAll();
    QTest::keyClicks(port, QStringLiteral("2333"));
    ClickButton(&dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(store.GetInt("Options", "LoggerUDP", -1), 1);
    EXPECT_EQ(store.GetText("Options", "LoggerAddress", ""), "192.168.1.20");
    EXPECT_EQ(store.GetInt("Options", "LoggerPort", -1), 2333);
}

class RecordingLauncher : public ProcessLauncher {
public:
    bool StartDetached(const std::string& program, const std::vector<std::string>& args, int& error) override
    {
        lines.push_back(program);
        for (const std::string& a : args)
            lines.back() += "|" + a;
        error = failWith;
        return failWith == 0;
    }
    std::vector<std::string> lines;
    int failWith = 0;
};

TEST_F(FrameDialogs, TapeCommandsStartTheEditorWithTheFileAsOneArgument)
{
    const struct {
        const char* stored;  // nullptr: "Editor" never written
        bool notepadFound;
        bool desktop;
        const char* editorVar;
        int command;
        const char* line;
    } cases[] = {
        // "Editor" is never deleted once written: the stored cases come last.
        {nullptr, true, false, "", ID_EDIT_CQ_TAPE, "/opt/win/notepad.exe|TAPECQ.TXT"},
        {nullptr, true, false, "", ID_EDIT_NEW_TAPE, "/opt/win/notepad.exe"},
        {nullptr, false, true, "", ID_EDIT_EXCHANGE_TAPE, "/usr/bin/xdg-open|TAPEEXCHANGE.TXT"},
        {nullptr, false, false, "vi -n", ID_EDIT_STARTUP_TAPE, "/usr/bin/vi|-n|TAPESTARTUP.TXT"},
        {"/abs/missing-editor", true, false, "", ID_EDIT_BRAG_TAPE, "/abs/missing-editor|TAPEBRAG.TXT"},
        {"kate", false, true, "", ID_EDIT_TNC_STARTUP_TAPE, "kate|TAPESTARTUPTNC.TXT"},
    };
    Make();
    RecordingLauncher launcher;
    frame->DialogCommands().SetLauncher(&launcher);
    QStringList messages;
    frame->DialogCommands().SetMessageSink([&](const QString& text) { messages << text; });
    for (const auto& c : cases) {
        if (c.stored)
            store.PutText("Options", "Editor", c.stored);
        EditorEnvironment env;
        env.desktop = c.desktop;
        env.editor = c.editorVar;
        const bool found = c.notepadFound;
        env.find = [found](const std::string& name) -> std::string {
            EXPECT_EQ(name.find('/'), std::string::npos) << "a path is never searched for";
            if (name == "notepad.exe")
                return found ? "/opt/win/notepad.exe" : "";
            return name == "xdg-open" || name == "vi" ? "/usr/bin/" + name : "";
        };
        frame->DialogCommands().SetEditorEnvironment(env);
        launcher.lines.clear();
        EXPECT_TRUE(frame->ExecuteCommand(c.command));
        ASSERT_EQ(launcher.lines.size(), 1u);
        EXPECT_EQ(launcher.lines[0], c.line);
    }
    EXPECT_TRUE(messages.isEmpty());
    launcher.failWith = ENOENT;
    frame->ExecuteCommand(ID_EDIT_CQ_TAPE);
    EXPECT_EQ(messages, QStringList{"No such file or directory"});

    // The real launcher refuses what cannot run, with the system's reason.
    DetachedProcessLauncher real;
    int error = 0;
    EXPECT_FALSE(real.StartDetached("/nonexistent/editor", {"TAPECQ.TXT"}, error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(real.StartDetached("/tmp", {}, error));
    EXPECT_EQ(error, EISDIR);
}

TEST_F(FrameDialogs, KCallWritesTheCallUnchangedOnOkAndNothingOnCancel)
{
    store.PutText("Settings", "K", "W1AW");
    Make();
    WhenModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Set the Called Station (K)");
        EXPECT_EQ(Child<QLineEdit>(d, "call")->text(), "W1AW");
        TypeInto(Child<QLineEdit>(d, "call"), QStringLiteral(" k2abc"));
        ClickButton(d, QDialogButtonBox::Cancel);
    });
    frame->ExecuteCommand(ID_TOOLS_KCALL);
    EXPECT_EQ(store.GetText("Settings", "K", ""), "W1AW");
    WhenModal([](QDialog* d) {
        TypeInto(Child<QLineEdit>(d, "call"), QStringLiteral(" k2abc"));
        ClickButton(d, QDialogButtonBox::Ok);
    });
    frame->ExecuteCommand(ID_TOOLS_KCALL);
    EXPECT_EQ(store.GetText("Settings", "K", ""), " k2abc");
}

}  // namespace
