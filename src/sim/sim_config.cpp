#include "sim/sim_config.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

namespace zambrix::sim {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

[[noreturn]] void Bad(const std::string& option, const std::string& value,
                      const std::string& allowed) {
  throw SimOptionError("bad value '" + value + "' for --sim-" + option + " (" + allowed + ")");
}

// A number in decimal, or hexadecimal with a trailing h or leading 0x.
std::optional<std::uint64_t> Number(std::string s) {
  int base = 10;
  s = Lower(s);
  if (s.size() > 2 && s.rfind("0x", 0) == 0) {
    s = s.substr(2);
    base = 16;
  } else if (s.size() > 1 && s.back() == 'h') {
    s.pop_back();
    base = 16;
  }
  std::uint64_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (s.empty() || ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

// The longest write cycle a slow-write fault may ask for: far beyond any chip,
// and far from the end of the simulated clock's 64-bit count of nanoseconds.
constexpr std::uint64_t kMaxSlowWriteNs = 3'600'000'000'000;  // one hour

// "12ms", "300us", "5" (milliseconds), at most kMaxSlowWriteNs.
std::optional<std::uint64_t> Duration(std::string s) {
  s = Lower(s);
  std::uint64_t unit = 1'000'000;
  if (s.size() > 2 && s.substr(s.size() - 2) == "us") {
    unit = 1000;
    s.resize(s.size() - 2);
  } else if (s.size() > 2 && s.substr(s.size() - 2) == "ms") {
    s.resize(s.size() - 2);
  }
  auto v = Number(s);
  if (!v || *v == 0 || *v > kMaxSlowWriteNs / unit) return std::nullopt;
  return *v * unit;
}

void ParseChip(const std::string& value, SimConfig& c) {
  std::string name = value;
  if (auto colon = value.find(':'); colon != std::string::npos) {
    name = value.substr(0, colon);
    c.chip_file = value.substr(colon + 1);
    if (c.chip_file.empty()) Bad("chip", value, "NAME or NAME:FILE");
  }
  if (auto plus = name.find('+'); plus != std::string::npos) {
    if (Lower(name.substr(plus + 1)) != "sdp") Bad("chip", value, "the only chip flag is +sdp");
    c.protect = true;
    name.resize(plus);
  }
  c.demo_image = false;
  if (Lower(name) == "none" || Lower(name) == "empty") {
    c.chip = nullptr;
    return;
  }
  c.chip = FindChipSpec(name);
  if (c.chip == nullptr) Bad("chip", value, "known chips: " + ChipNames() + ", or none");
  if (c.protect && c.chip->kind != ChipKind::kPageEeprom)
    Bad("chip", value, "+sdp is for X28C256 and AT29C256");
}

void ParseFault(const std::string& item, SimFaults& f) {
  const auto eq = item.find('=');
  const std::string name = Lower(item.substr(0, eq));
  const std::string arg = eq == std::string::npos ? "" : item.substr(eq + 1);
  if (name == "no-board" && arg.empty()) {
    f.no_board = true;
  } else if (name == "empty-socket" && arg.empty()) {
    f.empty_socket = true;
  } else if (name == "stuck-bit") {
    // BIT:LEVEL, e.g. 3:0
    auto colon = arg.find(':');
    auto bit = Number(arg.substr(0, colon));
    std::string level = colon == std::string::npos ? "" : arg.substr(colon + 1);
    if (!bit || *bit > 7 || (level != "0" && level != "1"))
      Bad("fault", item, "stuck-bit=BIT:0 or BIT:1, BIT 0..7");
    (level == "0" ? f.stuck_low : f.stuck_high) |= static_cast<std::uint8_t>(1u << *bit);
  } else if (name == "dead-byte") {
    if (arg.empty()) {
      f.dead_byte_random = true;
    } else if (auto a = Number(arg); a && *a < (1u << 20)) {
      f.dead_byte = static_cast<std::uint32_t>(*a);
    } else {
      Bad("fault", item, "dead-byte or dead-byte=ADDRESS, e.g. 1A3h");
    }
  } else if (name == "no-erase") {
    auto a = Number(arg);
    if (!a || *a >= (1u << 20)) Bad("fault", item, "no-erase=ADDRESS, e.g. 1A3h");
    f.unerasable_byte = static_cast<std::uint32_t>(*a);
  } else if (name == "slow-write") {
    auto d = Duration(arg);
    if (!d) Bad("fault", item, "slow-write=TIME, e.g. 12ms or 800us, at most 3600000ms");
    f.slow_write_ns = *d;
  } else if (name == "weak-cells") {
    auto n = Number(arg);
    if (!n || *n < 1 || *n > 100) Bad("fault", item, "weak-cells=N, N times the pulses, 1 to 100");
    f.weak_cells = static_cast<std::uint32_t>(*n);
  } else if (name == "vanish") {
    auto n = Number(arg);
    if (!n || *n == 0) Bad("fault", item, "vanish=N port accesses, N at least 1");
    f.vanish_after = *n;
  } else {
    Bad("fault", item,
        "no-board, empty-socket, stuck-bit=BIT:LEVEL, dead-byte[=ADDRESS], no-erase=ADDRESS, "
        "slow-write=TIME, weak-cells=N, vanish=N; "
        "several separated by commas");
  }
}

void ParseOne(const std::string& option, const std::string& value, SimConfig& c) {
  if (option == "model") {
    if (value != "4" && value != "5" && value != "6") Bad(option, value, "4, 5 or 6");
    c.model = value[0] - '0';
  } else if (option == "port") {
    std::string hex = Lower(value);
    if (!hex.empty() && hex.back() != 'h' && hex.rfind("0x", 0) != 0) hex += 'h';
    auto v = Number(hex);
    if (!v || (*v != 0x378 && *v != 0x278 && *v != 0x3BC)) Bad(option, value, "378h, 278h or 3BCh");
    c.base = static_cast<std::uint16_t>(*v);
  } else if (option == "chip") {
    ParseChip(value, c);
  } else if (option == "fault") {
    std::stringstream s(value);
    for (std::string item; std::getline(s, item, ',');) ParseFault(item, c.faults);
  } else if (option == "trace") {
    if (value.empty()) Bad(option, value, "a file name, e.g. session.vcd");
    c.vcd_path = value;
  } else if (option == "report") {
    if (value != "1") Bad(option, value, "a flag without a value");
    c.report = true;
  } else if (option == "seed") {
    auto v = Number(value);
    if (!v) Bad(option, value, "a whole number");
    c.seed = *v;
  } else if (option == "access-ns") {
    auto v = Number(value);
    if (!v || *v == 0 || *v > 1'000'000)
      Bad(option, value, "nanoseconds per port access, 1 to 1000000");
    c.access_ns = *v;
  } else if (option == "vpp") {
    if (value != "12.5" && value != "21" && value != "25")
      Bad(option, value, "12.5, 21 or 25 (model 4's jumper)");
    c.vpp_jumper = std::stod(value);
  } else {
    throw SimOptionError("unknown option --sim-" + option + " (see --help)");
  }
}

}  // namespace

SimConfig ParseSimOptions(const std::map<std::string, std::string>& options) {
  SimConfig c;
  for (const auto& [option, value] : options) ParseOne(option, value, c);
  if (c.faults.empty_socket) c.chip = nullptr;
  return c;
}

std::string SimOptionsHelp() {
  return "  --sim-model 4|5|6    simulated board model (default 6)\n"
         "  --sim-port 378h|278h|3BCh\n"
         "                       port of the simulated board (default 378h)\n"
         "  --sim-chip NAME[+sdp][:FILE]\n"
         "                       chip in the socket (default a 27C256 with a demo image;\n"
         "                       none = empty); a chip named here starts erased or with the\n"
         "                       contents of FILE, which are written back when the program ends\n"
         "  --sim-fault LIST     no-board, empty-socket, stuck-bit=BIT:LEVEL,\n"
         "                       dead-byte[=ADDRESS], no-erase=ADDRESS, slow-write=TIME,\n"
         "                       weak-cells=N (an EPROM needing N times the pulses),\n"
         "                       vanish=N (comma separated)\n"
         "  --sim-trace FILE.vcd latch lines and chip pins as a VCD file (GTKWave, sigrok)\n"
         "  --sim-report         at the end, the datasheet timing the simulated chip found\n"
         "                       broken (by rule, with the first of each) and any damage\n"
         "  --sim-seed N         seed of the chips' varying pulse counts and random faults\n"
         "  --sim-access-ns N    virtual time of one port access (default 1000)\n"
         "  --sim-vpp 12.5|21|25 model 4's VPP jumper (default 12.5)\n";
}

}  // namespace zambrix::sim
