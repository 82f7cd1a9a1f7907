// Framing and decoding of arbitrary bytes in arbitrary pieces: the first byte chooses the
// piece size, the rest is the stream.
#include <cstdint>

#include <memory>

#include "link/FrameAssembler.h"
#include "live/LiveModel.h"
#include "store/CQFDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const auto doc = std::make_unique<qf::CQFDoc>();
    qf::CLiveModel live(*doc);
    // Some runs record, so the sample index moves through the whole array.
    const bool recording = data[0] & 1;
    if (recording) {
        const int seconds = 1;
        live.Run(&seconds);
    }
    const std::size_t piece = 1 + data[0] % 97;
    // Reset, not rebuilt: its buffer keeps its capacity from input to input.
    static qf::CFrameAssembler assembler;
    assembler.Reset();
    for (std::size_t i = 1; i < size; i += piece) {
        const std::size_t n = std::min(piece, size - i);
        assembler.Feed(data + i, n, [&](const std::uint8_t* chunk, std::size_t len, bool) {
            if (live.OnReceive(chunk, len, 0).valid && recording) {
                live.OnSamplingTick();
            }
        });
        // Whole pieces straight to the decoder too: unframed chunks must be safe as well.
        live.OnReceive(data + i, n, 0);
    }
    return 0;
}
