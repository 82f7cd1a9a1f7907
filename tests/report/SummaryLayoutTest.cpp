#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "live/LiveRecord.h"
#include "report/SummaryLayout.h"
#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"

namespace {

using namespace qf;

constexpr std::time_t START = 1796738580;  // 2026-12-08 14:03:00 UTC

// About as wide as Liberation Sans, a little wider for bold: counts characters, not bytes.
double Estimate(SummaryFont font, std::string_view text) {
    double chars = 0;
    for (const char c : text) {
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    const SummaryFontStyle style = FontStyleOf(font);
    return chars * style.size * (style.bold ? 0.62 : 0.56);
}

StoredRecord Record(int n, bool fahrenheit, int start = 0) {
    StoredRecord r;
    r.count = n;
    r.tempUnit = fahrenheit ? 1 : 0;
    r.tempUnitText = fahrenheit ? "F" : "C";
    r.speedUnit = fahrenheit ? 1 : 0;
    r.speedUnitText = fahrenheit ? "ft/min" : "m/s";
    r.speedFactor = fahrenheit ? 196.87f : 1.0f;
    r.start = START + start;
    r.intervalSec = 2;
    for (int i = 0; i < n; ++i) {
        const float t = float(i) * 0.01f;
        r.samples.push_back({22.0f + 3.0f * std::sin(t), 25.0f + 4.0f * std::cos(t),
                             i % 97 == 5 ? NO_VALUE : 3.0f + std::sin(3.0f * t),
                             400.0f + 100.0f * std::sin(2.0f * t), 11.0f + 3.0f * std::cos(t)});
    }
    return r;
}

class SummaryLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        tzset();
    }
};

