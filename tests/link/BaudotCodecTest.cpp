#include "link/BaudotCodec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

// Encodes a text as the link would send it: shift code (when any) then code.
std::vector<int> EncodeAll(BaudotCodec& codec, const std::string& text)
{
    std::vector<int> out;
    for (char ch : text) {
        const uint32_t packed = codec.EncodeChar(ch);
        if (BaudotCodec::ShiftOf(packed) != 0)
            out.push_back(BaudotCodec::ShiftOf(packed));
        out.push_back(BaudotCodec::CodeOf(packed));
    }
    return out;
}

std::string DecodeAll(BaudotCodec& codec, const std::vector<int>& codes)
{
    std::string out;
    for (int code : codes) {
        const char ch = codec.DecodeCode(static_cast<uint8_t>(code));
        if (ch != 0)
            out.push_back(ch);
    }
    return out;
}

// Codec with a chosen byte size, as SerialLink provides it.
class SizedCodec : public BaudotCodec {
public:
    explicit SizedCodec(uint8_t size) : m_size(size) {}

protected:
    uint8_t CodecByteSize() const override { return m_size; }

private:
    uint8_t m_size;
};

}  // namespace

TEST(BaudotEncode, ShiftsOnlyWhenTheGroupChanges)
{
    BaudotCodec codec;
    EXPECT_EQ(EncodeAll(codec, "RYRY"), (std::vector<int>{10, 21, 10, 21}));
    EXPECT_EQ(EncodeAll(codec, "73"), (std::vector<int>{27, 7, 1}));
    EXPECT_EQ(codec.m_bTxFigures, 1u);
    EXPECT_EQ(codec.CurrentShiftCode(), BaudotCodec::kFigs);
    EXPECT_EQ(EncodeAll(codec, "DE"), (std::vector<int>{31, 9, 1}));
    EXPECT_EQ(codec.m_bTxFigures, 0u);
    EXPECT_EQ(codec.CurrentShiftCode(), BaudotCodec::kLtrs);
}

TEST(BaudotEncode, SpaceCrLfKeepTheShift)
{
    BaudotCodec codec;
    EXPECT_EQ(EncodeAll(codec, "5 5"), (std::vector<int>{27, 16, 4, 16}));
    EXPECT_EQ(EncodeAll(codec, "\r\n"), (std::vector<int>{8, 2}));
    EXPECT_EQ(codec.m_bTxFigures, 1u);
}

TEST(BaudotEncode, LowerCaseGoesOutAsCapitals)
{
    BaudotCodec codec;
    EXPECT_EQ(EncodeAll(codec, "de"), EncodeAll(codec, "DE"));
}

TEST(BaudotEncode, CharactersOutsideBothGroupsProduceNothing)
{
    BaudotCodec codec;
    codec.m_bTxFigures = 1;
    for (int byte : {0x00, 0x01, 0x09, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F, 0x80, 0xA4, 0xC1, 0xE1, 0xFF}) {
        EXPECT_EQ(codec.EncodeChar(static_cast<char>(byte)), 0u) << byte;
        EXPECT_EQ(codec.m_bTxFigures, 1u) << byte;
    }
}

TEST(BaudotEncode, LettersGroupTailMapsToFormatCodes)
{
    BaudotCodec codec;
    EXPECT_EQ(EncodeAll(codec, "[\\]^_`"), (std::vector<int>{8, 2, 31, 27, 4, 0}));
    EXPECT_EQ(codec.m_bTxFigures, 0u);
}

TEST(BaudotEncode, FiguresGroupUsesTheTransmitTable)
{
    BaudotCodec codec;
    codec.m_bTxFigures = 1;
    EXPECT_EQ(EncodeAll(codec, "!\"#$%&'()*+,-./"),
              (std::vector<int>{13, 17, 20, 9, 11, 26, 5, 15, 18, 11, 17, 12, 3, 28, 29}));
    EXPECT_EQ(EncodeAll(codec, "0123456789:;<=>?@"),
              (std::vector<int>{22, 23, 19, 1, 10, 16, 21, 7, 6, 24, 14, 30, 15, 30, 18, 25, 26}));
}

