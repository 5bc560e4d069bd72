#include "app/MemorySettingsStore.h"
#include "app/QSettingsStore.h"
#include "app/SettingsKeys.h"
#include "app/StoredInt.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct ExpectedInt {
    IntKey key;
    const char* section;
    const char* name;
    int def;
};

struct ExpectedText {
    TextKey key;
    const char* section;
    const char* name;
    const char* def;
};

// The whole key table, spelled out independently of SettingsKeys.h so that a
// wrong name, section or default there is caught.
const std::vector<ExpectedInt>& IntKeys()
{
    static const std::vector<ExpectedInt> all = {
        {keys::RTTYPort, "Ports", "RTTYPort", 1},
        {keys::RTTYBaud, "Ports", "RTTYBaud", 45},
        {keys::RTTYType, "Ports", "RTTYType", 5},
        {keys::RTTYDuplex, "Ports", "RTTYDuplex", 0},
        {keys::RTTYExtended, "Ports", "RTTYExtended", 0},
        {keys::RTTYCRLF, "Ports", "RTTYCRLF", 1},
        {keys::RTTYLFLF, "Ports", "RTTYLFLF", 0},
        {keys::RTTYPageWidth, "Ports", "RTTYPageWidth", 67},
        {keys::TNCPort, "Ports", "TNCPort", 2},
        {keys::TNCBaud, "Ports", "TNCBaud", 1200},
        {keys::TNCCRLF, "Ports", "TNCCRLF", 0},
        {keys::TNCPageWidth, "Ports", "TNCPageWidth", 67},
        {keys::Diddle, "Ports", "Diddle", 1},
        {keys::DiddleBeep, "Ports", "DiddleBeep", 1},
        {keys::DisableDeadman, "Ports", "DisableDeadman", 0},
        {keys::CharMode, "Ports", "CharMode", 0},
        {keys::WordMode, "Ports", "WordMode", 1},
        {keys::RTTYSize, "Layout", "RTTYSize", 0},
        {keys::RTTYColor, "Layout", "RTTYColor", keys::kSystemColor},
        {keys::DNCSize, "Layout", "DNCSize", 0},
        {keys::DNCColor, "Layout", "DNCColor", keys::kSystemColor},
        {keys::Toolbar2, "Layout", "Toolbar2", 0},
        {keys::ToolbarStyle, "Layout", "Toolbar Style", 0x50002800},
        {keys::ToolbarStyle2, "Layout", "Toolbar Style 2", 0x50002800},
        {keys::Split, "Layout", "Split", 200},
        {keys::Split2, "Layout", "Split2", 300},
        {keys::Top, "Layout", "Top", INT_MIN},
        {keys::Bottom, "Layout", "Bottom", INT_MIN},
        {keys::Left, "Layout", "Left", INT_MIN},
        {keys::Right, "Layout", "Right", INT_MIN},
        {keys::Splash, "Options", "Splash", 1},
        {keys::InitLogo, "Options", "InitLogo", 1},
        {keys::XRMerge, "Options", "XRMerge", 1},
        {keys::Prompt, "Options", "Prompt", 3},
        {keys::EchoImport, "Options", "EchoImport", 0},
        {keys::AutoCaps, "Options", "AutoCaps", 0},
        {keys::UseADIF, "Options", "UseADIF", 1},
        {keys::UseLocal, "Settings", "UseLocal", 0},
        {keys::PreviewPages, "Settings", "PreviewPages", 0},
    };
    return all;
}

const std::vector<ExpectedText>& TextKeys()
{
    static const std::vector<ExpectedText> all = {
        {keys::RTTYFaceName, "Layout", "RTTYFaceName", ""},
        {keys::RTTYStyleName, "Layout", "RTTYStyleName", ""},
        {keys::DNCFaceName, "Layout", "DNCFaceName", ""},
        {keys::DNCStyleName, "Layout", "DNCStyleName", ""},
        {keys::Editor, "Options", "Editor", "notepad.exe"},
        {keys::MacroSerial, "Settings", "I", "0"},
        {keys::MacroBand, "Settings", "B", "10"},
        {keys::MacroBandForPrint, "Settings", "B", ""},
        {keys::MacroOwnCall, "Settings", "C", ""},
        {keys::MacroOtherCall, "Settings", "K", ""},
        {keys::MacroReport, "Settings", "H", ""},
        {keys::MacroRepeatReport, "Settings", "L", ""},
    };
    return all;
}

// Both stores must behave alike; each test runs on each.
class SettingsStoreTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("VELTRAN.conf"));
        m_store = Make();
    }
    std::unique_ptr<SettingsStore> Make()
    {
        if (GetParam())
            return std::make_unique<QSettingsStore>(m_path);
        return std::make_unique<MemorySettingsStore>();
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<SettingsStore> m_store;
};

}  // namespace

