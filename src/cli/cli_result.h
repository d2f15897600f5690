// What one command did, for scripts: filled by the command as it runs and
// printed once as a JSON object (--json).
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

namespace zambrix::cli {

struct CommandResult {
  std::string command;
  std::string device;  // the catalogue entry chosen, empty when none
  int exit_status = 0;
  std::string message;                        // why the command failed
  std::optional<std::string> checksum;        // four hexadecimal digits
  std::map<std::string, std::int64_t> bytes;  // "read", "checked", "file" ...
  // The first byte that was not what it should be.
  struct Mismatch {
    std::int64_t address;
    int expected;
    int actual;
  };
  std::optional<Mismatch> failure;
  std::map<std::string, std::string> details;  // e.g. "board", "format"
  std::string output;                          // what the command printed
  double elapsed_s = 0;
  std::optional<double> simulated_s;  // hardware time on the simulated board
  // Bytes that needed more program pulses than the chip's datasheet allows.
  struct OverPulsed {
    std::int64_t bytes;
    std::int64_t first_address;
    int limit;
  };
  std::optional<OverPulsed> over_pulsed;
  // What the simulated board judged: the datasheet figures broken, counted by
  // rule with the first of each, and the damage done (empty: none).
  struct SimReport {
    struct Rule {
      std::uint64_t count;
      std::string first;
    };
    std::map<std::string, Rule> violations;
    std::string damage;
  };
  std::optional<SimReport> sim_report;
};

// "ok", "failed", "usage error", "no board", "file error" or "interrupted".
std::string OutcomeOf(int exit_status);
// One line of JSON, without the line break.
std::string ToJson(const CommandResult& result);

// With --json, collects what a command prints and then prints its result as
// one JSON object in its place; without, passes the text through.
class ResultPrinter {
 public:
  ResultPrinter(bool json, std::FILE* out);
  ~ResultPrinter();
  ResultPrinter(const ResultPrinter&) = delete;
  ResultPrinter& operator=(const ResultPrinter&) = delete;
  // Where the command prints its text.
  std::FILE* Text() const { return text_; }
  // Fills in the outcome, the time taken and the text, and prints the object.
  void Print(CommandResult& result, int exit_status);

 private:
  std::FILE* out_;
  std::FILE* text_;
  char* captured_ = nullptr;
  std::size_t captured_size_ = 0;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace zambrix::cli
