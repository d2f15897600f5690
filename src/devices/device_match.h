// Finding a Device list entry from a name: a whole entry name or a part number,
// without regard to case and surrounding blanks.
#pragma once

#include <string>
#include <vector>

namespace zambrix {

struct DeviceMatch {
  int row = -1;                 // the chosen row, -1 when none
  std::string error;            // why none was chosen
  std::vector<int> candidates;  // for an ambiguous name
  int listed = -1;              // a row the name finds that is not offered
};
DeviceMatch MatchDevice(const std::vector<std::string>& names, const std::vector<bool>& offered,
                        const std::string& query);

}  // namespace zambrix
