// Minimal JSON output for the tool: one object per line, "%.9g" floats, except where a
// stream is read by people (ShortestNumber).
#pragma once

#include <string>
#include <string_view>

namespace qftool {

std::string JsonString(std::string_view s);
std::string JsonNumber(double v);
// The shortest text that reads back as the same float: 3.2, not 3.20000005.
std::string ShortestNumber(float v);

// Builds one JSON object, members in insertion order.
class JsonObject {
public:
    JsonObject& Raw(std::string_view key, std::string_view json);
    JsonObject& Str(std::string_view key, std::string_view value) {
        return Raw(key, JsonString(value));
    }
    JsonObject& Int(std::string_view key, long long value) {
        return Raw(key, std::to_string(value));
    }
    JsonObject& Num(std::string_view key, double value) { return Raw(key, JsonNumber(value)); }
    JsonObject& Bool(std::string_view key, bool value) {
        return Raw(key, value ? "true" : "false");
    }
    std::string Text() const { return "{" + m_body + "}"; }

private:
    std::string m_body;
};

}  // namespace qftool
