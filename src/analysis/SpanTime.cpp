#include "analysis/SpanTime.h"

#include <algorithm>
#include <charconv>
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
    // By hand rather than strftime: a CSV asks for one per row.
    char text[48];
    char* p = text;
    const auto put = [&p](long long v, int width) {
        char digits[24];
        const auto res = std::to_chars(digits, digits + sizeof digits, v < 0 ? -v : v);
        const long n = res.ptr - digits;
        if (v < 0) {
            *p++ = '-';
        }
        for (long k = n; k < width; ++k) {
            *p++ = '0';
        }
        p = std::copy(digits, res.ptr, p);
    };
    const long offset = local.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    put(local.tm_year + 1900LL, 4);
    *p++ = '-';
    put(local.tm_mon + 1, 2);
    *p++ = '-';
    put(local.tm_mday, 2);
    *p++ = 'T';
    put(local.tm_hour, 2);
    *p++ = ':';
    put(local.tm_min, 2);
    *p++ = ':';
    put(local.tm_sec, 2);
    *p++ = offset < 0 ? '-' : '+';
    put(minutes / 60, 2);
    *p++ = ':';
    put(minutes % 60, 2);
    return std::string(text, p);
}

}  // namespace qf
