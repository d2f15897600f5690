// Finding a Device list entry from a name.
#include "devices/device_match.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "base/text.h"

namespace zambrix {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// The words of a name that look like part numbers ("27C256", "AM29F040").
std::vector<std::string> PartNumbers(const std::string& name) {
  std::vector<std::string> parts;
  std::istringstream words(name);
  std::string w;
  while (words >> w) {
    bool digit = std::any_of(w.begin(), w.end(), [](unsigned char c) { return std::isdigit(c); });
    bool bracket = w.find_first_of("()") != std::string::npos;
    if (digit && !bracket) parts.push_back(Lower(w));
  }
  return parts;
}

}  // namespace

DeviceMatch MatchDevice(const std::vector<std::string>& names, const std::vector<bool>& offered,
                        const std::string& query) {
  DeviceMatch m;
  const std::string q = Lower(Trim(query));
  if (q.empty()) {
    m.error = "no device named";
    return m;
  }
  std::vector<int> whole, part;
  for (int row = 0; row < static_cast<int>(names.size()); ++row) {
    const std::string name = Lower(Trim(names[static_cast<std::size_t>(row)]));
    if (name.empty()) continue;
    if (name == q) whole.push_back(row);
    auto parts = PartNumbers(name);
    if (std::find(parts.begin(), parts.end(), q) != parts.end()) part.push_back(row);
  }
  auto is_offered = [&](int row) { return offered[static_cast<std::size_t>(row)]; };
  const std::vector<int>& found = !whole.empty() ? whole : part;
  if (found.empty()) {
    m.error = "unknown device '" + Trim(query) + "' (see: zambrix-cli list)";
    return m;
  }
  std::vector<int> usable;
  std::copy_if(found.begin(), found.end(), std::back_inserter(usable), is_offered);
  if (usable.size() == 1) {
    m.row = usable[0];
    return m;
  }
  if (usable.empty()) {
    m.listed = found[0];
    m.error = "device '" + Trim(names[static_cast<std::size_t>(found[0])]) +
              "' is listed but not offered (N/A)";
    return m;
  }
  m.candidates = usable;
  m.error = "ambiguous device '" + Trim(query) + "'; candidates:";
  for (int row : usable) m.error += "\n  " + Trim(names[static_cast<std::size_t>(row)]);
  return m;
}

}  // namespace zambrix
