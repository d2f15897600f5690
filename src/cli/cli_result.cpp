#include "cli/cli_result.h"

#include <nlohmann/json.hpp>

#include "cli/cli.h"

namespace zambrix::cli {

std::string OutcomeOf(int exit_status) {
  switch (exit_status) {
    case kOk:
      return "ok";
    case kOperationFailed:
      return "failed";
    case kUsage:
      return "usage error";
    case kNoBoard:
      return "no board";
    case kFileError:
      return "file error";
    default:
      return "failed";
  }
}

std::string ToJson(const CommandResult& r) {
  using Json = nlohmann::ordered_json;
  const auto text_or_null = [](const std::string& s) { return s.empty() ? Json() : Json(s); };
  Json j;
  j["command"] = text_or_null(r.command);
  j["device"] = text_or_null(r.device);
  j["outcome"] = OutcomeOf(r.exit_status);
  j["exit_status"] = r.exit_status;
  if (!r.message.empty()) j["message"] = r.message;
  if (r.checksum) j["checksum"] = *r.checksum;
  if (!r.bytes.empty()) j["bytes"] = r.bytes;
  if (r.failure) {
    j["failure"] = {{"address", r.failure->address},
                    {"expected", r.failure->expected},
                    {"actual", r.failure->actual}};
  }
  for (const auto& [key, value] : r.details) j[key] = value;
  if (!r.output.empty()) j["output"] = r.output;
  j["elapsed_s"] = r.elapsed_s;
  if (r.simulated_s) j["simulated_s"] = *r.simulated_s;
  // Bytes of a file name that are not UTF-8 are replaced rather than refused.
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace zambrix::cli
