#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

class DocumentTest : public ::testing::Test {
protected:
    MemorySettingsStore m_settings;
};

}  // namespace

TEST_F(DocumentTest, AddTextSplitsAtLineFeeds)
{
    CVELTRANDoc doc(m_settings);
    doc.AddText("AB\nCD", 3);
    EXPECT_EQ(doc.GetList(3), (LineList{"AB", "CD"}));
    EXPECT_EQ(doc.GetLineCount(3), 2);

    doc.AddText("EF\n", 3);
    EXPECT_EQ(doc.GetList(3), (LineList{"AB", "CD", "EF", ""}));
    EXPECT_EQ(doc.GetLineCount(3), 4);

    doc.AddText("\n\n", 2);
    EXPECT_EQ(doc.GetList(2), (LineList{"", "", ""}));
    EXPECT_TRUE(doc.GetList(1).empty());
}

TEST_F(DocumentTest, AddTextKeepsCarriageReturnsAndBytes)
{
    CVELTRANDoc doc(m_settings);
    doc.AddText(std::string_view("a\r\n\xA4\0b", 6), 2);
    EXPECT_EQ(doc.GetList(2), (LineList{"a\r", std::string("\xA4\0b", 3)}));
}

TEST_F(DocumentTest, EmptyTextAddsAnEmptyLineButNoTextAddsNothing)
{
    CVELTRANDoc doc(m_settings);
    doc.AddText("", 1);
    EXPECT_EQ(doc.GetList(1), (LineList{""}));
    doc.AddText(std::string_view(), 1);
    EXPECT_EQ(doc.GetLineCount(1), 1);
}

TEST_F(DocumentTest, ExtraEmptyLineOnlyForTheReceiveList)
{
    m_settings.Put(keys::RTTYLFLF, 1);
    CVELTRANDoc doc(m_settings);
    doc.AddText("AB\nCD", 1);
    EXPECT_EQ(doc.GetList(1), (LineList{"AB", "", "CD", ""}));
    EXPECT_EQ(doc.GetLineCount(1), 4);
    doc.AddText("AB\nCD", 2);
    doc.AddText("AB\nCD", 3);
    EXPECT_EQ(doc.GetLineCount(2), 2);
    EXPECT_EQ(doc.GetLineCount(3), 2);
    // The setting is read at each use.
    m_settings.Put(keys::RTTYLFLF, 0);
    doc.AddText("EF", 1);
    EXPECT_EQ(doc.GetLineCount(1), 5);
}

TEST_F(DocumentTest, InvalidListNumbersAreIgnored)
{
    CVELTRANDoc doc(m_settings);
    for (int list : {0, 4, -1, INT_MAX}) {
        doc.AddText("X\nY", list);
        doc.ClearList(list);
        doc.SetLine(list, 0, "Z");
        EXPECT_TRUE(doc.GetList(list).empty()) << list;
        EXPECT_EQ(doc.GetLineCount(list), 0) << list;
    }
    for (int list = 1; list <= 3; ++list)
        EXPECT_TRUE(doc.GetList(list).empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, ClearListEmptiesOnlyThatList)
{
    CVELTRANDoc doc(m_settings);
    doc.AddText("1\n2", 1);
    doc.AddText("3", 3);
    doc.ClearList(1);
    EXPECT_TRUE(doc.GetList(1).empty());
    EXPECT_EQ(doc.GetLineCount(1), 0);
    EXPECT_EQ(doc.GetList(3), (LineList{"3"}));
    doc.AddText("4", 1);
    EXPECT_EQ(doc.GetLineCount(1), 1);
}

TEST_F(DocumentTest, SetLineReplacesInRangeOnly)
{
    CVELTRANDoc doc(m_settings);
    doc.AddText(" A1\n B2", 1);
    doc.SetLine(1, 1, " -Q");
    doc.SetLine(1, 2, " nope");
    EXPECT_EQ(doc.GetList(1), (LineList{" A1", " -Q"}));
    EXPECT_EQ(doc.GetLineCount(1), 2);
}

TEST_F(DocumentTest, NewDocumentAddsTheNoticeLine)
{
    CVELTRANDoc doc(m_settings);
    doc.OnNewDocument();
    EXPECT_EQ(doc.GetList(1), (LineList{CVELTRANDoc::kNoticeLine}));
    EXPECT_FALSE(doc.IsModified());
    // A second New keeps the lines and adds the notice again.
    doc.AddText(" RYRY", 1);
    EXPECT_TRUE(doc.IsModified());
    doc.OnNewDocument();
    EXPECT_EQ(doc.GetList(1), (LineList{CVELTRANDoc::kNoticeLine, " RYRY", CVELTRANDoc::kNoticeLine}));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, NoticeFollowsTheSettings)
{
    m_settings.Put(keys::RTTYLFLF, 1);
    CVELTRANDoc withExtra(m_settings);
    withExtra.OnNewDocument();
    EXPECT_EQ(withExtra.GetList(1), (LineList{CVELTRANDoc::kNoticeLine, ""}));

    m_settings.Put(keys::InitLogo, 0);
    CVELTRANDoc without(m_settings);
    without.OnNewDocument();
    EXPECT_TRUE(without.GetList(1).empty());
    EXPECT_EQ(std::string(CVELTRANDoc::kNoticeLine).substr(0, 9), " VELTRAN ");
}

TEST_F(DocumentTest, SerialNumberFromTheStoredText)
{
    struct Case {
        const char* text;
        int32_t want;
    };
    const Case cases[] = {
        {"100", 100},       {"0", 0},           {"12abc", 12},        {"abc", 0},
        {"", 0},            {"  42", 42},       {"-7", -7},           {"+8", 8},
        {"2147483647", INT32_MAX},              {"2147483648", INT32_MAX},
        {"99999999999999999999", INT32_MAX},    {"-2147483648", INT32_MIN},
        {"-99999999999999999999", INT32_MIN},   {"4 2", 4},
    };
    for (const Case& c : cases) {
        m_settings.Put(keys::MacroSerial, c.text);
        CVELTRANDoc doc(m_settings);
        EXPECT_EQ(doc.m_nSerialNumber, c.want) << '"' << c.text << '"';
    }
    MemorySettingsStore fresh;
    EXPECT_EQ(CVELTRANDoc(fresh).m_nSerialNumber, 0);
}
