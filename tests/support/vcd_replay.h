// A VCD file of the simulated board (or of sigrok-cli) read back, for the tests
// that look at what the board's lines did.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zambrix::testing {

// A VCD file replayed: the value of every named one-bit wire at the end, and
// (unless `last_only`) after each time stamp.
struct Replay {
  std::map<std::string, std::string> name_of;  // id -> name ("latch0[7]", "ce_n")
  std::map<std::string, int> width_of;         // id -> bits (0: real)
  std::map<std::string, int> now;              // name -> value
  std::vector<std::pair<std::uint64_t, std::map<std::string, int>>> changes;  // by time stamp

  explicit Replay(const std::string& text) : Replay(std::istringstream(text)) {}
  explicit Replay(std::istream&& in, bool last_only = false) {
    bool defs = true;
    for (std::string word; in >> word;) {
      if (defs) {
        if (word == "$var") {
          std::string kind, id, name, index;
          int bits = 0;
          in >> kind >> bits >> id >> name >> index;
          if (index != "$end") name += index, in >> index;
          name_of[id] = name;
          width_of[id] = kind == "real" ? 0 : bits;
        }
        defs = word != "$enddefinitions";
      } else if (word[0] == '#') {
        if (!last_only || changes.empty()) changes.push_back({std::stoull(word.substr(1)), {}});
      } else if (word[0] == 'r') {
        in >> word;  // the real's id
      } else if (word[0] == '0' || word[0] == '1') {
        const std::string id = word.substr(1);
        EXPECT_EQ(width_of.count(id), 1u) << "undeclared " << id;
        EXPECT_FALSE(changes.empty()) << "a value before the first time stamp";
        now[name_of[id]] = word[0] - '0';
        if (!changes.empty() && !last_only) changes.back().second[name_of[id]] = word[0] - '0';
      } else {
        EXPECT_EQ(word[0], '$') << "not a one-bit value: " << word;
      }
    }
  }
  static std::uint32_t Bus(const std::map<std::string, int>& v, const std::string& name, int bits) {
    std::uint32_t out = 0;
    for (int b = 0; b < bits; ++b) {
      auto it = v.find(name + "[" + std::to_string(b) + "]");
      if (it != v.end() && it->second) out |= 1u << b;
    }
    return out;
  }
};

}  // namespace zambrix::testing
