#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/FrameAssembler.h"
#include "link/LiveFrame.h"
#include "store/ByteOrder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Chunk {
    Bytes bytes;
    bool isFrame;
};

Bytes Frame(float airT) {
    qf::LiveFrameFields f;
    f.airT = airT;
    const auto b = qf::BuildLiveFrame(f);
    return Bytes(b.begin(), b.end());
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<Chunk> FeedInPieces(const Bytes& stream, std::size_t piece) {
    qf::CFrameAssembler assembler;
    std::vector<Chunk> chunks;
    for (std::size_t i = 0; i < stream.size(); i += piece) {
        const std::size_t n = std::min(piece, stream.size() - i);
        assembler.Feed(stream.data() + i, n, [&](const std::uint8_t* d, std::size_t s, bool f) {
            chunks.push_back({Bytes(d, d + s), f});
        });
    }
    return chunks;
}

std::vector<float> FrameAirT(const std::vector<Chunk>& chunks) {
    std::vector<float> out;
    for (const auto& c : chunks) {
        if (c.isFrame) {
            EXPECT_TRUE(qf::IsValidFrame(c.bytes.data(), c.bytes.size()));
            out.push_back(qf::ReadFloatLE(c.bytes.data() + qf::OFS_AIRT));
        }
    }
    return out;
}

TEST(FrameAssembler, EveryFrameArrivesOnceWhateverTheSplit) {
    const Bytes garbage = {0x00, 0xAA, 0x61, 0x64, 0x01, 0x67, 0xAA};
    const Bytes stream = Cat({garbage, Frame(1), Frame(2), garbage, Frame(3), {0xAA, 0x61}});
    for (std::size_t piece = 1; piece <= stream.size(); ++piece) {
        const auto chunks = FeedInPieces(stream, piece);
        EXPECT_EQ(FrameAirT(chunks), (std::vector<float>{1, 2, 3})) << "piece " << piece;
        std::size_t total = 0;
        for (const auto& c : chunks)
            total += c.bytes.size();
        // Only the trailing possible frame start is held back.
        EXPECT_EQ(total, stream.size() - 2) << "piece " << piece;
    }
}

TEST(FrameAssembler, FalseStartWithWrongEndMarkerResynchronises) {
    Bytes bad = Frame(9);
    bad[qf::OFS_END] = 0x00;
    // The real frame begins inside the rejected one.
    Bytes stream = Cat({Bytes(bad.begin(), bad.begin() + 10), Frame(5)});
    const auto chunks = FeedInPieces(stream, stream.size());
    EXPECT_EQ(FrameAirT(chunks), std::vector<float>{5});
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_FALSE(chunks[0].isFrame);
    EXPECT_EQ(chunks[0].bytes.size(), 10u);
}

TEST(FrameAssembler, GarbageIsPassedOnWithoutWaiting) {
    qf::CFrameAssembler assembler;
    std::vector<Chunk> chunks;
    const Bytes junk(1000000, 0x55);
    assembler.Feed(junk.data(), junk.size(), [&](const std::uint8_t* d, std::size_t s, bool f) {
        chunks.push_back({Bytes(d, d + s), f});
    });
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].bytes.size(), junk.size());
    EXPECT_EQ(assembler.Pending(), 0u);
    assembler.Feed(nullptr, 0, [&](const std::uint8_t*, std::size_t, bool) { FAIL(); });
}

TEST(FrameAssembler, ResetDropsPartialFrame) {
    qf::CFrameAssembler assembler;
    const Bytes f = Frame(7);
    int frames = 0;
    auto sink = [&](const std::uint8_t*, std::size_t, bool isFrame) { frames += isFrame; };
    assembler.Feed(f.data(), 20, sink);
    EXPECT_EQ(assembler.Pending(), 20u);
    assembler.Reset();
    assembler.Feed(f.data() + 20, f.size() - 20, sink);
    assembler.Feed(f.data(), f.size(), sink);
    EXPECT_EQ(frames, 1);
}

}  // namespace
