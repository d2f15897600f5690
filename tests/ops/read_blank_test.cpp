#include <gtest/gtest.h>

#include <map>

#include "support/fakes.h"
#include "support/link_traffic.h"

namespace zambrix {
namespace {

using testing::TestCore;

// A model-6 board at 378h on the recording back end, with a parallel chip chosen
// by hand (key, size and fixed bits as the catalogue gives them).
struct ParallelBench {
  explicit ParallelBench(const std::string& key, std::int32_t size, int reg1 = 0, int reg3 = 0) {
    testing::Install(t, 6);
    auto& link = t->link;
    t->dev.DeviceKey = key;
    t->dev.DeviceClass = key.substr(0, 1);
    t->buf.CodeSize = size;
    link.Reg1Fixed = reg1;
    link.Reg3Fixed = reg3;
    t->ui.SetValueQuiet("CheckCode", 1);
  }
  // Latch loads by latch number, counted from the select values written.
  std::map<int, int> LatchLoads() const {
    std::map<int, int> loads;
    const auto& log = t.recording.Log();
    for (std::size_t i = 0; i + 1 < log.size(); ++i) {
      if (!log[i].write || log[i].address != 0x37A || !log[i + 1].write) continue;
      for (int n = 0; n < 5; ++n) {
        if (log[i].value == t->link.RegStrobe[n] && log[i + 1].value == t->link.RegSelect[n]) ++loads[n];
      }
    }
    return loads;
  }
  int StatusReads() const {
    int n = 0;
    for (const auto& a : t.recording.Log()) n += !a.write && a.address == 0x379;
    return n;
  }
  TestCore t;
};

TEST(ParallelRead, ErasedChipGivesChecksum8000AndOneLoadAndOneByteReadPerByte) {
  ParallelBench b("P4", 32768, 128, 2);
  b.t->Click("Read_button");
  auto lines = b.t.LogLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "32768 bytes Read from Device");
  EXPECT_EQ(lines[1], "Device CHKSUMM = $8000");
  EXPECT_EQ(lines[2], "Data is available at above Window, use Scroll Bar");
  EXPECT_EQ(lines[3], "You can Save the file using [FILE - Save As] menu");
  auto loads = b.LatchLoads();
  // Two Resets and the start address add three loads of latches 1 and 2 each.
  EXPECT_EQ(loads[2], 32768 + 3);
  EXPECT_EQ(loads[1], 128 + 3);
  EXPECT_EQ(b.StatusReads(), 2 * 32768);
  EXPECT_EQ(b.t->buf.CodeBufferLoaded, 1);
  EXPECT_TRUE(b.t->ui.Enabled("Verify_button"));
  EXPECT_TRUE(b.t->ui.Enabled("mnuFileSaveCodeAs"));
  EXPECT_EQ(b.t.sound.played.back(), "/opt/zambrix/ok.wav");
  EXPECT_EQ(b.t->buf.CodeBuffer[32767], 0xFF);
  EXPECT_EQ(b.t->link.Reg3Value, 0xC6);  // reset at the end
}

TEST(ParallelRead, OddSizesReadEachByteOnceAtItsOwnAddressAndStopAtTheSize) {
  ParallelBench b("P7", 65536 + 1000);
  b.t->buf.CodeBuffer[65536 + 1000] = 0x5A;  // just past the size: must stay
  b.t->Click("Read_button");
  EXPECT_EQ(b.StatusReads(), 2 * (65536 + 1000));
  EXPECT_EQ(b.t->buf.CodeBuffer[65536 + 999], 0xFF);
  EXPECT_EQ(b.t->buf.CodeBuffer[65536 + 1000], 0x5A);
  EXPECT_EQ(b.t->ops.LastBank, 1);
  EXPECT_EQ(b.t->ops.LastPage, 3);
  EXPECT_LE(b.t->ui.Value("ProgressBar1"), b.t->ui.Max("ProgressBar1"));
}

TEST(ParallelRead, NoBoardCompletesWithoutReadingThePort) {
  TestCore t;
  t->link.InitControlTables();
  t->dev.DeviceKey = "P9";
  t->dev.DeviceClass = "P";
  t->buf.CodeSize = 1048576;
  t->ui.SetValueQuiet("CheckCode", 1);
  t->Click("Read_button");
  EXPECT_EQ(t.LogLines().front(), "1048576 bytes Read from Device");
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kButtonFace);
}

