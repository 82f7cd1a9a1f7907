// The logger graph, its pointer and read-out, and the record table, without a window.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <tuple>

#include "graph/LoggerGraph.h"
#include "graph/LoggerPointer.h"
#include "graph/LoggerReadout.h"
#include "store/CQFDoc.h"
#include "store/RecordTable.h"

namespace {

using namespace qf;

constexpr std::time_t START = 1700000000;  // 22:13:20 UTC

// A record of `count` samples held sample-major, and the inputs of a 946 x 598 window.
struct Record {
    std::unique_ptr<std::array<float, NUM_CHANNELS>[]> samples {
        new std::array<float, NUM_CHANNELS>[ MAX_SAMPLES ]
    };
    LoggerInputs in;

    explicit Record(int count, float value = 20.0f) {
        setenv("TZ", "UTC", 1);
        tzset();
        for (int i = 0; i < MAX_SAMPLES; ++i) {
            for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
                samples[i][ch] = value;
            }
        }
        in.width = 946;
        in.height = 598;
        in.hasRecord = true;
        in.record.samples = samples.get();
        in.record.count = count;
        in.record.start = START;
        in.record.intervalSec = 2;
    }
};

TEST(LoggerGraph, ValueLabelsAndTheirIndent) {
    Record r(5);
    r.in.yGain = 1;
    r.in.yOffset = -5;
    CLoggerGraph g;
    const LoggerFrame& f = g.Compute(r.in);
    EXPECT_EQ(f.valueLabels[0].text, "-5.00");
    EXPECT_EQ(f.valueLabels[5].text, "0.00");
    EXPECT_EQ(f.valueLabels[10].text, "5.00");
    EXPECT_EQ(f.valueLabels[0].x, int(f.left - 62.5f));
    EXPECT_EQ(f.valueLabels[10].x, int(f.left) - 55);
    EXPECT_EQ(f.valueLabels[0].y, int(f.bottom));
    EXPECT_EQ(f.valueLabels[10].y, int(f.top));

    const struct {
        float v;
        int k;
    } indents[] = {{0, 4},     {9.99f, 4}, {10, 3},   {999, 2},     {1000, 1},
                   {-0.5f, 3}, {-10, 2},   {-100, 1}, {-999.9f, 1}, {-1000, 0}};
    for (const auto& c : indents) {
        EXPECT_EQ(LoggerValueLabelX(321.0f, c.v), int(321 - 85 + 7.5 * c.k)) << c.v;
    }
}

TEST(LoggerGraph, GridLabelsAndOddRecords) {
    Record r(10);
    CLoggerGraph g;
    const LoggerFrame* f = &g.Compute(r.in);
    EXPECT_EQ(f->gridXCount, 15);
    EXPECT_EQ(f->gridX[14], int(f->right));
    ASSERT_EQ(f->timeLabelCount, 2);
    EXPECT_EQ(f->timeLabels[0].text, "22:13:20");
    EXPECT_EQ(f->timeLabels[1].text, "22:13:38");
    EXPECT_EQ(f->timeLabels[1].x, int(f->right) - 55);

    // One sample: no step and no segment; it ends where it starts.
    r.in.record.count = 1;
    f = &g.Compute(r.in);
    EXPECT_EQ(f->timeLabels[1].text, "22:13:20");
    r.in.record.count = 0;
    f = &g.Compute(r.in);
    EXPECT_EQ(f->timeLabels[1].text, "22:13:20");

    // A gain of 0 draws on the default scale.
    r.in.record.count = 10;
    r.in.yGain = 0;
    f = &g.Compute(r.in);
    EXPECT_EQ(f->valueLabels[10].text, "100.00");
    EXPECT_TRUE(std::isfinite(f->traces.y[0][0]));

    // No record: frame and grid, nothing of a record.
    r.in.hasRecord = false;
    f = &g.Compute(r.in);
    EXPECT_FALSE(f->drawRecord);
    EXPECT_EQ(f->gridXCount, 15);
}

// Presses and releases at fractions of the plot, as the window does.
struct Drag {
    CLoggerGraph& g;
    CLoggerPointer p;
    Record& r;
    LoggerSession s;

    ViewPoint At(float fx, float fy) const {
        const LoggerFrame& f = g.Frame();
        return {int(f.left + (f.right - f.left) * fx), int(f.top + (f.bottom - f.top) * fy)};
    }
    DragRelease Run(ViewPoint from, ViewPoint to) {
        p.ButtonDown(g, true, from);
        p.Move(g, r.in.record, true, to, s);
        const DragRelease out = p.ButtonUp(g, true, to);
        g.Compute(r.in);
        return out;
    }
};

