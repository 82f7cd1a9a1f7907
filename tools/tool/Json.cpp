#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace qftool {

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    // Texts are 8-bit; keep every byte representable in plain ASCII JSON.
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
    return out;
}

std::string JsonNumber(double v) {
    // JSON has no NaN or infinity: such values are written as strings.
    if (std::isnan(v)) {
        return "\"NaN\"";
    }
    if (std::isinf(v)) {
        return v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

std::string ShortestNumber(float v) {
    if (!std::isfinite(v)) {
        return JsonNumber(v);
    }
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : JsonNumber(v);
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json) {
    if (!m_body.empty()) {
        m_body += ',';
    }
    m_body += JsonString(key);
    m_body += ':';
    m_body += json;
    return *this;
}

}  // namespace qftool
