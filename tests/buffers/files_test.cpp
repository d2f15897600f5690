#include <algorithm>

#include "buffer_fixture.h"

namespace zambrix {
namespace {

using testing::BufferTest;
using Bytes = std::vector<std::uint8_t>;

class CodeFiles : public BufferTest {};
class DataFiles : public BufferTest {};
class Saves : public BufferTest {};

TEST_F(CodeFiles, AllFFFileLoadsWithChecksum8000AndReportsIt) {
  auto path = WriteFile("ff.bin", Bytes(32768, 0xFF));
  OpenCode(path);
  auto& b = t->buf;
  EXPECT_EQ(b.CodeSize, 32768);
  EXPECT_EQ(b.FileChecksum, 0x8000);
  EXPECT_EQ(b.FileCrcText, "8000");
  EXPECT_EQ(b.CodeFileName, path);
  EXPECT_EQ(b.CodeBufferLoaded, 1);
  EXPECT_EQ(b.DisplayMode, "Read");
  EXPECT_EQ(b.CodeBuffer[32767], 0xFF);
  EXPECT_EQ(b.CodeBuffer[32768], 0x00);
  EXPECT_EQ(b.FileStaging.size(), 1u);
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
  EXPECT_EQ(ui.Text("sbStatusBar"), "");
  EXPECT_EQ(ui.Text("BufferDisplay").substr(0, 10), "\r\n000000| ");
  for (auto* c : {"tbToolBar.Buttons(2)", "mnuFileSaveCode", "mnuFileSaveCodeAs", "menuEraseCode",
                  "Erase_button"}) {
    EXPECT_TRUE(ui.Enabled(c)) << c;
  }
  EXPECT_EQ(ui.Value("CheckCode"), 1);
  EXPECT_EQ(ui.Value("CheckData"), 0);
  EXPECT_FALSE(ui.Enabled("CheckCode"));
  EXPECT_FALSE(ui.Enabled("CheckData"));
  ASSERT_EQ(t.sound.played.size(), 1u);
  EXPECT_EQ(t.sound.played[0], "/opt/zambrix/done.wav");
  ASSERT_EQ(t.dialogs.file_requests.size(), 1u);
  EXPECT_EQ(t.dialogs.file_requests[0].title, "Open Code File");
  EXPECT_EQ(t.dialogs.file_requests[0].filter, "All Files (*.*)|*.*");
}

TEST_F(CodeFiles, ChecksumIsTheByteSumModulo65536WithFourDigits) {
  OpenCode(WriteFile("zero.bin", Bytes(4096, 0x00)));
  EXPECT_EQ(t->buf.FileCrcText, "0000");
  OpenCode(WriteFile("a.bin", Bytes{0x41}));
  EXPECT_EQ(t->buf.FileCrcText, "0041");
  EXPECT_EQ(t->buf.FileChecksum, 0x41);
  EXPECT_EQ(t->ui.Max("VScroll1"), -1);               // shorter than one page
  OpenCode(WriteFile("wrap.bin", Bytes(258, 0xFF)));  // 65790 - 65536
  EXPECT_EQ(t->buf.FileCrcText, "00FE");
}

TEST_F(CodeFiles, ProgramAndVerifyAreEnabledOnlyWithADeviceSelected) {
  for (auto* c : {"Verify_button", "menuVerifyCode", "Program_button", "menuProgramCode"}) {
    t->ui.SetEnabled(c, false);  // as before any device was chosen
  }
  auto path = WriteFile("f.bin", Bytes(16, 1));
  OpenCode(path);
  EXPECT_FALSE(t->ui.Enabled("Program_button"));
  EXPECT_FALSE(t->ui.Enabled("menuVerifyCode"));
  t->dev.DeviceKey = "P4";
  OpenCode(path);
  for (auto* c : {"Verify_button", "menuVerifyCode", "Program_button", "menuProgramCode"}) {
    EXPECT_TRUE(t->ui.Enabled(c)) << c;
  }
  t->dev.DeviceKey = "MJ";
  t->ui.SetValue("CheckData", 1);
  OpenCode(path);
  EXPECT_TRUE(t->ui.Enabled("CheckCode"));
  EXPECT_TRUE(t->ui.Enabled("CheckData"));
  EXPECT_EQ(t->ui.Value("CheckData"), 0);
}

TEST_F(CodeFiles, ShowsTheBannerAndStatusTextWhileReading) {
  std::vector<std::string> seen;
  t->ui.AddObserver([&seen](const Control& c, Change) {
    if (c.name == "sbStatusBar" || c.name == "BufferDisplay") seen.push_back(c.caption);
  });
  auto path = WriteFile("f.bin", Bytes(16, 1));
  OpenCode(path);
  EXPECT_NE(std::find(seen.begin(), seen.end(),
                      "\r\n\r\n\r\n\r\n\r\n\r\n                      READING FILE ... WAIT"),
            seen.end());
  EXPECT_NE(
      std::find(seen.begin(), seen.end(), "Reading Code File " + path + " into Buffer... Wait"),
      seen.end());
}

TEST_F(CodeFiles, AShortFileAfterALongOneLeavesTheTail) {
  Bytes first(32768);
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<std::uint8_t>(i * 7 + 1);
  OpenCode(WriteFile("long.bin", first));
  OpenCode(WriteFile("short.bin", Bytes(1000, 0xAA)));
  auto& b = t->buf;
  EXPECT_EQ(b.CodeSize, 1000);
  EXPECT_EQ(t->ui.Caption("FileNameCodeSize"), "(1000)");
  EXPECT_EQ(b.CodeBuffer[999], 0xAA);
  EXPECT_TRUE(std::equal(first.begin() + 1000, first.end(), b.CodeBuffer.begin() + 1000));
}

TEST_F(CodeFiles, TheLabelOpensAFileOnlyWhileItAsksForOne) {
  t->ui.SetCaption("FileNameCodeText", "  Click To Select a File ");
  t->Click("FileNameCodeText");
  ASSERT_EQ(t.dialogs.file_requests.size(), 1u);
  EXPECT_EQ(t.dialogs.file_requests[0].title, "Open Code File");
  t.dialogs.open_files.push_back(WriteFile("f.bin", Bytes(10, 3)));
  t->Click("FileNameCodeText");
  EXPECT_EQ(t->buf.CodeSize, 10);
  t->Click("FileNameCodeText");  // now it shows the file name
  EXPECT_EQ(t.dialogs.file_requests.size(), 2u);
}

TEST_F(CodeFiles, TheToolbarOpensAndSavesTheCode) {
  t.dialogs.open_files.push_back(WriteFile("f.bin", Bytes{1, 2, 3}));
  t->Click("tbToolBar.Buttons(1)");
  EXPECT_EQ(t->buf.CodeSize, 3);
  t->buf.CodeBuffer[0] = 9;
  t->Click("tbToolBar.Buttons(2)");
  EXPECT_EQ(ReadAll(PathOf("f.bin")), std::string("\x09\x02\x03", 3));
}

TEST_F(CodeFiles, RefusedFilesChangeNothing) {
  auto good = WriteFile("good.bin", Bytes(512, 0x11));
  OpenCode(good);
  const auto caption = t->ui.Caption("FileNameCodeText");
  const auto lines = t.LogLines().size();
  const auto sounds = t.sound.played.size();
  std::filesystem::create_directories(PathOf("folder"));
  struct Case {
    std::string path;
    std::string line;
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
  EXPECT_EQ(b.CodeFileName, good);
  EXPECT_EQ(b.FileCrcText, "2200");
  EXPECT_EQ(b.CodeBuffer[0], 0x11);
  EXPECT_EQ(b.CodeBuffer[512], 0x00);
  EXPECT_EQ(t->ui.Caption("FileNameCodeText"), caption);
  EXPECT_EQ(t->ui.Caption("FileNameCodeSize"), "(512)");
  EXPECT_EQ(t.sound.played.size(), sounds);
}

TEST_F(CodeFiles, AFileFillingTheWholeBufferIsAccepted) {
  OpenCode(WriteFile("full.bin", Bytes(Buffers::kCodeBufferSize, 0x01)));
  EXPECT_EQ(t->buf.CodeSize, 2100001);
  EXPECT_EQ(t->buf.CodeBuffer.back(), 0x01);
  EXPECT_EQ(t->ui.Max("VScroll1"), 8202);
}

TEST_F(CodeFiles, CancelledDialogsChangeNothing) {
  t->buf.DisplayMode = "DisplayEprom";
  t.dialogs.open_files.push_back(std::string());  // an empty name counts as no choice
  for (auto* menu : {"mnuFileOpenCode", "mnuFileOpenData", "mnuFileSaveCodeAs", "mnuFileSaveCode",
                     "mnuFileSaveData", "mnuFileSaveDataAs", "mnuFileOpenCode"}) {
    t->Click(menu);
  }
  std::vector<std::string> titles;
  for (const auto& r : t.dialogs.file_requests) titles.push_back(r.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Open Code File", "Open Data File (eeprom)",
                                              "Save CODE BUFFER As...", "Save CODE BUFFER ...",
                                              "Save DATA Buffer ...", "Save DATA Buffer As...",
                                              "Open Code File"}));
  EXPECT_TRUE(t.LogLines().empty());
  EXPECT_EQ(t->buf.DisplayMode, "DisplayEprom");
  EXPECT_EQ(t->buf.CodeFileName, "");
  EXPECT_EQ(t->buf.DataFileName, "");
  EXPECT_EQ(t->ui.Caption("FileNameCodeText"), "Click To Select a File");
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), "Click To Select a File");
  EXPECT_EQ(t->buf.CodeBufferLoaded, 0);
}