bool Overlap(const SummaryText& a, const SummaryText& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

TEST_F(SummaryLayoutTest, textsNeverOverlapAndEverythingStaysInsideTheMargins) {
    const std::string longTitle(400, 'W');  // one word, wider than the page
    std::string longNotes;
    for (int k = 0; k < 60; ++k) {
        longNotes += "filters and dampers checked ";
    }
    TraceFlags flowOnly;
    flowOnly.ShowOnly(&TraceFlags::m_bShowFlow);
    struct Case {
        const char* name;
        SummaryPaper paper;
        int samples;
        bool fahrenheit;
        TraceFlags traces;
        int start = 0;  // seconds after 14:03:00
        std::string title = SUMMARY_DEFAULT_TITLE;
        std::string notes = "";
    };
    const Case cases[] = {
        {"A4 C all 6000", SUMMARY_A4, 6000, false, {}},
        {"Letter F all 6000", SUMMARY_LETTER, 6000, true, {}},
        {"A4 F flow 1", SUMMARY_A4, 1, true, flowOnly},
        {"Letter C flow 6000", SUMMARY_LETTER, 6000, false, flowOnly},
        {"Letter C all 1", SUMMARY_LETTER, 1, false, {}},
        {"A4 across midnight", SUMMARY_A4, 400, false, {}, 35220},  // from 23:50
        {"Letter long title", SUMMARY_LETTER, 400, true, {}, 35220, longTitle, longNotes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StoredRecord record = Record(c.samples, c.fahrenheit, c.start);
        SummaryInput in;
        in.record = &record;
        in.span = WholeRecord(record);
        in.traces = c.traces;
        in.title = c.title;
        in.notes = c.notes;
        in.fileName = "duct.AsmDat";
        in.program = "qf7720 1.1";
        in.printed = START;
        in.paper = c.paper;
        const SummaryLayout page = LayoutSummary(in, Estimate);

        const double left = SUMMARY_MARGIN, right = c.paper.width - SUMMARY_MARGIN;
        const double top = SUMMARY_MARGIN, bottom = c.paper.height - SUMMARY_MARGIN;
        const auto inside = [&](double x, double y) {
            return x >= left - 1e-9 && x <= right + 1e-9 && y >= top - 1e-9 && y <= bottom + 1e-9;
        };
        for (std::size_t a = 0; a < page.texts.size(); ++a) {
            const SummaryText& t = page.texts[a];
            EXPECT_TRUE(inside(t.x, t.y) && inside(t.x + t.width, t.y + t.height)) << t.text;
            EXPECT_NEAR(t.width, Estimate(t.font, t.text), 1e-9) << t.text;
            for (std::size_t b = a + 1; b < page.texts.size(); ++b) {
                EXPECT_FALSE(Overlap(t, page.texts[b])) << t.text << " | " << page.texts[b].text;
            }
        }
        for (const SummaryLine& l : page.lines) {
            EXPECT_TRUE(inside(l.x1, l.y1) && inside(l.x2, l.y2));
        }
        const SummaryRect& p = page.plot;
        EXPECT_GE(p.Width(), 165.0);
        EXPECT_NEAR(p.Height(), 100.0, 1e-9);
        for (const SummaryPolyline& run : page.traces) {
            for (const SummaryPoint& pt : run.points) {
                ASSERT_TRUE(pt.x >= p.left - 1e-9 && pt.x <= p.right + 1e-9 &&
                            pt.y >= p.top - 1e-9 && pt.y <= p.bottom + 1e-9);
            }
        }
        // One sample: a chart without lines.
        EXPECT_EQ(page.traces.empty(), c.samples == 1);

        std::vector<std::string> title;
        for (const SummaryText& t : page.texts) {
            if (t.font == SummaryFont::Title) {
                title.push_back(t.text);
            }
        }
        ASSERT_EQ(title.size(), c.title == longTitle ? 2u : 1u);
        EXPECT_EQ(title.back().ends_with("\xE2\x80\xA6"), c.title == longTitle);
    }
}

TEST_F(SummaryLayoutTest, tableShowsTheStatisticsCoresTextsAndADashWithoutReadings) {
    StoredRecord record = Record(300, true);
    for (auto& s : record.samples) {
        s[CH_IRT] = -150.0f;  // no reading at all
    }
    for (int i = 100; i < 110; ++i) {
        record.samples[std::size_t(i)][CH_AIRT] = NO_VALUE;
    }
    SummaryInput in;
    in.record = &record;
    in.span = {20, 250};
    in.printed = START;
    const SummaryLayout page = LayoutSummary(in, Estimate);

    const auto texts = StatisticsTexts(ComputeSpanStatistics(record, in.span), record);
    ASSERT_EQ(page.table.size(), 1u + NUM_CHANNELS);
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        const auto& row = page.table[std::size_t(c) + 1];
        const ChannelStatisticsTexts& t = texts[std::size_t(c)];
        SCOPED_TRACE(t.name);
        ASSERT_EQ(row.size(), 7u);
        EXPECT_EQ(row[0], t.name);
        EXPECT_EQ(row[6], t.valid + " of 231");
        if (c == CH_IRT) {
            for (const std::size_t k : {1u, 2u, 3u, 4u, 5u}) {
                EXPECT_EQ(row[k], "-");
            }
            continue;
        }
        EXPECT_EQ(row[1], t.min);
        EXPECT_EQ(row[3], t.max);
        EXPECT_EQ(row[5], t.mean);
        EXPECT_EQ(row[2], t.minTime.substr(11, 8));
        EXPECT_EQ(row[4], t.maxTime.substr(11, 8));
    }
    // No trace without readings; the missing AirT readings split its trace in two.
    int runs[NUM_CHANNELS] = {};
    for (const SummaryPolyline& run : page.traces) {
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            runs[c] += run.pen == SummaryTracePen(c) ? 1 : 0;
        }
    }
    EXPECT_EQ(runs[CH_AIRT], 2);
    EXPECT_EQ(runs[CH_IRT], 0);
    EXPECT_EQ(runs[CH_CFM], 1);
}

