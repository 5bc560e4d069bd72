// The document's caret expansion and report record: thin forwarding to
// MacroExpander and ReportRecord over the document's store, serial number and
// the live sources set with SetMacroSources.
#include "app/CVELTRANDoc.h"
#include "app/MacroExpander.h"
#include "app/ReportRecord.h"
#include "app/SettingsStore.h"
#include "app/WallClock.h"

namespace {

const WallClock& ClockOrSystem(const WallClock* clock)
{
    return clock != nullptr ? *clock : SystemWallClock::Instance();
}

}  // namespace

void CVELTRANDoc::SetMacroSources(const WallClock* clock, std::function<int()> rttyByteSize)
{
    m_pMacroClock = clock;
    m_fnRttyByteSize = std::move(rttyByteSize);
}

void CVELTRANDoc::SetReportFrequencySource(std::function<std::optional<double>()> frequencyHz)
{
    m_fnReportFrequency = std::move(frequencyHz);
}

std::string CVELTRANDoc::ExpandMacro(char key, bool fromKeyboard)
{
    MacroExpander expander(Settings(), m_nSerialNumber, ClockOrSystem(m_pMacroClock),
                           m_fnRttyByteSize);
    return expander.ExpandMacro(key, fromKeyboard);
}

void CVELTRANDoc::ExpandReferences(std::string& text)
{
    MacroExpander expander(Settings(), m_nSerialNumber, ClockOrSystem(m_pMacroClock),
                           m_fnRttyByteSize);
    expander.ExpandReferences(text);
}

void CVELTRANDoc::BuildAdifRecord(std::string& record)
{
    const int byteSize = m_fnRttyByteSize ? m_fnRttyByteSize() : Settings().Get(keys::RTTYType);
    const std::optional<double> frequency = m_fnReportFrequency ? m_fnReportFrequency() : std::nullopt;
    ReportRecord::BuildAdifRecord(record, Settings(), ClockOrSystem(m_pMacroClock), byteSize, frequency);
}
