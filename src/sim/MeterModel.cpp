#include "sim/MeterModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "store/DisplayUnits.h"
#include "store/QFConstants.h"

namespace qf {

namespace {

constexpr float CFM_PER_FT2_MS = float(FT_MIN_PER_M_S);
constexpr float CMM_PER_M2_MS = float(CMM_PER_M2_M_S);
// The main display has four digits; larger flows move to the X10 and X100 ranges.
constexpr float DISPLAY_LIMIT = 10000.0f;

constexpr std::uint8_t SPEED_D_BITS[] = {flag::D_MS, flag::D_FTMIN, flag::D_KMH, 0, 0};

float ToTempUnit(float celsius, bool fahrenheit) {
    return fahrenheit ? float(ToFahrenheit(celsius)) : celsius;
}

}  // namespace

void CMeterModel::Extremes::Add(float v) {
    if (!valid) {
        max = min = v;
        valid = true;
        return;
    }
    max = std::max(max, v);
    min = std::min(min, v);
}

CMeterModel::CMeterModel(const MeterModelOptions& options) : m_options(options) {
    m_state.batteryLow = options.batteryLow;
    m_state.areaFt2 = std::max(0.0f, options.areaFt2);
    m_state.areaM2 = m_state.areaFt2 * FT2_TO_M2;
    m_shownTop = UPPER_NO_READING;
}

// ---- bytes from the program -------------------------------------------------------

void CMeterModel::Receive(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        Consume(data[i]);
    }
}

void CMeterModel::Consume(std::uint8_t byte) {
    if (m_packet.empty()) {
        if (byte == ACK_BYTE) {
            ++m_counters.acks;
        } else if (byte == 0xFF) {
            m_packet.push_back(byte);
        } else {
            ++m_counters.badBytes;
        }
        return;
    }
    m_packet.push_back(byte);
    const std::size_t n = m_packet.size();
    if ((n == 2 && byte != 0xAA) || (n == 3 && byte != 0x55)) {
        Resync();
        return;
    }
    if (n < COMMAND_SIZE) {
        return;
    }
    CommandPacket packet;
    std::copy(m_packet.begin(), m_packet.end(), packet.begin());
    if (BuildCommand(packet[3], packet[4], packet[5]) != packet) {
        Resync();
        return;
    }
    m_packet.clear();
    Execute(packet);
}

// Drops the first byte of a failed packet and looks for a packet start in the rest.
void CMeterModel::Resync() {
    const std::vector<std::uint8_t> rest(m_packet.begin() + 1, m_packet.end());
    m_packet.clear();
    ++m_counters.badBytes;
    for (const std::uint8_t b : rest) {
        Consume(b);
    }
}

std::string CMeterModel::DescribeCommand(const CommandPacket& packet) {
    if (packet == CMD_START) {
        return "start";
    }
    for (int k = 0; k < METER_KEY_COUNT; ++k) {
        const auto key = static_cast<MeterKey>(k);
        if (packet == KeyPressPacket(key)) {
            return std::string(KeyInfo(key).name) + " press";
        }
        if (const auto dbl = KeyDoubleClickPacket(key); dbl && packet == *dbl) {
            return std::string(KeyInfo(key).name) + " double click";
        }
    }
    static const char HEX[] = "0123456789ABCDEF";
    std::string text = "unknown";
    for (const std::uint8_t b : packet) {
        text += ' ';
        text += HEX[b >> 4];
        text += HEX[b & 15];
    }
    return text;
}

void CMeterModel::Execute(const CommandPacket& packet) {
    m_counters.lastCommand = packet;
    if (packet == CMD_START) {
        ++m_counters.starts;
        if (!m_state.poweredOn && m_options.wakeOnStart) {
            m_state.poweredOn = true;
        }
        if (m_state.poweredOn) {
            m_state.linked = true;
        }
        return;
    }
    for (int k = 0; k < METER_KEY_COUNT; ++k) {
        const auto key = static_cast<MeterKey>(k);
        const bool press = packet == KeyPressPacket(key);
        const auto dbl = KeyDoubleClickPacket(key);
        if (press || (dbl && packet == *dbl)) {
            ++m_counters.keys;
            if (!m_state.poweredOn) {
                return;
            }
            if (press) {
                PressKey(key);
            } else {
                DoubleClickKey(key);
            }
            return;
        }
    }
    ++m_counters.unknownCommands;
}

// ---- keys -------------------------------------------------------------------------

