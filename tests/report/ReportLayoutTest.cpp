#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "report/ReportLayout.h"
#include "store/CQFDoc.h"

namespace {

using namespace qf;

constexpr std::time_t START = 1796738580;  // 2026-12-08 14:03:00 UTC
const ReportDevice PRINTER_600DPI{4800, 6600, 600.0, 600.0};

class ReportLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        tzset();
    }
};

// A record of n samples, sample-major as the logger holds it; all channels 0 unless set.
struct Record {
    std::vector<float> values;
    ReportSource source;

    explicit Record(int n) : values(static_cast<std::size_t>(n) * NUM_CHANNELS, 0.0f) {
        source.count = n;
        source.samples = SampleMajorSamples(values.data(), n);
        source.labels = ReportLabels(0, 10);  // 0 .. 100: 8 units per value unit
        source.start = START;
        source.interval = 1;
    }
    void Set(int i, int c, float v) { values[static_cast<std::size_t>(i) * NUM_CHANNELS + c] = v; }
    void Fill(int c, float v) {
        for (int i = 0; i < source.count; ++i) {
            Set(i, c, v);
        }
    }
    std::vector<ReportPrimitive> Page(std::time_t now = START) const {
        return LayoutReport(source, PRINTER_600DPI, now);
    }
};

bool IsTracePen(ReportPen pen) {
    return pen != ReportPen::Frame && pen != ReportPen::Grid;
}

std::vector<ReportLine> Lines(const std::vector<ReportPrimitive>& page, bool traces) {
    std::vector<ReportLine> out;
    for (const auto& item : page) {
        if (const auto* l = std::get_if<ReportLine>(&item); l && IsTracePen(l->pen) == traces) {
            out.push_back(*l);
        }
    }
    return out;
}

std::vector<ReportLine> Curves(const std::vector<ReportPrimitive>& page) {
    return Lines(page, true);
}

std::vector<ReportText> Texts(const std::vector<ReportPrimitive>& page) {
    std::vector<ReportText> out;
    for (const auto& item : page) {
        if (const auto* t = std::get_if<ReportText>(&item)) {
            out.push_back(*t);
        }
    }
    return out;
}

// Texts whose top-left corner lies on the given row.
std::vector<std::string> TextsAtY(const std::vector<ReportPrimitive>& page, int y) {
    std::vector<std::string> out;
    for (const auto& t : Texts(page)) {
        if (t.y == y) {
            out.push_back(t.text);
        }
    }
    return out;
}

std::vector<ReportLine> CurvesOf(const std::vector<ReportPrimitive>& page, int channel) {
    std::vector<ReportLine> out;
    for (const auto& l : Curves(page)) {
        if (l.pen == TracePen(channel)) {
            out.push_back(l);
        }
    }
    return out;
}

TEST_F(ReportLayoutTest, oneSamplePrintsEverythingButCurves) {
    Record r(1);
    r.Fill(CH_AIRT, 50.0f);
    const auto page = r.Page();
    EXPECT_TRUE(Curves(page).empty());

    const std::vector<ReportLine> expectedFixed = {
        {-10, 280, -735, 280, ReportPen::Grid},    {-10, 360, -735, 360, ReportPen::Grid},
        {-10, 440, -735, 440, ReportPen::Grid},    {-10, 520, -735, 520, ReportPen::Grid},
        {-10, 600, -735, 600, ReportPen::Grid},    {-10, 680, -735, 680, ReportPen::Grid},
        {-10, 760, -735, 760, ReportPen::Grid},    {-10, 840, -735, 840, ReportPen::Grid},
        {-10, 920, -735, 920, ReportPen::Grid},    {-10, 1000, -735, 1000, ReportPen::Grid},
        {-545, 200, -545, 1000, ReportPen::Grid},  {-360, 200, -360, 1000, ReportPen::Grid},
        {-175, 200, -175, 1000, ReportPen::Grid},  {-730, 200, -10, 200, ReportPen::Frame},
        {-730, 200, -730, 1000, ReportPen::Frame}, {-730, 1000, -10, 1000, ReportPen::Frame},
        {-10, 200, -10, 1000, ReportPen::Frame},
    };
    EXPECT_EQ(Lines(page, false), expectedFixed);

    const std::vector<ReportText> expectedTexts = {
        {-540, 1120, ReportFont::Title, " Test Report "},
        {-600, 1025, ReportFont::Text, "AirT"},
        {-500, 1025, ReportFont::Text, "IRT"},
        {-400, 1025, ReportFont::Text, "AirV"},
        {-300, 1025, ReportFont::Text, "CFM"},
        {-200, 1025, ReportFont::Text, "CMM"},
        {-800, 210, ReportFont::Text, "0.0"},
        {-800, 290, ReportFont::Text, "10.0"},
        {-800, 370, ReportFont::Text, "20.0"},
        {-800, 450, ReportFont::Text, "30.0"},
        {-800, 530, ReportFont::Text, "40.0"},
        {-800, 610, ReportFont::Text, "50.0"},
        {-800, 690, ReportFont::Text, "60.0"},
        {-800, 770, ReportFont::Text, "70.0"},
        {-800, 850, ReportFont::Text, "80.0"},
        {-800, 930, ReportFont::Text, "90.0"},
        {-800, 1010, ReportFont::Text, "100.0"},
        {-730, 195, ReportFont::Text, "14:03:00"},
        {-575, 195, ReportFont::Text, "14:03:00"},
        {-390, 195, ReportFont::Text, "14:03:00"},
        {-205, 195, ReportFont::Text, "14:03:00"},
        {-70, 195, ReportFont::Text, "14:03:00"},
        {-200, 100, ReportFont::Text, "2026-12-08  14:03"},
    };
    EXPECT_EQ(Texts(page), expectedTexts);
}

