#include "report/SummaryLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/SpanTime.h"
#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"

namespace qf {

namespace {

constexpr double PT = 25.4 / 72.0;  // mm a point
constexpr double GAP = 3.0;         // between the page's blocks
constexpr double CHART_HEIGHT = 100.0;
constexpr double MIN_CHART_HEIGHT = 40.0;
constexpr double LABEL_GAP = 2.0;  // axis label to frame
constexpr double TICK = 1.0;
constexpr double LEGEND_SAMPLE = 8.0;
constexpr int VALUE_STEPS = 10;
constexpr int TITLE_LINES = 2;
constexpr int NOTES_LINES = 3;
constexpr char ELLIPSIS[] = "\xE2\x80\xA6";

int UsableCount(const StoredRecord& r) {
    return std::clamp(r.count, 0, static_cast<int>(r.samples.size()));
}

// Byte offsets where a UTF-8 character starts, and the text's end.
std::vector<std::size_t> CharStarts(const std::string& s) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            at.push_back(i);
        }
    }
    at.push_back(s.size());
    return at;
}

// The most characters of `s` (as a byte length) whose text plus `tail` fits; widths grow
// with the prefix, so a binary search will do.
std::size_t FittingPrefix(const std::string& s, const std::string& tail, double width,
                          SummaryFont font, const SummaryMeasure& measure) {
    const std::vector<std::size_t> at = CharStarts(s);
    std::size_t lo = 0, hi = at.size() - 1;
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (measure(font, s.substr(0, at[mid]) + tail) <= width) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return at[lo];
}

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') {
        s.pop_back();
    }
    return s;
}

std::string Ellipsized(const std::string& s, double width, SummaryFont font,
                       const SummaryMeasure& measure) {
    const std::size_t n = FittingPrefix(s, ELLIPSIS, width, font, measure);
    if (n == 0 && measure(font, ELLIPSIS) > width) {
        return {};
    }
    return TrimRight(s.substr(0, n)) + ELLIPSIS;
}

std::string Strftime(std::time_t t, const char* format) {
    std::tm local{};
    char text[64];
    if (localtime_r(&t, &local) == nullptr) {
        return "-";
    }
    const std::size_t n = std::strftime(text, sizeof text, format, &local);
    return std::string(text, n);
}

// "2026-12-08 14:03:00 +01:00" from the ISO form "2026-12-08T14:03:00+01:00": the same
// fields, easier to read on paper.
std::string PrintedTime(std::time_t t) {
    std::string iso = IsoLocalTime(t);
    if (iso.size() != 25) {
        return iso.empty() ? "-" : iso;
    }
    return iso.substr(0, 10) + " " + iso.substr(11, 8) + " " + iso.substr(19);
}

// A time in the statistics table: the clock time, with the date when the span crosses a
// date. The offset is in the facts above.
std::string TableTime(const std::string& iso, bool withDate) {
    if (iso.size() < 19) {
        return iso.empty() ? "-" : iso;
    }
    return withDate ? iso.substr(0, 10) + " " + iso.substr(11, 8) : iso.substr(11, 8);
}

std::string FormatNumber(double v, int decimals) {
    char text[64];
    if (std::fabs(v) >= 1e7 || decimals > 6) {
        std::snprintf(text, sizeof text, "%.3g", v);
    } else {
        std::snprintf(text, sizeof text, "%.*f", decimals, v);
    }
    std::string s = text;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) {
        s.erase(0, 1);  // no "-0.0" on an axis
    }
    return s;
}

struct Builder {
    const SummaryInput& in;
    const StoredRecord& record;
    const SummaryMeasure& measure;
    SummaryLayout out;
    double left, right;  // text column

    Builder(const SummaryInput& input, const SummaryMeasure& m)
        : in(input), record(*input.record), measure(m) {
        out.paper = in.paper;
        left = SUMMARY_MARGIN;
        right = in.paper.width - SUMMARY_MARGIN;
    }

