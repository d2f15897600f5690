#include "cli/cli.h"
#include "link/doctor.h"

namespace zambrix::cli {

int Doctor(std::FILE* out) {
  auto report = DiagnosePorts(DoctorEnv::Real());
  for (const auto& line : report.lines) std::fprintf(out, "%s\n", line.c_str());
  return report.usable ? kOk : kNoBoard;
}

}  // namespace zambrix::cli
