// Reading the small text files of the setup folder: lines and numbers as the
// operator may have typed them.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace zambrix {

// Calls `take` with each line; lines end at CR LF, CR or LF. Characters of a
// line beyond `max_line` are dropped.
void ForEachLine(std::istream& in, std::size_t max_line,
                 const std::function<void(std::string_view)>& take);

// The leading decimal number of `text` (blanks skipped; sign, fraction and
// exponent allowed); 0 when there is none.
double LeadingDecimal(std::string_view text);

// Equal texts when ASCII letter case is ignored.
bool SameIgnoringCase(std::string_view a, std::string_view b);

// The integer nearest to `v` (halves to even) when it lies in lo..hi.
std::optional<long> NearestInRange(double v, long lo, long hi);

}  // namespace zambrix
