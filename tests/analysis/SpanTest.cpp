#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "analysis/SpanCsv.h"
#include "analysis/SpanStatistics.h"
#include "analysis/SpanTime.h"

namespace {

using namespace qf;

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

void UseTimeZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
}

// Fahrenheit and ft/min, each channel with a missing reading of another kind; CMM has none.
StoredRecord FahrenheitFeet() {
    StoredRecord r;
    r.samples = {{20.0f, NO_VALUE, 1.0f, 10.0f, -1.0f},
                 {-150.0f, 30.0f, -0.5f, 30.0f, NaN},
                 {10.0f, 25.0f, 2.0f, 20.0f, NO_VALUE},
                 {0.0f, NO_VALUE, 0.5f, NO_VALUE, NO_VALUE}};
    r.count = 4;
    r.tempUnit = 1;
    r.speedUnit = 1;
    r.speedFactor = 196.87f;
    r.tempUnitText = "F";
    r.speedUnitText = "ft/min";
    r.start = 1396141080;  // 30 March 2014 01:58 in Berlin, two minutes before summer time
    r.intervalSec = 60;
    return r;
}

struct Expected {
    int valid;
    double min, max, mean;
    int minIndex, maxIndex;
};

TEST(SpanStatistics, LeaveOutMissingReadingsInDisplayUnitsAtBothEnds) {
    const StoredRecord r = FahrenheitFeet();
    const struct {
        SampleSpan span;
        SampleSpan kept;
        Expected channels[NUM_CHANNELS];
    } cases[] = {
        {{0, 3},
         {0, 3},
         {{3, 32.0, 68.0, 50.0, 3, 0},
          {2, 77.0, 86.0, 81.5, 2, 1},
          {3, 98.435, 393.74, 229.681667, 3, 2},
          {3, 10.0, 30.0, 20.0, 0, 1},
          {0, 0, 0, 0, -1, -1}}},
        {{-5, 0},
         {0, 0},
         {{1, 68.0, 68.0, 68.0, 0, 0},
          {0, 0, 0, 0, -1, -1},
          {1, 196.87, 196.87, 196.87, 0, 0},
          {1, 10.0, 10.0, 10.0, 0, 0},
          {0, 0, 0, 0, -1, -1}}},
        {{3, 99},
         {3, 3},
         {{1, 32.0, 32.0, 32.0, 3, 3},
          {0, 0, 0, 0, -1, -1},
          {1, 98.435, 98.435, 98.435, 3, 3},
          {0, 0, 0, 0, -1, -1},
          {0, 0, 0, 0, -1, -1}}},
    };
    for (const auto& c : cases) {
        const SpanStatistics s = ComputeSpanStatistics(r, c.span);
        EXPECT_EQ(s.span.first, c.kept.first);
        EXPECT_EQ(s.span.last, c.kept.last);
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            const ChannelStatistics& got = s.channels[std::size_t(ch)];
            const Expected& want = c.channels[ch];
            const std::string where =
                CHANNEL_NAMES[ch] + std::string(" from ") + std::to_string(c.span.first);
            EXPECT_EQ(got.valid, want.valid) << where;
            if (want.valid > 0) {
                EXPECT_NEAR(got.min, want.min, 1e-3) << where;
                EXPECT_NEAR(got.max, want.max, 1e-3) << where;
                EXPECT_NEAR(got.mean, want.mean, 1e-3) << where;
                EXPECT_EQ(got.minIndex, want.minIndex) << where;
                EXPECT_EQ(got.maxIndex, want.maxIndex) << where;
            }
        }
    }

    // The texts: the meter's resolution, units, nothing for a channel without readings.
    UseTimeZone("Europe/Berlin");
    const SpanStatistics whole = ComputeSpanStatistics(r, WholeRecord(r));
    const auto texts = StatisticsTexts(whole, r);
    EXPECT_EQ(texts[CH_AIRT].mean, "50.0F");
    EXPECT_EQ(texts[CH_AIRT].minTime, "2014-03-30T03:01:00+02:00");
    EXPECT_EQ(texts[CH_AIRV].min, "98.4ft/min");
    EXPECT_EQ(texts[CH_CFM].max, "30.00 CFM");
    EXPECT_EQ(texts[CH_CMM].min, "");
    const std::string tab = StatisticsTabText(whole, r);
    EXPECT_EQ(tab.substr(0, tab.find('\n')),
              "Channel\tUnit\tValid\tMin\tMin time\tMax\tMax time\tMean");
    EXPECT_NE(tab.find("\nIRT\tF\t2\t77.0\t2014-03-30T03:00:00+02:00\t86.0\t"
                       "2014-03-30T01:59:00+01:00\t81.5\n"),
              std::string::npos);
    EXPECT_NE(tab.find("\nCMM\tCMM\t0\t\t\t\t\t\n"), std::string::npos);
}

