#include "SpanArgs.h"

#include <cstdio>

#include "analysis/SpanTime.h"

namespace qftool {

bool ParseSpanArgs(const char* command, const Args& args, SpanArgs& out) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool option = a == "--format" || a == "--from" || a == "--to";
        if (!option) {
            // "-" names standard output; any other dash is an option we do not know.
            if (a.size() > 1 && a[0] == '-') {
                std::fprintf(stderr, "%s: unknown option '%s'\n", command, a.c_str());
                return false;
            }
            out.files.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) {
            std::fprintf(stderr, "%s: %s needs a value\n", command, a.c_str());
            return false;
        }
        const std::string& value = args[++i];
        if (a == "--format") {
            out.format = value;
            continue;
        }
        const std::optional<long long> t = qf::ParseSpanTime(value);
        if (!t) {
            std::fprintf(stderr, "%s: %s '%s' is not seconds, M:SS or H:MM:SS\n", command,
                         a.c_str(), value.c_str());
            return false;
        }
        (a == "--from" ? out.from : out.to.emplace()) = *t;
        out.spanGiven = true;
    }
    return true;
}

bool ChooseSpan(const char* command, const qf::StoredRecord& record, const SpanArgs& args,
                qf::SampleSpan& span) {
    if (!args.spanGiven) {
        span = qf::WholeRecord(record);  // an empty recording is an empty span, no error
        return true;
    }
    const qf::SpanChoice choice = qf::SpanOfSeconds(record, args.from, args.to);
    if (!choice.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", command, choice.error.c_str());
        return false;
    }
    span = choice.span;
    return true;
}

}  // namespace qftool
