#include "cli/cli_result.h"

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "cli/cli.h"

namespace zambrix::cli {

std::string OutcomeOf(int exit_status) {
  if (exit_status > 128) return "interrupted";
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
  // Every object says in words how the run ended.
  j["message"] = r.message.empty() ? OutcomeOf(r.exit_status) : r.message;
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
  if (r.over_pulsed) {
    j["over_pulsed"] = {{"bytes", r.over_pulsed->bytes},
                        {"first_address", r.over_pulsed->first_address},
                        {"limit", r.over_pulsed->limit}};
  }
  if (r.sim_report) {
    Json violations = Json::object();
    std::uint64_t total = 0;
    for (const auto& [rule, v] : r.sim_report->violations) {
      violations[rule] = {{"count", v.count}, {"first", v.first}};
      total += v.count;
    }
    j["sim_report"] = {{"violations", total},
                       {"by_rule", violations},
                       {"damage", text_or_null(r.sim_report->damage)}};
  }
  // Bytes of a file name that are not UTF-8 are replaced rather than refused.
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

ResultPrinter::ResultPrinter(bool json, std::FILE* out) : out_(out), text_(out) {
  if (!json) {
    out_ = nullptr;
    return;
  }
  std::FILE* text = open_memstream(&captured_, &captured_size_);
  if (text != nullptr) text_ = text;
}

ResultPrinter::~ResultPrinter() {
  if (text_ != out_ && text_ != nullptr && out_ != nullptr) std::fclose(text_);
  std::free(captured_);
}

void ResultPrinter::Print(CommandResult& result, int exit_status) {
  if (out_ == nullptr) return;
  result.exit_status = exit_status;
  result.elapsed_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  if (text_ != out_) {
    std::fflush(text_);
    result.output.assign(captured_ ? captured_ : "", captured_size_);
  }
  std::fprintf(out_, "%s\n", ToJson(result).c_str());
  std::fflush(out_);
}

}  // namespace zambrix::cli
