// The device chooser's "Sound card" page through its real controls,
// offscreen, over a small fake sound server (a stand-in until the shared
// fake backend of tests/support is there).
#include "app/widgets/DeviceChooserDialog.h"
#include "app/widgets/LevelBar.h"
#include "app/widgets/SoundCardPage.h"
#include "modem/ProgramLiveAudio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Counts {
    std::atomic<int> started{0};
    std::atomic<int> stopped{0};
    std::string lastDevice;
};

// Hands over one block at Start: enough for the meter to read it.
class FakeCapture : public CaptureStream {
public:
    FakeCapture(Counts& counts, float level) : m_counts(counts), m_level(level) {}
    bool Start(BlockHandler onBlock, AudioDownHandler, std::string&) override
    {
        ++m_counts.started;
        const std::vector<float> block(400, m_level);
        onBlock(block.data(), block.size());
        return true;
    }
    void Stop() override { ++m_counts.stopped; }
    std::chrono::microseconds Latency() const override { return {}; }
    bool IsDown() const override { return false; }

private:
    Counts& m_counts;
    float m_level;
};

class FakeServer : public LiveAudioBackend {
public:
    FakeServer(Counts& counts, float level) : m_counts(counts), m_level(level) {}
    std::vector<AudioDeviceInfo> Sources() override
    {
        return {{"alsa_input.usb-codec", "USB Audio CODEC Analog Mono"}, {"alsa_input.pci", "Built-in Audio"}};
    }
    std::vector<AudioDeviceInfo> Sinks() override
    {
        return {{"alsa_output.usb-codec", "USB Audio CODEC Analog Stereo"}, {"alsa_output.pci", "Built-in Audio"}};
    }
    std::unique_ptr<CaptureStream> OpenCapture(const std::string& device, double, std::string&) override
    {
        m_counts.lastDevice = device;
        return std::make_unique<FakeCapture>(m_counts, m_level);
    }
    std::unique_ptr<PlaybackStream> OpenPlayback(const std::string&, double, std::string& error) override
    {
        error = "not in this fake";
        return nullptr;
    }

private:
    Counts& m_counts;
    float m_level;
};

class SoundCardChooser : public ::testing::Test {
protected:
    void TearDown() override
    {
        dialog.reset();
        SetProgramLiveAudio(nullptr);
    }

    void Serve(float level = 0.25f) { SetProgramLiveAudio(std::make_unique<FakeServer>(counts, level)); }
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

    Counts counts;
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
    Click("usos");
    Click("afc");  // on by default
    Step("pttLine", 1);  // RTS, DTR, None (VOX): from the default None, Down stays put
    Get<QComboBox>("pttLine")->setFocus();
    QTest::keyClick(Get<QComboBox>("pttLine"), Qt::Key_Up);
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
}

TEST_F(SoundCardChooser, AMissingDeviceAndOptionsThePageDoesNotShowAreKept)
{
    Serve();
    Open("audio:card,capture=unplugged.usb,stop=2");
    QComboBox* capture = Get<QComboBox>("capture");
    EXPECT_EQ(capture->currentText(), QStringLiteral("unplugged.usb (not present)"));
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

TEST_F(SoundCardChooser, MeterShowsClippingWhileShownAndStopsItsStreamWhenHidden)
{
    Serve(1.0f);
    Open("audio:card,capture=alsa_input.pci");
    LevelBar* meter = Get<LevelBar>("inputLevel");
    EXPECT_EQ(counts.lastDevice, "alsa_input.pci");
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter->Clipping(); }, 2000));
    EXPECT_EQ(meter->Text(), QStringLiteral("0 dBFS, clipping"));
    // Another capture device: the meter's stream follows.
    Get<QComboBox>("capture")->setFocus();
    QTest::keyClick(Get<QComboBox>("capture"), Qt::Key_Up);
    EXPECT_EQ(counts.lastDevice, "alsa_input.usb-codec");
    EXPECT_EQ(counts.started.load(), 2);
    dialog->hide();
    EXPECT_EQ(counts.stopped.load(), counts.started.load());
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
