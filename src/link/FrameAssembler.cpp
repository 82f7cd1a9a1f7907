#include "link/FrameAssembler.h"

#include <cstring>

#include "link/LiveFrame.h"

namespace qf {

CFrameAssembler::Piece CFrameAssembler::NextPiece(std::size_t pos) const {
    const std::uint8_t* buf = m_buf.data();
    const std::size_t end = m_buf.size();
    std::size_t q = pos;
    while (q < end) {
        const void* hit = std::memchr(buf + q, FRAME_START, end - q);
        if (hit == nullptr) {
            return {end - pos, false};
        }
        q = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - buf);
        const std::size_t avail = end - q;
        const std::size_t sigLen =
            avail - 1 < sizeof FRAME_SIGNATURE ? avail - 1 : sizeof FRAME_SIGNATURE;
        if (std::memcmp(buf + q + 1, FRAME_SIGNATURE, sigLen) != 0) {
            ++q;
            continue;
        }
        if (avail < FRAME_SIZE) {
            // A possible frame start: wait for the rest; what lies before it is garbage.
            return {q - pos, false};
        }
        if (buf[q + OFS_END] != FRAME_END) {
            ++q;
            continue;
        }
        if (q > pos) {
            return {q - pos, false};
        }
        return {FRAME_SIZE, true};
    }
    return {end - pos, false};
}

}  // namespace qf
