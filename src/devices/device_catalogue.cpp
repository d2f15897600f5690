#include "devices/device_catalogue.h"

#include <array>

namespace zambrix {

namespace {

constexpr bool Y = true;
constexpr bool N = false;

// clang-format off
constexpr std::array<CatalogueRow, 39> kRows{{
    // name                            class size  KB  latch1 latch3 volts offered simulated
    {"Eprom 2716",                      'P', '1',    4,  32,  0, 3, N, "2716"},  // 2732 values, not offered
    {"Eprom 2732A",                     'P', '1',    4,  32,  0, 3, Y, "2732A"},
    {"Eprom 2732B",                     'P', '1',    4,  32,  0, 1, Y},
    {"Eprom 2732",                      'P', '1',    4,  32,  0, 3, Y, "2732"},
    {"Eprom 27C32",                     'P', '1',    4,  32,  0, 3, Y},
    {"Eprom 2764",                      'P', '2',    8, 192,  2, 3, Y, "2764"},
    {"Eprom 27C64",                     'P', '2',    8, 192,  2, 1, Y, "27C64"},
    {"Eprom 27128",                     'P', '3',   16, 192,  2, 3, Y, "27128"},
    {"Eprom 27C128",                    'P', '3',   16, 192,  2, 1, Y, "27C128"},
    {"Eprom 27256",                     'P', '4',   32, 128,  2, 3, Y, "27256"},
    {"Eprom 27C256",                    'P', '4',   32, 128,  2, 1, Y, "27C256"},
    {"Eprom 27C512",                    'P', '5',   64,   0,  2, 1, Y, "27C512"},
    {"Eprom 27C1001",                   'P', '6',  128,   0, 12, 1, Y, "27C010"},
    {"Eprom 27C010",                    'P', '6',  128,   0, 12, 1, Y, "27C010"},
    {"Eprom 27C2001",                   'P', '7',  256,   0, 12, 1, Y, "27C020"},
    {"Eprom 27C020",                    'P', '7',  256,   0, 12, 1, Y, "27C020"},
    {"Eprom 27C4001",                   'P', '8',  512,   0,  8, 1, Y, "27C040"},
    {"Eprom 27C040",                    'P', '8',  512,   0,  8, 1, Y, "27C040"},
    {"Eprom 27C801",                    'P', '9', 1024,   0,  0, 1, Y, "27C080"},
    {"Eprom 27C080",                    'P', '9', 1024,   0,  0, 1, Y, "27C080"},
    {"Eprom 27C080 OTP",                'P', 'M', 1024,   0,  0, 1, N},
    {"Flash Atmel AT29C256",            'F', 'A',   32, 128,  2, 0, N, "AT29C256"},
    {"Flash AMIC A29040",               'F', 'L',  512,   0,  4, 0, N, "A29040"},
    {"Flash AMD AM29F010",              'F', 'S',  128,   0,  4, 0, N, "AM29F010"},
    {"Flash AMD AM29F020",              'F', 'R',  256,   0,  4, 0, N},
    {"Flash AMD AM29F040",              'F', 'M',  512,   0,  4, 0, N, "AM29F040"},
    {"Flash EON EN29F040",              'F', 'M',  512,   0,  4, 0, N, "EN29F040"},
    {"Flash Atmel AT29F040",            'F', 'N',  512,   0,  4, 0, N},
    {"Flash Catalyst CAT28F001",        'F', 'O',  128,   0, 12, 0, N},
    {"Flash Catalyst CAT28F010",        'F', 'P',  128,   0, 12, 0, N},
    {"Flash Catalyst CAT28F020",        'F', 'Q',  256,   0, 12, 0, N},
    {"Eeprom XICOR X28C256",            'E', 'N',   32,  64,  2, 0, Y, "X28C256"},
    {"Eeprom Catalyst CAT28C256",       'E', 'O',   32,  64,  2, 0, N},
    {"Eeprom Catalyst CAT28C257",       'E', 'P',   32,  64,  2, 0, N},
    {"Eeprom 24C08 Serial (8 pins)",    'S', 'A',    1,   0,  0, 0, Y, "24C08"},
    {"Eeprom 24C16 Serial (8 pins)",    'S', 'B',    2,   0,  0, 0, Y, "24C16"},
    {"Eeprom 24C32 Serial (8 pins)",    'S', 'C',    4,   0,  0, 0, Y, "24C32"},
    {"Eeprom 24C256 Serial (8 pins)",   'S', 'E',   32,   0,  0, 0, N},
    {"uC Atmel AT90S2313 Micro",        'M', 'J', 1024,   0,  0, 0, N},
}};
// clang-format on

constexpr bool NamesFitTheColumn() {
  for (const auto& r : kRows) {
    if (r.name.empty() || r.name.size() > kDeviceNameWidth) return false;
  }
  return true;
}
static_assert(NamesFitTheColumn(), "a device name is longer than its column");

}  // namespace

std::span<const CatalogueRow> DeviceCatalogue() { return kRows; }

int VppRatingVolts(const CatalogueRow& row) {
  if (row.device_class != 'P' || row.voltage_index == 0) return 0;
  // The NMOS parts programmed at 21 V or 25 V take 1 V more; the 12.5 V parts,
  // NMOS 27256 included, 14 V. No sheet gives a figure for the 27C32.
  static constexpr struct {
    std::string_view name;
    int volts;
  } kHighVoltageParts[] = {{"Eprom 2716", 26}, {"Eprom 2732", 26},  {"Eprom 2732A", 22},
                           {"Eprom 2764", 22}, {"Eprom 27128", 22}, {"Eprom 27C32", 0}};
  for (const auto& p : kHighVoltageParts) {
    if (p.name == row.name) return p.volts;
  }
  return 14;
}

ExtendedStatus ExtendedCatalogueStatus(const CatalogueRow& row) {
  if (row.offered) return {true, {}};
  const char c = row.device_class, k = row.size_code;
  if (c == 'F' && (k == 'M' || k == 'L' || k == 'S')) return {true, {}};
  if (c == 'F' && k == 'A') return {false, "write enable would drive the socket's A14 pin"};
  if (c == 'F' && k == 'R') return {false, "device code not in the identification table"};
  if ((c == 'F' || c == 'E') && k >= 'N' && k <= 'Q') return {false, "no programming routine"};
  return {false, {}};
}

}  // namespace zambrix