TEST(BaudotDecode, LettersAndFiguresColumns)
{
    BaudotCodec codec;
    codec.m_bExtended = 1;
    std::vector<int> all;
    for (int c = 0; c < 32; ++c) {
        if (c != BaudotCodec::kFigs && c != BaudotCodec::kLtrs)
            all.push_back(c);
    }
    EXPECT_EQ(DecodeAll(codec, all), "E\nA SIU\rDRJNFCKTZLWHYPQOBGMXV");
    codec.m_bRxFigures = 1;
    EXPECT_EQ(DecodeAll(codec, all), "3\n- '87\r$4*,!:(5+)2#6019?&./=");
}

TEST(BaudotDecode, ShiftCodesSwitchAndShowNothing)
{
    BaudotCodec codec;
    EXPECT_EQ(codec.DecodeCode(27), 0);
    EXPECT_EQ(codec.m_bRxFigures, 1u);
    EXPECT_EQ(codec.DecodeCode(4), ' ');
    EXPECT_EQ(codec.m_bRxFigures, 1u) << "space does not return to letters";
    EXPECT_EQ(codec.DecodeCode(31), 0);
    EXPECT_EQ(codec.m_bRxFigures, 0u);
}

TEST(BaudotDecode, OnlyTheLowFiveBitsCount)
{
    BaudotCodec codec;
    EXPECT_EQ(codec.DecodeCode(0x20 | 3), 'A');
    EXPECT_EQ(codec.DecodeCode(0xE0 | 27), 0);
    EXPECT_EQ(codec.m_bRxFigures, 1u);
    EXPECT_EQ(codec.DecodeCode(0x40 | 3), '-');
}

TEST(BaudotDecode, TildePassesThroughWithoutTouchingTheShift)
{
    BaudotCodec codec;
    codec.m_bRxFigures = 1;
    EXPECT_EQ(codec.DecodeCode(0x7E), '~');
    EXPECT_EQ(codec.m_bRxFigures, 1u);
    // 0x7E & 0x1F would be 30, and 0x7F (LTRS in the low bits) is still a shift.
    EXPECT_EQ(codec.DecodeCode(0x7F), 0);
    EXPECT_EQ(codec.m_bRxFigures, 0u);
}

TEST(BaudotDecode, CodeZeroShowsNothingInEitherShift)
{
    BaudotCodec codec;
    EXPECT_EQ(codec.DecodeCode(0), 0);
    codec.m_bRxFigures = 1;
    EXPECT_EQ(codec.DecodeCode(0), 0);
}

TEST(BaudotDecode, RestrictedSetWithoutExtended)
{
    BaudotCodec codec;
    codec.m_bRxFigures = 1;
    EXPECT_EQ(codec.DecodeCode(9), static_cast<char>(0xA4));
    EXPECT_EQ(codec.DecodeCode(13), 0);
    EXPECT_EQ(codec.DecodeCode(20), 0);
    EXPECT_EQ(codec.DecodeCode(26), 0);
    EXPECT_EQ(codec.DecodeCode(30), '=');
    codec.m_bExtended = 1;
    EXPECT_EQ(codec.DecodeCode(9), '$');
    EXPECT_EQ(codec.DecodeCode(13), '!');
    EXPECT_EQ(codec.DecodeCode(20), '#');
    EXPECT_EQ(codec.DecodeCode(26), '&');
}

