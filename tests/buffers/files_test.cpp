#include <algorithm>

#include "buffer_fixture.h"

namespace zambrix {
namespace {

using testing::BufferTest;
using Bytes = std::vector<std::uint8_t>;

class Files : public BufferTest {};

TEST_F(Files, ACodeFileLoadsWithItsChecksumReportedAndTheViewShown) {
  auto path = WriteFile("ff.bin", Bytes(32768, 0xFF));
  OpenCode(path);
  auto& b = t->buf;
  EXPECT_EQ(b.CodeSize, 32768);
  EXPECT_EQ(b.FileCrcText, "8000");
  EXPECT_EQ(b.CodeBufferLoaded, 1);
  EXPECT_EQ(b.CodeBuffer[32768], 0x00);
  EXPECT_EQ(t.LogLines(),
            (std::vector<std::string>{"File " + path + " - was read into Buffer. 32768 bytes long.",
                                      "Read File CRC = $8000",
                                      "You can Install a Blank Eprom for Programming"}));
  auto& ui = t->ui;
  std::string upper = path;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  EXPECT_EQ(ui.Caption("FileNameCodeText"), upper);
  EXPECT_EQ(ui.Caption("FileNameCodeSize"), "(32768)");
  EXPECT_EQ(ui.Max("VScroll1"), 127);
  EXPECT_EQ(ui.Text("BufferDisplay").substr(0, 10), "\r\n000000| ");
  EXPECT_TRUE(ui.Enabled("tbToolBar.Buttons(2)"));
  EXPECT_EQ(t.sound.played, (std::vector<std::string>{"/opt/zambrix/done.wav"}));
  EXPECT_EQ(t.dialogs.file_requests[0].title, "Open Code File");
  EXPECT_EQ(t.dialogs.file_requests[0].filter, "All Files (*.*)|*.*");

  OpenCode(WriteFile("zero.bin", Bytes(4096, 0x00)));
  EXPECT_EQ(b.FileCrcText, "0000");
  OpenCode(WriteFile("a.bin", Bytes{0x41}));
  EXPECT_EQ(b.FileCrcText, "0041");
  EXPECT_EQ(ui.Max("VScroll1"), -1);  // shorter than one page
}

TEST_F(Files, ProgramAndVerifyAreEnabledOnlyWithADeviceSelected) {
  for (auto* c : {"Program_button", "menuVerifyCode"}) t->ui.SetEnabled(c, false);
  auto path = WriteFile("f.bin", Bytes(16, 1));
  OpenCode(path);
  EXPECT_FALSE(t->ui.Enabled("Program_button"));
  t->dev.DeviceKey = "P4";
  OpenCode(path);
  EXPECT_TRUE(t->ui.Enabled("Program_button"));
  EXPECT_TRUE(t->ui.Enabled("menuVerifyCode"));
  EXPECT_FALSE(t->ui.Enabled("CheckData"));
  t->dev.DeviceKey = "MJ";
  t->ui.SetValue("CheckData", 1);
  OpenCode(path);
  EXPECT_TRUE(t->ui.Enabled("CheckData"));
  EXPECT_EQ(t->ui.Value("CheckData"), 0);
}

TEST_F(Files, AShortFileAfterALongOneLeavesTheTail) {
  Bytes first(32768);
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<std::uint8_t>(i * 7 + 1);
  OpenCode(WriteFile("long.bin", first));
  OpenCode(WriteFile("short.bin", Bytes(1000, 0xAA)));
  EXPECT_EQ(t->buf.CodeSize, 1000);
  EXPECT_EQ(t->ui.Caption("FileNameCodeSize"), "(1000)");
  EXPECT_EQ(t->buf.CodeBuffer[999], 0xAA);
  EXPECT_TRUE(std::equal(first.begin() + 1000, first.end(), t->buf.CodeBuffer.begin() + 1000));
}

TEST_F(Files, TheLabelOpensAFileOnlyWhileItAsksForOne) {
  t->ui.SetCaption("FileNameCodeText", "  Click To Select a File ");
  t.dialogs.open_files.push_back(WriteFile("f.bin", Bytes(10, 3)));
  t->Click("FileNameCodeText");
  EXPECT_EQ(t->buf.CodeSize, 10);
  t->Click("FileNameCodeText");  // the label shows the file name now
  EXPECT_EQ(t.dialogs.file_requests.size(), 1u);
}

TEST_F(Files, RefusedCodeFilesChangeNothing) {
  auto good = WriteFile("good.bin", Bytes(512, 0x11));
  OpenCode(good);
  const auto lines = t.LogLines().size();
  std::filesystem::create_directories(PathOf("folder"));
  struct Case {
    std::string path, line;
  } cases[] = {
      {PathOf("missing.bin"),
       "File " + PathOf("missing.bin") + " could NOT be read - Buffer unchanged"},
      {PathOf("folder"), "File " + PathOf("folder") + " could NOT be read - Buffer unchanged"},
      {WriteFile("empty.bin", {}),
       "File " + PathOf("empty.bin") + " is empty (0 bytes) - Will Not Open"},
      {WriteFile("huge.bin", Bytes(Buffers::kCodeBufferSize + 1, 0x22)),
       "Code File Size is 2100002 bytes, bigger than the 2100001 allowed - Will Not Open"},
  };
  for (const auto& c : cases) {
    OpenCode(c.path);
    EXPECT_EQ(t.LogLines().back(), c.line);
  }
  auto& b = t->buf;
  EXPECT_EQ(t.LogLines().size(), lines + 4);
  EXPECT_EQ(b.CodeSize, 512);
  EXPECT_EQ(b.CodeFileName, good);  // a later save must not write over a refused file
  EXPECT_EQ(b.FileCrcText, "2200");
  EXPECT_EQ(b.CodeBuffer[512], 0x00);
  EXPECT_EQ(t->ui.Caption("FileNameCodeSize"), "(512)");
  EXPECT_EQ(t.sound.played.size(), 1u);

  OpenCode(
      WriteFile("full.bin", Bytes(Buffers::kCodeBufferSize, 0x01)));  // fills the buffer exactly
  EXPECT_EQ(b.CodeSize, 2100001);
  EXPECT_EQ(t->ui.Max("VScroll1"), 8202);
}

TEST_F(Files, CancelledDialogsChangeNothing) {
  t->buf.DisplayMode = "DisplayEprom";
  t.dialogs.open_files.push_back(std::string());  // an empty name counts as no choice
  for (auto* menu : {"mnuFileOpenCode", "mnuFileOpenData", "mnuFileSaveCodeAs", "mnuFileSaveCode",
                     "mnuFileSaveData", "mnuFileSaveDataAs"}) {
    t->Click(menu);
  }
  std::vector<std::string> titles;
  for (const auto& r : t.dialogs.file_requests) titles.push_back(r.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Open Code File", "Open Data File (eeprom)",
                                              "Save CODE BUFFER As...", "Save CODE BUFFER ...",
                                              "Save DATA Buffer ...", "Save DATA Buffer As..."}));
  EXPECT_TRUE(t.LogLines().empty());
  EXPECT_EQ(t->buf.DisplayMode, "DisplayEprom");
  EXPECT_EQ(t->buf.CodeFileName, "");
  EXPECT_EQ(t->ui.Caption("FileNameCodeText"), "Click To Select a File");
}