TEST_F(DataFiles, A8192ByteFileIsAcceptedAnd8193Refused) {
  auto ok = WriteFile("ok.bin", Bytes(8192, 0x5A));
  OpenData(ok);
  auto& b = t->buf;
  EXPECT_EQ(b.DataSize, 8192);
  EXPECT_EQ(b.DataBufferLoaded, 1);
  EXPECT_EQ(b.DataBuffer[8191], 0x5A);
  EXPECT_EQ(b.DataBuffer[8192], 0x00);
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), ok);
  EXPECT_EQ(t->ui.Caption("FileNameDataSize"), "(0 Bytes)");
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{
                              "File " + ok + " - was read into DataBuffer. 8192 bytes long.",
                              "You can Install a Blank Eprom for Programming"}));
  for (auto* c : {"tbToolBar.Buttons(5)", "Verify_button", "menuVerifyData", "Program_button",
                  "menuProgramData", "mnuFileSaveData", "mnuFileSaveDataAs", "Erase_button",
                  "menuEraseData"}) {
    EXPECT_TRUE(t->ui.Enabled(c)) << c;
  }
  EXPECT_TRUE(t.sound.played.empty());

  OpenData(WriteFile("big.bin", Bytes(8193, 0x77)));
  EXPECT_EQ(t.LogLines().back(),
            "Data File Size is 8193 bytes, bigger than the 8192 allowed - Will Not Open");
  ASSERT_EQ(t.dialogs.shown.back().kind, "message");
  EXPECT_EQ(t.dialogs.shown.back().text, "Can't Open Data File Bigger than 8192 Bytes");
  EXPECT_EQ(t.dialogs.shown.back().title, "Data File to Big");
  EXPECT_EQ(t.dialogs.shown.back().icon, MsgIcon::Warning);
  EXPECT_EQ(b.DataSize, 8192);
  EXPECT_EQ(b.DataBuffer[0], 0x5A);
  // A later Save Data must not write over the refused file.
  EXPECT_EQ(b.DataFileName, ok);
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), ok);
  EXPECT_EQ(t->ui.Colour("DataFlow_label"), colour::kButtonFace);
}