// Every printable character of both groups, sent on its own from letters
// shift, prints as the receive table reads its code.
TEST(BaudotRoundTrip, EachCharacterPrintsAsTheReceiveTableReadsIt)
{
    const std::string figures = "!\"#$%&'()*+,-./0123456789:;<=>?@";
    const std::string extended = "!+#$*&'()*+,-./0123456789:=(=)?&";
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`";
    const std::string restricted32("\0+\0\xA4*\0'()*+,-./0123456789:=(=)?\0", 32);
    const std::string lettersRead32("ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n\0\0 \0", 32);

    for (int ext = 0; ext <= 1; ++ext) {
        for (size_t i = 0; i < 32; ++i) {
            BaudotCodec tx;
            BaudotCodec rx;
            rx.m_bExtended = static_cast<uint32_t>(ext);
            const std::string f = DecodeAll(rx, EncodeAll(tx, std::string(1, figures[i])));
            const char want = ext ? extended[i] : restricted32[i];
            EXPECT_EQ(f, want ? std::string(1, want) : std::string()) << figures[i] << " ext " << ext;

            BaudotCodec tx2;
            BaudotCodec rx2;
            rx2.m_bExtended = static_cast<uint32_t>(ext);
            const std::string l = DecodeAll(rx2, EncodeAll(tx2, std::string(1, letters[i])));
            const char wantL = lettersRead32[i];
            EXPECT_EQ(l, wantL ? std::string(1, wantL) : std::string()) << letters[i];
            const std::string lower =
                DecodeAll(rx2, EncodeAll(tx2, std::string(1, static_cast<char>(std::tolower(letters[i])))));
            if (letters[i] >= 'A' && letters[i] <= 'Z') {
                EXPECT_EQ(lower, l);
            }
        }
    }
}

TEST(BaudotEcho, FollowsTheStreamShiftWithoutTouchingTheLiveState)
{
    BaudotCodec codec;
    codec.m_bExtended = 1;
    codec.m_bRxFigures = 1;
    codec.m_bTxFigures = 0;

    std::string text = "CQ 73 de";
    codec.EchoThroughCodec(text, 1);
    EXPECT_EQ(text, "CQ 73 DE");
    EXPECT_EQ(codec.m_bRxFigures, 1u);
    EXPECT_EQ(codec.m_bTxFigures, 0u);
    EXPECT_EQ(codec.m_bEchoTxFigures[0], 0u);
    EXPECT_EQ(codec.m_bEchoRxFigures[0], 0u);

    // Stream 1 is left in figures; stream 2 still starts in letters.
    std::string figs = "599";
    codec.EchoThroughCodec(figs, 1);
    EXPECT_EQ(figs, "599");
    EXPECT_EQ(codec.m_bEchoTxFigures[0], 1u);
    EXPECT_EQ(codec.m_bEchoRxFigures[0], 1u);
    EXPECT_EQ(codec.m_bEchoTxFigures[1], 0u);

    std::string more = "5NN";
    codec.EchoThroughCodec(more, 1);
    EXPECT_EQ(more, "5NN");
    std::string two = "RST";
    codec.EchoThroughCodec(two, 2);
    EXPECT_EQ(two, "RST");
}

TEST(BaudotEcho, ShowsWhatTheFarEndPrints)
{
    BaudotCodec codec;
    std::string text = "a\"b;c{d\xE9";
    codec.EchoThroughCodec(text, 2);
    // '"' goes out on the plus code, ';' on the equals code; '{' and 0xE9 vanish.
    EXPECT_EQ(text, "A+B=CD");
}

TEST(BaudotEcho, GraveInFiguresLeavesTheStreamInLetters)
{
    BaudotCodec codec;
    codec.m_bEchoRxFigures[0] = 1;
    codec.m_bEchoTxFigures[0] = 1;
    std::string text = "`";
    codec.EchoThroughCodec(text, 1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(codec.m_bEchoTxFigures[0], 0u);
    EXPECT_EQ(codec.m_bEchoRxFigures[0], 0u);
}

TEST(BaudotEcho, NothingHappensOffFiveBitsOrOnAnUnknownStream)
{
    SizedCodec ascii(8);
    std::string text = "a{b";
    ascii.EchoThroughCodec(text, 1);
    EXPECT_EQ(text, "a{b");

    BaudotCodec codec;
    for (int stream : {0, 3, -1}) {
        std::string t = "a{b";
        codec.EchoThroughCodec(t, stream);
        EXPECT_EQ(t, "a{b");
    }
}

TEST(BaudotSwap, SwapsBothWaysAndDropsUnknowns)
{
    std::string text = "A1";
    BaudotCodec::SwapFiguresLetters(text);
    EXPECT_EQ(text, "-Q");
    BaudotCodec::SwapFiguresLetters(text);
    EXPECT_EQ(text, "A1");

    std::string odd = "_x;\r\n \xA4";
    BaudotCodec::SwapFiguresLetters(odd);
    EXPECT_EQ(odd, "/\r\n ");
}

TEST(BaudotSwap, WholeAlphabet)
{
    std::string text = "abcdefghijklmnopqrstuvwxyz";
    BaudotCodec::SwapFiguresLetters(text);
    EXPECT_EQ(text, "-?:$3!&#8*().,9014'57=2/6+");
    BaudotCodec::SwapFiguresLetters(text);
    EXPECT_EQ(text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}
