#pragma once
// The document: the three line lists of the panes (1 receive, 2 TNC, 3 transmit
// history) with their counts, and the running contest serial number. Lines are
// 8-bit byte strings, never re-encoded. Used on the user-interface thread only.
#include "app/LineList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SettingsStore;
class WallClock;

class CVELTRANDoc {
public:
    static constexpr int kReceiveList = 1;
    static constexpr int kTncList = 2;
    static constexpr int kTransmitList = 3;

    // Reads "Settings" "I" (leading decimal digits, else 0) into m_nSerialNumber.
    explicit CVELTRANDoc(SettingsStore& settings);

    // Decimal conversion as the C library's atoi reads it (leading blanks, a
    // sign, then the leading digits; no digits give 0), except that a value
    // beyond 32 bits is clamped to INT32_MIN/INT32_MAX instead of overflowing.
    // Used for the serial number text "I".
    static int32_t DecimalValue(std::string_view text);

    // Appends `text` to list 1..3 as lines split at LF (a trailing LF leaves an
    // empty last line). For list 1 with "Ports" "RTTYLFLF" set, every line is
    // followed by an extra empty line. CRs are kept: callers remove them.
    // An empty text adds one empty line; a null view (std::string_view{}) or a
    // list number outside 1..3 does nothing. Counts stop at 2^32-1.
    // Lists 1..3 everywhere; any other number reads as an empty list with count 0
    // and is ignored by the changing operations.
    void AddText(std::string_view text, int list);
    // The count as the panes use it: a count above INT32_MAX (kept as a
    // document file stored it, and saved back unchanged) reads as INT32_MAX.
    int GetLineCount(int list) const;
    const LineList& GetList(int list) const;
    // The count as the file format holds it (unclamped), for copies of the lists.
    uint32_t StoredCount(int list) const;
    // Replaces one line in place (the receive view's "Swap Line"); out-of-range does nothing.
    void SetLine(int list, size_t index, std::string line);
    void ClearList(int list);

    // New document: with "Options" "InitLogo" set, adds the notice line to list 1.
    // No list is cleared.
    void OnNewDocument();

    // ".rty" file. SaveFile writes the three counts and lists. OpenFile reads the
    // whole file into a fresh document and replaces this one's lists and counts
    // only on success; on failure `error` says why and nothing changes.
    bool SaveFile(const std::string& path, std::string* error);
    bool OpenFile(const std::string& path, std::string* error);

    // Changed since the last New, Open or Save (for the "save changes?" question):
    // AddText, SetLine and ClearList set it; OnNewDocument, a successful
    // OpenFile and a successful SaveFile clear it.
    bool IsModified() const { return m_bModified; }
    void SetModified(bool modified) { m_bModified = modified; }
    // Grows with every change of the lists or counts (AddText, SetLine,
    // ClearList, OnNewDocument, a successful OpenFile), never with a save: a
    // copy taken at one value is current while the value stays.
    uint64_t Revision() const { return m_nRevision; }

    SettingsStore& Settings() const { return m_settings; }

    int32_t m_nSerialNumber = 0;

    // Caret expansion of macro, tape and report texts (MacroExpander.h; the
    // forwarding lives in CVELTRANDocMacros.cpp).
    std::string ExpandMacro(char key, bool fromKeyboard);
    void ExpandReferences(std::string& text);
    // Appends the ADIF record of the current contact (ReportRecord.h).
    void BuildAdifRecord(std::string& record);
    // Where the expansion takes the time and the mode from: `clock` (nullptr:
    // the system clock; it must outlive its use) and the RTTY link's data bits
    // (unset: "Ports" "RTTYType").
    void SetMacroSources(const WallClock* clock, std::function<int()> rttyByteSize);
    // Where the report takes the radio's frequency in hertz from (the rig's
    // dial, or the sound-card modem's carrier); unset, or answering nothing:
    // the report keeps the stored band and writes no frequency.
    void SetReportFrequencySource(std::function<std::optional<double>()> frequencyHz);

    // The notice line added by OnNewDocument.
    static constexpr const char* kNoticeLine = " VELTRAN (c) 1998 Quorvane";

private:
    friend struct RtyCodec;
    void AppendLine(int index, std::string_view line);

    SettingsStore& m_settings;
    LineList m_lists[3];
    uint32_t m_nCounts[3] = {0, 0, 0};  // as the file format holds them
    bool m_bModified = false;
    uint64_t m_nRevision = 0;
    const WallClock* m_pMacroClock = nullptr;
    std::function<int()> m_fnRttyByteSize;
    std::function<std::optional<double>()> m_fnReportFrequency;
};
