// Small text helpers shared by the log lines and files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zambrix {

// Upper-case hexadecimal without leading zeros ("1F00", "0" for 0).
std::string HexText(std::int64_t value);
// Exactly four upper-case hexadecimal digits with leading zeros ("0ABC").
std::string Hex4(std::int64_t value);
// Leading and trailing blanks removed.
std::string Trim(std::string_view s);

constexpr std::string_view kLineBreak = "\r\n";

// A number as the program's text files print it (log header, settings files): a
// blank in place of the plus sign, the digits, one trailing blank (" 65 ", "-3 ").
std::string PrintedNumber(double value);

}  // namespace zambrix
