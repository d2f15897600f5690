// Flash commands of the command line.
#pragma once

#include <cstdio>

namespace zambrix {
class Core;
}

namespace zambrix::cli {

// "Show Flash Code ID#" on the selected device: prints the identification's
// log lines to `out`; kOk when a chip of the identification table answered,
// kOperationFailed otherwise (or when the board was lost).
int ShowFlashId(Core& core, std::FILE* out);

}  // namespace zambrix::cli