TEST_P(SettingsStoreTest, FirstRunGivesEveryDefault)
{
    for (const ExpectedInt& e : IntKeys()) {
        EXPECT_STREQ(e.key.section, e.section) << e.name;
        EXPECT_STREQ(e.key.key, e.name);
        EXPECT_EQ(e.key.def, e.def) << e.name;
        EXPECT_EQ(m_store->Get(e.key), e.def) << e.name;
    }
    for (const ExpectedText& e : TextKeys()) {
        EXPECT_STREQ(e.key.section, e.section) << e.name;
        EXPECT_STREQ(e.key.key, e.name);
        EXPECT_STREQ(e.key.def, e.def) << e.name;
        EXPECT_EQ(m_store->Get(e.key), e.def) << e.name;
    }
    const std::vector<std::string> macros(std::begin(keys::kMacroKeys), std::end(keys::kMacroKeys));
    EXPECT_EQ(macros, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
                                                "A", "B", "C", "E", "F", "G", "H", "I", "K", "L",
                                                "U", "Y", "Z", "F2", "F4", "F5", "F6", "F7", "F8",
                                                "F9"}));
    for (const std::string& k : macros)
        EXPECT_EQ(m_store->Get(keys::Macro(k.c_str())), "") << k;
    EXPECT_EQ(keys::RecentFileKey(4), "File4");
    EXPECT_EQ(keys::DeviceKey(16), "COM16");
    EXPECT_EQ(keys::DefaultDevice(1), "/dev/ttyS0");
}

TEST_P(SettingsStoreTest, ValuesReplaceAndSectionsStaySeparate)
{
    m_store->Put(keys::RTTYPort, 3);
    m_store->PutInt("Layout", "RTTYPort", 9);
    m_store->Put(keys::RTTYPort, 4);
    EXPECT_EQ(m_store->Get(keys::RTTYPort), 4);
    EXPECT_EQ(m_store->GetInt("Layout", "RTTYPort", 0), 9);
    EXPECT_EQ(m_store->GetInt("Ports", "rttyport", -5), -5) << "keys are spelled exactly";
    m_store->Put(keys::Top, INT_MIN);
    m_store->Put(keys::ToolbarStyle, 0x50002801);
    EXPECT_EQ(m_store->Get(keys::Top), INT_MIN);
    EXPECT_EQ(m_store->Get(keys::ToolbarStyle), 0x50002801);
}

TEST_P(SettingsStoreTest, IntegerReadOfANonIntegerGivesTheDefault)
{
    const std::vector<std::string> notIntegers = {"abc", "", "12x", " 5", "5 ", "0x10",
                                                  "2147483648", "-2147483649", "1.5", "--1"};
    for (const std::string& text : notIntegers) {
        m_store->PutText("Ports", "RTTYBaud", text);
        EXPECT_EQ(m_store->Get(keys::RTTYBaud), 45) << '"' << text << '"';
    }
    m_store->PutText("Ports", "RTTYBaud", "110");
    EXPECT_EQ(m_store->Get(keys::RTTYBaud), 110);
    m_store->PutText("Ports", "RTTYBaud", "-2147483648");
    EXPECT_EQ(m_store->Get(keys::RTTYBaud), INT_MIN);
}

TEST_P(SettingsStoreTest, TextReadOfAnIntegerIsItsDecimalText)
{
    m_store->PutInt("Settings", "I", 100);
    EXPECT_EQ(m_store->Get(keys::MacroSerial), "100");
    m_store->PutText("Settings", "I", "");
    EXPECT_EQ(m_store->Get(keys::MacroSerial), "") << "an empty text is a value, not absent";
}

TEST_P(SettingsStoreTest, TextsKeepEveryByte)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string tricky[] = {all, "@Variant(x)", "a, b, c", "\"quoted\"", "x=y;z",
                                  "  spaces  ", "[Ports]", "\\n", std::string(4096, 'Q')};
    int n = 0;
    for (const std::string& text : tricky)
        m_store->PutText("Settings", std::to_string(n++), text);
    if (GetParam()) {
        m_store.reset();  // read back from the file, not the object's cache
        m_store = Make();
    }
    n = 0;
    for (const std::string& text : tricky)
        EXPECT_EQ(m_store->GetText("Settings", std::to_string(n++), "?"), text);
}

INSTANTIATE_TEST_SUITE_P(BothStores, SettingsStoreTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("QSettings") : std::string("Memory");
                         });

namespace {

class QSettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("VELTRAN.conf"));
        m_store = std::make_unique<QSettingsStore>(m_path);
    }
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<QSettingsStore> m_store;
};

}  // namespace

TEST_F(QSettingsFileTest, ValuesPersistAcrossInstances)
{
    std::string bytes = "CQ \xA4\xE9\xFF de";
    m_store->Put(keys::RTTYFaceName, bytes);
    m_store->Put(keys::ToolbarStyle2, 0x50002800 | 1);
    m_store->Put(keys::Right, INT_MIN);
    m_store->PutText("Recent File List", "File1", "/tmp/a b.rty");
    m_store.reset();

    QSettingsStore again(m_path);
    EXPECT_EQ(again.Get(keys::RTTYFaceName), bytes);
    EXPECT_EQ(again.Get(keys::ToolbarStyle2), 0x50002801);
    EXPECT_EQ(again.Get(keys::Right), INT_MIN);
    EXPECT_EQ(again.GetText("Recent File List", "File1", ""), "/tmp/a b.rty");

    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("[Layout]")) << content.toStdString();
    EXPECT_TRUE(content.contains("[Recent%20File%20List]") || content.contains("[Recent File List]"))
        << content.toStdString();
}

