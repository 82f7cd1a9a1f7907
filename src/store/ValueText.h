// Number formatting shared by every text the program shows or writes.
#pragma once

#include <string>

namespace qf {

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// "%.<decimals>f" of v: the nearest decimal, as printf rounds it.
std::string FormatFixed(double v, int decimals);

// v cut toward zero at its last shown digit (decimals after the point). A value within a
// few float ulps of a digit keeps that digit: 23.4f is 23.3999996 and stays 23.4.
double CutToDigits(double v, int decimals);

// "%.<decimals>f" of CutToDigits(v, decimals).
std::string FormatCut(double v, int decimals);

// Whole part of v cut toward zero, with the same tolerance, as a decimal integer text.
std::string FormatCutInt(double v);

}  // namespace qf
