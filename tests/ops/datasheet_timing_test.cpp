// Every chip gets its datasheet's timing at every speed setting: each offered
// device is programmed on models 4, 5 and 6 at slider 0, 50 and 100 with port
// accesses of 0.5, 1 and 2 us, and its simulated part, which judges every
// access (set-up, hold and width of the program pulses, page-load and write
// cycle, two-wire bus times, two drivers on the data lines), finds nothing
// outside its datasheet and takes no damage. Planted faults show the judge at
// work.
//
// Cost: the EPROMs get a partial image (64 bytes at the start, 16 at the end:
// every address line still moves), the 24Cxx three pages; only the 8 KB and
// smaller EPROMs and the 24Cxx are verified after programming (the parallel
// read sweep is one piece of code for every EPROM, and the programming's own
// read-back already reads each byte of the larger ones). The X28C256's page
// algorithm always writes all 512 pages.
#include <gtest/gtest.h>

#include <functional>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Offered;
using testing::Programmer;

// The voltage option the part needs (21 V, 25 V), or 0 for the selection's own.
int VoltageOption(const sim::ChipSpec& spec) {
  if (spec.vpp_volts >= 25) return 3;
  return spec.vpp_volts >= 21 ? 2 : 0;
}

struct Setting {
  int model = 6;
  int slider = 50;
  std::uint64_t access_ns = 1000;
};

// Programs `o` at `s`; `plant` changes the program before the click.
std::unique_ptr<Programmer> ProgramAt(const Offered& o, const Setting& s,
                                      const std::function<void(Core&)>& plant = {}) {
  const auto* spec = sim::FindChipSpec(o.chip);
  auto config =
      Programmer::Setup(o.chip, {}, s.model, spec->vpp_volts > 0 ? spec->vpp_volts : 12.5);
  config.access_ns = s.access_ns;
  auto p = std::make_unique<Programmer>(config);
  p->Choose(o.device);
  if (const int option = VoltageOption(*spec))
    p->core().ChangeValue(Indexed("Voltage_button", option), 1);
  p->core().ChangeValue("Slider1", s.slider);
  const unsigned seed = spec->size + static_cast<unsigned>(s.model * 7 + s.slider);
  if (spec->kind == sim::ChipKind::kSerialEeprom) {
    p->Load(testing::RandomImage(3 * spec->page_size, seed));
  } else {
    p->Load(testing::TestImage(spec->size, seed, 64, 16));
  }
  const bool verify = spec->kind == sim::ChipKind::kSerialEeprom ||
                      (spec->kind == sim::ChipKind::kEprom && spec->size <= 8192);
  p->core().ChangeValue("VerifyAfterProgramming", verify ? 1 : 0);
  if (plant) plant(p->core());
  p->core().Click("Program_button");
  return p;
}

class DatasheetTiming : public ::testing::TestWithParam<int> {};

TEST_P(DatasheetTiming, EveryOfferedDeviceAtEverySpeedAndPortKeepsItsDatasheet) {
  int runs = 0;
  for (const auto& o : testing::OfferedDevices()) {
    if (o.chip.empty()) continue;  // 2732B, 27C32: the 2732's routine, judged on the 2732 and 2732A
    for (int slider : {0, 50, 100}) {
      for (std::uint64_t access : {500u, 1000u, 2000u}) {
        const Setting s{GetParam(), slider, access};
        SCOPED_TRACE(o.device + ", slider " + std::to_string(slider) + ", " +
                     std::to_string(access) + " ns");
        const auto p = ProgramAt(o, s);
        const auto& trace = p->port->Trace();
        EXPECT_EQ(trace.ViolationCount(), 0u) << trace.Report();
        EXPECT_FALSE(trace.ChipDamaged()) << trace.DamageReport();
        const auto& code = p->core().buf.CodeBuffer;
        const auto size = static_cast<std::size_t>(p->core().buf.CodeSize);
        EXPECT_TRUE(
            std::equal(code.begin(), code.begin() + static_cast<long>(size), p->Chip().begin()));
        EXPECT_TRUE(p->Logged("Programming Device Successfull"));
        EXPECT_EQ(p->core().ops.OverPulsedBytes, 0);
        if (p->core().ui.Value("VerifyAfterProgramming") == 1) {
          EXPECT_TRUE(p->Logged("Device Contents MATCHES with Buffer Contents"));
        }
        ++runs;
      }
    }
  }
  EXPECT_EQ(runs, 21 * 9);
}

INSTANTIATE_TEST_SUITE_P(Models, DatasheetTiming, ::testing::Values(4, 5, 6),
                         [](const ::testing::TestParamInfo<int>& i) {
                           return "Model" + std::to_string(i.param);
                         });

// What the judge finds when the program breaks a figure: pulses 10 % short, a
// two-wire bus clocked as fast as the latches go, page bytes that come later
// than the byte-load time.
TEST(DatasheetTimingPlanted, AShortPulseAFastBusAndLateBytesAreEachJudged) {
  struct Planted {
    Offered device;
    Setting setting;
    std::function<void(Core&)> plant;
    std::string rule;
  };
  const std::vector<Planted> faults = {
      {{"Eprom 27C256", "27C256"}, {}, [](Core& c) { c.link.Timing.pulse_ns = 90'000; }, "tPW"},
      {{"Eeprom 24C08 Serial (8 pins)", "24C08"},
       {6, 100, 500},
       [](Core& c) { c.link.Timing.load_spacing_ns = 0; },
       "tLOW"},
      {{"Eeprom XICOR X28C256", "X28C256"},
       {6, 0, 1000},
       [](Core& c) { c.link.Timing.byte_load_ns = 0; },
       "tBLC"},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.device.device);
    const auto p = ProgramAt(f.device, f.setting, f.plant);
    const auto& trace = p->port->Trace();
    EXPECT_GT(trace.Violations().count(f.rule), 0u) << trace.Report();
    // Each violation is an event of the simulated board in the system log.
    const auto& first = trace.Violations().at(f.rule).first;
    EXPECT_TRUE(p->Logged(std::string(Core::kSimulatorMark) + first)) << first;
  }
}

// The board's detection, at start-up and from the TestPort button, never makes
// a write cycle (chip enable and write enable low while output enable rises)
// on the part in the socket, 28-pin or 32-pin (whose supply is always on), on
// any model, and breaks no figure of an EPROM.
TEST(DatasheetTimingProbe, TheDetectionNeverWritesThePartInTheSocket) {
  for (int model : {4, 5, 6}) {
    for (const char* chip : {"X28C256", "AM29F040", "27C512", "27C080"}) {
      SCOPED_TRACE(std::string(chip) + " on model " + std::to_string(model));
      const std::vector<std::uint8_t> held(sim::FindChipSpec(chip)->size, 0x00);
      Programmer p(chip, held, model);
      p.core().Click("TestHardware_button");
      EXPECT_TRUE(p.Logged("ZAMBRIX-" + std::to_string(model) + " Device was FOUND at Port: 378"));
      EXPECT_EQ(p.port->Board().socket().Chip()->WriteCycles(), 0u);
      EXPECT_TRUE(p.Chip() == held);
      EXPECT_EQ(p.port->Trace().ViolationCount(), 0u) << p.port->Trace().Report();
    }
  }
}

}  // namespace
}  // namespace zambrix
