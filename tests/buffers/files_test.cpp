#include <sys/stat.h>

#include "buffer_fixture.h"

namespace zambrix {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Files = BufferTest;
constexpr const char* kCode = "mnuFileOpenCode";
constexpr const char* kData = "mnuFileOpenData";

TEST_F(Files, ChecksumsAndWhatACodeFileLoadShows) {
  auto path = File("ff.bin", std::string(32768, '\xFF'));
  t->ui.SetEnabled("Program_button", false);
  Open(kCode, path);
  EXPECT_EQ(t.LogLines(),
            (Lines{"File " + path + " - was read into Buffer. 32768 bytes long.",
                   "Read File CRC = $8000", "You can Install a Blank Eprom for Programming"}));
  auto& ui = t->ui;  // no device chosen yet: nothing to program
  EXPECT_EQ(std::tuple(t->buf.CodeSize, t->buf.CodeBuffer[32768], ui.Caption("FileNameCodeSize"),
                       ui.Max("VScroll1"), ui.Enabled("Program_button")),
            std::tuple(32768, 0, "(32768)", 127, false));
  EXPECT_EQ(ui.Caption("FileNameCodeText"), path);  // the name as it is: case matters here
  Open(kCode, File("zero.bin", std::string(4096, '\0')));
  EXPECT_EQ(t->buf.FileCrcText, "0000");
  Open(kCode, File("a.bin", "A"));
  EXPECT_EQ(t->buf.FileCrcText, "0041");
  EXPECT_EQ(ui.Max("VScroll1"), 0);  // shorter than one page: that page
}

// A short file leaves the tail of a long one; a device chosen after it sets
// the size, so the save writes the device's 32 KB.
TEST_F(Files, AShortFileAfterALongOneThenADevice) {
  std::string first(32768, '\0');
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>(i * 7 + 1);
  Open(kCode, File("long.bin", first));
  Open(kCode, File("short.bin", std::string(1000, '\x42')));
  EXPECT_EQ(t->ui.Caption("FileNameCodeSize"), "(1000)");
  t->Click("FileNameCodeText");  // the label shows a file name: no dialog
  EXPECT_EQ(t.dialogs.file_requests.size(), 2u);
  t->dev.FillDeviceTable();
  t->dev.FillDeviceList();
  t->ChooseListIndex("Device", 10);  // Eprom 27C256
  auto out = PathOf("out.bin");
  t.dialogs.save_files.push_back(out);
  t->Click("mnuFileSaveCodeAs");
  EXPECT_EQ(ReadWholeFile(out), std::string(1000, '\x42') + first.substr(1000));
  EXPECT_EQ(t->ui.Caption("FileNameCodeText"), out);
  EXPECT_EQ(t.LogLines().back(), "File Sucessfully Saved as " + out);
}

// Unreadable, empty and oversize files are refused with a log line; the buffer,
// its size and its file name stay (so a save never hits the refused file).
TEST_F(Files, RefusedCodeFilesChangeNothing) {
  auto good = File("good.bin", std::string(512, '\x11'));
  Open(kCode, good);
  std::filesystem::create_directories(dir / "folder");
  ASSERT_EQ(::mkfifo(PathOf("fifo").c_str(), 0600), 0);  // must not hang the load
  const std::pair<std::string, std::string> cases[] = {
      {PathOf("fifo"), "File " + PathOf("fifo") +
                           " could NOT be read (it is a FIFO, not a file) - Buffer unchanged"},
      {"/dev/zero",
       "File /dev/zero could NOT be read (it is a device, not a file) - Buffer unchanged"},
      {PathOf("missing.bin"),
       "File " + PathOf("missing.bin") + " could NOT be read (no such file) - Buffer unchanged"},
      {PathOf("folder"), "File " + PathOf("folder") +
                             " could NOT be read (it is a folder, not a file) - Buffer unchanged"},
      {File("empty.bin", ""),
       "File " + PathOf("empty.bin") + " is empty (0 bytes) - Will Not Open"},
      {File("huge.bin", std::string(Buffers::kCodeBufferSize + 1, '\x22')),
       "Code File Size is 2100002 bytes, bigger than the 2100001 allowed - Will Not Open"},
  };
  for (const auto& [path, line] : cases) {
    Open(kCode, path);
    EXPECT_EQ(t.LogLines().back(), line);
  }
  auto& b = t->buf;
  EXPECT_EQ(std::tuple(t.LogLines().size(), b.CodeSize, b.CodeFileName, b.FileCrcText,
                       b.CodeBuffer[512], t.sound.played.size()),
            std::tuple(9u, 512, good, "2200", 0, 1u));
  Open(kCode, File("full.bin", std::string(Buffers::kCodeBufferSize, '\1')));  // fits exactly
  EXPECT_EQ(b.CodeSize, 2100001);
}

TEST_F(Files, CancelledDialogsChangeNothing) {
  t->buf.DisplayMode = "DisplayEprom";
  t.dialogs.open_files.push_back(std::string());  // an empty name counts as no choice
  for (auto* c : {"FileNameCodeText", "mnuFileOpenData", "mnuFileSaveCodeAs", "mnuFileSaveCode",
                  "mnuFileSaveData", "mnuFileSaveDataAs"}) {
    t->Click(c);
  }
  std::string titles;
  for (const auto& r : t.dialogs.file_requests) {
    titles += r.title + ", ";
    EXPECT_EQ(r.filter.rfind("All Files (*.*)|*.*|Binary (*.bin)|*.bin|Intel HEX (", 0), 0u);
    EXPECT_NE(r.filter.find("|*.s19;*.s28;*.s37;*.srec;*.mot"), std::string::npos);
  }
  EXPECT_EQ(
      titles,
      "Open Code File, Open Data File (eeprom), Save CODE BUFFER As..., Save CODE BUFFER ..., "
      "Save DATA Buffer ..., Save DATA Buffer As..., ");
  EXPECT_TRUE(t.LogLines().empty());
  EXPECT_EQ(t->buf.DisplayMode + t->buf.CodeFileName, "DisplayEprom");
  EXPECT_EQ(t->ui.Caption("FileNameCodeText"), "Click To Select a File");
}
// A HEX file fills the buffer at its records' addresses; a faulty one is refused
// at its line and leaves everything as it was; a save takes its format from the name.
TEST_F(Files, HexAndSrecFilesLoadAndSave) {
  auto hex = File("image.hex", ":0100000011EE\r\n:0100040022D9\r\n:00000001FF\r\n");
  Open(kCode, hex);
  auto& b = t->buf;
  EXPECT_EQ(t.LogLines(), (Lines{"File " + hex + " - was read into Buffer. 5 bytes long.",
                                 "Read File CRC = $0330",
                                 "You can Install a Blank Eprom for Programming"}));
  EXPECT_EQ(std::vector<std::uint8_t>(b.CodeBuffer.begin(), b.CodeBuffer.begin() + 6),
            (std::vector<std::uint8_t>{0x11, 0xFF, 0xFF, 0xFF, 0x22, 0}));
  auto bad = File("bad.s19", "S104000011EA\nS104000122D9\nS9030000FC\n");
  Open(kCode, bad);
  EXPECT_EQ(t.LogLines().back(), "File " + bad + " line 2: bad checksum - Will Not Open");
  Open(kCode, File("nodata.hex", ":00000001FF\n"));
  EXPECT_EQ(t.LogLines().back(), "File " + PathOf("nodata.hex") + " holds no data - Will Not Open");
  EXPECT_EQ(std::tuple(t.LogLines().size(), b.CodeSize, b.CodeFileName, b.FileCrcText),
            std::tuple(5u, 5, hex, "0330"));
  auto out = PathOf("out.s19");
  t.dialogs.save_files.push_back(out);
  t->Click("mnuFileSaveCodeAs");
  EXPECT_EQ(ReadWholeFile(out), "S0030000FC\r\nS108000011FFFFFF22C7\r\nS5030001FB\r\nS9030000FC\r\n");
  b.ForcedFormat = ImageFormat::kIntelHex;  // the name no longer decides
  Open(kData, out);
  EXPECT_EQ(t.LogLines().back(), "File " + out + " line 1: malformed line (no ':' at its start) - Will Not Open");
}

// Then a 100-byte file: the save writes exactly 100 bytes, without a dialog.
TEST_F(Files, DataFilesUpTo8192BytesAreAccepted) {
  auto ok = File("ok.bin", std::string(8192, '\x5A'));
  Open(kData, ok);
  EXPECT_EQ(t.LogLines(), (Lines{"File " + ok + " - was read into DataBuffer. 8192 bytes long.",
                                 "You can Install a Blank Eprom for Programming"}));
  Open(kData, File("big.bin", std::string(8193, '\x77')));
  EXPECT_EQ(t.LogLines().back(),
            "Data File Size is 8193 bytes, bigger than the 8192 allowed - Will Not Open");
  const auto& box = t.dialogs.shown.back();
  EXPECT_EQ(std::tuple(box.text, box.title, box.icon),
            std::tuple("Can't Open Data File Bigger than 8192 Bytes", "Data File to Big",
                       MsgIcon::Warning));
  Open(kData, File("empty.bin", ""));
  Open(kData, PathOf("missing.bin"));
  EXPECT_EQ(t.LogLines().back(), "File " + PathOf("missing.bin") +
                                     " could NOT be read (no such file) - DataBuffer unchanged");
  auto& b = t->buf;
  EXPECT_EQ(std::tuple(b.DataSize, b.DataFileName, b.DataBuffer[0], b.DataBuffer[8192]),
            std::tuple(8192, ok, 0x5A, 0));
  EXPECT_EQ(t->ui.Caption("FileNameDataText"), ok);
  auto small = File("small.bin", std::string(100, '\1'));
  Open(kData, small);
  t->Click("mnuFileSaveData");
  EXPECT_EQ(ReadWholeFile(small), std::string(100, '\1'));
  EXPECT_EQ(t.dialogs.file_requests.size(), 5u);
}

// The save goes through a temporary file: a failed one leaves the target (a
// folder here) as it was and no temporary file behind.
TEST_F(Files, AFailedSaveSaysSoAndNeverCallsItSaved) {
  std::filesystem::create_directories(dir / "taken/inside");
  t->buf.CodeSize = 16;
  t->buf.CodeFileName = PathOf("no-such-folder/out.bin");
  t->buf.DataFileName = PathOf("taken");
  t->Click("mnuFileSaveCode");
  t->Click("mnuFileSaveData");
  EXPECT_EQ(
      t.LogLines(),
      (Lines{"File could NOT be Saved as " + t->buf.CodeFileName +
                 " - cannot create a file in its folder: No such file or directory",
             "File could NOT be Saved as " + PathOf("taken") + " - it is a folder, not a file"}));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken/inside"));
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename(), "taken");
}

}  // namespace
}  // namespace zambrix
