// No chip is harmed: every offered device on every board model, at the voltage
// its selection leaves, programs, verifies, erases and reads without damage to
// the simulated chip; the voltages an operator must choose on purpose destroy
// exactly the parts whose datasheets say they cannot take them, after the
// log's warning.
#include <gtest/gtest.h>

#include <map>

#include "link/boards.h"
#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::OfferedDevices;
using testing::Programmer;
using testing::RandomImage;
using testing::TestImage;

bool Damaged(Programmer& p) { return p.port->Trace().ChipDamaged(); }

// One test for each board model, so that they run side by side.
class NoHarmOn : public ::testing::TestWithParam<int> {};

TEST_P(NoHarmOn, EveryOfferedDeviceAtItsPreselectedVoltage) {
  const int model = GetParam();
  for (const auto& o : OfferedDevices()) {
    if (o.chip.empty()) continue;
    SCOPED_TRACE(o.device + " on model " + std::to_string(model));
    const auto* spec = sim::FindChipSpec(o.chip);
    // Model 4 takes its programming voltage from the jumper, set for the part.
    Programmer p(o.chip, {}, model, spec->vpp_volts > 0 ? spec->vpp_volts : 12.5);
    p.Choose(o.device);
    const auto image = TestImage(spec->size, static_cast<unsigned>(model * 100 + spec->size));
    p.Open(image);
    p.core().ChangeValue("VerifyAfterProgramming", 1);
    p.core().Click("Program_button");
    ASSERT_FALSE(Damaged(p)) << "programming: " << p.port->Trace().DamageReport();
    // The 21 V and 25 V parts do not program at the 12.5 V the selection suggests.
    const bool programs = BoardProfileOf(model)->VppByJumper() || spec->vpp_volts <= 12.5;
    EXPECT_EQ(p.Chip() == image, programs);
    EXPECT_FALSE(p.progress_overrun);
    if (programs) {
      const auto lines = p.From("Programming Device Successfull");
      ASSERT_EQ(lines.size(), 4u);
      EXPECT_EQ(lines[1], "Verify Function Started... Wait");
      EXPECT_EQ(lines[2], "Device Contents MATCHES with Buffer Contents");
      EXPECT_EQ(lines[3].rfind("Device CHKSUMM = $", 0), 0u);
      EXPECT_EQ(p.LastSound(), "/opt/zambrix/ok.wav");
      if (o.device.rfind("Eprom", 0) == 0) {
        EXPECT_GT(p.program_light_changes, 2);  // the Program light blinks
      }
    } else {
      EXPECT_TRUE(p.Logged("*** Programming Failure ***"));
      EXPECT_FALSE(p.Logged("Programming Device Successfull"));
    }
    if (p.core().ui.Enabled("EraseFlash_button")) {
      p.core().Click("EraseFlash_button");
      ASSERT_FALSE(Damaged(p)) << "erase: " << p.port->Trace().DamageReport();
      EXPECT_TRUE(p.Chip() == std::vector<std::uint8_t>(spec->size, 0xFF))
          << "erased, yet not erased";
    }
    p.core().Click("Read_button");
    EXPECT_FALSE(Damaged(p)) << "read: " << p.port->Trace().DamageReport();
    EXPECT_TRUE(std::equal(p.Chip().begin(), p.Chip().end(), p.core().buf.CodeBuffer.begin()));
    const auto vpp = p.port->Board().Vpp();
    EXPECT_FALSE(vpp.switch_a || vpp.switch_b || vpp.oe_rail)
        << "the programming voltage is still on";
  }
}

INSTANTIATE_TEST_SUITE_P(Model, NoHarmOn, ::testing::Values(4, 5, 6));

