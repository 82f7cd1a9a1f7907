#include "link/LiveReading.h"

#include <bit>
#include <cfloat>
#include <cmath>

#include "link/LiveFrame.h"
#include "store/ByteOrder.h"
#include "store/QFConstants.h"
#include "store/ValueText.h"

namespace qf {

namespace {

// Readings that are not numbers (a corrupted frame) are stored as missing, so that no
// later computation sees them.
float Reading(const std::uint8_t* f, std::size_t offset) {
    const float v = ReadFloatLE(f + offset);
    return std::isfinite(v) ? v : NO_VALUE;
}

// A double result stored as float; missing when it is not a number or does not fit.
float StoreFlow(double v) {
    return std::fabs(v) <= double(FLT_MAX) ? static_cast<float>(v) : NO_VALUE;
}

// Flow is kept to the digits the meter shows, cut toward zero.
float QuantiseFlow(float stored) {
    double v = stored;
    if (v >= 0.0 && v < 10.0) {
        v = CutToDigits(v, 3);
    }
    if (v >= 10.0 && v < 100.0) {
        v = CutToDigits(v, 2);
    }
    if (v >= 100.0 && v < 1000.0) {
        v = CutToDigits(v, 1);
    }
    if (v >= 1000.0) {
        v = CutToDigits(v, 0);
    }
    return StoreFlow(v);
}

bool SameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

}  // namespace

bool LiveReading::Infrared() const {
    return (c & flag::C_IR_CELSIUS) || (d & flag::D_IR_FAHRENHEIT);
}

bool LiveReading::Area() const {
    return c & flag::C_AREA;
}

bool LiveReading::Flow() const {
    return d & (flag::D_UNIT_CFM | flag::D_UNIT_CMM);
}

LiveReading DecodeReading(const std::uint8_t* f, std::uint8_t& irtSettle) {
    LiveReading r;
    r.a = f[OFS_FLAG_A];
    r.b = f[OFS_FLAG_B];
    r.c = f[OFS_FLAG_C];
    r.d = f[OFS_FLAG_D];
    r.e = f[OFS_FLAG_E];
    r.upper = ReadFloatLE(f + OFS_UPPER);
    r.upper2 = ReadFloatLE(f + OFS_UPPER2);
    r.main = ReadFloatLE(f + OFS_MAIN);
    r.areaCode = f[OFS_AREA_CODE];
    const bool infrared = r.Infrared();

    r.airT = infrared ? NO_VALUE : Reading(f, OFS_AIRT);

    const float irtRaw = ReadFloatLE(f + OFS_IRT);
    r.irt = std::isfinite(irtRaw) ? irtRaw : NO_VALUE;
    if (SameBits(irtRaw, IRT_OVER_RANGE)) {
        r.irt = IRT_STORED_OVER;
    } else if (SameBits(irtRaw, IRT_UNDER_RANGE)) {
        r.irt = IRT_STORED_UNDER;
    }
    if (r.irt < -100.0f) {
        irtSettle = 0;
    }
    if (r.irt > -100.0f && irtSettle < IRT_SETTLED) {
        r.irt = NO_VALUE;
        ++irtSettle;
    }

    r.airV = infrared ? NO_VALUE : Reading(f, OFS_AIRV);

    // The second upper number replaces the IRT reading on the display.
    if (r.upper2 >= 0.0f) {
        r.irt = NO_VALUE;
    }
    if (r.upper == UPPER_NO_READING) {
        r.airT = NO_VALUE;
        r.airV = NO_VALUE;
    }

    if (r.airT < -100.0f)
        r.airT = NO_VALUE;
    if (r.irt < -100.0f)
        r.irt = NO_VALUE;
    if (r.airV < 0.0f)
        r.airV = NO_VALUE;
    r.cfm = NO_VALUE;
    r.cmm = NO_VALUE;
    if (r.airV >= 0.0f) {
        r.cfm = StoreFlow(double(ReadFloatLE(f + OFS_AREA_FT2)) * r.airV * FT_MIN_PER_M_S);
        r.cmm = StoreFlow(double(ReadFloatLE(f + OFS_AREA_M2)) * r.airV * CMM_PER_M2_M_S);
    }
    r.cfm = QuantiseFlow(r.cfm);
    r.cmm = QuantiseFlow(r.cmm);
    return r;
}

void ApplyFrameUnits(const LiveReading& r, DisplayUnits& units) {
    if ((r.a & flag::A_FAHRENHEIT) || (r.d & flag::D_IR_FAHRENHEIT)) {
        units.m_nTempUnit = 1;
        units.m_strTempUnit = "F";
    }
    if ((r.a & flag::A_CELSIUS) || (r.c & flag::C_IR_CELSIUS)) {
        units.m_nTempUnit = 0;
        units.m_strTempUnit = "C";
    }
    if (r.d & flag::D_MS)
        units.SetSpeedUnit(SPEED_UNITS[0]);
    if (r.d & flag::D_FTMIN)
        units.SetSpeedUnit(SPEED_UNITS[1]);
    if (r.d & flag::D_KMH)
        units.SetSpeedUnit(SPEED_UNITS[2]);
    if (r.e & flag::E_MPH)
        units.SetSpeedUnit(SPEED_UNITS[3]);
    if (r.c & flag::C_KNOTS)
        units.SetSpeedUnit(SPEED_UNITS[4]);
    if ((r.d & flag::D_MAIN_UNITS) && units.m_nSpeedUnit == SPEED_UNIT_UNKNOWN) {
        units.SetSpeedUnit(SPEED_UNITS[0]);
    }
}

}  // namespace qf
