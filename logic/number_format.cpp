#include "logic/number_format.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace velmoran {

namespace {

// Rewrites a C-style exponent ("e-05", "e+15") into the report's form ("E-5", "E15").
void AppendWithExponentRewritten(std::string& out, std::string_view text) {
  auto e = text.find('e');
  if (e == std::string_view::npos) {
    out.append(text);
    return;
  }
  out.append(text.substr(0, e));
  out += 'E';
  std::string_view exp = text.substr(e + 1);
  if (!exp.empty() && exp.front() == '+') exp.remove_prefix(1);
  if (!exp.empty() && exp.front() == '-') {
    out += '-';
    exp.remove_prefix(1);
  }
  while (exp.size() > 1 && exp.front() == '0') exp.remove_prefix(1);
  out.append(exp);
}

}  // namespace

void AppendReal(std::string& out, long double value) {
  if (value == 0) {  // also -0, which must not print a sign
    out += '0';
    return;
  }
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  AppendWithExponentRewritten(out, std::string_view(buf, res.ptr - buf));
}

std::string FormatReal(long double value) {
  std::string s;
  AppendReal(s, value);
  return s;
}

std::string FormatSolvingTime(double seconds) {
  char buf[64];
  auto r7 = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::general, 7);
  double reduced = seconds;
  std::from_chars(buf, r7.ptr, reduced);
  if (std::fabs(reduced) >= 1e7) {
    std::string s;
    auto r = std::to_chars(buf, buf + sizeof buf, reduced, std::chars_format::scientific, 6);
    AppendWithExponentRewritten(s, std::string_view(buf, r.ptr - buf));
    return s;
  }
  auto r = std::to_chars(buf, buf + sizeof buf, reduced, std::chars_format::fixed, 2);
  return std::string(buf, r.ptr);
}

std::optional<long double> ParseReal(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long double value = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace velmoran
