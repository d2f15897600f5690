// What an operation came to. The window's status line and the command line's
// exit status read it; nothing needs the log's text or a light's colour.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zambrix {

struct Outcome {
  // In rising weight: an event that gives several results ends as the worst.
  enum class Kind { kNone, kDone, kRefused, kFailed, kNoBoard, kStopped };
  Kind kind = Kind::kNone;
  // The result lines as the log gave them, in order ("Programming Device
  // Successfull", "Device Contents MATCHES with Buffer Contents").
  std::vector<std::string> lines;
  // Where a failure was found, as logged after its line, and its figures: the
  // address, the byte wanted and the byte read (-1: not known).
  std::string where;
  std::int32_t address = -1;
  int expected = -1;
  int actual = -1;

  void Add(Kind k, std::string line) {
    kind = std::max(kind, k);
    if (!line.empty()) lines.push_back(std::move(line));
  }
  void FailedAt(std::string said, std::int32_t at, int wanted, int read) {
    where = std::move(said);
    address = at;
    expected = wanted;
    actual = read;
  }
  bool Failed() const { return kind >= Kind::kFailed; }
};

}  // namespace zambrix
