#pragma once
// A main window over an in-memory settings store, with both ports on the
// simulated modem and the document questions answered by the test.
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "frame/FramePrompts.h"
#include "frame/widgets/CMainFrame.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class FakePrompts : public FramePrompts {
public:
    QString OpenFileName(QWidget*) override
    {
        ++opens;
        return openName;
    }
    QString SaveFileName(QWidget*, const QString& suggested) override
    {
        lastSuggested = suggested;
        ++saves;
        return saveName;
    }
    SaveAnswer AskSaveChanges(QWidget*, const QString& docName) override
    {
        asked.append(docName);
        return answer;
    }
    void ShowError(QWidget*, const QString& text) override { errors.append(text); }

    QString openName;
    QString saveName;
    QString lastSuggested;
    SaveAnswer answer = SaveAnswer::Discard;
    QStringList asked;
    QStringList errors;
    int opens = 0;
    int saves = 0;
};

class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.PutText("Devices", "COM1", "sim:plain");
        store.PutText("Devices", "COM2", "sim:plain");
    }

    void TearDown() override { Destroy(); }

    CMainFrame& Make()
    {
        app = std::make_unique<CVELTRANApp>(store);
        app->LoadFonts();
        doc = std::make_unique<CVELTRANDoc>(store);
        frame = std::make_unique<CMainFrame>(*app, *doc, &prompts);
        return *frame;
    }

    // Shown, large enough for the stored pane heights, and active.
    void ShowActive(QSize size = QSize(900, 1000))
    {
        frame->resize(size);
        frame->show();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    // Closes the window (the layout is written) and destroys it.
    void CloseAndDestroy()
    {
        if (frame)
            frame->close();
        Destroy();
    }

    void Destroy()
    {
        frame.reset();
        doc.reset();
        app.reset();
    }

    MemorySettingsStore store;
    FakePrompts prompts;
    std::unique_ptr<CVELTRANApp> app;
    std::unique_ptr<CVELTRANDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};
