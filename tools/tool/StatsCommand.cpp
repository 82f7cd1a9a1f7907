// stats FILE [--from T] [--to T] [--format text|json]: count, minimum, maximum and mean of
// each channel over a span of a data file, in its display units.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>

#include "Json.h"
#include "SpanArgs.h"
#include "ToolCommands.h"
#include "analysis/SpanTime.h"
#include "store/DataFile.h"

namespace qftool {

namespace {

constexpr char USAGE[] = "stats: usage: stats FILE [--from T] [--to T] [--format text|json]\n";

// Full precision: the shortest text that reads back as the same double.
std::string ShortestNumber(double v) {
    char text[32];
    const auto res = std::to_chars(text, text + sizeof text, v);
    return std::string(text, res.ptr);
}

std::string TimeOrNull(const qf::StoredRecord& r, int index) {
    return index < 0 ? "null" : JsonString(qf::IsoLocalTime(qf::SampleTime(r, index)));
}

std::string Json(const std::string& file, const qf::StoredRecord& r,
                 const qf::SpanStatistics& stats) {
    const qf::SampleSpan span = stats.span;
    const bool empty = span.Size() == 0;
    std::string channels;
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        const qf::ChannelStatistics& s = stats.channels[std::size_t(c)];
        const bool numbers = s.valid > 0;
        const auto number = [&](double v) { return numbers ? ShortestNumber(v) : "null"; };
        JsonObject o;
        o.Str("name", qf::CHANNEL_NAMES[c])
            .Str("unit", qf::ChannelUnitText(c, r))
            .Int("valid", s.valid)
            .Raw("min", number(s.min))
            .Raw("max", number(s.max))
            .Raw("mean", number(s.mean))
            .Raw("min_time", TimeOrNull(r, numbers ? s.minIndex : -1))
            .Raw("max_time", TimeOrNull(r, numbers ? s.maxIndex : -1));
        channels += (c > 0 ? "," : "") + o.Text();
    }
    JsonObject o;
    o.Str("file", file)
        .Raw("start", TimeOrNull(r, empty ? -1 : span.first))
        .Raw("end", TimeOrNull(r, empty ? -1 : span.last))
        .Int("interval_s", r.intervalSec)
        .Int("samples", span.Size())
        .Raw("channels", "[" + channels + "]");
    return o.Text() + "\n";
}

// An aligned table for a person: the meter's resolution, units, "-" for no numbers.
std::string Table(const std::string& file, const qf::StoredRecord& r,
                  const qf::SpanStatistics& stats) {
    const qf::SampleSpan span = stats.span;
    std::string out = "file: " + file + "\n";
    if (span.Size() > 0) {
        out += "span: " + qf::IsoLocalTime(qf::SampleTime(r, span.first)) + " to " +
               qf::IsoLocalTime(qf::SampleTime(r, span.last)) + ", ";
    } else {
        out += "span: ";
    }
    out +=
        std::to_string(span.Size()) + " samples, " + std::to_string(r.intervalSec) + " s apart\n";
    std::vector<std::vector<std::string>> rows = {
        {"channel", "valid", "min", "max", "mean", "min time", "max time"}};
    for (const qf::ChannelStatisticsTexts& t : qf::StatisticsTexts(stats, r)) {
        const auto shown = [](const std::string& text) { return text.empty() ? "-" : text; };
        rows.push_back({t.name, t.valid, shown(t.min), shown(t.max), shown(t.mean),
                        shown(t.minTime), shown(t.maxTime)});
    }
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            widths[k] = std::max(widths[k], row[k].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t k = 0; k < row.size(); ++k) {
            // Names left, numbers right; the last column needs no padding.
            const std::string pad(widths[k] - row[k].size(), ' ');
            line += k == 0 ? row[k] + pad : pad + row[k];
            line += k + 1 < row.size() ? "  " : "";
        }
        out += line + "\n";
    }
    return out;
}

}  // namespace

int RunStats(const Args& args) {
    SpanArgs a;
    if (!ParseSpanArgs("stats", args, a)) {
        return EXIT_USAGE;
    }
    const bool json = a.format == "json";
    if (a.files.size() != 1 || a.files[0].empty() || a.files[0] == "-" ||
        !(json || a.format.empty() || a.format == "text")) {
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }
    auto doc = std::make_unique<qf::CQFDoc>();
    qf::FileViewState view;
    if (const int rc = LoadDataFileOrRefuse("stats", a.files[0], *doc, view); rc != EXIT_OK) {
        return rc;
    }
    const qf::StoredRecord& r = doc->m_file;
    qf::SampleSpan span;
    if (!ChooseSpan("stats", r, a, span)) {
        return EXIT_USAGE;
    }
    const qf::SpanStatistics stats = qf::ComputeSpanStatistics(r, span);
    const std::string text = json ? Json(a.files[0], r, stats) : Table(a.files[0], r, stats);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return EXIT_OK;
}

}  // namespace qftool
