// The options the span commands share: positional arguments, --format, --from and --to.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ToolCommands.h"
#include "analysis/SpanStatistics.h"

namespace qftool {

struct SpanArgs {
    std::vector<std::string> files;  // the positional arguments
    std::string format;              // empty when not given
    long long from = 0;
    std::optional<long long> to;
    bool spanGiven = false;  // --from or --to
};

// False, with one line on standard error, for an unknown option, a missing value or a
// time that is not seconds, M:SS or H:MM:SS.
bool ParseSpanArgs(const char* command, const Args& args, SpanArgs& out);

// The samples of the record the span holds, the whole record without --from and --to;
// false, with one line on standard error, for a given span that holds none.
bool ChooseSpan(const char* command, const qf::StoredRecord& record, const SpanArgs& args,
                qf::SampleSpan& span);

}  // namespace qftool