TEST_F(QSettingsFileTest, DamagedFileReadsAsDefaults)
{
    m_store.reset();
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    static const char junk[] = "\x00\xFF[[[=\n\x01garbage\nRTTYPort\n[Ports\nTNCBaud=abc\n";
    file.write(junk, sizeof junk - 1);
    file.close();
    QSettingsStore damaged(m_path);
    for (const ExpectedInt& e : IntKeys())
        EXPECT_EQ(damaged.Get(e.key), e.def) << e.name;
    for (const ExpectedText& e : TextKeys())
        EXPECT_EQ(damaged.Get(e.key), e.def) << e.name;
}


TEST(QSettingsStoreLocation, UsesTheOrganisationAndApplicationNames)
{
    QSettingsStore store;
    EXPECT_TRUE(store.FileName().endsWith(QStringLiteral("Quorvane/VELTRAN.conf")))
        << store.FileName().toStdString();
}

TEST(MemorySettingsStore, CountsWritesForCancelChecks)
{
    MemorySettingsStore store;
    EXPECT_FALSE(store.Contains("Ports", "RTTYPort"));
    store.Put(keys::RTTYPort, 2);
    store.Put(keys::Editor, "vi");
    EXPECT_TRUE(store.Contains("Ports", "RTTYPort"));
    EXPECT_EQ(store.PutCount(), 2u);
}

TEST(StoredInt, AcceptsOnlyWholeDecimalIntegers)
{
    int v = 7;
    EXPECT_TRUE(ParseStoredInt("+12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseStoredInt("-0", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseStoredInt("2147483647", v));
    EXPECT_EQ(v, INT_MAX);
    v = 7;
    for (const char* bad : {"+", "-", "+-1", "++1", "1e3", "\t1"}) {
        EXPECT_FALSE(ParseStoredInt(bad, v)) << bad;
        EXPECT_EQ(v, 7);
    }
}

TEST_F(QSettingsFileTest, AwkwardMacroTextsRoundTripThroughTheFile)
{
    const std::string texts[] = {
        "CQ CQ, DE W1AW ", "TU ; 73", "  lead", "trail  ", " ", "   ", "\tTAB\t", "a,b,,c,", ",", ";", "#hash",
        ";start", "=", "a=b", "\"", "\"quoted\"", "'single'", "\\", "a\\", "\\\\x41", "back\\slash", "^K DE ^C ^^",
        "^", "@", "@@x", "@Invalid()", "@ByteArray(x)", "@Variant(x)", "[Settings]", "\xA0nbsp\xA0",
        "\xE9t\xE9 \xFC\xDF", "\x80\x9F\xFF", "\x7F", "x\x01y", "\r", "\n", "a\r\nb", "true", "false", "1, 2",
        "0x10", "1.5e3", "()", "%", "%20", "end,", "end ;"};
    int n = 0;
    for (const std::string& text : texts)
        m_store->PutText("Settings", "M" + std::to_string(n++), text);
    m_store.reset();
    QSettingsStore again(m_path);
    n = 0;
    for (const std::string& text : texts) {
        EXPECT_EQ(again.GetText("Settings", "M" + std::to_string(n), "<missing>"), text) << n;
        ++n;
    }
}

TEST_F(QSettingsFileTest, HandWrittenValuesReadAsTheReadmeSays)
{
    m_store.reset();
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\n"
               "K=\"CQ CQ, DE W1AW \"\n"
               "L=\"TU ; 73\"\n"
               "A=\"say \\\"hi\\\" \\\\ ^K\"\n"
               "E=\xC3\xA9t\xC3\xA9 \xC2\xB0\n"
               "F=@@home\n"
               // Unquoted, a comma splits the value and a semicolon starts a comment.
               "G=CQ CQ, DE W1AW \n"
               "H=TU ; 73\n");
    file.close();
    QSettingsStore store(m_path);
    EXPECT_EQ(store.GetText("Settings", "K", ""), "CQ CQ, DE W1AW ");
    EXPECT_EQ(store.GetText("Settings", "L", ""), "TU ; 73");
    EXPECT_EQ(store.GetText("Settings", "A", ""), "say \"hi\" \\ ^K");
    EXPECT_EQ(store.GetText("Settings", "E", ""), "\xE9t\xE9 \xB0");
    EXPECT_EQ(store.GetText("Settings", "F", ""), "@home");
    EXPECT_EQ(store.GetText("Settings", "G", ""), "CQ CQ,DE W1AW");
    EXPECT_EQ(store.GetText("Settings", "H", ""), "TU");
}