TEST_F(Files, A8192ByteDataFileIsAcceptedAnd8193Refused) {
  auto ok = WriteFile("ok.bin", Bytes(8192, 0x5A));
  OpenData(ok);
  auto& b = t->buf;
  EXPECT_EQ(b.DataSize, 8192);
  EXPECT_EQ(b.DataBufferLoaded, 1);
  EXPECT_EQ(b.DataBuffer[8192], 0x00);
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), ok);
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{
                              "File " + ok + " - was read into DataBuffer. 8192 bytes long.",
                              "You can Install a Blank Eprom for Programming"}));
  EXPECT_TRUE(t->ui.Enabled("mnuFileSaveDataAs"));

  OpenData(WriteFile("big.bin", Bytes(8193, 0x77)));
  EXPECT_EQ(t.LogLines().back(),
            "Data File Size is 8193 bytes, bigger than the 8192 allowed - Will Not Open");
  EXPECT_EQ(t.dialogs.shown.back().text, "Can't Open Data File Bigger than 8192 Bytes");
  EXPECT_EQ(t.dialogs.shown.back().title, "Data File to Big");
  EXPECT_EQ(t.dialogs.shown.back().icon, MsgIcon::Warning);
  EXPECT_EQ(b.DataBuffer[0], 0x5A);
  EXPECT_EQ(b.DataFileName, ok);
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), ok);
  EXPECT_EQ(t->ui.Colour("DataFlow_label"), colour::kButtonFace);

  OpenData(WriteFile("empty.bin", {}));
  OpenData(PathOf("missing.bin"));
  EXPECT_EQ(b.DataSize, 8192);
  EXPECT_EQ(b.DataFileName, ok);
  EXPECT_EQ(t.LogLines().back(),
            "File " + PathOf("missing.bin") + " could NOT be read - DataBuffer unchanged");
}

