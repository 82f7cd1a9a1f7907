// The lines above the logger graph: the legend of the shown traces and the read-out of
// the sample under the cursor, with their places relative to the plot's left edge.
#pragma once

#include <array>
#include <string>

#include "graph/LoggerGraph.h"
#include "live/GraphDisplayState.h"

namespace qf {

inline constexpr int LEGEND_TEXT_Y = 40;
inline constexpr int LEGEND_LINE_Y = 60;  // two pixels high
inline constexpr int READOUT_Y = 70;
inline constexpr int READOUT_CLEAR_HEIGHT = 20;
inline constexpr char READOUT_MISSING[] = "------";

struct LegendPlace {
    int channel;
    const char* name;
    int textX;
    int lineFrom;
    int lineTo;
};

inline constexpr LegendPlace LEGEND_PLACES[NUM_CHANNELS] = {
    {CH_AIRT, "AirT", 40, 20, 80},    {CH_IRT, "IRT", 160, 140, 200},
    {CH_AIRV, "AirV", 280, 260, 320}, {CH_CFM, "CFM", 400, 380, 440},
    {CH_CMM, "CMM", 520, 500, 560},
};

enum class ReadoutUnit { None, Temperature, Speed };

struct ReadoutPlace {
    int channel;
    int clearX;
    int clearWidth;
    int valueX;
    int atX;
    int timeX;
    ReadoutUnit unit;
};

inline constexpr ReadoutPlace READOUT_PLACES[NUM_CHANNELS] = {
    {CH_AIRT, 0, 50, 0, 50, 62, ReadoutUnit::Temperature},
    {CH_IRT, 120, 50, 120, 170, 182, ReadoutUnit::Temperature},
    {CH_AIRV, 240, 53, 240, 293, 305, ReadoutUnit::Speed},
    {CH_CFM, 360, 50, 370, 410, 422, ReadoutUnit::None},
    {CH_CMM, 480, 50, 490, 530, 542, ReadoutUnit::None},
};

// The read-out, kept for the whole program run: every repaint shows the last one.
struct LoggerSession : TraceFlags {
    std::array<std::string, NUM_CHANNELS> m_strReadout;
    std::string m_strReadoutTime;  // empty until the first read-out
};

// The texts of sample `sample` of the current record: temperatures in its unit (a unit
// other than Fahrenheit reads as the stored Celsius), IRT and converted AirV cut at their
// last digit, flows by their size, "----" for a missing reading; the time of the sample.
void ReadOut(const LoggerRecordView& record, int sample, LoggerSession& session);

// No read-out: the line above the graph shows none until the next one.
void ClearReadout(LoggerSession& session);

// What the read-out line shows for one channel: the value with its unit, or
// READOUT_MISSING for a missing reading.
std::string ReadoutShown(const std::string& value, const std::string& unit);

}  // namespace qf
