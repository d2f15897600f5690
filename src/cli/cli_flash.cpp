#include "cli/cli_flash.h"

#include <string>

#include "app/core.h"
#include "base/control_names.h"
#include "cli/cli.h"

namespace zambrix::cli {

namespace {

// The message part of the log lines added after `from` (time stamps dropped).
std::string MessagesSince(const std::string& log, std::size_t from) {
  std::string out;
  std::size_t pos = from;
  while ((pos = log.find("\r\n", pos)) != std::string::npos) {
    pos += 2;
    const std::size_t end = log.find("\r\n", pos);
    const std::string line =
        log.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    const std::size_t mark = line.find(">  ");
    out += (mark == std::string::npos ? line : line.substr(mark + 3)) + "\n";
  }
  return out;
}

}  // namespace

int ShowFlashId(Core& core, std::FILE* out) {
  const std::size_t before = core.report.LogText().size();
  core.Click(control::menuFlashShowCodeID);
  std::fputs(MessagesSince(core.report.LogText(), before).c_str(), out);
  // Only a chip found in the identification table concludes as done.
  return core.ops.Result.kind == Outcome::Kind::kDone ? kOk : kOperationFailed;
}

}  // namespace zambrix::cli
