// Reassembles the meter's byte stream, arriving in arbitrary pieces, into receive
// chunks: each whole 49-byte frame is one chunk, and each run of bytes that cannot
// belong to a frame is one chunk too. Nothing is lost or held back once complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qf {

class CFrameAssembler {
public:
    // Appends bytes and hands every complete chunk to sink(data, size, isFrame).
    template <typename Sink>
    void Feed(const std::uint8_t* data, std::size_t size, Sink&& sink) {
        if (size > 0) {
            m_buf.insert(m_buf.end(), data, data + size);
        }
        std::size_t pos = 0;
        for (;;) {
            const Piece piece = NextPiece(pos);
            if (piece.size == 0) {
                break;
            }
            sink(m_buf.data() + pos, piece.size, piece.isFrame);
            pos += piece.size;
        }
        m_buf.erase(m_buf.begin(), m_buf.begin() + static_cast<std::ptrdiff_t>(pos));
    }

    // Drops a partial frame, e.g. when the port is closed.
    void Reset() { m_buf.clear(); }

    // Bytes held as the possible start of a frame (at most 48).
    std::size_t Pending() const { return m_buf.size(); }

private:
    struct Piece {
        std::size_t size;
        bool isFrame;
    };
    // The next complete chunk starting at pos, or size 0 when more bytes are needed.
    Piece NextPiece(std::size_t pos) const;

    std::vector<std::uint8_t> m_buf;
};

}  // namespace qf
