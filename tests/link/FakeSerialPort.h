// A serial port in memory: records every operation in order, delivers bytes the test
// pushes, and can be told to fail opening.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace qftest {

class FakeSerialPort : public qf::ISerialPort {
public:
    bool Open(const std::string& dev, const qf::PortSettings& settings) override {
        // Only the meter's line is ever asked for.
        Log("Open " + dev + (settings == qf::LINK_SETTINGS ? " 4800,n,8,1" : " other settings"));
        if (open && dev != device) {
            open = false;
        }
        device = dev;
        if (!open && !failOpen && !dev.empty()) {
            open = true;
            ++openings;
        }
        return open;
    }
    bool IsOpen() const override { return open; }
    void Close() override {
        Log("Close");
        open = false;
    }
    bool ClearInput() override {
        Log("ClearInput");
        input.clear();
        return open;
    }
    bool Write(const std::uint8_t* data, std::size_t size) override {
        std::string text = "Write";
        for (std::size_t i = 0; i < size; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", data[i]);
            text += hex;
        }
        Log(text);
        if (open) {
            writes.emplace_back(data, data + size);
        }
        return open;
    }
    std::vector<std::uint8_t> ReadAll() override {
        std::vector<std::uint8_t> out;
        out.swap(input);
        return out;
    }
    void SetEventHandler(EventHandler h) override { handler = std::move(h); }

    // The meter sends bytes: one receive event.
    void Deliver(const std::uint8_t* data, std::size_t size) {
        input.insert(input.end(), data, data + size);
        if (handler) {
            handler(qf::PortEvent::Received);
        }
    }

    void Log(std::string entry) { log.push_back(std::move(entry)); }

    std::vector<std::string> log;
    std::vector<std::vector<std::uint8_t>> writes;  // bytes that reached an open port
    std::vector<std::uint8_t> input;
    EventHandler handler;
    std::string device;
    int openings = 0;  // times a closed port was opened
    bool open = false;
    bool failOpen = false;
};

}  // namespace qftest