    double Width(SummaryFont f, const std::string& s) const { return measure(f, s); }

    // Places a text with its top-left corner at (x, y), cut to `maxWidth`.
    double Text(double x, double y, SummaryFont f, const std::string& s, double maxWidth) {
        const std::string fitted = FitText(s, maxWidth, f, measure);
        const double w = Width(f, fitted);
        if (!fitted.empty()) {
            out.texts.push_back({x, y, w, LineHeight(f), f, fitted});
        }
        return w;
    }
    void TextRight(double xRight, double y, SummaryFont f, const std::string& s, double maxWidth) {
        const std::string fitted = FitText(s, maxWidth, f, measure);
        const double w = Width(f, fitted);
        if (!fitted.empty()) {
            out.texts.push_back({xRight - w, y, w, LineHeight(f), f, fitted});
        }
    }
    void Line(double x1, double y1, double x2, double y2, SummaryPen pen) {
        out.lines.push_back({x1, y1, x2, y2, pen});
    }

    double Lines(double y, SummaryFont f, const std::string& s, int maxLines) {
        for (const std::string& line : WrapText(s, right - left, maxLines, f, measure)) {
            Text(left, y, f, line, right - left);
            y += LineHeight(f);
        }
        return y;
    }

    double Header(double y) {
        const std::string title = in.title.empty() ? SUMMARY_DEFAULT_TITLE : in.title;
        y = Lines(y, SummaryFont::Title, title, TITLE_LINES);
        if (!in.notes.empty()) {
            y = Lines(y + 1.0, SummaryFont::Text, in.notes, NOTES_LINES);
        }
        return y;
    }

    double Facts(double y, const SpanStatistics& stats) {
        const int n = UsableCount(record);
        int empty = 0;
        for (int i = 0; i < n; ++i) {
            bool any = false;
            for (int c = 0; c < NUM_CHANNELS; ++c) {
                any = any || DisplayValue(c, record.samples[std::size_t(i)][std::size_t(c)], record)
                                 .has_value();
            }
            empty += any ? 0 : 1;
        }
        const std::string start = n > 0 ? PrintedTime(SampleTime(record, 0)) : "-";
        const std::string end = n > 0 ? PrintedTime(SampleTime(record, n - 1)) : "-";
        std::string samples = std::to_string(n);
        if (empty > 0) {
            samples += " (" + std::to_string(empty) + " without a reading)";
        }
        std::string span = "whole recording";
        if (stats.span.Size() > 0 && stats.span.Size() != n) {
            const std::string a = PrintedTime(SampleTime(record, stats.span.first));
            const std::string b = PrintedTime(SampleTime(record, stats.span.last));
            // The second time without the date and offset the first one gave.
            const bool sameDate = a.size() == b.size() && a.compare(0, 10, b, 0, 10) == 0;
            span = (sameDate ? a.substr(11, 8) : a) + " to " + (sameDate ? b.substr(11, 8) : b) +
                   " (" + std::to_string(stats.span.Size()) + " samples)";
        }
        const std::string facts[4][4] = {
            {"File", in.fileName.empty() ? SUMMARY_LIVE_NAME : in.fileName, "Program", in.program},
            {"Start", start, "End", end},
            {"Interval", std::to_string(record.intervalSec) + " s", "Samples", samples},
            {"Units", "temperature " + record.tempUnitText + ", speed " + record.speedUnitText,
             "Span", span},
        };
        double labelWidth = 0.0;
        for (const auto& row : facts) {
            labelWidth = std::max({labelWidth, Width(SummaryFont::Heading, row[0]),
                                   Width(SummaryFont::Heading, row[2])});
        }
        labelWidth += 2.0;
        const double half = (right - left) / 2.0;
        const double h = LineHeight(SummaryFont::Text) + 0.6;
        for (const auto& row : facts) {
            for (int col = 0; col < 2; ++col) {
                const double x = left + col * half;
                Text(x, y, SummaryFont::Heading, row[col * 2], labelWidth);
                Text(x + labelWidth, y, SummaryFont::Text, row[col * 2 + 1],
                     half - labelWidth - 2.0);
            }
            y += h;
        }
        return y;
    }

