// decode: hands each input line, as one receive chunk, to the program's own decoder and
// prints the resulting state as one JSON object.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "Json.h"
#include "ToolCommands.h"
#include "link/HexLine.h"
#include "store/CQFDoc.h"
#include "store/ValueText.h"
#include "view/LiveModel.h"

namespace qftool {

namespace {

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

    std::ifstream fileIn;
    std::istream* in = &std::cin;
    if (!file.empty() && file != "-") {
        fileIn.open(file, std::ios::binary);
        if (!fileIn) {
            std::fprintf(stderr, "decode: cannot open '%s'\n", file.c_str());
            return EXIT_REFUSED;
        }
        in = &fileIn;
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
    while (std::getline(*in, line)) {
        ++lineNo;
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
        static constexpr const char* CHANNEL_NAMES[qf::NUM_CHANNELS] = {"AirT", "IRT", "AirV",
                                                                        "CFM", "CMM"};
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            samples.Num(CHANNEL_NAMES[c], doc->m_liveSamples[c][0]);
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