void CMeterModel::PressKey(MeterKey key) {
    MeterState& s = m_state;
    if (!s.poweredOn) {
        if (key == MeterKey::POWER_OFF) {
            PowerOn();
        }
        return;
    }
    if (s.area) {
        // In AREA mode the keys edit the area.
        int& digit = s.areaDigits[std::size_t(s.areaDigit)];
        switch (key) {
            case MeterKey::AREA:
                s.areaDigit = (s.areaDigit + 1) % 4;
                break;
            case MeterKey::MAXMIN_UP:
                digit = (digit + 1) % 10;
                break;
            case MeterKey::MAXMIN_DOWN:
                digit = (digit + 9) % 10;
                break;
            case MeterKey::HOLD_UP:
                s.areaPoint = s.areaPoint % 3 + 1;
                break;
            case MeterKey::UNITS:
                s.areaMetric = !s.areaMetric;
                break;
            case MeterKey::POWER_OFF:
                s.poweredOn = s.linked = false;
                break;
            default:
                break;
        }
        return;
    }
    switch (key) {
        case MeterKey::MAXMIN_UP:
            if (s.maxMinTop == MAXMIN_OFF) {
                m_topExtremes.Reset();
            }
            s.maxMinTop = s.maxMinTop % 3 + 1;  // REC, MAX, MIN, REC ...
            break;
        case MeterKey::MAXMIN_DOWN:
            if (s.maxMinBottom == MAXMIN_OFF) {
                m_bottomExtremes.Reset();
            }
            s.maxMinBottom = s.maxMinBottom % 3 + 1;
            break;
        case MeterKey::AVG:
            s.average = !s.average;
            m_avgSum = 0.0;
            m_avgCount = 0;
            break;
        case MeterKey::HOLD_UP:
            s.holdTop = !s.holdTop;
            break;
        case MeterKey::HOLD_DOWN:
            s.holdBottom = !s.holdBottom;
            break;
        case MeterKey::UNITS:
            // A held or infrared reading keeps its unit.
            if (!s.holdBottom && !s.infrared) {
                CycleUnits();
            }
            break;
        case MeterKey::AREA:
            EnterArea();
            break;
        case MeterKey::POWER_OFF:
            s.poweredOn = s.linked = false;
            break;
        case MeterKey::IRT:
            s.infrared = !s.infrared;
            ResetBottom();
            break;
    }
}

void CMeterModel::PowerOn() {
    MeterState& s = m_state;
    if (s.poweredOn) {
        return;
    }
    // A meter switching on shows live readings: no hold, max/min, average or area entry.
    s.poweredOn = true;
    s.linked = false;
    s.area = false;
    s.holdTop = s.holdBottom = false;
    s.maxMinTop = s.maxMinBottom = MAXMIN_OFF;
    s.average = false;
}

void CMeterModel::DoubleClickKey(MeterKey key) {
    MeterState& s = m_state;
    switch (key) {
        case MeterKey::MAXMIN_UP:
            s.maxMinTop = MAXMIN_OFF;
            break;
        case MeterKey::MAXMIN_DOWN:
            s.maxMinBottom = MAXMIN_OFF;
            break;
        case MeterKey::AVG:
            m_avgSum = 0.0;
            m_avgCount = 0;
            break;
        case MeterKey::HOLD_UP:
            s.backlight = !s.backlight;
            break;
        case MeterKey::UNITS:
            s.fahrenheit = !s.fahrenheit;
            break;
        case MeterKey::AREA:
            if (s.area) {
                LeaveArea();
            }
            break;
        default:
            break;
    }
}

// m/s, ft/min, km/h, MPH, knots, then the flows CFM and CMM, then m/s again.
void CMeterModel::CycleUnits() {
    MeterState& s = m_state;
    if (s.flowUnit == FLOW_CFM) {
        s.flowUnit = FLOW_CMM;
    } else if (s.flowUnit == FLOW_CMM) {
        s.flowUnit = FLOW_NONE;
        s.speedUnit = 0;
    } else if (s.speedUnit + 1 < SPEED_UNIT_COUNT) {
        ++s.speedUnit;
    } else {
        s.flowUnit = FLOW_CFM;
    }
    ResetBottom();
}

// Extremes, average and hold of the main display refer to one quantity in one unit.
void CMeterModel::ResetBottom() {
    m_bottomExtremes.Reset();
    m_avgSum = 0.0;
    m_avgCount = 0;
    m_state.holdBottom = false;
}

void CMeterModel::EnterArea() {
    MeterState& s = m_state;
    s.area = true;
    s.areaDigit = 0;
    AreaToDigits(s.areaMetric ? s.areaM2 : s.areaFt2, s.areaDigits, s.areaPoint);
}

void CMeterModel::LeaveArea() {
    MeterState& s = m_state;
    const float v = DigitsToArea(s.areaDigits, s.areaPoint);
    if (s.areaMetric) {
        s.areaM2 = v;
        s.areaFt2 = v / FT2_TO_M2;
    } else {
        s.areaFt2 = v;
        s.areaM2 = v * FT2_TO_M2;
    }
    s.area = false;
    ResetBottom();
}

// ---- area digits ------------------------------------------------------------------

