// A board that stops answering part-way through an operation, on the simulated
// board: the loss is blamed on the board, never on the chip, and nothing that
// follows it claims success.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Programmer;
using testing::RandomImage;

// An operation as the operator starts it: a device chosen, a code file opened,
// one click.
struct Operation {
  const char* chip;
  const char* entry;
  std::size_t file_size;
  const char* button;
};

// Port accesses the simulated board has seen so far.
std::uint64_t Accesses(const Programmer& p) {
  const auto& counts = p.port->Trace().counts;
  return counts.writes + counts.reads;
}

// The programmer ready for `op`, the chip erased for programming and holding
// the file otherwise; the board goes away after `vanish` port accesses (0: never).
std::unique_ptr<Programmer> Ready(const Operation& op, std::uint64_t vanish) {
  const auto file = RandomImage(op.file_size, 3);
  const bool programs = std::string(op.button) == "Program_button";
  auto config = Programmer::Setup(op.chip, programs ? std::vector<std::uint8_t>{} : file);
  config.faults.vanish_after = vanish;
  auto p = std::make_unique<Programmer>(config);
  p->Choose(op.entry);
  p->Open(file);
  return p;
}

std::unique_ptr<Programmer> Started(const Operation& op, std::uint64_t vanish) {
  auto p = Ready(op, vanish);
  p->core().Click(op.button);
  return p;
}

bool LoggedPart(const Programmer& p, const std::string& part) {
  const auto lines = p.Log();
  return std::any_of(lines.begin(), lines.end(),
                     [&part](const std::string& l) { return l.find(part) != std::string::npos; });
}

// True when the board, going away after `vanish` port accesses, is missed
// before or during the operation rather than after it.
bool MissedBeforeTheEnd(const Operation& op, std::uint64_t vanish) {
  const auto p = Started(op, vanish);
  return LoggedPart(*p, "DOES NOT ANSWER before") || LoggedPart(*p, "DOES NOT ANSWER during");
}

// The board is asked once more after the last byte is written. Found here as
// the first point at which the board may vanish without programming itself
// failing (searched back from the end of a run where it stays): the check
// after programming is the first to miss it, and neither a success line nor
// the OK sound follows.
TEST(BoardLost, RightAfterProgrammingIsAFailureWithoutSuccessLineOrSound) {
  const Operation ops[] = {
      {"27C64", "Eprom 27C64", 8192, "Program_button"},
      {"X28C256", "Eeprom XICOR X28C256", 32768, "Program_button"},
      {"24C08", "Eeprom 24C08 Serial (8 pins)", 1024, "Program_button"},
  };
  for (const auto& op : ops) {
    SCOPED_TRACE(op.chip);
    const std::uint64_t start = Accesses(*Ready(op, 0)), end = Accesses(*Started(op, 0));
    std::uint64_t after = end - 1, back = 2;
    for (; !MissedBeforeTheEnd(op, end - back); back *= 2) {
      after = end - back;
      ASSERT_LT(2 * back, end - start) << "the board was never missed before the end";
    }
    std::uint64_t before = end - back;
    while (after - before > 1) {
      const std::uint64_t mid = before + (after - before) / 2;
      (MissedBeforeTheEnd(op, mid) ? before : after) = mid;
    }
    const auto p = Started(op, after);
    EXPECT_TRUE(p->Logged("ZAMBRIX-6 at Port 378 DOES NOT ANSWER after programming"));
    for (const char* success :
         {"Programming Device Successfull", "XICOR 28C256 Programmed Sucessfully"})
      EXPECT_FALSE(p->Logged(success)) << success;
    const auto& played = p->t->sound.played;
    EXPECT_EQ(std::count(played.begin(), played.end(), p->core().report.SoundPathForKey("OK")), 0);
    EXPECT_EQ(p->LastSound(), p->core().report.SoundPathForKey("ERROR"));
    EXPECT_TRUE(p->core().ops.BoardLost);
  }
}

// When the simulated board went away (its clock's time).
std::uint64_t VanishedAt(const Programmer& p) {
  for (const auto& e : p.port->Trace().Events()) {
    if (e.text.rfind("the board vanished", 0) == 0) return e.ns;
  }
  ADD_FAILURE() << "the board never went away";
  return 0;
}

// A 24Cxx transfer to a board that went away reads as a chip that does not
// acknowledge: the transfer stops at the first byte that was not acknowledged
// (the run ends within a second of the loss, not one acknowledge wait per byte
// later), and the board is asked before the chip is blamed, wherever it went.
TEST(BoardLost, ASerialTransferStopsAndBlamesTheBoardNeverTheChip) {
  const Operation ops[] = {
      {"24C16", "Eeprom 24C16 Serial (8 pins)", 2048, "Read_button"},
      {"24C16", "Eeprom 24C16 Serial (8 pins)", 2048, "Verify_button"},
      {"24C16", "Eeprom 24C16 Serial (8 pins)", 2048, "Program_button"},
      {"24C16", "Eeprom 24C16 Serial (8 pins)", 2048, "EraseFlash_button"},
  };
  for (const auto& op : ops) {
    SCOPED_TRACE(op.button);
    const std::uint64_t start = Accesses(*Ready(op, 0));
    for (std::uint64_t into : {60, 300, 1200, 5000}) {
      SCOPED_TRACE(into);
      const auto p = Started(op, start + into);
      EXPECT_LT(p->clock.NowNs() - VanishedAt(*p), 1'000'000'000u);
      EXPECT_TRUE(p->core().ops.BoardLost);
      EXPECT_TRUE(LoggedPart(*p, "ZAMBRIX-6 at Port 378 DOES NOT ANSWER"));
      EXPECT_FALSE(p->Logged("Device 24CXX DOES NOT RESPOND - ACK Error"));
    }
  }
}

}  // namespace
}  // namespace zambrix
