// The board is asked before a result is reported: reads and blank checks on the
// simulated board that is there, that goes away, or that never was; what a
// read and a code-file load leave behind; checks that cover part of the chip.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/sim_support.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

// The program as start-up leaves it on a simulated board, with a chip chosen.
struct Started {
  explicit Started(const sim::SimConfig& config, const std::string& device) : rig(config) {
    rig.t->shell.Form_Load();
    const auto& rows = core().dev.DeviceTable;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i][0].rfind(device + " ", 0) == 0) core().ChooseListIndex("Device", static_cast<int>(i));
    }
  }
  Core& core() { return *rig.t.core; }
  std::vector<std::string> Log() const { return rig.t.LogLines(); }
  bool Logged(const std::string& line) const {
    const auto lines = Log();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  bool LoggedStart(const std::string& start) const {
    const auto lines = Log();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
  }
  SimRig rig;
};

std::vector<std::uint8_t> Counting(std::size_t size) {
  std::vector<std::uint8_t> v(size);
  for (std::size_t i = 0; i < size; ++i) v[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return v;
}

// Mid-read, with the chip enabled and its outputs on: the probe of each board
// model answers, leaves every latch as it found it and harms nothing.
TEST(ConfirmBoard, EachModelAnswersAndLeavesTheLatchesAsTheyWere) {
  for (int model : {4, 5, 6}) {
    Started s(SimSetup(model, 0x278, "27C256", Counting(32768)), "Eprom 27C256");
    ASSERT_EQ(s.core().link.BoardModel, model);
    auto& link = s.core().link;
    link.Reset();
    link.CurrentAddress = 0x1234;
    link.Endereco2Adr();
    link.SETADR();
    link.REG4OFF();
    link.CEOEON();
    const auto before = s.rig.port.Board().Latches();
    const auto lines = s.Log().size();
    EXPECT_TRUE(s.core().ops.ConfirmBoard("now")) << model;
    EXPECT_EQ(s.rig.port.Board().Latches(), before) << model;
    EXPECT_FALSE(s.rig.trace().ChipDamaged()) << model;
    EXPECT_EQ(s.Log().size(), lines) << model;
    EXPECT_EQ(s.rig.ReadByte(0x1234), static_cast<std::uint8_t>(0x1234 * 7 + 1)) << model;
  }
}

// A board that goes away during a long read or blank check, or that start-up
// never found: no success line, the alert, the buffer and its state untouched.
TEST(ConfirmBoard, AMissingBoardNeverReadsOrChecksBlank) {
  struct Case {
    const char* what;
    std::uint64_t vanish;  // port accesses before the board goes (0: no board at all)
    const char* button;
    const char* lost;      // the log line that says so (its start)
  } cases[] = {
      {"read, second bank", 700000, "Read_button", "ZAMBRIX-6 at Port 378 DOES NOT ANSWER after address 1FFFFh"},
      {"blank, last bank", 7800000, "Blank_button", "ZAMBRIX-6 at Port 378 DOES NOT ANSWER after "},
      {"read, no board", 0, "Read_button", "No ZAMBRIX board found or forced: nothing to use before the read"},
      {"blank, no board", 0, "Blank_button", "No ZAMBRIX board found or forced: nothing to use before the blank check"},
  };
  for (const auto& c : cases) {
    auto config = SimSetup(6, 0x378, "27C080", std::vector<std::uint8_t>(1048576, 0xFF));
    config.faults.no_board = c.vanish == 0;
    config.faults.vanish_after = c.vanish;
    Started s(config, "Eprom 27C080");
    auto& buf = s.core().buf;
    std::fill_n(buf.CodeBuffer.begin(), 1048576, 0x5A);
    const bool save_as = s.core().ui.Enabled("mnuFileSaveCodeAs");
    s.core().Click(c.button);
    EXPECT_TRUE(s.core().ops.BoardLost) << c.what;
    EXPECT_TRUE(s.LoggedStart(c.lost)) << c.what;
    EXPECT_FALSE(s.Logged("1048576 bytes Read from Device")) << c.what;
    EXPECT_FALSE(s.Logged("Device IS BLANK (ERASED)")) << c.what;
    EXPECT_FALSE(s.Logged("Device IS NOT BLANK (ERASED)")) << c.what;
    EXPECT_EQ(s.core().ui.Colour("Error_label"), colour::kRed) << c.what;
    EXPECT_EQ(s.rig.t.sound.played.back(), "/opt/zambrix/error.wav") << c.what;
    EXPECT_TRUE(std::all_of(buf.CodeBuffer.begin(), buf.CodeBuffer.begin() + 1048576,
                            [](std::uint8_t b) { return b == 0x5A; }))
        << c.what;
    EXPECT_EQ(buf.CodeBufferLoaded, 0) << c.what;
    EXPECT_EQ(s.core().ui.Enabled("mnuFileSaveCodeAs"), save_as) << c.what;
  }
}

TEST(ParallelOutcome, AReadLeavesTheBufferLoadedAndTheBoardIdle) {
  Started s(SimSetup(5, 0x378, "27C64", Counting(8192)), "Eprom 2764");
  auto& ui = s.core().ui;
  const char* after_read[] = {"mnuFileSaveCodeAs", "Verify_button", "menuVerifyCode", "Program_button",
                              "menuProgramCode", "Erase_button", "menuEraseCode"};
  for (auto* c : after_read) ASSERT_FALSE(ui.Enabled(c)) << c;
  s.core().Click("Read_button");
  for (auto* c : after_read) EXPECT_TRUE(ui.Enabled(c)) << c;
  EXPECT_EQ(s.core().buf.CodeBufferLoaded, 1);
  EXPECT_EQ(s.rig.t.sound.played.back(), "/opt/zambrix/ok.wav");
  EXPECT_FALSE(s.core().ops.BoardLost);
  // Reset last: outputs off, chip and data latch disconnected.
  const auto& latch = s.rig.port.Board().Latches();
  EXPECT_EQ(latch[0], 0x40);
  EXPECT_EQ(latch[3], (s.core().link.Reg3Fixed | 0xC4) & 0xFF);
  EXPECT_EQ(ui.Value("ProgressBar1"), 0);
  const auto image = Counting(8192);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), s.core().buf.CodeBuffer.begin()));
}

