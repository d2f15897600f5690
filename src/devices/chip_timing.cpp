// The datasheet figures of each family in the catalogue: the program pulse and
// its set-up and hold times, the parallel EEPROM's page timing, the two-wire
// bus times. They hold at every speed-slider position.
#include "devices/device_catalogue.h"

namespace zambrix {

namespace {
constexpr std::uint64_t kUs = 1000;
constexpr std::uint64_t kMs = 1000 * kUs;
// Address, data, OE, VPP and VCC in place before a pulse, data and OE held after it.
constexpr std::uint64_t kProgramSetUp = 2 * kUs;
// The quick-pulse and intelligent algorithms give a byte at most this many pulses.
constexpr int kPulseLimit = 25;
// The 100 kHz two-wire figures (the longest: tLOW, tSU:STA, tBUF), which hold
// for every grade of part.
constexpr std::uint64_t kBusTime = 4700;

ChipTiming Eprom(std::uint64_t pulse, int limit) {
  ChipTiming t;
  t.load_spacing_ns = kProgramSetUp;
  t.pulse_ns = pulse;
  t.pulse_limit = limit;
  return t;
}
}  // namespace

ChipTiming ChipTimingOf(std::string_view key, std::string_view name) {
  if (key.size() != 2) return {};
  switch (key[0]) {
    case 'P':
      switch (key[1]) {
        case '1':  // the standard algorithm: one 50 ms pulse a byte
          return Eprom(50 * kMs, 1);
        case '2':
        case '3':  // 1 ms intelligent pulses
          return Eprom(1 * kMs, kPulseLimit);
        case '4':  // the NMOS 27256 takes intelligent pulses, the 27C256 quick pulses
          return Eprom(name.find("27256") != std::string_view::npos ? 1 * kMs : 100 * kUs,
                       kPulseLimit);
        case '9':
          return Eprom(50 * kUs, kPulseLimit);
        default:
          return Eprom(100 * kUs, kPulseLimit);
      }
    case 'E': {
      ChipTiming t;
      t.byte_load_ns = 100 * kUs;  // X28C256: write enable falling edge to the next
      t.write_cycle_ns = 10 * kMs;
      return t;
    }
    case 'F': {
      ChipTiming t;
      if (key[1] == 'A') {  // AT29C256: write enable rising edge to the next falling
        t.byte_load_ns = 150 * kUs;
        t.write_cycle_ns = 10 * kMs;
      }
      return t;
    }
    case 'S': {
      ChipTiming t;
      t.load_spacing_ns = kBusTime;
      return t;
    }
    default:
      return {};
  }
}

}  // namespace zambrix