    double Table(double y, const SpanStatistics& stats) {
        const auto texts = StatisticsTexts(stats, record);
        const bool crosses =
            stats.span.Size() > 0 && Strftime(SampleTime(record, stats.span.first), "%Y%m%d") !=
                                         Strftime(SampleTime(record, stats.span.last), "%Y%m%d");
        out.table.push_back({"Channel", "Minimum", "at", "Maximum", "at", "Mean", "Valid"});
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            if (!in.traces.Shown(c)) {
                continue;
            }
            const ChannelStatisticsTexts& t = texts[std::size_t(c)];
            const bool none = stats.channels[std::size_t(c)].valid == 0;
            const auto cell = [none](const std::string& s) { return none ? "-" : s; };
            out.table.push_back({t.name, cell(t.min), cell(TableTime(t.minTime, crosses)),
                                 cell(t.max), cell(TableTime(t.maxTime, crosses)), cell(t.mean),
                                 t.valid + " of " + std::to_string(stats.span.Size())});
        }
        constexpr std::size_t COLUMNS = 7;
        constexpr bool RIGHT_ALIGNED[COLUMNS] = {false, true, false, true, false, true, true};
        std::array<double, COLUMNS> widths{};
        for (std::size_t r = 0; r < out.table.size(); ++r) {
            const SummaryFont f = r == 0 ? SummaryFont::Heading : SummaryFont::Text;
            for (std::size_t k = 0; k < COLUMNS; ++k) {
                widths[k] = std::max(widths[k], Width(f, out.table[r][k]));
            }
        }
        double natural = 0.0;
        for (const double w : widths) {
            natural += w;
        }
        // Spread over the text width. Only absurd values or unit texts make it too narrow:
        // then the widest columns are cut to a common width and the others stay whole.
        double gap = (right - left - natural) / (COLUMNS - 1);
        if (gap < 2.0) {
            gap = 2.0;
            const double room = right - left - gap * (COLUMNS - 1);
            std::array<double, COLUMNS> sorted = widths;
            std::sort(sorted.begin(), sorted.end());
            double used = 0.0, cap = room;
            for (std::size_t k = 0; k < COLUMNS; ++k) {
                if (used + sorted[k] * double(COLUMNS - k) > room) {
                    cap = (room - used) / double(COLUMNS - k);
                    break;
                }
                used += sorted[k];
            }
            for (double& w : widths) {
                w = std::min(w, cap);
            }
        }
        const double rowHeight = LineHeight(SummaryFont::Text) + 1.6;
        Line(left, y, right, y, SummaryPen::Rule);
        for (std::size_t r = 0; r < out.table.size(); ++r) {
            const SummaryFont f = r == 0 ? SummaryFont::Heading : SummaryFont::Text;
            double x = left;
            for (std::size_t k = 0; k < COLUMNS; ++k) {
                if (RIGHT_ALIGNED[k]) {
                    TextRight(x + widths[k], y + 0.8, f, out.table[r][k], widths[k]);
                } else {
                    Text(x, y + 0.8, f, out.table[r][k], widths[k]);
                }
                x += widths[k] + gap;
            }
            y += rowHeight;
            if (r == 0 || r + 1 == out.table.size()) {
                Line(left, y, right, y, SummaryPen::Rule);
            }
        }
        return y;
    }

    struct Axis {
        bool used = false;
        double min = 0.0, max = 0.0;
        bool any = false;  // a shown channel of it has readings
        SummaryScale scale;
        std::vector<std::string> labels;
        double labelWidth = 0.0;
    };

    void Chart(double y, double bottomLimit, const SpanStatistics& stats) {
        const bool anyLeft = in.traces.m_bShowAirT || in.traces.m_bShowIrt || in.traces.m_bShowAirV;
        // Flows get an axis of their own beside the others; alone they take the left one.
        const auto onRight = [&](int c) { return anyLeft && c >= CH_CFM; };
        Axis axes[2];
        std::string captions[2];
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            if (!in.traces.Shown(c)) {
                continue;
            }
            Axis& a = axes[onRight(c) ? 1 : 0];
            a.used = true;
            const ChannelStatistics& s = stats.channels[std::size_t(c)];
            if (s.valid > 0) {
                a.min = a.any ? std::min(a.min, s.min) : s.min;
                a.max = a.any ? std::max(a.max, s.max) : s.max;
                a.any = true;
            }
            const std::string unit = ChannelUnitText(c, record);
            std::string& caption = captions[onRight(c) ? 1 : 0];
            if (caption.find(unit) == std::string::npos || unit.empty()) {
                caption += (caption.empty() ? "" : ", ") + unit;
            }
        }
        axes[0].used = true;  // an empty chart still has its left scale
        for (Axis& a : axes) {
            a.scale = a.any ? NiceScale(a.min, a.max, VALUE_STEPS) : NiceScale(0.0, 1.0, 5);
            const int steps = int(std::lround((a.scale.high - a.scale.low) / a.scale.step));
            for (int k = 0; k <= steps; ++k) {
                a.labels.push_back(FormatNumber(a.scale.low + k * a.scale.step, a.scale.decimals));
                a.labelWidth = std::max(a.labelWidth, Width(SummaryFont::Small, a.labels.back()));
            }
            // A label beyond a fifth of the width is cut; only absurd values get there.
            a.labelWidth = std::min(a.labelWidth, (right - left) / 5.0);
        }

        // Legend: a line sample and the name of each shown channel.
        const double legendH = LineHeight(SummaryFont::Text);
        double x = left;
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            if (!in.traces.Shown(c)) {
                continue;
            }
            Line(x, y + legendH / 2, x + LEGEND_SAMPLE, y + legendH / 2, SummaryTracePen(c));
            x += LEGEND_SAMPLE + 1.5;
            x += Text(x, y, SummaryFont::Text, CHANNEL_NAMES[c], right - x) + 6.0;
        }
        y += legendH + 1.0;

        // Axis captions: the units of each side.
        const double smallH = LineHeight(SummaryFont::Small);
        const double half = (right - left) / 2.0 - 2.0;
        Text(left, y, SummaryFont::Small, captions[0], half);
        if (axes[1].used) {
            TextRight(right, y, SummaryFont::Small, captions[1], half);
        }
        y += smallH;

        // The top and bottom value labels stand out of the frame by half their height.
        SummaryRect& plot = out.plot;
        plot.left = left + axes[0].labelWidth + LABEL_GAP;
        plot.right = right - (axes[1].used ? axes[1].labelWidth + LABEL_GAP : 0.0);
        plot.top = y + smallH / 2 + 0.5;
        const bool crosses = CrossesDate(stats.span);
        const double timeRows = smallH * (crosses ? 2 : 1);
        const double below = smallH / 2 + 1.0 + timeRows;
        plot.bottom =
            plot.top + std::clamp(bottomLimit - below - plot.top, MIN_CHART_HEIGHT, CHART_HEIGHT);

        // Value grid and labels.
        for (int side = 0; side < 2; ++side) {
            const Axis& a = axes[side];
            if (!a.used) {
                continue;
            }
            for (std::size_t k = 0; k < a.labels.size(); ++k) {
                const double v = a.scale.low + double(k) * a.scale.step;
                const double ly = ValueY(v, a.scale);
                if (side == 0) {
                    if (k > 0 && k + 1 < a.labels.size()) {
                        Line(plot.left, ly, plot.right, ly, SummaryPen::Grid);
                    }
                    Line(plot.left - TICK, ly, plot.left, ly, SummaryPen::Frame);
                    TextRight(plot.left - LABEL_GAP, ly - smallH / 2, SummaryFont::Small,
                              a.labels[k], a.labelWidth);
                } else {
                    Line(plot.right, ly, plot.right + TICK, ly, SummaryPen::Frame);
                    Text(plot.right + LABEL_GAP, ly - smallH / 2, SummaryFont::Small, a.labels[k],
                         a.labelWidth);
                }
            }
        }
        TimeAxis(plot.bottom + smallH / 2 + 1.0, stats.span, crosses);

        Line(plot.left, plot.top, plot.right, plot.top, SummaryPen::Frame);
        Line(plot.left, plot.bottom, plot.right, plot.bottom, SummaryPen::Frame);
        Line(plot.left, plot.top, plot.left, plot.bottom, SummaryPen::Frame);
        Line(plot.right, plot.top, plot.right, plot.bottom, SummaryPen::Frame);

        for (int c = 0; c < NUM_CHANNELS; ++c) {
            if (in.traces.Shown(c)) {
                Trace(c, axes[onRight(c) ? 1 : 0].scale, stats.span);
            }
        }
    }

    double ValueY(double v, const SummaryScale& s) const {
        return out.plot.bottom - (v - s.low) / (s.high - s.low) * out.plot.Height();
    }

    // Seconds the span covers; 0 for one sample or an interval that is not positive.
    long long Duration(const SampleSpan& span) const {
        return span.Size() > 1 && record.intervalSec > 0
                   ? static_cast<long long>(span.last - span.first) * record.intervalSec
                   : 0;
    }

    bool CrossesDate(const SampleSpan& span) const {
        if (span.Size() < 1) {
            return false;
        }
        const std::time_t t0 = SampleTime(record, span.first);
        return Strftime(t0, "%Y%m%d") != Strftime(t0 + Duration(span), "%Y%m%d");
    }

    double SampleX(int i, const SampleSpan& span) const {
        const SummaryRect& p = out.plot;
        return span.Size() > 1
                   ? p.left + double(i - span.first) / (span.last - span.first) * p.Width()
                   : p.left;
    }

    void TimeAxis(double y, const SampleSpan& span, bool crosses) {
        if (span.Size() < 1) {
            return;
        }
        const SummaryRect& p = out.plot;
        const std::time_t t0 = SampleTime(record, span.first);
        const long long duration = Duration(span);
        const double smallH = LineHeight(SummaryFont::Small);
        double labelWidth = Width(SummaryFont::Small, "00:00:00");
        if (crosses) {
            labelWidth = std::max(labelWidth, Width(SummaryFont::Small, "0000-00-00"));
        }
        const long long maxTicks = std::max(1LL, (long long)(p.Width() / (labelWidth + 4.0)));
        static constexpr long long STEPS[] = {
            1,          2,          5,           10,          15,          30,          60,
            120,        300,        600,         900,         1800,        3600,        7200,
            10800,      21600,      43200,       86400,       2 * 86400,   5 * 86400,   10 * 86400,
            20 * 86400, 50 * 86400, 100 * 86400, 200 * 86400, 500 * 86400, 1000 * 86400};
        long long step = STEPS[std::size(STEPS) - 1];
        for (const long long s : STEPS) {
            if (duration / s + 1 <= maxTicks) {
                step = s;
                break;
            }
        }
        std::vector<std::time_t> ticks;
        if (duration == 0) {
            ticks.push_back(t0);
        } else {
            std::tm local{};
            localtime_r(&t0, &local);
            const long long sod = local.tm_hour * 3600LL + local.tm_min * 60 + local.tm_sec;
            const long long align = std::min(step, 86400LL);
            for (long long t = (align - sod % align) % align; t <= duration; t += step) {
                ticks.push_back(t0 + t);
            }
        }
        const char* format = step % 60 == 0 ? "%H:%M" : "%H:%M:%S";
        double lastRight = -1e9;
        std::string lastDate;
        for (const std::time_t t : ticks) {
            const double tx =
                duration > 0 ? p.left + double(t - t0) / duration * p.Width() : p.left;
            const std::string time = Strftime(t, format);
            const std::string date = Strftime(t, "%Y-%m-%d");
            const bool showDate = crosses && date != lastDate;
            const double w = std::max(Width(SummaryFont::Small, time),
                                      showDate ? Width(SummaryFont::Small, date) : 0.0);
            const double lx = std::clamp(tx - w / 2, left, right - w);
            if (duration > 0 && tx > p.left && tx < p.right) {
                Line(tx, p.top, tx, p.bottom, SummaryPen::Grid);
            }
            Line(tx, p.bottom, tx, p.bottom + TICK, SummaryPen::Frame);
            if (lx < lastRight + 1.5) {
                continue;  // pushed against its neighbour by the page edge
            }
            const double tw = Width(SummaryFont::Small, time);
            Text(lx + (w - tw) / 2, y, SummaryFont::Small, time, w);
            if (showDate) {
                const double dw = Width(SummaryFont::Small, date);
                Text(lx + (w - dw) / 2, y + smallH, SummaryFont::Small, date, w);
                lastDate = date;
            }
            lastRight = lx + w;
        }
    }

    void Trace(int c, const SummaryScale& scale, const SampleSpan& span) {
        SummaryPolyline run{SummaryTracePen(c), {}};
        const auto finish = [&] {
            if (run.points.size() > 1) {
                out.traces.push_back(run);
            }
            run.points.clear();
        };
        const Conversion k = ConversionOf(c, record);
        for (int i = span.first; i <= span.last; ++i) {
            const std::optional<double> v = k.Apply(record.samples[std::size_t(i)][std::size_t(c)]);
            if (!v) {
                finish();
                continue;
            }
            run.points.push_back({SampleX(i, span), ValueY(*v, scale)});
        }
        finish();
    }

    void Footer() {
        const double y = in.paper.height - SUMMARY_MARGIN - LineHeight(SummaryFont::Small);
        Line(left, y - 1.0, right, y - 1.0, SummaryPen::Rule);
        const std::string page = "1 / 1";
        const double pageWidth = Width(SummaryFont::Small, page);
        Text(left, y, SummaryFont::Small, "Printed " + Strftime(in.printed, "%Y-%m-%d %H:%M"),
             right - left - pageWidth - 4);
        TextRight(right, y, SummaryFont::Small, page, pageWidth);
    }
};

}  // namespace