void CMeterModel::AreaToDigits(float value, std::array<int, 4>& digits, int& point) {
    double v = std::isfinite(value) && value > 0.0f ? value : 0.0;
    v = std::min(v, 999.9);
    point = v < 10.0 ? 1 : (v < 100.0 ? 2 : 3);
    long n = std::lround(v * std::pow(10.0, 4 - point));
    if (n > 9999 && point < 3) {
        ++point;
        n = std::lround(v * std::pow(10.0, 4 - point));
    }
    n = std::min(n, 9999L);
    for (int i = 3; i >= 0; --i) {
        digits[std::size_t(i)] = int(n % 10);
        n /= 10;
    }
}

float CMeterModel::DigitsToArea(const std::array<int, 4>& digits, int point) {
    long n = 0;
    for (int d : digits) {
        n = n * 10 + std::clamp(d, 0, 9);
    }
    return float(double(n) / std::pow(10.0, 4 - std::clamp(point, 1, 3)));
}

float CMeterModel::EncodeAreaDisplay(const std::array<int, 4>& digits, int point) {
    point = std::clamp(point, 1, 3);
    int zeros = 0;
    while (zeros < 4 && digits[std::size_t(zeros)] == 0) {
        ++zeros;
    }
    if (zeros == 4) {
        return -float(point);
    }
    const double x = DigitsToArea(digits, point);
    const double exact = std::round(x * std::pow(10.0, 4 - point)) / std::pow(10.0, 4 - point);
    if (zeros == 3 && point == 1) {
        // "0.00d": the display takes one thousandth off readings from 0.002 up.
        const int d = digits[3];
        return float(3000.0 + (d < 2 ? exact : exact + 0.0007));
    }
    const double code = 1000.0 * zeros;
    // The display compares against its range limits, so never come out below them.
    float m = float(code + exact);
    while (double(m) - code < exact) {
        m = std::nextafter(m, 1e9f);
    }
    return m;
}

// ---- frames -----------------------------------------------------------------------

MeterReadings CMeterModel::ReadingsAt(double t) const {
    const MeterReadings& b = m_options.base;
    const double cycle = m_options.cycleSec > 0.0 ? m_options.cycleSec : 60.0;
    MeterReadings r = b;
    switch (m_options.pattern) {
        case ReadingPattern::Steady:
            break;
        case ReadingPattern::Wave: {
            const double w = 2.0 * std::numbers::pi * t / cycle;
            r.airT = float(b.airT + 2.5 * std::sin(w));
            r.airV = float(std::max(0.0, b.airV * (1.0 + 0.4 * std::sin(w + 1.3))));
            r.irt = float(b.irt + 8.0 * std::sin(w + 2.1));
            break;
        }
        case ReadingPattern::Ramp: {
            const double s = std::fmod(std::max(t, 0.0), cycle) / cycle;
            r.airT = float(AIRT_MIN - 5.0 + (AIRT_MAX - AIRT_MIN + 10.0) * s);
            r.airV = float((AIRV_MAX + 5.0) * s);
            r.irt = float(IRT_MIN - 10.0 + (IRT_MAX - IRT_MIN + 30.0) * s);
            break;
        }
    }
    return r;
}

CMeterModel::MainReading CMeterModel::LiveMain(const MeterReadings& r) const {
    const MeterState& s = m_state;
    MainReading m;
    if (s.infrared) {
        m.value = ToTempUnit(r.irt, s.fahrenheit);
        m.over = r.irt > IRT_MAX;
        m.under = r.irt < IRT_MIN;
        return m;
    }
    if (s.flowUnit == FLOW_CFM) {
        m.value = s.areaFt2 * r.airV * CFM_PER_FT2_MS;
    } else if (s.flowUnit == FLOW_CMM) {
        m.value = s.areaM2 * r.airV * CMM_PER_M2_MS;
    } else {
        m.value = r.airV * SPEED_UNITS[std::clamp(s.speedUnit, 0, SPEED_UNIT_COUNT - 1)].factor;
    }
    m.over = r.airV > AIRV_MAX;
    return m;
}