TEST_F(ReportLayoutTest, curvesComeFirstAndTheFrameAfterBandsAndGrid) {
    Record r(3);
    const auto page = r.Page();
    ASSERT_TRUE(std::holds_alternative<ReportLine>(page.front()));
    EXPECT_TRUE(IsTracePen(std::get<ReportLine>(page.front()).pen));
    std::size_t lastBand = 0, firstFrame = page.size(), lastGrid = 0, date = 0;
    for (std::size_t k = 0; k < page.size(); ++k) {
        if (std::holds_alternative<ReportWhiteBand>(page[k])) {
            lastBand = k;
        } else if (const auto* l = std::get_if<ReportLine>(&page[k])) {
            if (l->pen == ReportPen::Frame) {
                firstFrame = std::min(firstFrame, k);
            } else if (l->pen == ReportPen::Grid) {
                lastGrid = k;
            }
        } else {
            date = k;
        }
    }
    EXPECT_LT(lastBand, firstFrame);
    EXPECT_LT(lastGrid, firstFrame);
    EXPECT_EQ(date, page.size() - 1);
}

struct TimeCase {
    const char* what;
    int n;
    int interval;
    ReportInterval unit;
    std::vector<std::string> labels;
};

TEST_F(ReportLayoutTest, timeLabelsStepByAQuarterOfTheSamples) {
    const TimeCase cases[] = {
        {"logger, 10 samples at 2 s: q = 2",
         10,
         2,
         ReportInterval::Seconds,
         {"14:03:00", "14:03:04", "14:03:08", "14:03:12", "14:03:16"}},
        {"main view, 7 samples at 1500 ms: q = 1, seconds truncated",
         7,
         1500,
         ReportInterval::Milliseconds,
         {"14:03:00", "14:03:01", "14:03:03", "14:03:04", "14:03:06"}},
        {"main view, 6000 samples at 1 s",
         6000,
         1000,
         ReportInterval::Milliseconds,
         {"14:03:00", "14:28:00", "14:53:00", "15:18:00", "15:43:00"}},
        {"main view, 6000 samples at 1 h: q x i x interval beyond 32 bits",
         6000,
         3600000,
         ReportInterval::Milliseconds,
         {"14:03:00", "02:03:00", "14:03:00", "02:03:00", "14:03:00"}},
        {"logger, 3 samples: q = 0",
         3,
         60,
         ReportInterval::Seconds,
         {"14:03:00", "14:03:00", "14:03:00", "14:03:00", "14:03:00"}},
        {"logger, an interval that overflows 32 bits",
         6000,
         INT_MAX,
         ReportInterval::Seconds,
         {"14:03:00", "18:58:00", "23:53:00", "04:48:00", "09:43:00"}},
    };
    for (const auto& c : cases) {
        Record r(c.n);
        r.source.interval = c.interval;
        r.source.intervalUnit = c.unit;
        EXPECT_EQ(TextsAtY(r.Page(), 195), c.labels) << c.what;
    }
}