SummaryFontStyle FontStyleOf(SummaryFont font) {
    switch (font) {
        case SummaryFont::Title:
            return {16 * PT, true};
        case SummaryFont::Heading:
            return {9 * PT, true};
        case SummaryFont::Text:
            return {9 * PT, false};
        case SummaryFont::Small:
            return {7.5 * PT, false};
    }
    return {9 * PT, false};
}

double LineHeight(SummaryFont font) {
    return FontStyleOf(font).size * 1.25;
}

SummaryPenStyle SummaryPenStyleOf(SummaryPen pen) {
    // Apart in colour and, for greyscale printers, in lightness or dashes.
    switch (pen) {
        case SummaryPen::Frame:
            return {0, 0, 0, 0.25, {}};
        case SummaryPen::Grid:
            return {205, 205, 205, 0.15, {}};
        case SummaryPen::Rule:
            return {120, 120, 120, 0.2, {}};
        case SummaryPen::AirT:
            return {165, 0, 0, 0.4, {}};
        case SummaryPen::Irt:
            return {240, 130, 0, 0.4, {}};
        case SummaryPen::AirV:
            return {0, 70, 200, 0.4, {2.0, 1.0}};
        case SummaryPen::Cfm:
            return {190, 0, 170, 0.4, {3.0, 1.0, 0.6, 1.0}};
        case SummaryPen::Cmm:
            return {0, 140, 60, 0.4, {0.8, 0.8}};
    }
    return {0, 0, 0, 0.25, {}};
}