TEST(ReadDispatch, DevicesWithoutAReadRoutineGetTheBoxesInOrder) {
  TestCore t;
  t->dev.DeviceKey = "MJ";
  t->dev.DeviceClass = "M";
  t->ui.SetValueQuiet("CheckCode", 1);
  t->ui.SetValueQuiet("CheckData", 1);
  t->Click("Read_button");
  ASSERT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(t.dialogs.shown[0].text, "Please Write Missing Routines at READCODE");
  EXPECT_EQ(t.dialogs.shown[0].title, "Routine Not Ready");
  EXPECT_EQ(t.dialogs.shown[1].text, "Please Write AT90S2313 Eeprom Read Routine");
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{"Start Device Reading Operation"}));
  EXPECT_EQ(t->ui.Text("sbStatusBar"), "Reading Device... Wait");
}

TEST(BlankCheck, ErasedChipPassesWithOkSound) {
  ParallelBench b("P5", 65536);
  b.t->Click("Blank_button");
  auto lines = b.t.LogLines();
  EXPECT_EQ(lines.front(), "Checking Device for BLANK (Erased)... Wait");
  EXPECT_EQ(lines.back(), "Device IS BLANK (ERASED)");
  EXPECT_EQ(b.t.sound.played.back(), "/opt/zambrix/ok.wav");
  EXPECT_EQ(b.t->ui.Max("ProgressBar1"), 100);  // reset at the end
}

TEST(BlankCheck, FirstNonBlankByteIsReportedAtItsChipAddressWithoutReset) {
  ParallelBench b("P7", 262144);
  // Model 6 decode: first read gives the low nibble from status bits 3..6.
  // Let every read answer FFh except the two reads of byte 12345h, which give 3Ch.
  std::vector<std::uint8_t> reads(2 * 0x12345, 0xFF);
  reads.push_back(0x0C << 3);  // low nibble C
  reads.push_back(0x03 << 3);  // high nibble 3
  b.t.recording.ScriptReads(reads);
  b.t->ui.SetEnabled("Read_button", true);
  b.t->Click("Blank_button");
  auto lines = b.t.LogLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 3], "Device IS NOT BLANK (ERASED)");
  EXPECT_EQ(lines[lines.size() - 2], "Address: 12345 ][ Device Data: 3C");
  EXPECT_EQ(lines.back(), "Click on [ERROR] alert to Reset the Situation");
  EXPECT_EQ(b.t->ops.WorkAddress, 0x12345);
  EXPECT_EQ(b.t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_FALSE(b.t->ui.Enabled("Read_button"));
  EXPECT_EQ(b.t.sound.played.back(), "/opt/zambrix/error.wav");
  EXPECT_EQ(b.t->link.Reg3Value & 0x80, 0);  // chip still enabled: no reset
}

TEST(BlankCheck, SerialAndDataChecksOnlyShowTheirBoxes) {
  TestCore t;
  t->dev.DeviceKey = "SC";
  t->dev.DeviceClass = "S";
  t->ui.SetValueQuiet("CheckCode", 1);
  t->Click("Blank_button");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, "Please Write Missing Routines at BLANKCODE");
  EXPECT_EQ(t.dialogs.shown[0].title, "Missing Routine");
  t->ui.SetValueQuiet("CheckCode", 0);
  t->ui.SetValueQuiet("CheckData", 1);
  t->Click("Blank_button");
  EXPECT_EQ(t.dialogs.shown.back().text, "Please Write AT90S2313 Check Blank Eeprom Routine");
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kButtonFace);
}

TEST(SerialAck, ReportRaisesTheAlertWithFourLines) {
  TestCore t;
  t->ops.ReportSerialAckError();
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{std::string(50, '*'), "Device 24CXX DOES NOT RESPOND - ACK Error",
                                                    "Check Chip Installation Position on Socket",
                                                    "Click on [ERROR] Alert to Reset the Situation"}));
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
}

}  // namespace
}  // namespace zambrix
