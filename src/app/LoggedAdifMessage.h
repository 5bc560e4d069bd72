#pragma once
// The datagram that hands one logged contact to a logging program: the
// "logged ADIF" message (type 12) of the UDP protocol that digital-mode
// programs and loggers share. All numbers big-endian:
//   quint32 magic 0xADBCCBDA, quint32 schema 2, quint32 type 12,
//   id, ADIF text
// where each text is a Qt data-stream "utf8" string: quint32 byte count, then
// the UTF-8 bytes (no terminator). Plain functions; any thread.
#include <cstdint>
#include <string>
#include <string_view>

class LoggedAdifMessage {
public:
    static constexpr uint32_t kMagic = 0xADBCCBDAu;
    static constexpr uint32_t kSchema = 2;
    static constexpr uint32_t kType = 12;
    // Who sends: the key a logger tells programs apart by.
    static constexpr const char* kId = "VELTRAN";

    // The ADIF text of one contact as loggers take it: a short ADIF header
    // (it begins with a line that is no tag, as a header must), then
    // `record` and a line end. The record's 8-bit characters are Latin-1
    // and come out as UTF-8.
    static std::string AdifText(std::string_view record);
    // The whole datagram for `id` and `adifUtf8`.
    static std::string Encode(std::string_view id, std::string_view adifUtf8);
};
