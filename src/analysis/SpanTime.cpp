#include "analysis/SpanTime.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace qf {

namespace {

int UsableCount(const StoredRecord& r) {
    return std::clamp(r.count, 0, static_cast<int>(r.samples.size()));
}

// Far beyond any recording, and no product below overflows.
constexpr long long MAX_SPAN_SECONDS = 1'000'000'000'000LL;

std::optional<long long> Digits(std::string_view text) {
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < 0 ||
        v > MAX_SPAN_SECONDS) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::optional<long long> ParseSpanTime(std::string_view text) {
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return std::nullopt;
    }
    long long total = 0;
    std::size_t parts = 0;
    while (true) {
        const std::size_t colon = text.find(':');
        const std::string_view part = text.substr(0, colon);
        const std::optional<long long> v = Digits(part);
        if (!v || ++parts > 3 || (parts > 1 && (part.size() != 2 || *v >= 60))) {
            return std::nullopt;
        }
        total = total * 60 + *v;
        if (total > MAX_SPAN_SECONDS) {
            return std::nullopt;
        }
        if (colon == std::string_view::npos) {
            return total;
        }
        text.remove_prefix(colon + 1);
    }
}

SpanChoice SpanOfSeconds(const StoredRecord& record, long long from, std::optional<long long> to) {
    const int n = UsableCount(record);
    if (n == 0) {
        return {{}, "the recording holds no samples"};
    }
    if (to && from > *to) {
        return {{}, "the span starts after it ends"};
    }
    const long long interval = record.intervalSec;
    const long long end = ElapsedSeconds(record, n - 1);
    if (from > std::max(end, 0LL)) {
        return {
            {},
            "the span starts after the recording's last sample at " + std::to_string(end) + " s"};
    }
    if (interval <= 0) {
        // Every sample at the start: the span holds all of them.
        return {{0, n - 1}, {}};
    }
    const long long first = (from + interval - 1) / interval;
    const long long last = to ? std::min<long long>(n - 1, *to / interval) : n - 1;
    if (first > last) {
        return {{}, "no sample lies in the span"};
    }
    return {{static_cast<int>(first), static_cast<int>(last)}, {}};
}

long long ElapsedSeconds(const StoredRecord& record, int i) {
    return static_cast<long long>(i) * record.intervalSec;
}

std::time_t SampleTime(const StoredRecord& record, int i) {
    return record.start + static_cast<std::time_t>(ElapsedSeconds(record, i));
}

std::string IsoLocalTime(std::time_t t) {
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
    char text[64];
    std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    const long offset = local.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    const int k = std::snprintf(text + n, sizeof text - n, "%c%02ld:%02ld", offset < 0 ? '-' : '+',
                                minutes / 60, minutes % 60);
    n += k > 0 ? std::size_t(k) : 0;
    return std::string(text, std::min(n, sizeof text - 1));
}

}  // namespace qf
