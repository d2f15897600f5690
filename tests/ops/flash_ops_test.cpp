// The X28C256 page algorithm, flash identification, byte programming and chip
// erase through the program's own handlers, on the simulated board with
// datasheet-true chips.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/text.h"
#include "program_window_support.h"
#include "sim/chips/jedec_flash.h"
#include "sim/chips/page_eeprom.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The programmer with the extended catalogue, `chip` in the socket (protected
// when it is a page EEPROM), each port access taking `access_ns`.
struct Board : testing::Programmer {
  explicit Board(const std::string& chip, Bytes contents = {}, std::uint64_t access_ns = 1000,
                 sim::SimFaults faults = {})
      : Programmer(Config(Setup(chip, std::move(contents), 6, 12.5, faults), access_ns)) {
    core().dev.SetExtendedCatalogue(true);
    core().dev.FillDeviceList();
  }
  static sim::SimConfig Config(sim::SimConfig c, std::uint64_t access_ns) {
    c.protect = c.chip && c.chip->kind == sim::ChipKind::kPageEeprom;
    c.access_ns = access_ns;
    return c;
  }
  Operations& ops() { return core().ops; }
};

using testing::RandomImage;

// A protected X28C256 on ports of 1 to 2 us per access, at the default and the
// fastest setting: the write cycle is waited out at its datasheet length (the
// byte-load time and tWC, 11 ms) after the protection-off command and after
// each page, which is loaded once. Write cycles of 25 ms, past the datasheet's
// 10 ms, are waited for again, never loaded again.
TEST(X28C256Program, ProtectedChipProgramsAndVerifiesOnSlowPortsAndSlowChips) {
  struct Case {
    std::uint64_t access_ns;
    int slider;
    std::uint64_t write_ns = 0;
  };
  for (const Case c : {Case{1000, 50}, Case{1500, 50}, Case{2000, 100}, Case{1000, 100},
                       Case{1000, 100, 25'000'000}}) {
    SCOPED_TRACE(std::to_string(c.access_ns) + " ns, slider " + std::to_string(c.slider) +
                 ", write cycle " + std::to_string(c.write_ns));
    const Bytes image = RandomImage(32768, static_cast<unsigned>(c.access_ns + c.slider));
    sim::SimFaults slow;
    slow.slow_write_ns = c.write_ns;
    Board b("X28C256", RandomImage(32768, 1), c.access_ns, slow);
    b.Choose("Eeprom XICOR X28C256");
    b.core().ChangeValue("Slider1", c.slider);
    b.Load(image);
    b.core().ChangeValue("VerifyAfterProgramming", 1);
    b.core().Click("Program_button");
    EXPECT_EQ(b.ops().FailFlag, 0);
    EXPECT_TRUE(b.Logged("Device Contents MATCHES with Buffer Contents"));
    EXPECT_EQ(b.clock.sleeps[11], 1 + 512) << "every page loaded once";
    EXPECT_EQ(b.port->Trace().ViolationCount(), 0u);
    EXPECT_FALSE(b.port->Board().socket().As<sim::PageEeprom>()->Protected());
    EXPECT_EQ(b.Chip(), image);
  }
}

// A page that never reads back fails after its 79 loads (one wait of the speed
// setting before each), the programming voltage off and the later pages
// untouched. With write cycles of 25 ms at the fastest setting the report
// names the chip's own byte, never the status a busy chip answers.
TEST(X28C256Program, APageThatNeverReadsBackFailsAfter79Loads) {
  const Bytes image = RandomImage(32768, 9);
  for (std::uint64_t write_ns : {0, 25'000'000}) {
    SCOPED_TRACE(write_ns);
    sim::SimFaults faults;
    faults.dead_byte = 5 * 64 + 9;
    faults.slow_write_ns = write_ns;
    Board b("X28C256", Bytes(32768, 0x00), 1000, faults);
    b.Choose("Eeprom XICOR X28C256");
    b.core().ChangeValue("Slider1", write_ns ? 100 : 50);
    b.Load(image);
    b.core().Click("Program_button");
    if (write_ns == 0) {
      EXPECT_EQ(b.clock.sleeps[51], 5 + 79);
    }
    EXPECT_EQ(b.From("*** Programming Failure ***"),
              (std::vector<std::string>{
                  "*** Programming Failure ***",
                  "*** Address:149h, Programming BYTE:" + HexText(image[0x149]) + "h, Read BYTE:0h",
                  "*** Aborting Programming - Click on [ERROR] Indicator to Reset"}));
    EXPECT_EQ(b.ops().FailFlag, 1);
    EXPECT_EQ(b.At("*** Programming Failure ***").latch0, 0x40);  // at rest before the report
    const Bytes chip = b.Chip();
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 5 * 64, chip.begin()));
    EXPECT_EQ(chip[6 * 64], 0x00);  // later pages untouched
  }
}

