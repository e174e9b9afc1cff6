// Locale-independent number texts shared by term printing and the report.
//
// Reals print with 15 significant digits and "." as separator: fixed notation for magnitudes in
// [0.0001, 1e15) and for 0, otherwise mantissa "E" exponent (‘5E-5’, ‘1E15’). Whatever locale the
// process runs under, the same value gives the same bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

// Appends an extended real in the 15-significant-digit format.
void AppendReal(std::string& out, long double value);
std::string FormatReal(long double value);

// Seconds with exactly two decimals after reduction to 7 significant digits (‘0.05’, ‘12.40’).
std::string FormatSolvingTime(double seconds);

// Parses a whole real literal ("2.5", "1e-3", " 0.9 ") with "." as separator; blanks around it are
// allowed. Nothing else may follow.
std::optional<long double> ParseReal(std::string_view text);

}  // namespace velmoran