TEST_F(DataFiles, EmptyAndUnreadableFilesAreRefused) {
  OpenData(WriteFile("empty.bin", {}));
  OpenData(PathOf("missing.bin"));
  EXPECT_EQ(t.LogLines(),
            (std::vector<std::string>{
                "File " + PathOf("empty.bin") + " is empty (0 bytes) - Will Not Open",
                "File " + PathOf("missing.bin") + " could NOT be read - DataBuffer unchanged"}));
  EXPECT_EQ(t->buf.DataBufferLoaded, 0);
  EXPECT_EQ(t->buf.DataFileName, "");
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), "Click To Select a File");
}

TEST_F(Saves, AfterA100ByteDataFileTheSaveWritesExactly100Bytes) {
  OpenData(WriteFile("big.bin", Bytes(8192, 0xEE)));
  Bytes small(100);
  for (std::size_t i = 0; i < small.size(); ++i) small[i] = static_cast<std::uint8_t>(i);
  auto path = WriteFile("small.bin", small);
  OpenData(path);
  t->buf.DataBuffer[0] = 0xC3;
  t->Click("mnuFileSaveData");
  small[0] = 0xC3;
  EXPECT_EQ(ReadAll(path), std::string(small.begin(), small.end()));
  EXPECT_EQ(t.LogLines().back(), "File Sucessfully Saved as " + path);
  EXPECT_EQ(t->ui.Text("sbStatusBar"), "");
}

