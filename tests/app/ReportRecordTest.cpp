// The contact record: the ADIF fields byte for byte, the mode for each data
// type, and appending to the log file.
#include "app/AmateurBand.h"
#include "app/MemorySettingsStore.h"
#include "app/ReportRecord.h"
#include "app/WallClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FixedClock : public WallClock {
public:
    CivilTime utc{1998, 12, 6, 14, 5};
    CivilTime local{1998, 12, 6, 9, 5};
    CivilTime Now(bool isLocal) const override { return isLocal ? local : utc; }
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh directory, made current for the test and removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        char tmpl[] = "/tmp/veltran_report_XXXXXX";
        m_path = mkdtemp(tmpl);
        char* cwd = getcwd(nullptr, 0);
        m_old = cwd;
        free(cwd);
        EXPECT_EQ(chdir(m_path.c_str()), 0);
    }
    ~ScratchDir()
    {
        if (chdir(m_old.c_str()) != 0)
            ADD_FAILURE() << "cannot return to " << m_old;
        std::string cmd = "rm -rf '" + m_path + "'";
        if (std::system(cmd.c_str()) != 0)
            ADD_FAILURE() << "cannot remove " << m_path;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::string m_old;
};

}  // namespace

TEST(ReportRecord, AdifRecordWithAnEmptyStoreInBaudotIsExact)
{
    MemorySettingsStore settings;
    FixedClock clock;
    std::string record;
    ReportRecord::BuildAdifRecord(record, settings, clock, 5);
    EXPECT_EQ(record,
              "<operator:0><call:0><time_on:4:t>1405<qso_date:8:d>19981206"
              "<RST_SENT:0><RST_RCVD:0><band:3>10M<mode:4>RTTY<eor>");
}

TEST(ReportRecord, AdifRecordCarriesTheStoredValuesAndAppendsToTheText)
{
    MemorySettingsStore settings;
    settings.PutText("Settings", "C", "W1AW");
    settings.PutText("Settings", "K", "DL0ABC");
    settings.PutText("Settings", "H", "599");
    settings.PutText("Settings", "L", "579");
    settings.PutText("Settings", "B", "20");
    settings.PutInt("Settings", "UseLocal", 1);
    FixedClock clock;
    std::string record = "X";
    ReportRecord::BuildAdifRecord(record, settings, clock, 5);
    EXPECT_EQ(record,
              "X<operator:4>W1AW<call:6>DL0ABC<time_on:4:t>0905<qso_date:8:d>19981206"
              "<RST_SENT:3>599<RST_RCVD:3>579<band:3>20M<mode:4>RTTY<eor>");
}

TEST(ReportRecord, AsciiContactIsLoggedAsRttyWithTheAsciiSubmode)
{
    MemorySettingsStore settings;
    FixedClock clock;
    for (int bits : {7, 8}) {
        std::string record;
        ReportRecord::BuildAdifRecord(record, settings, clock, bits);
        EXPECT_NE(record.find("<band:3>10M<mode:4>RTTY<submode:4>ASCI<eor>"), std::string::npos)
            << record;
        EXPECT_EQ(record.find("CW"), std::string::npos);
    }
}

TEST(ReportRecord, TwoReportsAppendTwoLinesToAnExistingFile)
{
    ScratchDir dir;
    {
        std::ofstream existing("REPORT.TXT", std::ios::binary);
        existing << "earlier\r\n";
    }
    std::string error;
    ASSERT_TRUE(ReportRecord::Append("first", &error));
    ASSERT_TRUE(ReportRecord::Append("second", &error));
    EXPECT_EQ(ReadFile("REPORT.TXT"), "earlier\r\nfirst\r\nsecond\r\n");
}

TEST(ReportRecord, ReportCreatesTheLogWhenMissing)
{
    ScratchDir dir;
    std::string error;
    ASSERT_TRUE(ReportRecord::Append("<eor>", &error));
    EXPECT_EQ(ReadFile(dir.Path() + "/REPORT.TXT"), "<eor>\r\n");
}

TEST(ReportRecord, LogThatCannotBeOpenedGivesTheSystemText)
{
    ScratchDir dir;
    // A directory in the log file's place cannot be opened for writing.
    ASSERT_EQ(mkdir("REPORT.TXT", 0755), 0);
    std::string error;
    EXPECT_FALSE(ReportRecord::Append("lost", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(error, "Unknown Error");
}

TEST(ReportRecord, FailedWriteIsReportedNotPassedOffAsLogged)
{
    // /dev/full opens but every write fails with "no space".
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    std::string error;
    EXPECT_FALSE(ReportRecord::Append("record", &error, "/dev/full"));
    EXPECT_FALSE(error.empty());
}

TEST(ReportRecord, BandFollowsTheFrequencyWithEdgesInclusive)
{
    const struct {
        double hz;
        const char* band;  // nullptr: in no band
    } rows[] = {
        {1'800'000, "160"}, {2'000'000, "160"}, {1'799'999, nullptr},
        {3'500'000, "80"},  {3'999'999, "80"},  {4'000'001, nullptr},
        {5'357'000, "60"},  {7'000'000, "40"},  {7'300'000, "40"}, {7'300'001, nullptr},
        {10'140'000, "30"}, {14'000'000, "20"}, {14'350'000, "20"}, {14'350'001, nullptr},
        {13'999'999, nullptr}, {18'100'000, "17"}, {21'080'000, "15"}, {24'920'000, "12"},
        {28'080'000, "10"}, {29'700'000, "10"}, {50'300'000, "6"},  {27'185'000, nullptr},
        {0, nullptr},       {-14'080'000, nullptr},
    };
    for (const auto& row : rows) {
        const std::optional<std::string> band = BandOfFrequency(row.hz);
        if (row.band == nullptr)
            EXPECT_FALSE(band.has_value()) << row.hz;
        else
            EXPECT_EQ(band.value_or("none"), row.band) << row.hz;
    }
}

TEST(ReportRecord, FrequencyGivesTheBandAndAFreqFieldAfterIt)
{
    MemorySettingsStore settings;
    settings.PutText("Settings", "B", "40");
    FixedClock clock;
    const struct {
        double hz;
        const char* tail;
    } rows[] = {
        {14'085'000, "<band:3>20M<freq:9>14.085000<mode:4>RTTY<eor>"},
        {3'580'150.4, "<band:3>80M<freq:8>3.580150<mode:4>RTTY<eor>"},
        // Outside every band: the stored band, the frequency all the same.
        {27'185'000, "<band:3>40M<freq:9>27.185000<mode:4>RTTY<eor>"},
    };
    for (const auto& row : rows) {
        std::string record;
        ReportRecord::BuildAdifRecord(record, settings, clock, 5, row.hz);
        EXPECT_TRUE(record.ends_with(row.tail)) << record;
    }
    std::string without;
    ReportRecord::BuildAdifRecord(without, settings, clock, 5, std::nullopt);
    EXPECT_TRUE(without.ends_with("<band:3>40M<mode:4>RTTY<eor>")) << without;
}
