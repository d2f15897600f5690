#include "link/boards.h"

namespace zambrix {

namespace {

// Model 4: bit 0 is the load pulse, bits 1..3 address the latch.
constexpr std::array<int, 5> kSelect4{10, 2, 8, 0, 14};
constexpr std::array<int, 5> kStrobe4{11, 3, 9, 1, 15};

// Models 5 and 6: the model-4 values with the low four control bits inverted.
constexpr std::array<int, 5> Inverted(std::array<int, 5> v) {
  for (int& x : v) x ^= 15;
  return v;
}

constexpr BoardProfile Model4() {
  BoardProfile p;
  p.model = 4;
  p.select = kSelect4;
  p.strobe = kStrobe4;
  p.nibble_low = 0;
  p.nibble_high = 4;
  p.decoding = NibbleDecoding::kStatusDecode4;
  p.reg0_program = 0x4C;
  return p;
}

constexpr BoardProfile Model5() {
  BoardProfile p;
  p.model = 5;
  p.wiring = 1;
  p.select = Inverted(kSelect4);
  p.strobe = Inverted(kStrobe4);
  p.nibble_low = 5;
  p.nibble_high = 1;
  p.decoding = NibbleDecoding::kStatusNibbles;
  p.reg0_program = 0x48;
  p.reg0_vpp21 = 0x4A;
  p.reg0_vpp25 = 0x4B;
  p.blinks_when_found = true;
  return p;
}

constexpr BoardProfile Model6() {
  BoardProfile p = Model5();
  p.model = 6;
  p.id_enable = 0x20;  // latch 3 bit 5
  p.id_data = 0x10;    // data bit 4
  return p;
}

constexpr std::array<BoardProfile, 3> kBoards{Model4(), Model5(), Model6()};

}  // namespace

const BoardProfile* BoardProfileOf(int model) {
  for (const auto& b : kBoards) {
    if (b.model == model) return &b;
  }
  return nullptr;
}

}  // namespace zambrix