TEST_F(SummaryLayoutTest, scalesAreRoundAndEncloseTheValues) {
    struct Case {
        double min, max;
        double low, high, step;
        int decimals;
    };
    const Case cases[] = {
        {19.0, 29.0, 19.0, 29.0, 1.0, 0},      {2.0, 4.0, 2.0, 4.0, 0.2, 1},
        {300.0, 500.0, 300.0, 500.0, 20.0, 0}, {-3.3, 0.4, -3.5, 0.5, 0.5, 1},
        {20.0, 20.0, 19.0, 21.0, 0.2, 1},      {0.0, 0.0, -1.0, 1.0, 0.2, 1},
        {8.0, 14.0, 8.0, 14.0, 1.0, 0},        {0.0, 1e30, 0.0, 1e30, 1e29, 0},
    };
    for (const Case& c : cases) {
        const SummaryScale s = NiceScale(c.min, c.max, 10);
        EXPECT_NEAR(s.low, c.low, 1e-9 * std::max(1.0, c.high)) << c.min << ".." << c.max;
        EXPECT_NEAR(s.high, c.high, 1e-9 * std::max(1.0, c.high)) << c.min << ".." << c.max;
        EXPECT_NEAR(s.step, c.step, 1e-9 * std::max(1.0, c.step)) << c.min << ".." << c.max;
        EXPECT_EQ(s.decimals, c.decimals) << c.min << ".." << c.max;
    }
}

TEST_F(SummaryLayoutTest, wrappingBreaksAtBlanksAndCutsWhatDoesNotFit) {
    // 1 mm a character in this measure.
    const SummaryMeasure measure = [](SummaryFont, std::string_view s) {
        return Estimate(SummaryFont::Text, s) / (FontStyleOf(SummaryFont::Text).size * 0.56);
    };
    struct Case {
        std::string text;
        int maxLines;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"supply duct north", 3, {"supply", "duct", "north"}},
        {"a b c d e f", 2, {"a b c", "d e f"}},
        {"abcdefghijklmn", 3, {"abcdef", "ghijkl", "mn"}},
        {"one two three four", 2, {"one", "two\xE2\x80\xA6"}},
        {"\xC3\xA9t\xC3\xA9 hiver", 1, {"\xC3\xA9t\xC3\xA9\xE2\x80\xA6"}},
        {"", 2, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WrapText(c.text, 6.0, c.maxLines, SummaryFont::Text, measure), c.lines) << c.text;
    }
}

TEST_F(SummaryLayoutTest, liveRecordingBecomesARecordOfItsCommittedSamples) {
    auto doc = std::make_unique<CQFDoc>();
    for (int i = 0; i < 4; ++i) {
        doc->StoreLiveSample(i, {float(i), 10.0f + i, 20.0f + i, 30.0f + i, 40.0f + i});
    }
    RecordingState live;
    live.m_nSampleIndex = 3;  // the fourth slot is not committed yet
    live.m_tmStart = START;
    live.m_nIntervalMs = 2500;
    DisplayUnits units;
    units.m_nTempUnit = 1;
    units.m_strTempUnit = "F";
    units.SetSpeedUnit(SPEED_UNITS[1]);
    StoredRecord r;
    LiveStoredRecord(*doc, live, units, r);
    ASSERT_EQ(r.count, 3);
    ASSERT_EQ(r.samples.size(), 3u);
    EXPECT_EQ(r.samples[2], (StoredSample{2.0f, 12.0f, 22.0f, 32.0f, 42.0f}));
    EXPECT_EQ(r.tempUnit, 1);
    EXPECT_EQ(r.speedUnitText, "ft/min");
    EXPECT_EQ(r.speedFactor, SPEED_UNITS[1].factor);
    EXPECT_EQ(r.start, START);
    EXPECT_EQ(r.intervalSec, 2);
    EXPECT_EQ(r.startFields.hour, 14);
}

}  // namespace
