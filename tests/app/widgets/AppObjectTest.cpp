#include "app/CVELTRANApp.h"
#include "app/MemorySettingsStore.h"
#include "app/widgets/CAboutDlg.h"
#include "app/AboutInfo.h"

#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class FakeTicks : public TickSource {
public:
    uint32_t Now() const override { return 4242; }
};

TEST(AppObject, FindViewReturnsTheFirstRegisteredOfItsClass)
{
    MemorySettingsStore store;
    CVELTRANApp app(store);
    EXPECT_EQ(app.FindView<QTimer>(), nullptr);
    QTimer first;
    QTimer second;
    QWidget other;
    app.RegisterView(&other);
    app.RegisterView(&first);
    app.RegisterView(&second);
    app.RegisterView(&first);  // twice is once
    EXPECT_EQ(app.FindView<QTimer>(), &first);
    EXPECT_EQ(app.FindView<QWidget>(), &other);
    app.UnregisterView(&first);
    EXPECT_EQ(app.FindView<QTimer>(), &second);
}

TEST(AppObject, DestroyedViewIsNeverFound)
{
    MemorySettingsStore store;
    CVELTRANApp app(store);
    auto* view = new QTimer;
    app.RegisterView(view);
    delete view;  // without unregistering
    EXPECT_EQ(app.FindView<QTimer>(), nullptr);
}

TEST(AppObject, ClockCanBeReplacedAndRestored)
{
    MemorySettingsStore store;
    CVELTRANApp app(store);
    FakeTicks fake;
    app.SetClock(&fake);
    EXPECT_EQ(app.Clock().Now(), 4242u);
    app.SetClock(nullptr);
    EXPECT_EQ(&app.Clock(), &SteadyTickSource::Instance());
}

TEST(AppObject, FontsAndColoursComeFromLayout)
{
    MemorySettingsStore store;
    store.PutInt("Layout", "RTTYColor", 0x000000FF);  // red as 0x00BBGGRR
    store.PutInt("Layout", "DNCSize", 20);
    CVELTRANApp app(store);
    app.LoadFonts();
    EXPECT_EQ(app.m_colorRTTY, QColor(255, 0, 0));
    EXPECT_TRUE(app.m_colorDNC.isValid());  // the system's text colour
    EXPECT_TRUE(app.m_fontRTTY.fixedPitch());
    EXPECT_EQ(app.m_fontDNC.pixelSize(), 20);
}

TEST(AboutBox, ShowsTheMeasuredLines)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About VELTRAN");
    EXPECT_TRUE(dialog.MemoryLine().endsWith(" KB Memory"));
    const std::string cwd = CurrentDirectory();
    EXPECT_EQ(dialog.DiskLine().toStdString(), FormatDiskLine(FreeDiskKB(cwd), DiskPlace(cwd)));
}

}  // namespace
