// Framing and decoding of arbitrary bytes in arbitrary pieces: the first byte chooses the
// piece size, the rest is the stream.
#include <cstdint>

#include "link/FrameAssembler.h"
#include "link/LiveStateSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    qf::LiveStateSet live;
    qf::CFrameDecoder decoder;
    auto& frame = live.frame;
    auto& view = live.view;
    auto& targets = live.targets;
    // Some runs record, so the sample index moves through the whole array.
    frame.m_bRecording = data[0] & 1;
    frame.m_nPort = static_cast<std::int8_t>(data[0]);
    const std::size_t piece = 1 + data[0] % 97;
    qf::CFrameAssembler assembler;
    for (std::size_t i = 1; i < size; i += piece) {
        const std::size_t n = std::min(piece, size - i);
        assembler.Feed(data + i, n, [&](const std::uint8_t* chunk, std::size_t len, bool) {
            const auto out = decoder.OnReceive(targets, chunk, len, 0);
            if (out.valid && frame.m_bRecording) {
                ++view.m_nSampleIndex;
            }
        });
        // Whole pieces straight to the decoder too: unframed chunks must be safe as well.
        decoder.OnReceive(targets, data + i, n, 0);
    }
    return 0;
}