LiveFrameBytes CMeterModel::NextFrame(double t) {
    const MeterState& s = m_state;
    const MeterReadings r = ReadingsAt(t);
    LiveFrameFields f;
    f.airT = r.airT;
    f.airV = r.airV;
    f.irt = r.irt > IRT_MAX ? IRT_OVER_RANGE : (r.irt < IRT_MIN ? IRT_UNDER_RANGE : r.irt);
    f.areaFt2 = s.areaFt2;
    f.areaM2 = s.areaM2;
    f.upper2 = -1.0f;

    // Upper display: air temperature, with its own max/min and hold.
    const bool airTValid = r.airT >= AIRT_MIN && r.airT <= AIRT_MAX;
    float top = airTValid ? r.airT : UPPER_NO_READING;
    if (s.maxMinTop != MAXMIN_OFF && airTValid) {
        m_topExtremes.Add(r.airT);
    }
    if (m_topExtremes.valid && s.maxMinTop == MAXMIN_MAX) {
        top = m_topExtremes.max;
    } else if (m_topExtremes.valid && s.maxMinTop == MAXMIN_MIN) {
        top = m_topExtremes.min;
    }
    if (s.holdTop) {
        top = m_shownTop;
    }
    m_shownTop = top;
    f.upper = top == UPPER_NO_READING ? top : ToTempUnit(top, s.fahrenheit);

    // Main display: live, averaged, an extreme, or held.
    const MainReading live = LiveMain(r);
    const bool liveInRange = !live.over && !live.under;
    MainReading shown = live;
    if (s.average) {
        if (liveInRange) {
            m_avgSum += live.value;
            ++m_avgCount;
        }
        if (m_avgCount > 0) {
            shown = MainReading{float(m_avgSum / m_avgCount), false, false};
        }
        f.upper2 = float(m_avgCount);
    }
    if (s.maxMinBottom != MAXMIN_OFF && liveInRange) {
        m_bottomExtremes.Add(live.value);
    }
    if (m_bottomExtremes.valid && s.maxMinBottom == MAXMIN_MAX) {
        shown = MainReading{m_bottomExtremes.max, false, false};
    } else if (m_bottomExtremes.valid && s.maxMinBottom == MAXMIN_MIN) {
        shown = MainReading{m_bottomExtremes.min, false, false};
    }
    if (s.holdBottom) {
        shown = m_shownBottom;
    }
    m_shownBottom = shown;

    const bool flow = s.flowUnit != FLOW_NONE && !s.infrared;
    const bool velocity = s.flowUnit == FLOW_NONE && !s.infrared;
    f.main = shown.value;
    std::uint8_t range = 0;
    bool over = shown.over;
    if (flow) {
        if (f.main >= DISPLAY_LIMIT * 10.0f) {
            f.main /= 100.0f;
            range = flag::C_X100;
        } else if (f.main >= DISPLAY_LIMIT) {
            f.main /= 10.0f;
            range = flag::C_X10;
        }
        over = over || f.main >= DISPLAY_LIMIT;
    }

    f.a = (s.fahrenheit ? flag::A_FAHRENHEIT : flag::A_CELSIUS) |
          (s.backlight ? flag::A_BACKLIGHT : 0) |
          (s.maxMinTop != MAXMIN_OFF ? flag::A_REC_TOP : 0) |
          (s.maxMinTop == MAXMIN_MAX ? flag::A_MAX_TOP : 0);
    f.b = (s.maxMinBottom != MAXMIN_OFF ? flag::B_REC_BOTTOM : 0) |
          (s.maxMinBottom == MAXMIN_MAX ? flag::B_MAX_BOTTOM : 0) |
          (s.maxMinBottom == MAXMIN_MIN ? flag::B_MIN_BOTTOM : 0) |
          (s.holdBottom ? flag::B_HOLD_BOTTOM : 0) | (s.infrared ? flag::B_IRTEMP : 0);
    f.c = flag::C_PCLINK | (s.average ? flag::C_AVG : 0) | (s.speedUnit == 4 ? flag::C_KNOTS : 0);
    f.d = SPEED_D_BITS[std::clamp(s.speedUnit, 0, SPEED_UNIT_COUNT - 1)];
    f.e = (s.maxMinTop == MAXMIN_MIN ? flag::E_MIN_TOP : 0) | (s.holdTop ? flag::E_HOLD_TOP : 0) |
          (s.batteryLow ? flag::E_BATTERY_LOW : 0) | (s.speedUnit == 3 ? flag::E_MPH : 0);

    if (s.area) {
        f.c |= flag::C_AREA;
        f.d |= s.areaMetric ? flag::D_UNIT_M : flag::D_UNIT_FT;
        f.main = EncodeAreaDisplay(s.areaDigits, s.areaPoint);
        f.areaCode = std::uint8_t(s.areaDigit);
        return BuildLiveFrame(f);
    }
    if (s.infrared) {
        f.c |= s.fahrenheit ? 0 : flag::C_IR_CELSIUS;
        f.d |= s.fahrenheit ? flag::D_IR_FAHRENHEIT : 0;
    }
    if (velocity) {
        f.b |= flag::B_VEL;
    }
    if (flow) {
        f.b |= flag::B_FLOW;
        f.c |= range;
        f.d |= s.flowUnit == FLOW_CFM ? flag::D_UNIT_CFM : flag::D_UNIT_CMM;
    }
    if (over) {
        f.e |= flag::E_OVER;
    } else if (shown.under) {
        f.e |= flag::E_UNDER;
    }
    return BuildLiveFrame(f);
}

}  // namespace qf
