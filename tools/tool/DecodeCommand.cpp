// decode: hands each input line, as one receive chunk, to the program's own decoder and
// prints the resulting state as one JSON object.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include "Json.h"
#include "ToolCommands.h"
#include "link/HexLine.h"
#include "store/CQFDoc.h"
#include "store/QFConstants.h"
#include "store/ValueText.h"
#include "live/LiveModel.h"

namespace qftool {

namespace {

// Far above any chunk the serial layer hands over: a frame is 49 bytes, and at 4800 baud
// a whole second brings 480.
constexpr std::size_t MAX_LINE = 1 << 20;

enum class LineRead { Line, End, TooLong, Failed };

// One line without its '\n'. A read error is never taken for the end of the input.
LineRead ReadLine(std::FILE* in, std::string& line) {
    line.clear();
    int c;
    while ((c = std::getc(in)) != EOF) {
        if (c == '\n') {
            return LineRead::Line;
        }
        if (line.size() == MAX_LINE) {
            return LineRead::TooLong;
        }
        line.push_back(static_cast<char>(c));
    }
    if (std::ferror(in)) {
        return LineRead::Failed;
    }
    return line.empty() ? LineRead::End : LineRead::Line;
}

bool ParseLimits(const std::string& text, std::array<std::string, 3>& hi,
                 std::array<std::string, 3>& low) {
    std::vector<std::string> parts;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ',')) {
        parts.push_back(part);
    }
    if (parts.size() != 6) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        hi[i] = parts[i];
        low[i] = parts[i + 3];
    }
    return true;
}

std::string StrArray(const std::string (&texts)[3]) {
    std::string out(1, '[');
    out.append(JsonString(texts[0])).append(1, ',').append(JsonString(texts[1]));
    out.append(1, ',').append(JsonString(texts[2])).append(1, ']');
    return out;
}

std::string IntArray(const std::array<bool, 3>& flags) {
    return qf::Format("[%d,%d,%d]", int(flags[0]), int(flags[1]), int(flags[2]));
}

}  // namespace

int RunDecode(const Args& args) {
    std::string file;
    std::array<std::string, 3> hi, low;
    bool haveLimits = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--limits") {
            if (i + 1 >= args.size() || !ParseLimits(args[i + 1], hi, low)) {
                std::fprintf(stderr, "decode: --limits needs HI1,HI2,HI3,LOW1,LOW2,LOW3\n");
                return EXIT_USAGE;
            }
            haveLimits = true;
            ++i;
        } else if (file.empty() && (args[i] == "-" || args[i].rfind("-", 0) != 0)) {
            file = args[i];
        } else {
            std::fprintf(stderr, "decode: unexpected argument '%s'\n", args[i].c_str());
            return EXIT_USAGE;
        }
    }

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> fileIn(nullptr, &std::fclose);
    std::FILE* in = stdin;
    const bool fromFile = !file.empty() && file != "-";
    if (fromFile) {
        fileIn.reset(std::fopen(file.c_str(), "rb"));
        if (!fileIn) {
            std::fprintf(stderr, "decode: cannot open '%s': %s\n", file.c_str(),
                         std::strerror(errno));
            return EXIT_REFUSED;
        }
        in = fileIn.get();
    }

    // One persistent state, as at program start.
    auto doc = std::make_unique<qf::CQFDoc>();
    qf::CLiveModel live(*doc);
    if (haveLimits) {
        live.Readings().LoadLimits(hi, low);
    }
    const auto& panel = live.Panel();
    const auto& readings = live.Readings();

    std::string line;
    std::vector<std::uint8_t> bytes;
    long lineNo = 0;
    // Stops early when standard output fails; the caller reports it.
    while (!std::ferror(stdout)) {
        const LineRead read = ReadLine(in, line);
        if (read == LineRead::End) {
            break;
        }
        if (read == LineRead::Failed) {
            std::fprintf(stderr, "decode: cannot read %s: %s\n",
                         fromFile ? ("'" + file + "'").c_str() : "standard input",
                         std::strerror(errno));
            return EXIT_REFUSED;
        }
        ++lineNo;
        if (read == LineRead::TooLong) {
            std::fprintf(stderr, "decode: line %ld is longer than %zu characters\n", lineNo,
                         MAX_LINE);
            return EXIT_REFUSED;
        }
        if (!line.empty() && line[0] == '#') {
            continue;
        }
        if (!qf::ParseHexLine(line, bytes)) {
            std::fprintf(stderr, "decode: line %ld is not hex byte pairs\n", lineNo);
            return EXIT_REFUSED;
        }
        const qf::DecodeOutcome out =
            live.OnReceive(bytes.data(), bytes.size(), std::time(nullptr));

        const auto& u = live.Units();
        JsonObject samples;
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            samples.Num(qf::CHANNEL_NAMES[std::size_t(c)], doc->m_liveSamples[c][0]);
        }
        JsonObject lcd;
        for (int s = 0; s < qf::LCD_SLOT_COUNT; ++s) {
            lcd.Str(qf::LcdSlotName(s), panel.m_strSlot[s]);
        }
        JsonObject obj;
        obj.Bool("valid", out.valid)
            .Int("tempUnit", u.m_nTempUnit)
            .Str("tempUnitText", u.m_strTempUnit)
            .Int("speedUnit", u.m_nSpeedUnit)
            .Str("speedUnitText", u.m_strSpeedUnit)
            .Num("speedFactor", u.m_fSpeedFactor)
            .Raw("samples", samples.Text())
            .Raw("lcd", lcd.Text())
            .Int("areaCode", panel.m_nAreaCode)
            .Int("backlight", panel.m_bBacklight ? 1 : 0)
            .Str("battery", panel.m_strBattery)
            .Raw("maxText", StrArray(readings.m_strMaxText))
            .Raw("minText", StrArray(readings.m_strMinText))
            .Raw("alarmHi", IntArray(readings.m_bAlarmHi))
            .Raw("alarmLow", IntArray(readings.m_bAlarmLow));
        std::fputs(obj.Text().c_str(), stdout);
        std::fputc('\n', stdout);
    }
    return EXIT_OK;
}

}  // namespace qftool
