#include "link/HexLine.h"

namespace qf {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

bool ParseHexLine(std::string_view line, std::vector<std::uint8_t>& out) {
    out.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        if (i + 1 >= line.size()) {
            return false;
        }
        const int hi = HexDigit(line[i]);
        const int lo = HexDigit(line[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
        i += 2;
    }
    return true;
}

bool IsHexComment(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    return i < line.size() && line[i] == '#';
}

}  // namespace qf