// The identification lines for the parts the board's flash socket takes; the
// AM29F010 decodes A14 in its command cycles and answers only at 5555h/2AAAh,
// the EN29F040 answers 7Fh first and its codes at 100h/101h. An EPROM or an
// empty socket is no flash unit: its bytes 0 and 1 (A18 rests high on the
// AM29F040 row) are what the identification reads.
TEST(FlashIdentification, LogsTheTableLineForEachPartAndRefusesTheRest) {
  struct Case {
    std::string chip, row, before, line;
    int page_size, page_count;
  };
  const std::string reading = "Reading Flash Code ID_________________ wait";
  const std::string not_flash = "*** Not a Flash Unit, Address 00&01 = FlashCode ***";
  for (const auto& c : {
           Case{"AM29F040", "Flash AMD AM29F040", reading,
                "Device ID# 01A4 - AMD am29F040 Flash Memory", 512, 1024},
           Case{"AM29F010", "Flash AMD AM29F010", reading,
                "Device ID# 0120 - AMD am29F010 Flash Memory", 512, 256},
           Case{"EN29F040", "Flash EON EN29F040", reading,
                "Device ID# 1C04 - EON EN29F040 Flash Memory", 512, 1024},
           Case{"A29040", "Flash AMIC A29040", reading,
                "Device ID# 3786 - AMIC A29040 Flash Memory", 512, 1024},
           Case{"27C040", "Flash AMD AM29F040", not_flash, "Device ID# 1234 -  Not Valid!!!", 0, 0},
           Case{"", "Flash AMD AM29F040", not_flash, "Device ID# FFFF -  Not Valid!!!", 0, 0},
       }) {
    SCOPED_TRACE(c.chip);
    Bytes contents = RandomImage(512 * 1024, 5);
    contents[0x40000] = 0x12, contents[0x40001] = 0x34;
    Board b(c.chip, contents);
    b.Choose(c.row);
    b.core().Click("menuFlashShowCodeID");
    const auto log = b.Log();
    EXPECT_EQ(log[log.size() - 2], c.before);
    EXPECT_EQ(log.back(), c.line);
    EXPECT_EQ(b.ops().FlashPageSize, c.page_size);
    EXPECT_EQ(b.ops().FlashPageCount, c.page_count);
    EXPECT_EQ(b.core().link.Reg3Value & 0x80, 0x80) << "chip enable left off";
    if (!c.chip.empty()) {
      EXPECT_EQ(b.Chip()[0], contents[0]);  // back in read mode, nothing written
    }
  }
}

TEST(FlashIdentification, QuickCommandIs22LatchLoadsWithoutTouchingTheShadows) {
  Board b("AM29F040");
  b.Choose("Flash AMD AM29F040");
  auto& l = b.core().link;
  l.OEOFF();
  const std::array<int, 5> shadows{l.Reg0Value, l.Reg1Value, l.Reg2Value, l.Reg3Value, l.Reg4Value};
  b.port->Trace().EnableAccessLog(1000);
  b.port->Trace().ClearAccesses();
  b.ops().FlashCommandByte = 0x90;
  b.ops().FlashCommand3();
  const auto& acc = b.port->Trace().Accesses();
  ASSERT_EQ(acc.size(), 4u + 22 * 3);  // OEOFF's own latch load, then the quick loads
  int strobes = 0;
  for (std::size_t i = 4; i < acc.size(); i += 3) {
    EXPECT_EQ(acc[i].address, l.PortAddress);
    strobes += std::count(l.RegStrobe.begin(), l.RegStrobe.end(), acc[i + 1].value) > 0;
  }
  EXPECT_EQ(strobes, 22);
  EXPECT_EQ((std::array<int, 5>{l.Reg0Value, l.Reg1Value, l.Reg2Value, l.Reg3Value, l.Reg4Value}),
            shadows);
}

