// The VCD file of a short session: the structure a waveform viewer needs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/backend.h"
#include "support/sim_support.h"

namespace zambrix {
namespace {

struct VcdCheck {
  std::map<std::string, int> width;  // id -> bits (0: real)
  std::map<std::string, std::string> name;
  std::map<std::string, int> changes;
  std::vector<std::uint64_t> times;
  std::vector<std::string> problems;
  bool timescale = false;
};

VcdCheck Check(std::istream& in) {
  VcdCheck c;
  std::string line;
  int depth = 0;
  bool defs = true, dumpvars = false;
  std::set<std::string> dumped;
  while (std::getline(in, line)) {
    std::istringstream w(line);
    std::string t;
    w >> t;
    if (defs) {
      if (t == "$timescale") c.timescale = line == "$timescale 1ns $end";
      if (t == "$scope") ++depth;
      if (t == "$upscope") --depth;
      if (t == "$var") {
        std::string kind, id, nm;
        int bits = 0;
        w >> kind >> bits >> id >> nm;
        c.width[id] = kind == "real" ? 0 : bits;
        c.name[id] = nm;
      }
      if (t == "$enddefinitions") defs = false;
      continue;
    }
    if (t == "$dumpvars") dumpvars = true;
    if (t == "$end") {
      if (dumped.size() != c.width.size())
        c.problems.push_back("$dumpvars does not hold every variable");
      dumpvars = false;
    }
    if (t[0] == '$') continue;
    if (t[0] == '#') {
      const auto time = std::stoull(t.substr(1));
      if (!c.times.empty() && time <= c.times.back())
        c.problems.push_back("time not increasing: " + line);
      c.times.push_back(time);
      continue;
    }
    std::string id, value;
    if (t[0] == 'b' || t[0] == 'r') {
      value = t.substr(1);
      w >> id;
    } else {
      value = t.substr(0, 1);
      id = t.substr(1);
    }
    if (!c.width.count(id)) {
      c.problems.push_back("undeclared id: " + line);
      continue;
    }
    const int bits = c.width[id];
    if ((bits == 0) != (t[0] == 'r') || (bits > 1 && static_cast<int>(value.size()) != bits) ||
        (bits == 1 && value != "0" && value != "1")) {
      c.problems.push_back("bad value: " + line);
    }
    if (c.times.empty()) c.problems.push_back("value before the first time stamp");
    if (dumpvars) dumped.insert(id);
    ++c.changes[c.name[id]];
  }
  if (depth != 0) c.problems.push_back("unbalanced scopes");
  if (defs) c.problems.push_back("no $enddefinitions");
  return c;
}

TEST(Vcd, AShortSessionGivesAWellFormedFile) {
  const auto file =
      std::filesystem::temp_directory_path() / ("zambrix-" + std::to_string(::getpid()) + ".vcd");
  {
    std::vector<std::string> args = {"--board", "sim",         "--sim-model",
                                     "5",       "--sim-trace", file.string()};
    BackEnd b = OpenBackEnd(ExtractBackEndOptions(args));
    testing::SimRig rig(dynamic_cast<sim::SimPort&>(*b.port),
                        dynamic_cast<VirtualClock&>(*b.clock));
    rig.UseBoard(5, 0x378);
    rig.Select("P4");
    for (int a = 0; a < 4; ++a) rig.ReadByte(a);
    rig.link().Reset();
    b.at_exit();
  }
  std::ifstream in(file);
  const VcdCheck c = Check(in);
  std::filesystem::remove(file);
  EXPECT_TRUE(c.problems.empty()) << c.problems.front();
  EXPECT_TRUE(c.timescale);
  EXPECT_EQ(c.width.size(), 14u);
  EXPECT_EQ(c.width.at("%"), 8);   // latch4
  EXPECT_EQ(c.width.at("'"), 20);  // address
  EXPECT_GT(c.times.size(), 10u);
  EXPECT_GT(c.changes.at("latch2"), 3);
  EXPECT_GT(c.changes.at("ce_n"), 1);
  EXPECT_GT(c.changes.at("data_lines"), 1);
}

}  // namespace
}  // namespace zambrix
