// The saved setups on the command line: `setup list`, `setup save N` and the
// global `--setup N`.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace zambrix {
class Core;
}

namespace zambrix::cli {

// "1" .. "4" as a slot number.
std::optional<int> SetupSlot(const std::string& text);
// One line per slot, tab separated: slot, name, device, code file; "-" in each
// column of a slot without a file.
void ListSetups(Core& core, std::FILE* out);
// Restores setup `slot` as its Load Setup entry does; false when nothing was
// restored (the log says why).
bool RestoreSetup(Core& core, int slot);
// Saves setup `slot` as its Save Setup entry does; the path written, or "".
std::string SaveSetup(Core& core, int slot);

}  // namespace zambrix::cli