TEST_F(Saves, ADeviceChosenAfterAShortFileMakesTheSaveWriteTheDeviceSize) {
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
  EXPECT_EQ(text[1000], '\0');
  EXPECT_EQ(t->buf.CodeFileName, out);
  EXPECT_EQ(t->ui.Caption("FileNameCodeText"), out);
  EXPECT_EQ(t.dialogs.file_requests.back().title, "Save CODE BUFFER As...");
}

TEST_F(Saves, SaveAsksForANameOnlyWhenNoneIsKnownAndShowsWhatItWrites) {
  std::vector<std::string> status;
  t->ui.AddObserver([&status](const Control& c, Change) {
    if (c.name == "sbStatusBar") status.push_back(c.caption);
  });
  t->buf.CodeSize = 4;
  t->buf.DataSize = 2;
  t.dialogs.save_files = {PathOf("code.bin"), PathOf("data.bin")};
  t->Click("mnuFileSaveCode");
  t->Click("mnuFileSaveData");
  t->Click("mnuFileSaveCode");  // name known now: no dialog
  EXPECT_EQ(t.dialogs.file_requests.size(), 2u);
  EXPECT_EQ(ReadAll(PathOf("code.bin")), std::string(4, '\0'));
  EXPECT_EQ(ReadAll(PathOf("data.bin")), std::string(2, '\0'));
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), PathOf("data.bin"));
  EXPECT_EQ(status, (std::vector<std::string>{
                        "Writing Binary File " + PathOf("code.bin") + " ... Wait", "",
                        "Writing Data Binary File " + PathOf("data.bin") + " ... Wait", "",
                        "Writing Binary File " + PathOf("code.bin") + " ... Wait", ""}));
}

TEST_F(Saves, AZeroSizeWritesAnEmptyFileAndReplacesALongerOne) {
  auto path = WriteFile("old.bin", Bytes(300, 0x10));
  t->buf.CodeFileName = path;
  t->Click("mnuFileSaveCode");
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(Saves, AFailedSaveSaysSoAndNeverCallsItSaved) {
  t->buf.CodeSize = 16;
  auto bad = PathOf("no-such-folder/out.bin");
  t.dialogs.save_files.push_back(bad);
  t->Click("mnuFileSaveCodeAs");
  auto lines = t.LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "File could NOT be Saved as " + bad + " - nothing was written");
  EXPECT_EQ(t->ui.Text("sbStatusBar"), "");
  EXPECT_FALSE(std::filesystem::exists(bad));
  // A folder in the way of the target: the folder stays, no temporary file is left.
  std::filesystem::create_directories(PathOf("taken/inside"));
  t->buf.DataSize = 8;
  t->buf.DataFileName = PathOf("taken");
  t->Click("mnuFileSaveData");
  EXPECT_EQ(t.LogLines().back(),
            "File could NOT be Saved as " + PathOf("taken") + " - nothing was written");
  EXPECT_TRUE(std::filesystem::is_directory(PathOf("taken/inside")));
  for (const auto& e : std::filesystem::directory_iterator(dir_)) {
    EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
  }
}

TEST_F(Saves, CloseOnlyShowsItsMessage) {
  t->Click("mnuFileClose");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, "Add 'mnuFileClose_Click' code.");
  EXPECT_EQ(t.dialogs.shown[0].buttons, MsgButtons::Ok);
  EXPECT_TRUE(t.LogLines().empty());
}

}  // namespace
}  // namespace zambrix
