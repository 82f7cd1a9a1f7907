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
    bool SetPort(int number) override {
        Log("SetPort " + std::to_string(number));
        port = number;
        return true;
    }
    bool SetInputMode(int mode) override {
        Log("SetInputMode " + std::to_string(mode));
        return true;
    }
    bool SetSettings(const std::string& settings) override {
        Log("SetSettings " + settings);
        return true;
    }
    bool SetReceiveThreshold(int bytes) override {
        Log("SetReceiveThreshold " + std::to_string(bytes));
        return true;
    }
    bool SetInputLength(int bytes) override {
        Log("SetInputLength " + std::to_string(bytes));
        return true;
    }
    bool ClearInput() override {
        Log("ClearInput");
        input.clear();
        return open;
    }
    bool IsOpen() const override { return open; }
    bool Open() override {
        Log("Open");
        open = !failOpen;
        return open;
    }
    void Close() override {
        Log("Close");
        open = false;
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
            handler(qf::COMM_EV_RECEIVE);
        }
    }

    void Log(std::string entry) { log.push_back(std::move(entry)); }

    std::vector<std::string> log;
    std::vector<std::vector<std::uint8_t>> writes;  // bytes that reached an open port
    std::vector<std::uint8_t> input;
    EventHandler handler;
    int port = 0;
    bool open = false;
    bool failOpen = false;
};

}  // namespace qftest