TEST_F(Files, AfterA100ByteDataFileTheSaveWritesExactly100Bytes) {
  OpenData(WriteFile("big.bin", Bytes(8192, 0xEE)));
  auto path = WriteFile("small.bin", Bytes(100, 0x01));
  OpenData(path);
  t->Click("mnuFileSaveData");  // the name is known: no dialog
  EXPECT_EQ(ReadAll(path), std::string(100, '\x01'));
  EXPECT_EQ(t.LogLines().back(), "File Sucessfully Saved as " + path);
  EXPECT_EQ(t.dialogs.file_requests.size(), 2u);
}

TEST_F(Files, ADeviceChosenAfterAShortFileMakesTheSaveWriteTheDeviceSize) {
  OpenCode(WriteFile("short.bin", Bytes(1000, 0x42)));
  t->buf.CodeBuffer[20000] = 0x99;
  t->buf.CodeSize = 32768;  // as selecting a 32 KB device does
  auto out = PathOf("out.bin");
  t.dialogs.save_files.push_back(out);
  t->Click("mnuFileSaveCodeAs");
  auto text = ReadAll(out);
  ASSERT_EQ(text.size(), 32768u);
  EXPECT_EQ(text.substr(0, 1000), std::string(1000, '\x42'));
  EXPECT_EQ(static_cast<std::uint8_t>(text[20000]), 0x99);
  EXPECT_EQ(t->ui.Caption("FileNameCodeText"), out);
}

TEST_F(Files, AFailedSaveSaysSoAndNeverCallsItSaved) {
  t->buf.CodeSize = 16;
  auto bad = PathOf("no-such-folder/out.bin");
  t.dialogs.save_files.push_back(bad);
  t->Click("mnuFileSaveCodeAs");
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{"File could NOT be Saved as " + bad +
                                                    " - nothing was written"}));
  EXPECT_EQ(t->ui.Text("sbStatusBar"), "");
  // A folder in the way of the target: the folder stays and no temporary file is left.
  std::filesystem::create_directories(PathOf("taken/inside"));
  t->buf.DataFileName = PathOf("taken");
  t->Click("mnuFileSaveData");
  EXPECT_EQ(t.LogLines().back(),
            "File could NOT be Saved as " + PathOf("taken") + " - nothing was written");
  EXPECT_TRUE(std::filesystem::is_directory(PathOf("taken/inside")));
  for (const auto& e : std::filesystem::directory_iterator(dir_)) {
    EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
  }
}

}  // namespace
}  // namespace zambrix
