// The simulator's report of each frame written, which the soak test counts losses by:
// whatever the fault, the frames read at the far end of the pty are the frames reported,
// in order, once each.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "link/FrameAssembler.h"
#include "link/FrameTrace.h"
#include "link/LiveFrame.h"
#include "link/MeterCommand.h"
#include "sim/SimulatedMeter.h"

namespace {

using namespace qf;

TEST(SimulatedMeterTrace, EveryFrameReadIsReportedOnceInOrder) {
    struct Case {
        const char* what;
        SimFaults faults;
    };
    SimFaults split, batch, garbage;
    split.splitParts = 3;
    batch.framesPerWrite = 3;
    garbage.garbageEvery = 2;
    const Case cases[] = {
        {"plain", {}}, {"split writes", split}, {"batched writes", batch}, {"garbage", garbage}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::mutex mutex;
        std::vector<std::uint64_t> reported;
        SimOptions o;
        o.framePeriodMs = 30;
        o.faults = c.faults;
        o.frameWritten = [&](std::uint64_t print, auto) {
            std::lock_guard lock(mutex);
            reported.push_back(print);
        };
        CSimulatedMeter sim(o);
        ASSERT_TRUE(sim.Start());
        const int fd = open(sim.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
        ASSERT_EQ(write(fd, CMD_START.data(), CMD_START.size()), ssize_t(CMD_START.size()));

        std::vector<std::uint64_t> read;
        CFrameAssembler assembler;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (read.size() < 12 && std::chrono::steady_clock::now() < until) {
            std::uint8_t buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                assembler.Feed(buf, std::size_t(n),
                               [&](const std::uint8_t* d, std::size_t size, bool isFrame) {
                                   if (isFrame) {
                                       read.push_back(FrameFingerprint(d, size));
                                   }
                               });
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
        sim.Stop();
        close(fd);
        ASSERT_GE(read.size(), 12u);
        std::lock_guard lock(mutex);
        ASSERT_GE(reported.size(), read.size());
        EXPECT_EQ(std::vector<std::uint64_t>(reported.begin(), reported.begin() + read.size()),
                  read);
    }
}

}  // namespace
