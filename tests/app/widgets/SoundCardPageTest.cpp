// The device chooser's "Sound card" page through its real controls,
// offscreen, over the fake sound server.
#include "app/widgets/DeviceChooserDialog.h"
#include "app/widgets/LevelBar.h"
#include "app/widgets/SoundCardPage.h"
#include "modem/ProgramLiveAudio.h"
#include "support/FakeLiveAudio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SoundCardChooser : public ::testing::Test {
protected:
    void TearDown() override
    {
        dialog.reset();
        SetProgramLiveAudio(nullptr);
    }

    void Serve()
    {
        auto fake = std::make_unique<FakeLiveAudio>();
        fake->SetSources({{"alsa_input.usb-codec", "USB Audio CODEC Analog Mono"}, {"alsa_input.pci", "Built-in Audio"}});
        fake->SetSinks({{"alsa_output.usb-codec", "USB Audio CODEC Analog Stereo"}, {"alsa_output.pci", "Built-in Audio"}});
        server = fake.get();
        SetProgramLiveAudio(std::move(fake));
    }
    DeviceChooserDialog& Open(const std::string& current, bool rtty = true)
    {
        dialog = std::make_unique<DeviceChooserDialog>(1, current, nullptr, rtty);
        dialog->show();
        return *dialog;
    }
    template <class T>
    T* Get(const char* name)
    {
        T* w = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(const char* name)
    {
        auto* b = Get<QAbstractButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    void Retype(QWidget* field, const QString& text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    void PressOk()
    {
        auto* box = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
    // Moves a closed list's selection with the arrow keys, as the operator would.
    void Step(const char* name, int steps)
    {
        auto* list = Get<QComboBox>(name);
        list->setFocus();
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(list, Qt::Key_Down);
    }

    FakeLiveAudio* server = nullptr;  // owned by the program's slot
    std::unique_ptr<DeviceChooserDialog> dialog;
};

TEST_F(SoundCardChooser, EveryFieldIsStoredAndShownAgainWhenReopened)
{
    Serve();
    Open("sim:demo");
    EXPECT_FALSE(Get<QWidget>("soundCardBody")->isVisible());
    Click("soundCard");
    ASSERT_TRUE(Get<QWidget>("soundCardBody")->isVisible());
    EXPECT_FALSE(Get<QLineEdit>("path")->isEnabled());
    // The server's default first, then the devices by description.
    EXPECT_EQ(Get<QComboBox>("capture")->itemText(1), QStringLiteral("USB Audio CODEC Analog Mono"));
    EXPECT_EQ(Get<QComboBox>("capture")->currentIndex(), 0);
    EXPECT_TRUE(Get<QLabel>("audioNotice")->isHidden());
    Step("capture", 1);
    Step("playback", 2);
    Retype(Get<QSpinBox>("mark"), QStringLiteral("1275"));
    Retype(Get<QSpinBox>("shift"), QStringLiteral("-200"));
    Click("reverse");
    EXPECT_TRUE(Get<QCheckBox>("usos")->isChecked());  // on for a new port
    Click("afc");  // on by default
    Get<QComboBox>("pttLine")->setFocus();
    QTest::keyClick(Get<QComboBox>("pttLine"), Qt::Key_Home);  // RTS, then DTR
    QTest::keyClick(Get<QComboBox>("pttLine"), Qt::Key_Down);
    ASSERT_EQ(Get<QComboBox>("pttLine")->currentText(), QStringLiteral("DTR"));
    Retype(Get<QComboBox>("pttDevice"), QStringLiteral("/dev/ttyUSB7"));
    PressOk();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    const std::string stored = dialog->Value();
    EXPECT_EQ(stored,
              "audio:card,capture=alsa_input.usb-codec,playback=alsa_output.pci,ptt=dtr,pttdev=/dev/ttyUSB7,"
              "mark=1275,shift=-200,reverse=1,afc=0,usos=1");

    Open(stored);
    EXPECT_TRUE(Get<QCheckBox>("soundCard")->isChecked());
    EXPECT_EQ(Get<QComboBox>("capture")->currentData().toString(), QStringLiteral("alsa_input.usb-codec"));
    EXPECT_EQ(Get<QComboBox>("playback")->currentData().toString(), QStringLiteral("alsa_output.pci"));
    EXPECT_EQ(Get<QSpinBox>("mark")->value(), 1275);
    EXPECT_EQ(Get<QSpinBox>("shift")->value(), -200);
    EXPECT_TRUE(Get<QCheckBox>("reverse")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("usos")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("afc")->isChecked());
    EXPECT_EQ(Get<QComboBox>("pttLine")->currentText(), QStringLiteral("DTR"));
    EXPECT_EQ(Get<QComboBox>("pttDevice")->currentText(), QStringLiteral("/dev/ttyUSB7"));
    PressOk();
    EXPECT_EQ(dialog->Value(), stored);

    // Every PTT line comes back as it was stored.
    for (const char* ptt : {"ptt=rts", "ptt=cat", "ptt=cm108", "ptt=dtr"}) {
        const std::string value = std::string("audio:card,") + ptt + ",pttdev=/dev/hidraw1,mark=2125,shift=170,reverse=0,afc=1,usos=0";
        Open(value);
        PressOk();
        EXPECT_EQ(dialog->Value(), value);
    }
}

TEST_F(SoundCardChooser, AMissingDeviceAndOptionsThePageDoesNotShowAreKept)
{
    Serve();
    Open("audio:card,capture=unplugged.usb,stop=2");
    QComboBox* capture = Get<QComboBox>("capture");
    EXPECT_EQ(capture->currentText(), QStringLiteral("unplugged.usb (not present)"));
    // The meter tried the stored device itself.
    EXPECT_TRUE(Get<QLabel>("inputLevelState")->text().contains(QStringLiteral("unplugged.usb")));
    PressOk();
    EXPECT_EQ(dialog->Value(), "audio:card,capture=unplugged.usb,mark=2125,shift=170,reverse=0,stop=2,afc=1,usos=0");
}

TEST_F(SoundCardChooser, RefusesAKeyingLineWithoutItsDeviceAndIsNotOfferedForTheTncPort)
{
    Serve();
    Open("audio:card");
    Get<QComboBox>("pttLine")->setFocus();
    QTest::keyClick(Get<QComboBox>("pttLine"), Qt::Key_Home);  // RTS
    PressOk();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(Get<QLabel>("soundCardProblem")->isVisible());

    Open("/dev/ttyUSB0", false);
    EXPECT_EQ(dialog->findChild<SoundCardPage*>(), nullptr);
}

TEST_F(SoundCardChooser, MeterShowsClippingWhileShownAndSaysWhenTheDeviceGoesAway)
{
    using Direction = FakeLiveAudio::Direction;
    Serve();
    Open("audio:card,capture=alsa_input.pci");
    LevelBar* meter = Get<LevelBar>("inputLevel");
    ASSERT_EQ(server->Running(Direction::Capture), 1);
    server->Feed(std::vector<float>(800, 1.0f));
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter->Clipping(); }, 2000));
    EXPECT_EQ(meter->Text(), QStringLiteral("0 dBFS, clipping"));
    // Another capture device: the meter's stream follows, one at a time.
    Get<QComboBox>("capture")->setFocus();
    QTest::keyClick(Get<QComboBox>("capture"), Qt::Key_Up);
    EXPECT_EQ(server->Running(Direction::Capture), 1);
    server->GoDown(Direction::Capture, "USB sound card unplugged");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Get<QLabel>("inputLevelState")->text().contains(QStringLiteral("USB sound card unplugged")); },
        2000));
    EXPECT_EQ(server->Running(Direction::Capture), 0);
    // Unticking the page stops its stream.
    QTest::keyClick(Get<QComboBox>("capture"), Qt::Key_Up);
    EXPECT_EQ(server->Running(Direction::Capture), 1);
    Click("soundCard");
    EXPECT_EQ(server->Running(Direction::Capture), 0);
}

TEST_F(SoundCardChooser, SaysPlainlyWhenThereIsNoSoundServer)
{
    Open("audio:card,capture=alsa_input.pci");
    EXPECT_TRUE(Get<QLabel>("audioNotice")->text().startsWith(QStringLiteral("No sound server")));
    EXPECT_TRUE(Get<QLabel>("inputLevelState")->text().contains(QStringLiteral("No sound server")));
    PressOk();
    EXPECT_EQ(dialog->Value(), "audio:card,capture=alsa_input.pci,mark=2125,shift=170,reverse=0,afc=1,usos=0");
}

}  // namespace