struct LabelCase {
    int offset, gain;
    const char* bottom;
    const char* middle;
    const char* top;
};

TEST_F(ReportLayoutTest, valueLabelsFollowOffsetAndGain) {
    const LabelCase cases[] = {
        {0, 10, "0.0", "50.0", "100.0"},
        {-5, 2, "-10.0", "0.0", "10.0"},
        {-5, 1, "-5.0", "0.0", "5.0"},
        {2, 100000, "200000.0", "700000.0", "1200000.0"},
        // (offset + i) x gain beyond 32 bits, formed without overflow, then a float.
        {5, INT_MAX, "10737418240.0", "21474836480.0", "32212254720.0"},
        // Gain 0 is drawn on the default gain; a negative gain as it is.
        {0, 0, "0.0", "50.0", "100.0"},
        {1, -2, "-2.0", "-12.0", "-22.0"},
    };
    for (const auto& c : cases) {
        Record r(2);
        r.source.labels = ReportLabels(c.offset, c.gain);
        const auto page = r.Page();
        EXPECT_EQ(TextsAtY(page, 210), std::vector<std::string>{c.bottom}) << c.gain;
        EXPECT_EQ(TextsAtY(page, 610), std::vector<std::string>{c.middle}) << c.gain;
        EXPECT_EQ(TextsAtY(page, 1010), std::vector<std::string>{c.top}) << c.gain;
    }
}

struct HeightCase {
    const char* what;
    int channel;
    float stored;
    int tempUnit;
    float factor;
    int y;
};

// Labels 0 .. 100: y = v x 8 + 200, truncated toward zero.
TEST_F(ReportLayoutTest, valuesArePlacedInTheirDisplayUnits) {
    const HeightCase cases[] = {
        {"AirT Celsius", CH_AIRT, 25.0f, 0, 1.0f, 400},
        {"IRT 20 C is 67.99999 F with 1.8 as a float", CH_IRT, 20.0f, 1, 1.0f, 743},
        {"AirT -9500 C in F is raised to -9000", CH_AIRT, -9500.0f, 1, 1.0f, -71800},
        {"AirT -9500 C in Celsius stays", CH_AIRT, -9500.0f, 0, 1.0f, -75800},
        {"AirV times the factor", CH_AIRV, 2.5f, 0, 3.6f, 272},
        {"AirV below -9000 after the factor is raised", CH_AIRV, -100.0f, 0, 196.87f, -71800},
        {"CFM is not raised", CH_CFM, -9500.0f, 1, 3.6f, -75800},
        {"CMM as stored", CH_CMM, 12.5f, 1, 3.6f, 300},
        {"just below the chart truncates toward zero", CH_CMM, -25.06f, 0, 1.0f, 0},
    };
    for (const auto& c : cases) {
        Record r(2);
        r.Fill(c.channel, c.stored);
        r.source.tempUnit = c.tempUnit;
        r.source.speedFactor = c.factor;
        const auto lines = CurvesOf(r.Page(), c.channel);
        ASSERT_EQ(lines.size(), 1u) << c.what;
        EXPECT_EQ(lines[0], (ReportLine{-730, c.y, -10, c.y, TracePen(c.channel)})) << c.what;
    }
}

TEST_F(ReportLayoutTest, samplesSpreadOverTheChartWidthWithAFloatStep) {
    Record four(4);
    std::vector<int> xs;
    for (const auto& l : CurvesOf(four.Page(), CH_AIRT)) {
        xs.push_back(l.x1);
        xs.push_back(l.x2);
    }
    EXPECT_EQ(xs, (std::vector<int>{-730, -490, -490, -250, -250, -10}));

    // 720 / 5999 as a float is 0.120020..; x of sample 1 is -729.87.. truncated toward zero
    // to -729, of sample 2999 -370.06.. to -370.
    Record full(MAX_SAMPLES);
    const auto lines = CurvesOf(full.Page(), CH_AIRT);
    ASSERT_EQ(lines.size(), std::size_t(MAX_SAMPLES - 1));
    EXPECT_EQ(lines[0].x1, -730);
    EXPECT_EQ(lines[0].x2, -729);
    EXPECT_EQ(lines[2999].x1, -370);
    EXPECT_EQ(lines.back().x2, -10);
}

