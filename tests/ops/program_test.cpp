// EPROM programming through the window's own handlers, on the simulated board
// with datasheet-true chips.
#include <gtest/gtest.h>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Programmer;
using testing::RandomImage;

// The pulse budget: 254 pulses of the datasheet's width, then the report with
// the latches already safe, the alert, and no verify.
TEST(ProgramEprom, AByteThatNeverProgramsFailsAfterExactly254Pulses) {
  sim::SimFaults dead;
  dead.dead_byte = 0;
  Programmer p("27C256", {}, 6, 12.5, dead);
  p.Choose("Eprom 27C256");
  std::vector<std::uint8_t> image(32768, 0xFF);
  image[0] = 0x00;
  image[1] = 0x11;
  p.Open(image);
  p.core().ChangeValue("VerifyAfterProgramming", 1);
  p.core().Click("Program_button");

  EXPECT_EQ(p.Pulses(), 254u);
  EXPECT_FALSE(p.Logged("Verify Function Started... Wait"));
  EXPECT_EQ(p.Chip()[1], 0xFF);  // no further byte is written
  // Programming voltage off and chip enable off before the first line of the report.
  const auto& first = p.At("*** Programming Failure ***");
  EXPECT_EQ(first.latch0, 0x40);
  EXPECT_NE(first.latch3 & 0x80, 0);
  // Every pulse is the 27C256's 100 us, the 56th and later too.
  EXPECT_EQ(p.port->Board().socket().As<sim::Eprom>()->ProgrammingTime(), 254 * 100'000u);
  EXPECT_EQ(p.port->Trace().ViolationCount(), 0u);
}

// Bytes that took more pulses than the datasheet's 25 still program (the
// budget rescues an old part) and are counted in one line at the end.
TEST(ProgramEprom, BytesOverThePulseLimitAreNamedInOneLineAtTheEnd) {
  sim::SimFaults weak;
  weak.weak_cells = 5;  // each byte needs five times its pulses
  Programmer p("27C256", {}, 6, 12.5, weak);
  p.Choose("Eprom 27C256");
  std::vector<std::uint8_t> image(32768, 0xFF);
  std::fill_n(image.begin() + 0x100, 64, 0x00);
  p.Open(image);
  p.core().Click("Program_button");
  EXPECT_EQ(p.Chip(), image);
  // Of the 64 bytes, seeded, nine need more than 25 pulses once weakened, the first at 10Eh.
  EXPECT_TRUE(p.Logged("Programming Device Successfull"));
  EXPECT_TRUE(p.Logged(
      "9 bytes needed more than 25 pulses, first at 10Eh: such a chip may not keep its data"));
  EXPECT_EQ(p.port->Trace().ViolationCount(), 0u);
}

// On a model-4 board the jumper sets the programming voltage: the safety
// question names the setting the chip needs. Other boards and chips without
// a programming voltage get the plain question. Cancel leaves the chip alone
// and the board at rest.
TEST(ProgramEprom, TheSafetyQuestionNamesModel4sJumperSettingAndCancelWritesNothing) {
  struct Case {
    int model;
    std::string chip, device;
    int voltage_option;
    std::string question;
  };
  for (const auto& c :
       {Case{4, "27C256", "Eprom 27C256", 0,
             "ZAMBRIX-4: set the VPP jumper to 12.5V for Eprom 27C256\r\nProgram the Device?"},
        Case{4, "2732A", "Eprom 2732A", 2,
             "ZAMBRIX-4: set the VPP jumper to 21V for Eprom 2732A\r\nProgram the Device?"},
        Case{4, "X28C256", "Eeprom XICOR X28C256", 0, "Program the Device?"},
        Case{6, "27C256", "Eprom 27C256", 0, "Program the Device?"}}) {
    SCOPED_TRACE(c.device + " on model " + std::to_string(c.model));
    Programmer p(c.chip, {}, c.model);
    p.Choose(c.device);
    if (c.voltage_option) p.core().ChangeValue(Indexed("Voltage_button", c.voltage_option), 1);
    p.Load(RandomImage(4096, 3));
    p.t->dialogs.answers.push_back(MsgAnswer::Cancel);
    p.core().Click("Program_button");
    ASSERT_FALSE(p.t->dialogs.shown.empty());
    EXPECT_EQ(p.t->dialogs.shown.back().text, c.question);
    EXPECT_EQ(p.t->dialogs.shown.back().title, "Safety Question");
    EXPECT_TRUE(p.Logged("Programming was Canceled by Operator"));
    EXPECT_TRUE(std::all_of(p.Chip().begin(), p.Chip().end(), [](auto b) { return b == 0xFF; }));
    EXPECT_EQ(p.port->Board().Latch(0), 0x40);
    EXPECT_EQ(p.port->Board().Latch(3), 0xC4 | p.core().link.Reg3Fixed);
  }
}

// Bytes that need no pulse: FFh in the image, or (with the pre-read) already in the chip.
TEST(ProgramEprom, NothingIsPulsedForFFhBytesOrBytesThePreReadFindsInPlace) {
  Programmer blank("27C512");
  blank.Choose("Eprom 27C512");
  blank.Open(std::vector<std::uint8_t>(65536, 0xFF));
  const auto& changes = blank.port->Trace().counts.latch_changes;
  const auto low_address_changes = changes[2];
  blank.core().Click("Program_button");
  EXPECT_EQ(blank.Pulses(), 0u);
  EXPECT_LT(changes[2] - low_address_changes,
            16u);  // no byte addressed (the board checks load a few)
  EXPECT_TRUE(blank.Logged("Programming Device Successfull"));

  auto image = RandomImage(65536, 5);
  Programmer same("27C512", image);
  same.Choose("Eprom 27C512");
  same.Open(image);
  same.core().Click("Program_button");
  EXPECT_EQ(same.Pulses(), 0u);
  EXPECT_TRUE(same.Logged("Programming Device Successfull"));
  EXPECT_EQ(same.Chip(), image);
}

// The 2732 family's one 50 ms pulse a byte, and the set-up value and settling
// wait of its voltages.
TEST(ProgramEprom, The2732FamilyGetsItsVoltageSetUpAndItsFullProgrammingTime) {
  Programmer p("2732A", {}, 5);
  p.Choose("Eprom 2732A");
  p.core().ChangeValue("Voltage_button(2)", 1);
  std::vector<std::uint8_t> image(4096, 0xFF);
  image[7] = 0x00;
  p.Open(image);
  p.core().Click("Program_button");
  const auto& wait = p.At("Wait 1500ms second VPP Settling");
  const auto& started = p.At("Programming Started... Wait ");
  EXPECT_EQ(started.latch0, 0x4A);
  EXPECT_GE(started.ns - wait.ns, 1500'000'000u);
  EXPECT_EQ(p.Pulses(), 1u);
  EXPECT_EQ(p.port->Board().socket().As<sim::Eprom>()->ProgrammingTime(), 50'000'000u);
  EXPECT_EQ(p.Chip()[7], 0x00);

  Programmer c("2732", {}, 6);
  c.Choose("Eprom 27C32");
  c.Open(std::vector<std::uint8_t>(4096, 0xFF));
  c.core().Click("Program_button");
  EXPECT_EQ(c.At("Programming Started... Wait ").latch0, 0x48);
  EXPECT_FALSE(c.Logged("Wait 1500ms second VPP Settling"));
}

TEST(ProgramEprom, AnUnsupportedKeyAndAFailedBlankCheckProgramNothing) {
  Programmer otp("27C080");
  otp.Choose("Eprom 27C080");
  otp.Open(RandomImage(1024, 1));
  otp.core().dev.DeviceKey = "PM";  // the one-time-programmable 27C080
  otp.core().ChangeValue("VerifyAfterProgramming", 1);
  otp.core().Click("Program_button");
  EXPECT_TRUE(otp.Logged("Device Not Supported - Status 9 - Please Report"));
  EXPECT_FALSE(otp.Logged("Verify Function Started... Wait"));
  EXPECT_EQ(otp.Pulses(), 0u);

  std::vector<std::uint8_t> used(32768, 0xFF);
  used[0x1F00] = 0x3C;
  Programmer b("27C256", used);
  b.Choose("Eprom 27C256");
  b.Open(RandomImage(32768, 2));
  b.core().ChangeValue("CheckBlankPriorProgramming", 1);
  b.core().Click("Program_button");
  EXPECT_TRUE(b.Logged("Address: 1F00 ][ Device Data: 3C"));
  EXPECT_FALSE(b.Logged("Programming Started... Wait "));
  EXPECT_EQ(b.Pulses(), 0u);
}

// A serial chip is never blank-checked, and its socket stays powered after the run.
TEST(ProgramEprom, ASerialChipSkipsTheBlankCheckAndKeepsItsSocketPowered) {
  Programmer p("24C16");
  p.Choose("Eeprom 24C16 Serial (8 pins)");
  p.Open(RandomImage(2048, 4));
  p.core().ChangeValue("CheckBlankPriorProgramming", 1);
  p.core().Click("Program_button");
  EXPECT_FALSE(p.Logged("Checking Device for BLANK (Erased)... Wait"));
  const auto& board = p.port->Board();
  EXPECT_EQ(board.Latch(3) & 0x80, 0);  // chip enable on
  EXPECT_EQ(board.Latch(0) & 0xC0, 0);  // output enable on
}

// A port that fails once armed and a number of accesses have passed.
class FailingPort : public PortBackend {
 public:
  explicit FailingPort(PortBackend& inner) : inner_(inner) {}
  void PortOut(std::uint16_t a, std::uint8_t v) override {
    Tick();
    inner_.PortOut(a, v);
  }
  std::uint8_t PortIn(std::uint16_t a) override {
    Tick();
    return inner_.PortIn(a);
  }
  bool IsSimulated() const override { return true; }
  std::string Describe() const override { return inner_.Describe(); }
  int fail_after = -1;

 private:
  void Tick() {
    if (fail_after > 0 && --fail_after == 0) throw std::runtime_error("port failure");
  }
  PortBackend& inner_;
};

TEST(ProgramEprom, AFailureInsideTheRunLeavesTheBoardSafeBeforeAnythingIsLogged) {
  Programmer p("27C256");
  FailingPort failing(*p.port);
  p.t->core->svc.port = &failing;
  p.core().link.UsePort(&failing);
  p.Choose("Eprom 27C256");
  p.Open(std::vector<std::uint8_t>(32768, 0x00));
  failing.fail_after = 3000;  // well inside the pulses
  p.core().Click("Program_button");
  const auto& stop = p.At("*** Operation stopped: port failure");
  EXPECT_EQ(stop.latch0, 0x40);      // no programming voltage, no VPP switch
  EXPECT_NE(stop.latch3 & 0x80, 0);  // chip deselected
  EXPECT_NE(stop.latch3 & 0x40, 0);  // data latch off
  EXPECT_FALSE(p.Logged("Programming Device Successfull"));
  p.t->core->svc.port = p.port.get();  // the failing port goes before the core lets go of it
  p.core().link.UsePort(p.port.get());
}

}  // namespace
}  // namespace zambrix
