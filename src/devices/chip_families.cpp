#include "devices/chip_families.h"

#include <array>

namespace zambrix {

namespace {

using A = Algorithm;
using R = AddressRule;
constexpr bool Y = true;
constexpr bool N = false;

// The 2732 and 2764 need long strobes, the 27C080 short ones; the X28C256
// takes each byte of a page within 100 us of the one before, and every byte
// costs seven latch loads, so its short delay is the least (docs/timing.md).
constexpr DelayFactors kSlow{50, 20000, 100000};
constexpr DelayFactors kUsual{5, 100, 500};
constexpr DelayFactors kFast{2, 50, 250};
constexpr DelayFactors kXicor{1, 100, 500};

// clang-format off
constexpr std::array<ChipFamily, 24> kFamilies{{
    // key  algorithm            address       bus              delays  blank erase view  data  id
    {"P1", A::kEprom2732,       R::kEprom,    Bus::kParallel,  kSlow,  Y,    N,    Y,    N,    N},
    {"P2", A::kEprom2764_128,   R::kEprom,    Bus::kParallel,  kSlow,  Y,    N,    Y,    N,    N},
    {"P3", A::kEprom2764_128,   R::kEprom,    Bus::kParallel,  kUsual, Y,    N,    Y,    N,    N},
    {"P4", A::kEprom27256_040,  R::kEprom,    Bus::kParallel,  kUsual, Y,    N,    Y,    N,    N},
    {"P5", A::kEprom27080,      R::kEprom,    Bus::kParallel,  kUsual, Y,    N,    Y,    N,    N},
    {"P6", A::kEprom27010_020,  R::kEprom,    Bus::kParallel,  kUsual, Y,    N,    Y,    N,    N},
    {"P7", A::kEprom27010_020,  R::kEprom,    Bus::kParallel,  kUsual, Y,    N,    Y,    N,    N},
    {"P8", A::kEprom27256_040,  R::kEprom,    Bus::kParallel,  kUsual, Y,    N,    Y,    N,    N},
    {"P9", A::kEprom27080,      R::kEprom,    Bus::kParallel,  kFast,  Y,    N,    Y,    N,    N},
    {"PM", A::kNone,            R::kEprom,    Bus::kParallel,  kUsual, Y,    N,    Y,    N,    N},
    {"FA", A::kAT29C256Pages,   R::kFlash,    Bus::kParallel,  kUsual, Y,    Y,    Y,    N,    Y},
    {"FL", A::kFlashBytes,      R::kFlashA18, Bus::kParallel,  kUsual, Y,    Y,    Y,    N,    N},
    {"FS", A::kFlashBytes,      R::kFlashA18, Bus::kParallel,  kUsual, Y,    Y,    Y,    N,    N},
    {"FR", A::kFlashBytes,      R::kFlashA18, Bus::kParallel,  kUsual, Y,    Y,    Y,    N,    N},
    {"FM", A::kFlashBytes,      R::kFlashA18, Bus::kParallel,  kUsual, Y,    Y,    Y,    N,    N},
    {"FN", A::kNone,            R::kFlash,    Bus::kParallel,  kUsual, Y,    Y,    N,    N,    N},
    {"FO", A::kNone,            R::kFlash,    Bus::kParallel,  kUsual, Y,    Y,    N,    N,    N},
    {"FP", A::kNone,            R::kFlash,    Bus::kParallel,  kUsual, Y,    Y,    N,    N,    N},
    {"FQ", A::kNone,            R::kFlash,    Bus::kParallel,  kUsual, Y,    Y,    N,    N,    N},
    {"EN", A::kX28C256Pages,    R::kXicor,    Bus::kParallel,  kXicor, Y,    Y,    Y,    N,    N},
    {"SA", A::kSerialPages16,   R::kNone,     Bus::kTwoWire,   kUsual, N,    Y,    N,    N,    N},
    {"SB", A::kSerialPages16,   R::kNone,     Bus::kTwoWire,   kUsual, N,    Y,    N,    N,    N},
    {"SC", A::kSerialPages32,   R::kNone,     Bus::kTwoWire,   kUsual, N,    Y,    N,    N,    N},
    {"MJ", A::kMicro,           R::kNone,     Bus::kNone,      kUsual, Y,    N,    N,    Y,    N},
}};
// clang-format on

// Keys with no family (the CAT28C256/257, the 24C256): listed only.
constexpr ChipFamily kNoFamily{"", A::kNone, R::kNone, Bus::kNone, kUsual, N, N, N, N, N};

}  // namespace

std::span<const ChipFamily> ChipFamilies() { return kFamilies; }

const ChipFamily& FamilyOf(std::string_view key) {
  for (const auto& f : kFamilies) {
    if (f.key == key) return f;
  }
  return kNoFamily;
}

}  // namespace zambrix