TEST_F(ReportLayoutTest, tracesAreDrawnSampleBySampleInChannelOrder) {
    Record r(3);
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        r.Fill(c, 10.0f * (c + 1));
    }
    std::vector<ReportPen> pens;
    for (const auto& l : Curves(r.Page())) {
        pens.push_back(l.pen);
    }
    const std::vector<ReportPen> order = {ReportPen::AirT, ReportPen::Irt, ReportPen::AirV,
                                          ReportPen::Cfm, ReportPen::Cmm};
    std::vector<ReportPen> twice = order;
    twice.insert(twice.end(), order.begin(), order.end());
    EXPECT_EQ(pens, twice);
}

struct ShowCase {
    bool airT, irt, airV, flow;
    std::vector<ReportPen> pens;
    std::vector<std::string> legend;
};

TEST_F(ReportLayoutTest, onlyShownTracesAreDrawnAndListed) {
    const ShowCase cases[] = {
        {true, false, false, false, {ReportPen::AirT}, {"AirT"}},
        {false, true, true, false, {ReportPen::Irt, ReportPen::AirV}, {"IRT", "AirV"}},
        {false, false, false, true, {ReportPen::Cfm, ReportPen::Cmm}, {"CFM", "CMM"}},
        {false, false, false, false, {}, {}},
    };
    for (const auto& c : cases) {
        Record r(2);
        r.source.traces.m_bShowAirT = c.airT;
        r.source.traces.m_bShowIrt = c.irt;
        r.source.traces.m_bShowAirV = c.airV;
        r.source.traces.m_bShowFlow = c.flow;
        const auto page = r.Page();
        std::vector<ReportPen> pens;
        for (const auto& l : Curves(page)) {
            pens.push_back(l.pen);
        }
        EXPECT_EQ(pens, c.pens);
        EXPECT_EQ(TextsAtY(page, 1025), c.legend);
    }
}

TEST_F(ReportLayoutTest, unusableLabelRangesLeaveOnlyTheCurvesOut) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::array<float, REPORT_LABELS> ranges[] = {
        {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},  // L10 = L0
        {nan, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1e-44f},  // 800 / range is beyond a float
    };
    for (const auto& labels : ranges) {
        Record r(5);
        r.Fill(CH_AIRT, 1.0f);
        r.source.labels = labels;
        const auto page = r.Page();
        EXPECT_TRUE(Curves(page).empty());
        EXPECT_EQ(Lines(page, false).size(), 17u);
        EXPECT_EQ(TextsAtY(page, 1010).size(), 1u);
        EXPECT_EQ(TextsAtY(page, 195).size(), 5u);
    }
}

TEST_F(ReportLayoutTest, segmentsTouchingANonFiniteValueAreLeftOut) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Record r(4);
    r.Set(1, CH_AIRT, nan);  // segments 0-1 and 1-2 go
    r.Set(3, CH_CFM, inf);   // segment 2-3 goes
    r.Set(0, CH_CMM, -inf);  // segment 0-1 goes
    r.Set(2, CH_IRT, -inf);  // in Fahrenheit raised to -9000: kept
    r.source.tempUnit = 1;
    const auto page = r.Page();
    EXPECT_EQ(CurvesOf(page, CH_AIRT).size(), 1u);
    EXPECT_EQ(CurvesOf(page, CH_CFM).size(), 2u);
    EXPECT_EQ(CurvesOf(page, CH_CMM).size(), 2u);
    const auto irt = CurvesOf(page, CH_IRT);
    ASSERT_EQ(irt.size(), 3u);
    EXPECT_EQ(irt[1].y2, -71800);
}

