#include "base/text.h"

#include <cmath>
#include <cstdio>

namespace zambrix {

std::string HexText(std::int64_t value) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(value));
  return buf;
}

std::string Hex4(std::int64_t value) {
  std::string h = "0000" + HexText(value);
  return h.substr(h.size() - 4);
}

std::string Trim(std::string_view s) {
  auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::string PrintedNumber(double value) {
  char buf[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", std::fabs(value));
  } else {
    std::snprintf(buf, sizeof buf, "%.15g", std::fabs(value));
  }
  return std::string(value < 0 ? "-" : " ") + buf + " ";
}

}  // namespace zambrix