TEST(ParallelOutcome, ACodeFileLoadEnablesItsCommands) {
  testing::TempDir dir;
  testing::WriteWholeFile(dir / "short.bin", std::string(1000, '\x11'));
  Started s(SimSetup(6, 0x378, "27C256"), "Eprom 27C256");
  auto& ui = s.core().ui;
  const char* after_load[] = {"tbToolBar.Buttons(2)", "mnuFileSaveCode", "mnuFileSaveCodeAs", "Erase_button",
                              "menuEraseCode", "Program_button", "Verify_button"};
  for (auto* c : after_load) ASSERT_FALSE(ui.Enabled(c)) << c;
  s.rig.t.dialogs.open_files.push_back((dir / "short.bin").string());
  s.core().Click("mnuFileOpenCode");
  for (auto* c : after_load) EXPECT_TRUE(ui.Enabled(c)) << c;
  EXPECT_EQ(ui.Value("CheckCode"), 1);
  EXPECT_EQ(ui.Value("CheckData"), 0);
  EXPECT_FALSE(ui.Enabled("CheckCode"));
  EXPECT_FALSE(ui.Enabled("CheckData"));
  EXPECT_EQ(s.core().buf.CodeBufferLoaded, 1);
  EXPECT_EQ(s.rig.t.sound.played.back(), "/opt/zambrix/done.wav");
}

// A file shorter than the chip limits the check and the read to its length;
// the log says so before the verdict. A whole-chip check says nothing extra.
TEST(ParallelOutcome, ChecksShorterThanTheChipSaySo) {
  testing::TempDir dir;
  testing::WriteWholeFile(dir / "short.bin", std::string(1000, '\x11'));
  std::vector<std::uint8_t> chip(32768, 0xFF);
  chip[20000] = 0x00;  // beyond the file: not checked
  Started s(SimSetup(6, 0x378, "27C256", chip), "Eprom 27C256");
  s.core().Click("Blank_button");
  EXPECT_TRUE(s.Logged("Device IS NOT BLANK (ERASED)"));
  EXPECT_FALSE(s.Logged("Checked 20001 of 32768 bytes (the loaded file's length)"));
  s.core().Click("Error_label");

  s.rig.t.dialogs.open_files.push_back((dir / "short.bin").string());
  s.core().Click("mnuFileOpenCode");
  s.core().Click("Blank_button");
  auto lines = s.Log();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Checked 1000 of 32768 bytes (the loaded file's length)");
  EXPECT_EQ(lines.back(), "Device IS BLANK (ERASED)");

  s.core().Click("Read_button");
  lines = s.Log();
  const auto read = std::find(lines.begin(), lines.end(), "1000 bytes Read from Device");
  ASSERT_NE(read, lines.end());
  EXPECT_EQ(*(read - 1), "Read 1000 of 32768 bytes (the loaded file's length)");
}

}  // namespace
}  // namespace zambrix