TEST_F(ReportLayoutTest, farValuesKeepTheirSlopeWithinSafeCoordinates) {
    Record r(2);
    r.Set(1, CH_CFM, 3e38f);
    r.Set(0, CH_CMM, 3e38f);
    r.Set(1, CH_CMM, -3e38f);
    const auto page = r.Page();
    const auto cfm = CurvesOf(page, CH_CFM);
    ASSERT_EQ(cfm.size(), 1u);
    EXPECT_EQ(cfm[0].x1, -730);
    EXPECT_EQ(cfm[0].y1, 200);
    EXPECT_EQ(cfm[0].y2, 1 << 22);
    EXPECT_EQ(cfm[0].x2, -730);  // steep: the far end moves back to the first sample
    const auto cmm = CurvesOf(page, CH_CMM);
    ASSERT_EQ(cmm.size(), 1u);
    EXPECT_EQ(cmm[0].y1, 1 << 22);
    EXPECT_EQ(cmm[0].y2, -(1 << 22));
    EXPECT_EQ(cmm[0].x1 + cmm[0].x2, -740);  // symmetric about the middle, x = -370
}

TEST_F(ReportLayoutTest, sampleCountIsKeptWithinTheArrays) {
    struct CountCase {
        const char* what;
        int count;
        bool base;
        std::size_t segments;
    };
    const CountCase cases[] = {
        {"more than the array holds", 10, true, 2},
        {"negative", -4, true, 0},
        {"no array", 3, false, 0},
    };
    for (const auto& c : cases) {
        Record r(3);
        r.source.count = c.count;
        if (!c.base) {
            r.source.samples.base = nullptr;
        }
        r.source.traces.m_bShowIrt = r.source.traces.m_bShowAirV = r.source.traces.m_bShowFlow =
            false;
        const auto page = r.Page();
        EXPECT_EQ(Curves(page).size(), c.segments) << c.what;
        EXPECT_EQ(TextsAtY(page, 195).size(), 5u) << c.what;
    }
}

TEST_F(ReportLayoutTest, cutOffBandsReachTheEdgesOfThePrintableArea) {
    struct BandCase {
        const char* what;
        ReportDevice device;
        ReportWhiteBand above, below;
    };
    const BandCase cases[] = {
        {"600 dpi: as many units as device pixels",
         {4800, 6600, 600.0, 600.0},
         {-4800, 1000, 0, 6600},
         {-4800, 0, 0, 200}},
        {"96 dpi: device pixels would fall short, the area's size is used",
         {750, 1060, 96.0, 96.0},
         {-1984, 1000, 0, 2804},
         {-1984, 0, 0, 200}},
        {"an area lower than the chart",
         {4800, 900, 600.0, 600.0},
         {-4800, 1000, 0, 1000},
         {-4800, 0, 0, 200}},
    };
    for (const auto& c : cases) {
        Record r(2);
        std::vector<ReportWhiteBand> bands;
        for (const auto& item : LayoutReport(r.source, c.device, START)) {
            if (const auto* b = std::get_if<ReportWhiteBand>(&item)) {
                bands.push_back(*b);
            }
        }
        EXPECT_EQ(bands, (std::vector<ReportWhiteBand>{c.above, c.below})) << c.what;
    }
}

TEST_F(ReportLayoutTest, bothCallersSourcesReadTheirOwnArrays) {
    auto doc = std::make_unique<CQFDoc>();
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            doc->m_liveSamples[c][i] = float(100 * c + i);
        }
    }
    StoredRecord& record = doc->m_file;
    record.samples.resize(3);
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            record.samples[std::size_t(i)][std::size_t(c)] = float(-100 * c - i);
        }
    }
    record.count = 3;
    record.tempUnit = 1;
    record.speedFactor = 3.6f;
    record.start = START;
    record.intervalSec = 7;

    const ReportSource live = LiveReportSource(*doc, 2);
    const ReportSource file = FileReportSource(record, ReportLabels(-5, 2));
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            EXPECT_EQ(live.samples.At(i, c), float(100 * c + i));
            EXPECT_EQ(file.samples.At(i, c), float(-100 * c - i));
        }
    }
    EXPECT_EQ(live.count, 2);
    EXPECT_EQ(live.intervalUnit, ReportInterval::Milliseconds);
    EXPECT_EQ(live.samples.capacity, MAX_SAMPLES);
    EXPECT_EQ(file.count, 3);
    EXPECT_EQ(file.tempUnit, 1);
    EXPECT_EQ(file.speedFactor, 3.6f);
    EXPECT_EQ(file.start, START);
    EXPECT_EQ(file.interval, 7);
    EXPECT_EQ(file.intervalUnit, ReportInterval::Seconds);
    EXPECT_EQ(file.labels[0], -10.0f);
    EXPECT_EQ(file.labels[10], 10.0f);
}

}  // namespace