TEST(LoggerPointer, ZoomAcceptance) {
    Record r(500);
    CLoggerGraph g;
    g.Compute(r.in);
    Drag d{g, {}, r, {}};

    // A click without moving neither zooms nor leaves the full view.
    EXPECT_FALSE(d.Run(d.At(0.3f, 0.3f), d.At(0.3f, 0.3f)).repaintNow);
    EXPECT_TRUE(g.Core().FullView());

    // Up and to the left: zoom mode, same level.
    EXPECT_FALSE(d.Run(d.At(0.6f, 0.8f), d.At(0.2f, 0.2f)).levelPushed);
    EXPECT_FALSE(g.Core().FullView());
    EXPECT_EQ(g.Core().ZoomLevel(), 0);

    // Down and to the right: a level; labels follow the rectangle.
    EXPECT_TRUE(d.Run(d.At(0.2f, 0.2f), d.At(0.6f, 0.8f)).levelPushed);
    EXPECT_EQ(g.Core().ZoomLevel(), 1);
    EXPECT_NEAR(g.Core().Labels(1)[0], 20.0, 0.5);
    EXPECT_NEAR(g.Core().Labels(1)[10], 80.0, 0.5);

    // A rectangle without width is refused.
    EXPECT_FALSE(d.Run(d.At(0.5f, 0.2f), d.At(0.5f, 0.8f)).levelPushed);

    // Leaving the plot while dragging cancels: no zoom at the release.
    g.ResetToFullView();
    g.Compute(r.in);
    d.p.ButtonDown(g, true, d.At(0.2f, 0.2f));
    d.p.Move(g, r.in.record, true, d.At(0.5f, 0.5f), d.s);
    EXPECT_TRUE(d.p.BandShown());
    EXPECT_FALSE(d.p.Watch(g, d.At(0.5f, 0.5f)));
    EXPECT_TRUE(d.p.Watch(g, {int(g.Frame().left) - 50, 300}));
    EXPECT_FALSE(d.p.BandShown());
    EXPECT_FALSE(d.p.ButtonUp(g, true, d.At(0.6f, 0.8f)).repaintNow);
    EXPECT_TRUE(g.Core().FullView());
}

TEST(LoggerPointer, NearestSampleAndScrolledOffsets) {
    Record r(11);
    CLoggerGraph g;
    const LoggerFrame& f = g.Compute(r.in);
    const float step = (f.right - f.left) / 10.0f;
    CLoggerPointer p;
    LoggerSession s;
    const struct {
        float at;  // in samples from the left edge
        int offset;
        int sample;
    } cases[] = {{0.0f, 0, 0}, {4.4f, 0, 4}, {4.6f, 0, 5},  {10.0f, 0, 10},
                 {4.4f, 2, 2}, {4.6f, 2, 3}, {1.0f, 3, -2}, {4.0f, -2, 6}};
    for (const auto& c : cases) {
        g.Core().OnScroll(ScrollCode::ThumbTrack, 1 - c.offset);
        p.Move(g, r.in.record, true, {int(f.left + c.at * step), 300}, s);
        EXPECT_EQ(p.CursorSample(), c.sample) << c.at << " offset " << c.offset;
    }
    // Outside the plot's columns the cursor stays where it was.
    p.Move(g, r.in.record, true, {int(f.right) + 5, 300}, s);
    EXPECT_EQ(p.CursorX(), int(f.left + 4.0f * step));

    // Fewer than two samples: no sample under the cursor, nothing read.
    r.in.record.count = 1;
    g.Compute(r.in);
    p.Move(g, r.in.record, true, {int(f.left) + 10, 300}, s);
    EXPECT_EQ(p.CursorSample(), -1);
}

TEST(LoggerReadout, TextsOfOneSample) {
    const struct {
        const char* what;
        int tempUnit;
        float factor;
        std::array<float, NUM_CHANNELS> sample;
        std::array<const char*, NUM_CHANNELS> shown;
    } cases[] = {
        {"fahrenheit",
         1,
         1.0f,
         {20.04f, 20.04f, 1.5f, 9.9996f, 10.0f},
         {"68.1F", "68.0F", "1.50m/s", "10.000", "10.00"}},
        {"missing",
         0,
         3.6f,
         {-150.0f, -101.0f, -1.0f, -1.0f, 1234.5f},
         {"------", "------", "------", "------", "1234"}},
        {"cold but there",
         0,
         3.6f,
         {-50.0f, -50.04f, 1.5f, 0.0f, 100.0f},
         {"-50.0C", "-50.0C", "5.4m/s", "0.000", "100.0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Record r(3);
        r.in.record.tempUnit = c.tempUnit;
        r.in.record.speedFactor = c.factor;
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            r.samples[1][ch] = c.sample[ch];
        }
        LoggerSession s;
        ReadOut(r.in.record, 1, s);
        const std::string units[] = {c.tempUnit == 1 ? "F" : "C", c.tempUnit == 1 ? "F" : "C",
                                     "m/s", "", ""};
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            EXPECT_EQ(ReadoutShown(s.m_strReadout[ch], units[ch]), c.shown[ch]) << ch;
        }
        EXPECT_EQ(s.m_strReadoutTime, "22:13:22");
    }
    // Outside the record nothing changes.
    Record r(3);
    LoggerSession s;
    ReadOut(r.in.record, 3, s);
    EXPECT_TRUE(s.m_strReadoutTime.empty());
}

