// The simulated board's options ("name=value" lines, as --sim-name value), and
// a short run of the board they describe.
#include "fuzz_support.h"
#include "sim/sim_config.h"
#include "sim/sim_port.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zambrix;
  std::map<std::string, std::string> options;
  for (const auto& line : fuzz::Split(data, size, '\n', 16)) {
    auto eq = line.find('=');
    options[line.substr(0, eq)] = eq == std::string::npos ? "" : line.substr(eq + 1);
  }
  sim::SimConfig config;
  try {
    config = sim::ParseSimOptions(options);
  } catch (const sim::SimOptionError&) {
    return 0;
  }
  if (!config.chip_file.empty() || !config.vcd_path.empty()) return 0;  // no files from here
  VirtualClock clock(16);
  sim::SimPort port(config, clock);
  for (int i = 0; i < 64; ++i) {
    port.PortOut(static_cast<std::uint16_t>(config.base + (i % 3 == 1 ? 2 : 0)),
                 static_cast<std::uint8_t>(i * 37));
    (void)port.PortIn(static_cast<std::uint16_t>(config.base + 1));
  }
  port.Finish();
  return 0;
}
