#pragma once
// 5-bit Baudot (ITA2) codec with the letters/figures shift state of each
// direction and two echo streams. SerialLink derives from it, so the shift
// fields are the link's own; the codec alone is what the tests drive.
//
// Thread rule: the receive shift (m_bRxFigures) is changed by the link's
// receive thread through DecodeCode and by the receive view's "Swap Fgrs/Ltrs"
// command; the transmit shift by SendText/EchoThroughCodec on the user-interface
// thread. Flags are 32-bit words holding 0 or 1.
#include <cstdint>
#include <string>

class BaudotCodec {
public:
    static constexpr uint8_t kFigs = 27;
    static constexpr uint8_t kLtrs = 31;

    // One received byte -> one character, or 0 when there is nothing to show.
    // 0x7E passes unchanged; FIGS/LTRS switch the receive shift and give 0.
    char DecodeCode(uint8_t code);
    // FIGS when the transmit shift is figures, else LTRS.
    uint8_t CurrentShiftCode() const;
    // Shift code (FIGS, LTRS or 0 for none) in the upper 16 bits, character
    // code in the lower 16 bits (0 = none). Updates the transmit shift.
    uint32_t EncodeChar(char ch);
    static uint16_t ShiftOf(uint32_t packed) { return static_cast<uint16_t>(packed >> 16); }
    static uint16_t CodeOf(uint32_t packed) { return static_cast<uint16_t>(packed & 0xFFFF); }
    // Replaces `text` with what the far end prints for it, following echo
    // stream 1 or 2's own shift pair. Does nothing unless CodecByteSize() is 5.
    void EchoThroughCodec(std::string& text, int stream);
    // Replaces `text` with its reading in the other shift (any byte size).
    static void SwapFiguresLetters(std::string& text);

    // Shift state (see the thread rule above).
    uint32_t m_bRxFigures = 0;
    uint32_t m_bTxFigures = 0;
    uint32_t m_bExtended = 0;
    // Saved (receive, transmit) shift pairs of echo streams 1 and 2.
    uint32_t m_bEchoRxFigures[2] = {0, 0};
    uint32_t m_bEchoTxFigures[2] = {0, 0};

    virtual ~BaudotCodec() = default;

protected:
    // Byte size the echo obeys; SerialLink answers with its m_nByteSize.
    virtual uint8_t CodecByteSize() const { return 5; }
};