SummaryPen SummaryTracePen(int channel) {
    constexpr SummaryPen PENS[NUM_CHANNELS] = {SummaryPen::AirT, SummaryPen::Irt, SummaryPen::AirV,
                                               SummaryPen::Cfm, SummaryPen::Cmm};
    return PENS[std::clamp(channel, 0, NUM_CHANNELS - 1)];
}

std::string FitText(const std::string& text, double width, SummaryFont font,
                    const SummaryMeasure& measure) {
    return measure(font, text) <= width ? text : Ellipsized(text, width, font, measure);
}

std::vector<std::string> WrapText(const std::string& text, double width, int maxLines,
                                  SummaryFont font, const SummaryMeasure& measure) {
    std::vector<std::string> words;
    std::string word;
    for (const char ch : text + " ") {
        // Line breaks and tabs of a typed note are blanks on paper.
        if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t') {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        } else {
            word += ch;
        }
    }
    std::vector<std::string> lines;
    if (maxLines < 1) {
        return lines;
    }
    std::string line;
    bool cut = false;
    for (std::size_t w = 0; w < words.size();) {
        const std::string candidate = line.empty() ? words[w] : line + " " + words[w];
        if (measure(font, candidate) <= width) {
            line = candidate;
            ++w;
            continue;
        }
        if (line.empty()) {
            // A word wider than the line is broken where it must be.
            std::size_t n = FittingPrefix(words[w], {}, width, font, measure);
            n = std::max<std::size_t>(n, CharStarts(words[w])[1]);
            line = words[w].substr(0, n);
            words[w].erase(0, n);
        }
        lines.push_back(line);
        line.clear();
        if (static_cast<int>(lines.size()) == maxLines) {
            cut = true;
            break;
        }
    }
    if (cut) {
        lines.back() = Ellipsized(lines.back(), width, font, measure);
    } else if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

