#pragma once
// The contact (QSO) record appended to the log file by the Report command:
// an ADIF record ("Options" "UseADIF", default 1) or the plain template with
// its caret codes expanded. Values are read from the store at report time.
// User-interface thread only.
#include <optional>
#include <string>

class CVELTRANDoc;
class SettingsStore;
class WallClock;

class ReportRecord {
public:
    static constexpr const char* kLogFile = "REPORT.TXT";
    static constexpr const char* kPlainTemplate = "^C ^K ^T^D^H ^L ^B ^M ^E";

    // Appends the ADIF fields operator, call, time_on, qso_date, RST_SENT,
    // RST_RCVD, band and mode, then "<eor>", to `record`. Mode: RTTY for 5-bit
    // Baudot; 7/8-bit data is logged as RTTY with the ASCII submode (ASCI).
    // With the radio's frequency (`frequencyHz`: the dial, or for the
    // sound-card modem the carrier of RttyCarrier.h), the band is the one
    // that frequency lies in (the stored band when it lies in none) and
    // "<freq:N>" in MHz with six decimals (whole hertz, "14.085000") follows
    // the band field.
    static void BuildAdifRecord(std::string& record, const SettingsStore& settings,
                                const WallClock& clock, int rttyByteSize,
                                std::optional<double> frequencyHz = std::nullopt);
    // "<freq:N>" for `hz`, or nothing for a frequency that is not a positive
    // finite number.
    static std::string FrequencyField(double hz);

    // The record in the layout "UseADIF" chooses, without line end.
    static std::string Build(CVELTRANDoc& doc);

    // Appends `record` and CR LF to the log file at `path` whole or not at
    // all (LogAppend.h), creating the file when missing and never truncating
    // what it held; others may read and write it meanwhile. On failure returns
    // false and sets `error` to the text for the operator.
    static bool Append(const std::string& record, std::string* error,
                       const std::string& path = kLogFile);
};
