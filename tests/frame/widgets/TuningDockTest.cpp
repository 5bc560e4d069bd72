// The tuning display in the main window: there only while the RTTY port is
// a sound card and the operator wants it, and a click that retunes.
#include "FrameFixture.h"
#include "app/CommandTable.h"
#include "frame/widgets/TuningDock.h"
#include "frame/widgets/WaterfallView.h"
#include "modem/AudioDeviceValue.h"
#include "modem/AudioTap.h"

#include <QAction>
#include <cmath>

namespace {

class TuningDisplay : public FrameFixture {
protected:
    void TearDown() override
    {
        RttyAudioTap().Close();
        FrameFixture::TearDown();
    }
};

TEST_F(TuningDisplay, ShowsWithTheSoundCardTogglesFromTheViewMenuAndAClickSetsTheMark)
{
    Make();
    ShowActive();
    auto* dock = frame->findChild<TuningDock*>();
    ASSERT_NE(dock, nullptr);
    EXPECT_FALSE(dock->isVisible());
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->Action(ID_VIEW_TUNING)->isEnabled());

    // The RTTY port (COM1) is now a sound card, as its device would open it.
    store.PutText("Devices", "COM1", "audio:card,capture=usb,mark=2125,shift=170");
    RttyAudioTap().Open(8000, 2125, 2295);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dock->isVisible(); }, 3000));
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->Action(ID_VIEW_TUNING)->isChecked());
    frame->Action(ID_VIEW_TUNING)->trigger();
    EXPECT_FALSE(dock->isVisible());
    EXPECT_EQ(store.GetInt("Layout", "TuningDisplay", 1), 0);
    frame->Action(ID_VIEW_TUNING)->trigger();
    ASSERT_TRUE(dock->isVisible());

    WaterfallView* view = dock->View();
    const int x = view->width() * 3 / 4;
    const double expected = std::round((x + 0.5) * 3000.0 / view->width());
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(x, view->height() / 2));
    EXPECT_EQ(RttyAudioTap().TakeMarkRequest(), std::optional<double>(expected));
    AudioDeviceValue stored;
    ASSERT_TRUE(ParseAudioDeviceValue(store.GetText("Devices", "COM1", ""), stored));
    EXPECT_EQ(stored.markHz, std::optional<double>(expected));
    EXPECT_EQ(stored.capture, "usb");
    EXPECT_EQ(stored.shiftHz, std::optional<double>(170));
    // Reversed, the heard mark is the upper tone: the stored mark sits one shift below the click.
    store.PutText("Devices", "COM1", "audio:card,shift=170,reverse=1");
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(x, view->height() / 2));
    ASSERT_TRUE(ParseAudioDeviceValue(store.GetText("Devices", "COM1", ""), stored));
    EXPECT_EQ(stored.markHz, std::optional<double>(expected - 170));

    RttyAudioTap().Close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dock->isVisible(); }, 3000));
}

}  // namespace
