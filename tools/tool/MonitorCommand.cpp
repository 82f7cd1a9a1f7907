// monitor --port DEV [--format jsonl|csv] [--count N]: talks to the meter as the program
// does and prints one line per valid frame: the time, the five readings in the frame's
// display units, the unit texts and the main display text.
#include <cmath>
#include <cstdio>
#include <memory>

#include "Json.h"
#include "LiveSession.h"
#include "ToolCommands.h"
#include "common/WholeNumber.h"
#include "store/CQFDoc.h"
#include "store/QFConstants.h"

namespace qftool {

namespace {

constexpr const char* TEXT_NAMES[4] = {"tempUnitText", "speedUnitText", "mainText", "mainUnitText"};

// Sample `slot` in the units the meter shows; empty where it holds no value.
std::array<std::string, qf::NUM_CHANNELS> Readings(const qf::CLiveModel& live, int slot) {
    const qf::CQFDoc& doc = live.Doc();
    const qf::DisplayUnits& u = live.Units();
    std::array<std::string, qf::NUM_CHANNELS> out;
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        const float v = doc.m_liveSamples[c][slot];
        const bool temperature = c == qf::CH_AIRT || c == qf::CH_IRT;
        if (!std::isfinite(v) || (temperature ? qf::IsMissingTemperature(v) : v < 0.0f)) {
            continue;
        }
        double shown = v;
        if (temperature && u.m_nTempUnit == 1) {
            shown = qf::ToFahrenheit(v);
        } else if (c == qf::CH_AIRV) {
            shown = double(v) * double(u.m_fSpeedFactor);
        }
        // Single precision, as the meter measures: 20 C shows as 68 F, not 67.9999996.
        out[std::size_t(c)] = ShortestNumber(static_cast<float>(shown));
    }
    return out;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (const char ch : text) {
        out += ch;
        if (ch == '"') {
            out += '"';
        }
    }
    return out + '"';
}

std::string FrameLine(bool csv, const std::string& time, const qf::CLiveModel& live) {
    const auto readings = Readings(live, live.Recording().m_nSampleIndex);
    const auto& slot = live.Panel().m_strSlot;
    const std::string texts[4] = {live.Units().m_strTempUnit, live.Units().m_strSpeedUnit,
                                  slot[qf::LCD_MAIN_VALUE], slot[qf::LCD_MAIN_UNIT]};
    if (csv) {
        std::string line = time;
        for (const std::string& r : readings) {
            line += ',' + r;
        }
        for (const std::string& t : texts) {
            line += ',' + CsvField(t);
        }
        return line;
    }
    JsonObject obj;
    obj.Str("time", time);
    for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
        const std::string& r = readings[std::size_t(c)];
        obj.Raw(qf::CHANNEL_NAMES[std::size_t(c)], r.empty() ? "null" : r);
    }
    for (int i = 0; i < 4; ++i) {
        obj.Str(TEXT_NAMES[i], texts[i]);
    }
    return obj.Text();
}

}  // namespace

int RunMonitor(const Args& args) {
    std::string port;
    bool csv = false;
    long long count = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--port" && hasValue) {
            port = args[++i];
        } else if (a == "--format" && hasValue &&
                   (args[i + 1] == "jsonl" || args[i + 1] == "csv")) {
            csv = args[++i] == "csv";
        } else if (const auto n = hasValue && a == "--count"
                                      ? ParseWholeNumber(args[i + 1], 1, 1LL << 40)
                                      : std::nullopt) {
            count = *n;
            ++i;
        } else {
            std::fprintf(stderr,
                         "monitor: usage: monitor --port DEV [--format jsonl|csv] "
                         "[--count N]\n");
            return EXIT_USAGE;
        }
    }
    std::string problem;
    const std::string device = PortArgDevice(port, &problem);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", "monitor", problem.c_str());
        return EXIT_REFUSED;
    }
    if (device.empty()) {
        std::fprintf(stderr, "monitor: --port needs a device or a port name COM1, COM2, ...\n");
        return EXIT_USAGE;
    }

    auto doc = std::make_unique<qf::CQFDoc>();
    qf::CLiveModel live(*doc);
    CLiveSession session("monitor", device, live);
    long long printed = 0;
    session.OnFrame([&](const qf::DecodeOutcome& outcome, auto when) {
        // The rest of a batch of frames read together still comes after the last line.
        if (!outcome.valid || (count > 0 && printed >= count)) {
            return;
        }
        const std::string line = FrameLine(csv, IsoTime(when), live);
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
        // Each line as it comes: the reader is often another program.
        std::fflush(stdout);
        if (count > 0 && ++printed >= count) {
            session.Quit(EXIT_OK);
        }
    });
    if (!session.Start()) {
        return EXIT_REFUSED;
    }
    if (csv) {
        std::string header = "time";
        for (const char* name : qf::CHANNEL_NAMES) {
            header += std::string(",") + name;
        }
        for (const char* name : TEXT_NAMES) {
            header += std::string(",") + name;
        }
        std::printf("%s\n", header.c_str());
        std::fflush(stdout);
    }
    return session.Exec();
}

}  // namespace qftool
