#include "setup/ini_text.h"

#include <cmath>
#include <cstdlib>

namespace zambrix {

void ForEachLine(std::istream& in, std::size_t max_line,
                 const std::function<void(std::string_view)>& take) {
  std::string line;
  bool pending = false;
  char ch = 0;
  bool after_cr = false;
  while (in.get(ch)) {
    if (ch == '\n' && after_cr) {
      after_cr = false;
      continue;
    }
    after_cr = ch == '\r';
    if (ch == '\r' || ch == '\n') {
      take(line);
      line.clear();
      pending = false;
      continue;
    }
    if (line.size() < max_line) line.push_back(ch);
    pending = true;
  }
  if (pending) take(line);
}

namespace {

std::string WithoutBlanks(std::string_view s) {
  std::string out;
  for (char ch : s) {
    if (ch != ' ' && ch != '\t') out.push_back(ch);
  }
  return out;
}

}  // namespace

double LeadingDecimal(std::string_view text) {
  const std::string s = WithoutBlanks(text);
  std::size_t i = 0;
  auto digits = [&s, &i] {
    std::size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - start;
  };
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < s.size() && s[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return 0;
  std::size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (digits() > 0) end = i;
  }
  std::string number = s.substr(0, end);
  for (char& ch : number) {
    if (ch == 'd' || ch == 'D') ch = 'E';
  }
  return std::strtod(number.c_str(), nullptr);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<long> NearestInRange(double v, long lo, long hi) {
  if (!std::isfinite(v)) return std::nullopt;
  const double r = std::nearbyint(v);
  if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) return std::nullopt;
  return static_cast<long>(r);
}

}  // namespace zambrix
