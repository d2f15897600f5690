// The VCD file of a short session: the structure a waveform viewer needs.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "app/backend.h"
#include "support/sim_support.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

std::string ShortSession(const std::string& file) {
  std::vector<std::string> args = {"--board", "sim", "--sim-model", "5", "--sim-trace", file};
  BackEnd b = OpenBackEnd(ExtractBackEndOptions(args));
  {
    testing::SimRig rig(dynamic_cast<sim::SimPort&>(*b.port),
                        dynamic_cast<VirtualClock&>(*b.clock));
    rig.Use("P4");
    for (int a = 0; a < 4; ++a) rig.ReadByte(a);
    rig.link().Reset();
  }
  b.at_exit();
  return testing::ReadWholeFile(file);
}

TEST(Vcd, AShortSessionGivesAWellFormedFile) {
  testing::TempDir dir;
  std::istringstream in(ShortSession((dir / "session.vcd").string()));
  std::map<std::string, std::pair<int, std::string>> vars;  // id: bits (0: real), name
  std::map<std::string, int> changes;                       // by name
  std::vector<std::uint64_t> times;
  int depth = 0;
  bool defs = true, timescale = false;
  for (std::string line; std::getline(in, line);) {
    SCOPED_TRACE(line);
    std::istringstream words(line);
    std::string t, id, value;
    words >> t;
    if (defs) {
      timescale |= line == "$timescale 1ns $end";
      depth += (t == "$scope") - (t == "$upscope");
      std::string kind;
      int bits = 0;
      if (t == "$var" && words >> kind >> bits >> id >> value) {
        vars[id] = {kind == "real" ? 0 : bits, value};
      }
      defs = t != "$enddefinitions";
    } else if (t[0] == '#') {
      times.push_back(std::stoull(t.substr(1)));
      EXPECT_TRUE(times.size() == 1 || times.back() > times[times.size() - 2]);
    } else if (t[0] != '$') {
      if (t[0] == 'b' || t[0] == 'r') {
        value = t.substr(1), words >> id;
      } else {
        value = t.substr(0, 1), id = t.substr(1);
      }
      ASSERT_EQ(vars.count(id), 1u) << "declared";
      const int bits = vars[id].first;
      EXPECT_EQ(bits == 0, t[0] == 'r');
      EXPECT_TRUE(bits != 1 || value == "0" || value == "1");
      EXPECT_TRUE(bits <= 1 || static_cast<int>(value.size()) == bits);
      EXPECT_FALSE(times.empty()) << "a value before the first time stamp";
      ++changes[vars[id].second];
    }
  }
  EXPECT_FALSE(defs);
  EXPECT_EQ(depth, 0);
  EXPECT_TRUE(timescale);
  EXPECT_EQ(vars.size(), 14u);
  EXPECT_EQ(vars.at("%"), (std::pair<int, std::string>{8, "latch4"}));
  EXPECT_EQ(vars.at("'"), (std::pair<int, std::string>{20, "address"}));
  EXPECT_GT(times.size(), 10u);
  EXPECT_GT(changes["latch2"], 3);
  EXPECT_GT(changes["ce_n"], 1);
  EXPECT_GT(changes["data_lines"], 1);
}

}  // namespace
}  // namespace zambrix
