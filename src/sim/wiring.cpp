#include "sim/wiring.h"

#include <array>

namespace zambrix::sim {

namespace {

constexpr Line kNo = Line::kNone;
constexpr Line kOe = Line::kOeLine;
constexpr Line kCe = L(3, 7);
using R = Reach;
using P = Package;

// The socket wiring table: for each pinout family, which latch bit reaches
// which chip signal and what the three VPP switches reach (chip pin numbers).
// clang-format off
//                  A14      A15      A16      A17      A18      A19   CE   OE   PGM/WE   VPP      VCC
constexpr std::array<SocketWiring, 14> kSocketWiring{{
    {Family::k2716, "2716", P::kDip24, 11,
     kNo, kNo, kNo, kNo, kNo, kNo, kCe, kOe, kNo, L(1, 3), L(1, 5),
     R::kNothing, R::kNothing, R::kOePin, 0, 0, 20},
    {Family::k2732, "2732, 2732A", P::kDip24, 12,
     kNo, kNo, kNo, kNo, kNo, kNo, kCe, kOe, kNo, kNo, L(1, 5),
     R::kNothing, R::kNothing, R::kOeVpp, 0, 0, 20},
    {Family::k2764, "2764, 27C64", P::kDip28, 13,
     kNo, kNo, kNo, kNo, kNo, kNo, kCe, kOe, L(1, 6), L(1, 7), L(3, 1),
     R::kVppPin, R::kNothing, R::kOePin, 1, 0, 22},
    {Family::k27128, "27128, 27C128", P::kDip28, 14,
     kNo, kNo, kNo, kNo, kNo, kNo, kCe, kOe, L(1, 6), L(1, 7), L(3, 1),
     R::kVppPin, R::kNothing, R::kOePin, 1, 0, 22},
    {Family::k27256, "27256, 27C256", P::kDip28, 15,
     L(1, 6), kNo, kNo, kNo, kNo, kNo, kCe, kOe, kNo, L(1, 7), L(3, 1),
     R::kVppPin, R::kNothing, R::kOePin, 1, 0, 22},
    {Family::k27512, "27C512", P::kDip28, 16,
     L(1, 6), L(1, 7), kNo, kNo, kNo, kNo, kCe, kOe, kNo, kNo, L(3, 1),
     R::kInput, R::kNothing, R::kOeVpp, 1, 0, 22},
    {Family::k28C256, "X28C256, AT29C256", P::kDip28, 15,
     L(1, 7), kNo, kNo, kNo, kNo, kNo, kCe, kOe, L(1, 6), kNo, L(3, 1),
     R::kInput, R::kNothing, R::kOePin, 1, 0, 22},
    {Family::k27C010, "27C010", P::kDip32, 17,
     L(1, 6), L(1, 7), L(3, 0), kNo, kNo, kNo, kCe, kOe, L(3, 2), L(3, 3), Line::kVcc,
     R::kInput, R::kVppPin, R::kOePin, 3, 1, 24},
    {Family::k27C020, "27C020", P::kDip32, 18,
     L(1, 6), L(1, 7), L(3, 0), L(3, 1), kNo, kNo, kCe, kOe, L(3, 2), L(3, 3), Line::kVcc,
     R::kInput, R::kVppPin, R::kOePin, 3, 1, 24},
    {Family::k27C040, "27C040", P::kDip32, 19,
     L(1, 6), L(1, 7), L(3, 0), L(3, 1), L(3, 2), kNo, kCe, kOe, kNo, L(3, 3), Line::kVcc,
     R::kInput, R::kVppPin, R::kOePin, 3, 1, 24},
    {Family::k27C080, "27C080", P::kDip32, 20,
     L(1, 6), L(1, 7), L(3, 0), L(3, 1), L(3, 2), L(3, 3), kCe, kOe, kNo, kNo, Line::kVcc,
     R::kInput, R::kInput, R::kOeVpp, 3, 1, 24},
    {Family::k29F010, "AM29F010", P::kDip32, 17,
     L(1, 6), L(1, 7), L(3, 0), kNo, kNo, kNo, kCe, kOe, L(3, 2), kNo, Line::kVcc,
     R::kInput, R::kNothing, R::kOePin, 3, 0, 24},
    {Family::k29F040, "AM29F040, EN29F040, A29040", P::kDip32, 19,
     L(1, 6), L(1, 7), L(3, 0), L(3, 1), L(3, 3), kNo, kCe, kOe, L(3, 2), kNo, Line::kVcc,
     R::kInput, R::kInput, R::kOePin, 3, 1, 24},
    {Family::kSerial24, "24C08, 24C16, 24C32 (SCL = chip-enable line, SDA = D7)", P::kSerial8, 0,
     kNo, kNo, kNo, kNo, kNo, kNo, kCe, kNo, kNo, kNo, Line::kVcc,
     R::kNothing, R::kNothing, R::kNothing, 0, 0, 0},
}};
// clang-format on

}  // namespace

const SocketWiring& WiringOf(Family family) {
  for (const auto& w : kSocketWiring) {
    if (w.family == family) return w;
  }
  return kSocketWiring.back();
}

}  // namespace zambrix::sim
