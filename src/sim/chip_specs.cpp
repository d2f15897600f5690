#include "sim/chip_specs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace zambrix::sim {

namespace {

constexpr std::uint64_t kUs = 1000;
constexpr std::uint64_t kMs = 1000 * kUs;
constexpr std::uint32_t kK = 1024;

// `tolerance`: how far one pulse may be from `pulse` (tPW); 5 % unless given.
constexpr ChipSpec Eprom(std::string_view name, Family f, std::uint32_t size, double vpp,
                         double vpp_max, std::uint64_t pulse, std::uint64_t tolerance = 0) {
  ChipSpec s{name, ChipKind::kEprom, f, size};
  s.vpp_volts = vpp;
  s.vpp_max = vpp_max;
  s.pulse_ns = pulse;
  if (tolerance == 0) tolerance = pulse / 20;
  s.pulse_min_ns = pulse - tolerance;
  s.pulse_max_ns = pulse + tolerance;
  return s;
}

// `oe_max`: the OE pin's rating; `erase`: the software chip erase time (0: none).
constexpr ChipSpec PageEeprom(std::string_view name, std::uint64_t tblc, bool from_rise,
                              std::uint64_t twc, double oe_max, std::uint64_t erase,
                              std::uint8_t maker, std::uint8_t device) {
  const bool sector = erase != 0;
  ChipSpec s{name, ChipKind::kPageEeprom, Family::k28C256, 32 * kK};
  s.oe_max = oe_max;
  s.chip_erase_ns = erase;
  s.byte_load_ns = tblc;
  s.load_from_rise = from_rise;
  s.write_cycle_ns = twc;
  s.rewrites_sector = sector;
  s.has_product_id = sector;
  s.maker = maker;
  s.device = device;
  return s;
}

constexpr ChipSpec Flash(std::string_view name, Family f, std::uint32_t size, std::uint8_t maker,
                         std::uint8_t device, std::uint32_t mask, ChipSpec::IdStyle style) {
  ChipSpec s{name, ChipKind::kJedecFlash, f, size};
  s.oe_max = 13.5;
  s.maker = maker;
  s.device = device;
  s.id_style = style;
  s.command_mask = mask;
  s.sector_size = size / 8;
  s.program_ns = 7 * kUs;
  s.program_limit_ns = 300 * kUs;
  s.sector_erase_ns = 1000 * kMs;
  return s;
}

constexpr ChipSpec Serial(std::string_view name, std::uint32_t size, std::uint16_t page,
                          std::uint8_t bytes, std::uint8_t block_bits) {
  ChipSpec s{name, ChipKind::kSerialEeprom, Family::kSerial24, size};
  s.page_size = page;
  s.address_bytes = bytes;
  s.block_bits = block_bits;
  s.write_cycle_ns = 5 * kMs;
  return s;
}

using S = ChipSpec::IdStyle;

// Figures from the datasheets: 12.5 V parts are rated 14 V on VPP; the NMOS
// 21 V and 25 V parts are taken as rated 1 V above their programming voltage.
const std::array<ChipSpec, 25> kChips{{
    // The 2716/2732 family takes one 50 ms pulse per byte (45-55 ms); a byte
    // needs the full 50 ms of pulse time, however it is split. The NMOS 2764,
    // 27128 and 27256 and the 27C64 and 27C128 take 1 ms pulses (0.95-1.05 ms),
    // the quick-pulse parts 100 us (95-105 us), the 27C080 50 us (45-55 us).
    Eprom("2716", Family::k2716, 2 * kK, 25, 26, 50 * kMs, 5 * kMs),
    Eprom("2732", Family::k2732, 4 * kK, 25, 26, 50 * kMs, 5 * kMs),
    Eprom("2732A", Family::k2732, 4 * kK, 21, 22, 50 * kMs, 5 * kMs),
    Eprom("2764", Family::k2764, 8 * kK, 21, 22, 1 * kMs),
    Eprom("27C64", Family::k2764, 8 * kK, 12.5, 14, 1 * kMs),
    Eprom("27128", Family::k27128, 16 * kK, 21, 22, 1 * kMs),
    Eprom("27C128", Family::k27128, 16 * kK, 12.5, 14, 1 * kMs),
    Eprom("27256", Family::k27256, 32 * kK, 12.5, 14, 1 * kMs),
    Eprom("27C256", Family::k27256, 32 * kK, 12.5, 14, 100 * kUs),
    Eprom("27C512", Family::k27512, 64 * kK, 12.5, 14, 100 * kUs),
    Eprom("27C010", Family::k27C010, 128 * kK, 12.5, 14, 100 * kUs),
    Eprom("27C020", Family::k27C020, 256 * kK, 12.5, 14, 100 * kUs),
    Eprom("27C040", Family::k27C040, 512 * kK, 12.5, 14, 100 * kUs),
    Eprom("27C080", Family::k27C080, 1024 * kK, 12.5, 14, 50 * kUs, 5 * kUs),
    // The X28C256 at its maximum write cycle (10 ms, typically 5 ms); every
    // pin, OE included, is rated 7 V. The AT29C256 takes 13.5 V on OE and
    // erases the chip in 10 ms.
    PageEeprom("X28C256", 100 * kUs, false, 10 * kMs, 7.0, 0, 0, 0),
    PageEeprom("AT29C256", 150 * kUs, true, 10 * kMs, 13.5, 10 * kMs, 0x1F, 0xDC),
    Flash("AM29F010", Family::k29F010, 128 * kK, 0x01, 0x20, 0x7FFF, S::kPlain),
    Flash("AM29F010B", Family::k29F010, 128 * kK, 0x01, 0x20, 0x7FF, S::kPlain),
    Flash("AM29F040", Family::k29F040, 512 * kK, 0x01, 0xA4, 0x7FFF, S::kPlain),
    Flash("AM29F040B", Family::k29F040, 512 * kK, 0x01, 0xA4, 0x7FF, S::kPlain),
    Flash("EN29F040", Family::k29F040, 512 * kK, 0x1C, 0x04, 0x7FF, S::kEon),
    Flash("A29040", Family::k29F040, 512 * kK, 0x37, 0x86, 0x7FF, S::kAmic),
    Serial("24C08", 1 * kK, 16, 1, 2),
    Serial("24C16", 2 * kK, 16, 1, 3),
    Serial("24C32", 4 * kK, 32, 2, 0),
}};

struct Alias {
  std::string_view alias, name;
};
constexpr std::array<Alias, 4> kAliases{
    {{"27C1001", "27C010"}, {"27C2001", "27C020"}, {"27C4001", "27C040"}, {"27C801", "27C080"}}};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

PulseStyle ChipSpec::Style() const {
  switch (family) {
    case Family::k2716:
      return PulseStyle::kCeHigh;
    case Family::k2732:
    case Family::k27512:
    case Family::k27C080:
      return PulseStyle::kOeVpp;
    case Family::k2764:
    case Family::k27128:
    case Family::k27C010:
    case Family::k27C020:
      return PulseStyle::kPgm;
    case Family::k27256:
    case Family::k27C040:
    case Family::k28C256:
    case Family::k29F010:
    case Family::k29F040:
    case Family::kSerial24:
      return PulseStyle::kCe;
  }
  return PulseStyle::kCe;
}

const ChipSpec* FindChipSpec(std::string_view name) {
  for (const auto& a : kAliases) {
    if (SameName(a.alias, name)) name = a.name;
  }
  for (const auto& c : kChips) {
    if (SameName(c.name, name)) return &c;
  }
  return nullptr;
}

std::string ChipNames() {
  std::string out;
  for (const auto& c : kChips) out += (out.empty() ? "" : ", ") + std::string(c.name);
  return out;
}

std::vector<std::uint8_t> DemoImage(std::uint32_t size) {
  std::vector<std::uint8_t> img(size, 0xFF);
  const std::string banner =
      "ZAMBRIX SIMULATED BOARD -- DEMO EPROM IMAGE -- "
      "Read, change and program me: nothing here touches a real chip.  ";
  const std::string text = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 ";
  for (std::uint32_t a = 0; a < size; ++a) {
    const std::uint32_t block = (a * 8) / size;  // eight regions, whatever the size
    std::uint8_t v = 0xFF;
    switch (block) {
      case 0:
        v = static_cast<std::uint8_t>(banner[a % banner.size()]);
        break;
      case 1:
        v = static_cast<std::uint8_t>(a & 0xFF);
        break;  // counting bytes
      case 2:
        v = ((a / 16) % 2) ? 0xAA : 0x55;
        break;  // checkerboard rows
      case 3:
        v = static_cast<std::uint8_t>(text[a % text.size()]);
        break;  // readable text
      case 4:
        v = static_cast<std::uint8_t>(a >> 8);
        break;  // page numbers
      case 5:
        v = static_cast<std::uint8_t>(1u << (a % 8));
        break;  // walking one
      case 6:
        v = (a % 256 < 128) ? 0x00 : 0xFF;
        break;  // half pages
      default:
        break;  // erased
    }
    img[a] = v;
  }
  return img;
}

}  // namespace zambrix::sim
