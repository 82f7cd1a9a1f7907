#include "link/LiveFrame.h"

#include <cstring>

#include "store/ByteOrder.h"

namespace qf {

bool IsValidFrame(const std::uint8_t* data, std::size_t size) {
    return size >= FRAME_SIZE && data[0] == FRAME_START &&
           std::memcmp(data + 1, FRAME_SIGNATURE, sizeof FRAME_SIGNATURE) == 0 &&
           data[OFS_END] == FRAME_END;
}

LiveFrameBytes BuildLiveFrame(const LiveFrameFields& f) {
    LiveFrameBytes out{};
    out[0] = FRAME_START;
    std::memcpy(out.data() + 1, FRAME_SIGNATURE, sizeof FRAME_SIGNATURE);
    out[OFS_FLAG_A] = f.a;
    out[OFS_FLAG_B] = f.b;
    out[OFS_FLAG_C] = f.c;
    out[OFS_FLAG_D] = f.d;
    out[OFS_FLAG_E] = f.e;
    WriteFloatLE(out.data() + OFS_AIRT, f.airT);
    WriteFloatLE(out.data() + OFS_AIRV, f.airV);
    WriteFloatLE(out.data() + OFS_IRT, f.irt);
    WriteFloatLE(out.data() + OFS_UPPER, f.upper);
    WriteFloatLE(out.data() + OFS_UPPER2, f.upper2);
    WriteFloatLE(out.data() + OFS_MAIN, f.main);
    WriteFloatLE(out.data() + OFS_AREA_FT2, f.areaFt2);
    WriteFloatLE(out.data() + OFS_AREA_M2, f.areaM2);
    out[OFS_AREA_CODE] = f.areaCode;
    out[OFS_END] = FRAME_END;
    return out;
}

}  // namespace qf