// "Hi Byte", "Low Byte" and a file twice the chip's size, on one part of every
// programming algorithm: the selected bytes go to the chip's first half and its
// other half keeps what it held; of the long file the chip takes its own size,
// nothing wraps round onto its first bytes. The verify after it agrees, on the
// selected bytes only.
TEST(NoHarm, HiLowAndOversizeFilesWriteOnlyTheirBytesOnEveryFamily) {
  for (const char* chip :
       {"2732A", "27C64", "27C256", "27C512", "27C010", "X28C256", "AM29F010", "24C16"}) {
    const auto* spec = sim::FindChipSpec(chip);
    const std::size_t size = spec->size;
    // The electrically erasable parts hold other data; the others start erased.
    const bool rewritable =
        spec->kind == sim::ChipKind::kPageEeprom || spec->kind == sim::ChipKind::kSerialEeprom;
    const auto before = rewritable ? RandomImage(size, 5) : std::vector<std::uint8_t>(size, 0xFF);
    for (int option : {1, 2, 0}) {
      SCOPED_TRACE(std::string(chip) + (option == 0 ? ", a file twice its size"
                                                    : ", option " + std::to_string(option)));
      Programmer p(chip, before);
      p.core().dev.SetExtendedCatalogue(true);
      p.core().dev.FillDeviceList();
      p.Choose(chip);
      if (spec->vpp_volts > 12.5) p.core().ChangeValue("Voltage_button(2)", 1);  // the 2732A's 21 V
      const auto image =
          TestImage(option == 0 ? 2 * size : size, static_cast<unsigned>(size + option));
      auto expected = before;
      if (option == 0) std::copy_n(image.begin(), size, expected.begin());
      for (std::size_t i = 0; option != 0 && i < size / 2; ++i)
        expected[i] = image[2 * i + (option == 1)];
      if (option != 0) p.core().ChangeValue(Indexed("HiLow_button", option), 1);
      p.Open(image);
      p.core().ChangeValue("VerifyAfterProgramming", 1);
      p.core().Click("Program_button");
      EXPECT_FALSE(Damaged(p)) << p.port->Trace().DamageReport();
      EXPECT_TRUE(p.Chip() == expected);
      EXPECT_TRUE(p.Logged("Device Contents MATCHES with Buffer Contents"));
      const bool serial = spec->kind == sim::ChipKind::kSerialEeprom;
      const std::string half = std::to_string(size / 2) + " programmed bytes of ";
      if (option != 0) {
        EXPECT_TRUE(p.Logged("Compared " + half + std::to_string(size) + (serial ? "" : " read")));
      }
    }
  }
}

// What the datasheets allow on the pin the programming voltage reaches: the
// 12.5 V parts 14 V, the 21 V parts 22 V (the 25 V 2732 takes both). The
// 27256's routine programs at 12.5 V whichever option is chosen.
struct VppPin {
  int pin;
  const char* name;
  int rating;
  bool takes_option = true;
};
const std::map<std::string, VppPin> kVppPins = {
    {"2732", {20, "OE/VPP", 26}},     {"2732A", {20, "OE/VPP", 22}}, {"2764", {1, "VPP", 22}},
    {"27C64", {1, "VPP", 14}},        {"27128", {1, "VPP", 22}},     {"27C128", {1, "VPP", 14}},
    {"27256", {1, "VPP", 14, false}}, {"27C256", {1, "VPP", 14}},    {"27C512", {22, "OE/VPP", 14}},
    {"27C010", {1, "VPP", 14}},       {"27C020", {1, "VPP", 14}},    {"27C040", {1, "VPP", 14}},
    {"27C080", {24, "OE/VPP", 14}},
};

TEST(NoHarm, TheVoltagesChosenOnPurposeDestroyExactlyThePartsThatCannotTakeThem) {
  int destroyed = 0;
  for (int model : {5, 6}) {
    for (const auto& o : OfferedDevices()) {
      const auto pin = kVppPins.find(o.chip);
      if (pin == kVppPins.end()) continue;  // no programming voltage, or no model
      for (int option : {2, 3}) {
        const int volts = option == 2 ? 21 : 25;
        SCOPED_TRACE(o.device + " at " + std::to_string(volts) + " V on model " +
                     std::to_string(model));
        Programmer p(o.chip, {}, model);
        p.Choose(o.device);
        const std::string button = Indexed("Voltage_button", option);
        if (!p.core().ui.Enabled(button)) continue;  // not offered for this part
        p.core().ChangeValue(button, 1);
        std::vector<std::uint8_t> image(sim::FindChipSpec(o.chip)->size, 0xFF);
        image[0] = 0x00;
        p.Open(image);
        p.core().Click("Program_button");
        const auto& v = pin->second;
        if (volts <= v.rating || !v.takes_option) {
          EXPECT_FALSE(Damaged(p)) << p.port->Trace().DamageReport();
          continue;
        }
        ++destroyed;
        const std::string report = o.chip + " destroyed: " + std::to_string(volts) + " V on pin " +
                                   std::to_string(v.pin) + " (" + v.name + ", rated " +
                                   std::to_string(v.rating) + " V)";
        EXPECT_EQ(p.port->Trace().DamageReport(), report);
        // The warning came first.
        const auto warned = p.From("BE CAREFULL!!! You just Selected Programming Voltage as " +
                                   std::to_string(volts) + " Volts!!!");
        EXPECT_NE(std::find(warned.begin(), warned.end(), "[SIMULATED BOARD] " + report),
                  warned.end());
      }
    }
  }
  EXPECT_EQ(destroyed, 6);  // per model: the 2732A, the 2764 and the 27128 at 25 V
}

}  // namespace
}  // namespace zambrix
