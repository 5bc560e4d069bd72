#include "app/ReportRecord.h"

#include "app/AmateurBand.h"
#include "app/CVELTRANDoc.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "app/SystemErrorText.h"
#include "app/WallClock.h"

#include "app/FileSystem.h"
#include "app/LogAppend.h"

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace {

// One tagged field: "<name:length>value" or, with a type indicator,
// "<name:length:type>value".
void AppendField(std::string& record, const char* name, const std::string& value,
                 const char* type = nullptr)
{
    record += '<';
    record += name;
    record += ':';
    record += std::to_string(value.size());
    if (type != nullptr) {
        record += ':';
        record += type;
    }
    record += '>';
    record += value;
}

}  // namespace

void ReportRecord::BuildAdifRecord(std::string& record, const SettingsStore& settings,
                                   const WallClock& clock, int rttyByteSize,
                                   std::optional<double> frequencyHz)
{
    char buf[32];
    AppendField(record, "operator", settings.Get(keys::MacroOwnCall));
    AppendField(record, "call", settings.Get(keys::MacroOtherCall));

    // The clock is read once per field, as each field takes its own reading.
    const bool local = settings.Get(keys::UseLocal) != 0;
    const CivilTime on = clock.Now(local);
    std::snprintf(buf, sizeof buf, "%02d%02d", on.hour, on.minute);
    AppendField(record, "time_on", buf, "t");
    const CivilTime date = clock.Now(local);
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", date.year, date.month, date.day);
    AppendField(record, "qso_date", buf, "d");

    AppendField(record, "RST_SENT", settings.Get(keys::MacroReport));
    AppendField(record, "RST_RCVD", settings.Get(keys::MacroRepeatReport));
    std::optional<std::string> band;
    if (frequencyHz)
        band = BandOfFrequency(*frequencyHz);
    AppendField(record, "band", band.value_or(settings.Get(keys::MacroBand)) + "M");
    if (frequencyHz)
        record += FrequencyField(*frequencyHz);
    AppendField(record, "mode", "RTTY");
    if (rttyByteSize != 5)
        AppendField(record, "submode", "ASCI");
    record += "<eor>";
}

std::string ReportRecord::FrequencyField(double hz)
{
    if (!std::isfinite(hz) || hz <= 0.0 || hz >= 1e12)
        return {};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.6f", hz / 1e6);
    std::string field;
    AppendField(field, "freq", buf);
    return field;
}

std::string ReportRecord::Build(CVELTRANDoc& doc)
{
    std::string record;
    if (doc.Settings().Get(keys::UseADIF) != 0) {
        doc.BuildAdifRecord(record);
    } else {
        record = kPlainTemplate;
        doc.ExpandReferences(record);
    }
    return record;
}

bool ReportRecord::Append(const std::string& record, std::string* error, const std::string& path)
{
    std::string text;
    const bool ok = AppendLine(ProgramFileSystem(), path, record + "\r\n", text);
    if (!ok && error != nullptr)
        *error = text;
    return ok;
}