SummaryScale NiceScale(double min, double max, int maxSteps) {
    SummaryScale s;
    maxSteps = std::max(maxSteps, 1);
    if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(max - min)) {
        return s;
    }
    if (max <= min) {
        const double pad = min != 0.0 ? std::fabs(min) * 0.05 : 1.0;
        min -= pad;
        max += pad;
    }
    const double raw = (max - min) / maxSteps;
    double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (int guard = 0; guard < 8; ++guard) {
        for (const double m : {1.0, 2.0, 5.0, 10.0}) {
            s.step = m * magnitude;
            // A quotient a rounding off a whole number is that number.
            s.low = std::floor(min / s.step + 1e-9) * s.step;
            s.high = std::ceil(max / s.step - 1e-9) * s.step;
            if (s.step >= raw * (1 - 1e-9) && (s.high - s.low) / s.step <= maxSteps + 1e-9) {
                s.decimals = std::max(0, -int(std::floor(std::log10(s.step) + 1e-9)));
                return s;
            }
        }
        magnitude *= 10.0;
    }
    return s;
}

SummaryLayout LayoutSummary(const SummaryInput& input, const SummaryMeasure& measure) {
    static const StoredRecord EMPTY;
    SummaryInput in = input;
    if (in.record == nullptr) {
        in.record = &EMPTY;
    }
    Builder b(in, measure);
    const SampleSpan whole = WholeRecord(*in.record);
    const SampleSpan span{std::max(in.span.first, whole.first), std::min(in.span.last, whole.last)};
    const SpanStatistics stats = ComputeSpanStatistics(*in.record, span);

    double y = b.Header(SUMMARY_MARGIN);
    y = b.Facts(y + GAP, stats);
    y = b.Table(y + GAP + 1.0, stats);
    const double footerTop =
        in.paper.height - SUMMARY_MARGIN - LineHeight(SummaryFont::Small) - 1.0;
    b.Chart(y + GAP + 2.0, footerTop - GAP, stats);
    b.Footer();
    return std::move(b.out);
}

}  // namespace qf