TEST(FlashBytes, AByteThatCannotTakeItsValueFailsAfter49Attempts) {
  Bytes zeros(128 * 1024, 0xFF);
  zeros[7] = 0x00;  // a 0 bit cannot go back to 1 without an erase
  Board b("AM29F010", zeros);
  b.Choose("Flash AMD AM29F010");
  b.Load(Bytes(256, 0xA5));
  b.ops().ProgramFlashBytes();
  const auto log = b.Log();
  EXPECT_EQ(log[log.size() - 2], "*** Address:7h, Programming BYTE:A5h, Read BYTE:0h");
  EXPECT_EQ(b.ops().FailFlag, 1);
}

TEST(FlashErase, ChipEraseLeavesFFhOrReportsAChipThatNeverFinishesOrAByteItLeft) {
  Board ok("AM29F040", RandomImage(512 * 1024, 6));
  ok.Choose("Flash AMD AM29F040");
  ok.core().Click("EraseFlash_button");
  EXPECT_EQ(ok.Chip(), Bytes(512 * 1024, 0xFF));
  EXPECT_EQ(ok.ops().FailFlag, 0);

  sim::SimFaults stuck;
  stuck.slow_write_ns = 1000ull * 1'000'000'000;
  Board slow("AM29F040", RandomImage(512 * 1024, 6), 1000, stuck);
  slow.Choose("Flash AMD AM29F040");
  slow.core().Click("EraseFlash_button");
  EXPECT_FALSE(slow.Logged("Chip Erased, all bytes read FFh"));
  EXPECT_EQ(slow.ops().FailFlag, 1);

  // A byte the erase left, beyond the short file opened: the read-back covers the chip.
  sim::SimFaults kept;
  kept.unerasable_byte = 0x1A3C5;
  Board left("AM29F010", Bytes(128 * 1024, 0x00), 1000, kept);
  left.Choose("Flash AMD AM29F010");
  left.Open(Bytes(256, 0x11));
  left.core().Click("EraseFlash_button");
  EXPECT_TRUE(left.Logged("*** Address:1A3C5h, Read BYTE:0h after the erase"));
  EXPECT_EQ(left.ops().FailFlag, 1);
}

// Refused rows stay refused in the extended table; the choice outlives a restart.
TEST(ExtendedCatalogue, RefusesTheUnprovenRowsAndIsRemembered) {
  Board b("AM29F040");
  b.core().ChooseListIndex("Device", 21);  // still refused: no device chosen
  EXPECT_EQ(b.core().dev.DeviceKey, "");
  for (bool on : {true, false}) {
    b.core().shell.Form_Unload();
    b.core().dev.ExtendedCatalogue = !on;
    b.core().shell.Form_Load();
    EXPECT_EQ(b.core().dev.ExtendedCatalogue, on);
    b.core().Click("mnuToolsCatalogue");
  }
}

TEST(FlashReset, TheResetCommandReturnsAChipInIdModeToReading) {
  Board b("AM29F040B", RandomImage(16, 8));
  b.Choose("Flash AMD AM29F040");
  auto* chip = b.port->Board().socket().As<sim::JedecFlash>();
  b.ops().FlashCommandByte = 0x90;
  b.ops().FlashCommand3();
  b.port->Sync();
  ASSERT_TRUE(chip->InAutoselect());
  b.core().link.REG4ON();  // the data latch drives the lines, as after a write
  b.core().Click("ResetFlash");
  b.port->Sync();
  EXPECT_FALSE(chip->InAutoselect());
}

}  // namespace
}  // namespace zambrix
