#include "link/BaudotCodec.h"

namespace {

constexpr uint8_t kCodeCr = 8;
constexpr uint8_t kCodeLf = 2;
constexpr uint8_t kCodeSpace = 4;

// Receive readings, indexed by code. 0 means nothing to show (code 0 and the
// two shift codes, which DecodeCode handles before looking here).
constexpr char kLettersColumn[32] = {
    0,   'E', '\n', 'A', ' ', 'S', 'I', 'U', '\r', 'D', 'R', 'J', 'N', 'F', 'C', 'K',
    'T', 'Z', 'L',  'W', 'H', 'Y', 'P', 'Q', 'O',  'B', 'G', 0,   'M', 'X', 'V', 0};
constexpr char kFiguresColumn[32] = {
    0,   '3', '\n', '-', ' ', '\'', '8', '7', '\r', '$', '4', '*', ',', '!', ':', '(',
    '5', '+', ')',  '2', '#', '6',  '0', '1', '9',  '?', '&', 0,   '.', '/', '=', 0};

// The figures-shift currency sign shown when the extended set is off.
constexpr char kCurrencySign = static_cast<char>(0xA4);

// Transmit codes of the figures group, characters 0x21 ('!') to 0x40 ('@').
constexpr uint8_t kFiguresGroup[32] = {
    13, 17, 20, 9,  11, 26, 5,  15, 18, 11, 17, 12, 3,  28, 29, 22,   // ! " # $ % & ' ( ) * + , - . / 0
    23, 19, 1,  10, 16, 21, 7,  6,  24, 14, 30, 15, 30, 18, 25, 26};  // 1 .. 9 : ; < = > ? @
// Transmit codes of the letters group, characters 0x41 ('A') to 0x60 ('`').
constexpr uint8_t kLettersGroup[32] = {
    3,  25, 14, 9,  1,  13, 26, 20, 6,  11, 15, 18, 28, 12, 24, 22,  // A .. P
    23, 10, 5,  16, 7,  30, 19, 29, 21, 17, 8,  2,  31, 27, 4,  0};  // Q .. Z [ \ ] ^ _ `

// Rows of the letters/figures swap; 0 marks an empty side that never matches.
struct SwapRow {
    char letters;
    char figures;
};
constexpr SwapRow kSwapRows[32] = {
    {'A', '-'},  {'B', '?'},  {'C', ':'}, {'D', '$'}, {'E', '3'}, {'F', '!'},  {'G', '&'},
    {'H', '#'},  {'I', '8'},  {'J', '*'}, {'K', '('}, {'L', ')'}, {'M', '.'},  {'N', ','},
    {'O', '9'},  {'P', '0'},  {'Q', '1'}, {'R', '4'}, {'S', '\''}, {'T', '5'}, {'U', '7'},
    {'V', '='},  {'W', '2'},  {'X', '/'}, {'Y', '6'}, {'Z', '+'}, {'\r', '\r'}, {'\n', '\n'},
    {0, 0},      {0, 0},      {' ', ' '}, {0, 0}};

// Single-character upper-casing: only a..z change.
char Upper(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

uint32_t Pack(uint8_t shift, uint8_t code)
{
    return (static_cast<uint32_t>(shift) << 16) | code;
}

}  // namespace

char BaudotCodec::DecodeCode(uint8_t code)
{
    // A tilde byte passes through as itself and leaves the shift alone.
    if (code == 0x7E)
        return '~';
    const uint8_t c = code & 0x1F;
    if (c == kFigs) {
        m_bRxFigures = 1;
        return 0;
    }
    if (c == kLtrs) {
        m_bRxFigures = 0;
        return 0;
    }
    if (!m_bRxFigures)
        return kLettersColumn[c];
    const char ch = kFiguresColumn[c];
    if (m_bExtended)
        return ch;
    switch (ch) {
    case '!':
    case '&':
    case '#':
        return 0;
    case '$':
        return kCurrencySign;
    default:
        return ch;
    }
}

uint8_t BaudotCodec::CurrentShiftCode() const
{
    return m_bTxFigures ? kFigs : kLtrs;
}

uint32_t BaudotCodec::EncodeChar(char ch)
{
    if (ch == '\r')
        return Pack(0, kCodeCr);
    if (ch == '\n')
        return Pack(0, kCodeLf);
    if (ch == ' ')
        return Pack(0, kCodeSpace);
    // Compared as a signed byte: 0x80 and above are negative and fall
    // outside both groups.
    const auto sc = static_cast<signed char>(Upper(ch));
    if (sc >= 0x21 && sc <= 0x40) {
        uint8_t shift = 0;
        if (!m_bTxFigures) {
            shift = kFigs;
            m_bTxFigures = 1;
        }
        return Pack(shift, kFiguresGroup[sc - 0x21]);
    }
    if (sc >= 0x41 && sc <= 0x60) {
        uint8_t shift = 0;
        if (m_bTxFigures) {
            shift = kLtrs;
            m_bTxFigures = 0;
        }
        return Pack(shift, kLettersGroup[sc - 0x41]);
    }
    return Pack(0, 0);
}

void BaudotCodec::EchoThroughCodec(std::string& text, int stream)
{
    if (CodecByteSize() != 5 || (stream != 1 && stream != 2))
        return;
    const int s = stream - 1;
    const uint32_t liveRx = m_bRxFigures;
    const uint32_t liveTx = m_bTxFigures;
    m_bRxFigures = m_bEchoRxFigures[s];
    m_bTxFigures = m_bEchoTxFigures[s];

    std::string codes;
    codes.reserve(text.size() + 8);
    for (char ch : text) {
        const uint32_t packed = EncodeChar(ch);
        const uint8_t shift = static_cast<uint8_t>(ShiftOf(packed));
        const uint8_t code = static_cast<uint8_t>(CodeOf(packed));
        if (shift != 0) {
            codes.push_back(static_cast<char>(shift));
            codes.push_back(static_cast<char>(code));
        } else if (code != 0) {
            codes.push_back(static_cast<char>(code));
        }
    }
    std::string printed;
    printed.reserve(codes.size());
    for (char c : codes) {
        const char out = DecodeCode(static_cast<uint8_t>(c));
        if (out != 0)
            printed.push_back(out);
    }
    text = std::move(printed);

    m_bEchoRxFigures[s] = m_bRxFigures;
    m_bEchoTxFigures[s] = m_bTxFigures;
    m_bRxFigures = liveRx;
    m_bTxFigures = liveTx;
}

void BaudotCodec::SwapFiguresLetters(std::string& text)
{
    std::string swapped;
    swapped.reserve(text.size());
    for (char raw : text) {
        const char ch = Upper(raw);
        for (const SwapRow& row : kSwapRows) {
            if (row.letters != 0 && row.letters == ch) {
                swapped.push_back(row.figures);
                break;
            }
            if (row.figures != 0 && row.figures == ch) {
                swapped.push_back(row.letters);
                break;
            }
        }
    }
    text = std::move(swapped);
}