std::vector<std::string> Split(const std::string& text, const std::string& by) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(by, from)) != std::string::npos; from = at + by.size()) {
        parts.push_back(text.substr(from, at - from));
    }
    parts.push_back(text.substr(from));
    return parts;
}

// Parsed back, every cell is the sample in display units at the .txt table's resolution,
// and the local time carries the offset of its own moment across the change to summer time.
TEST(SpanCsv, ReadsBackAsTheSamplesInDisplayUnitsAcrossSummerTime) {
    UseTimeZone("Europe/Berlin");
    const StoredRecord r = FahrenheitFeet();
    const std::vector<std::string> lines = Split(BuildSpanCsv(r, {1, 9}), "\r\n");
    ASSERT_EQ(lines.size(), 5u);  // header, samples 1..3, nothing after the last CRLF
    EXPECT_EQ(lines[0], "time,elapsed_s,AirT (F),IRT (F),AirV (ft/min),CFM,CMM");
    EXPECT_EQ(lines[4], "");
    const char* times[] = {"2014-03-30T01:59:00+01:00", "2014-03-30T03:00:00+02:00",
                           "2014-03-30T03:01:00+02:00"};
    for (int i = 1; i <= 3; ++i) {
        const std::vector<std::string> cells = Split(lines[std::size_t(i)], ",");
        ASSERT_EQ(cells.size(), 2u + NUM_CHANNELS) << i;
        EXPECT_EQ(cells[0], times[i - 1]);
        EXPECT_EQ(cells[1], std::to_string(60 * i));
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            const std::string& cell = cells[2 + std::size_t(ch)];
            const std::optional<double> want = DisplayValue(ch, r.samples[std::size_t(i)][ch], r);
            ASSERT_EQ(cell.empty(), !want) << i << " " << ch;
            if (want) {
                double got = 0;
                std::from_chars(cell.data(), cell.data() + cell.size(), got);
                EXPECT_NEAR(got, *want, 0.1) << cell;
            }
        }
    }
}

TEST(SpanCsv, HeaderCellsAreQuotedAndUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"m/s", "m/s"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"bell\a", "\"bell\\x07\""},
        {"\xB0"
         "C",
         "\xC2\xB0"
         "C"},
    };
    for (const auto& [text, cell] : cases) {
        EXPECT_EQ(CsvCell(text), cell) << text;
    }
}

TEST(SpanTime, ParsesTimesAndMapsSecondsOntoSamples) {
    const std::pair<const char*, long long> times[] = {
        {"90", 90},   {"1:30", 90}, {"1:02:03", 3723}, {"0", 0},    {"", -1},  {"1:3", -1},
        {"1:60", -1}, {"-5", -1},   {"1:2:3:4", -1},   {"1.5", -1}, {"a", -1}, {"1:", -1},
    };
    for (const auto& [text, seconds] : times) {
        const std::optional<long long> got = ParseSpanTime(text);
        EXPECT_EQ(got.value_or(-1), seconds) << text;
    }

    StoredRecord r = FahrenheitFeet();  // samples at 0, 60, 120, 180 s
    const struct {
        long long from;
        std::optional<long long> to;
        int first, last;  // -1: an error
    } spans[] = {
        {0, std::nullopt, 0, 3}, {60, 120, 1, 2},    {1, 119, 1, 1},    {61, 1000, 2, 3},
        {180, 180, 3, 3},        {181, 500, -1, -1}, {120, 60, -1, -1}, {61, 119, -1, -1},
    };
    for (const auto& s : spans) {
        const SpanChoice got = SpanOfSeconds(r, s.from, s.to);
        EXPECT_EQ(got.error.empty(), s.first >= 0) << s.from << " " << got.error;
        if (s.first >= 0) {
            EXPECT_EQ(got.span.first, s.first) << s.from;
            EXPECT_EQ(got.span.last, s.last) << s.from;
        }
    }
    r.samples.clear();
    r.count = 0;
    EXPECT_FALSE(SpanOfSeconds(r, 0, std::nullopt).error.empty());
}

}  // namespace