TEST(RecordTable, ImportsRowsAndStartsOverAtTheHundredAndFirst) {
    setenv("TZ", "UTC", 1);
    tzset();
    auto doc = std::make_unique<CQFDoc>();
    doc->m_file.start = START;
    doc->m_file.intervalSec = 2;
    CRecordTable t;
    for (int i = 1; i <= 100; ++i) {
        doc->m_file.count = i;
        EXPECT_FALSE(t.ImportRecord(*doc)) << i;
    }
    EXPECT_EQ(t.m_nLastRecord, 99);
    const RecordRow row = t.Row(99);
    EXPECT_EQ(row.set, "100");
    EXPECT_EQ(row.time, "14/11/23 22:13:20");
    EXPECT_EQ(row.rate, "2sec");
    EXPECT_EQ(row.nums, "100");

    doc->m_file.count = 0;
    EXPECT_TRUE(t.ImportRecord(*doc));
    EXPECT_EQ(t.m_nLastRecord, 0);
    EXPECT_EQ(t.Row(0).set, "1");
    EXPECT_EQ(t.Row(0).nums, "0");

    // No selection mark, or a slot beyond the newest record, changes nothing.
    doc->m_file.count = 55;
    EXPECT_FALSE(t.MakeRecordCurrent(-1, *doc));
    EXPECT_FALSE(t.MakeRecordCurrent(1, *doc));
    EXPECT_EQ(doc->m_file.count, 55);
}

// Two records differing in every field: switching back and forth brings each one whole.
TEST(RecordTable, SwitchingRecordsBringsEveryField) {
    const qf::StoredRecord a{
        .count = 2,
        .samples = {{20.5f, 21.0f, 1.25f, 3.5f, 0.1f}, {NO_VALUE, 22.0f, 1.5f, 4.0f, 0.2f}},
        .startFields = {2023, 11, 14, 22, 13, 20},
        .start = START,
        .intervalSec = 2,
        .speedFactor = 1.0f,
        .tempUnitText = "C",
        .speedUnitText = "m/s"};
    const qf::StoredRecord b{.count = 3,
                             .samples = {{30.0f, 31.0f, 2.0f, 500.0f, 14.0f},
                                         {30.5f, NO_VALUE, 2.5f, 600.0f, 17.0f},
                                         {31.0f, 32.0f, NO_VALUE, 700.0f, 20.0f}},
                             .tempUnit = 1,
                             .speedUnit = 1,
                             .startFields = {2014, 3, 30, 1, 59, 30},
                             .start = START + 1,
                             .intervalSec = 60,
                             .speedFactor = 196.87f,
                             .tempUnitText = "F",
                             .speedUnitText = "ft/min",
                             .yGain = 100,
                             .yOffset = -2};
    auto doc = std::make_unique<CQFDoc>();
    CRecordTable t;
    for (const qf::StoredRecord* r : {&a, &b}) {
        doc->m_file = *r;
        t.ImportRecord(*doc);
    }
    for (const int index : {0, 1, 0}) {
        const qf::StoredRecord& want = index == 0 ? a : b;
        ASSERT_TRUE(t.MakeRecordCurrent(index, *doc));
        const qf::StoredRecord& got = doc->m_file;
        EXPECT_EQ(std::tie(got.count, got.samples, got.tempUnit, got.speedUnit, got.start,
                           got.intervalSec, got.speedFactor, got.tempUnitText, got.speedUnitText,
                           got.yGain, got.yOffset),
                  std::tie(want.count, want.samples, want.tempUnit, want.speedUnit, want.start,
                           want.intervalSec, want.speedFactor, want.tempUnitText,
                           want.speedUnitText, want.yGain, want.yOffset))
            << index;
        EXPECT_EQ(std::tie(got.startFields.year, got.startFields.second),
                  std::tie(want.startFields.year, want.startFields.second))
            << index;
    }
}

TEST(LoggerGraph, StaysSmall) {
    CLoggerGraph g;
    EXPECT_LT(g.MemoryBytes(), 2u << 20);
}

}  // namespace
