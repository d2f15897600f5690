#include <sys/stat.h>

#include <filesystem>

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
  Open(kCode, path);
  EXPECT_EQ(t.LogLines(),
            (Lines{"File " + path + " - was read into Buffer. 32768 bytes long.",
                   "Read File CRC = $8000", "You can Install a Blank Eprom for Programming"}));
  EXPECT_EQ(std::tuple(t->buf.CodeSize, t->ui.Caption("FileNameCodeSize"), t->ui.Max("VScroll1")),
            std::tuple(32768, "(32768 Bytes)", 127));
  Open(kCode, File("a.bin", "A"));
  EXPECT_EQ(std::tuple(t->buf.FileCrcText, t->ui.Max("VScroll1")), std::tuple("0041", 0));
}

// Nothing past a file's end comes from an earlier file: the rest of the
// buffer is FFh, and the device chosen after it says which bytes are programmed.
TEST_F(Files, AShortFileAfterALongOneThenADevice) {
  std::string first(32768, '\0');
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>(i * 7 + 1);
  Open(kCode, File("long.bin", first));
  Open(kCode, File("short.bin", std::string(1000, '\x42')));
  t->dev.FillDeviceTable();
  t->dev.FillDeviceList();
  t->ChooseListIndex("Device", 10);  // Eprom 27C256
  EXPECT_EQ(t.LogLines().back(),
            "File is 1000 bytes, the Device 32768: the rest of the buffer is FFh and will not be "
            "programmed");
  auto out = PathOf("out.bin");
  t.dialogs.save_files.push_back(out);
  t->Click("mnuFileSaveCodeAs");
  EXPECT_EQ(ReadWholeFile(out), std::string(1000, '\x42') + std::string(31768, '\xFF'));
  // A file longer than the device chosen: one line with both sizes.
  Open(kCode, File("long.bin", first + first));
  EXPECT_EQ(t.LogLines().back(),
            "File is 65536 bytes, the Device 32768: only the first 32768 bytes of the file will be "
            "programmed");
}

// A FIFO (which must not hang the load) and an oversize file are refused;
// the buffer, its size and its file name stay (so a save never hits the
// refused file). Folders and unreadable files are refused the same way.
TEST_F(Files, RefusedCodeFilesChangeNothing) {
  auto good = File("good.bin", std::string(512, '\x11'));
  Open(kCode, good);
  ASSERT_EQ(::mkfifo(PathOf("fifo").c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {PathOf("fifo"), "File " + PathOf("fifo") +
                           " could NOT be read (it is a FIFO, not a file) - Buffer unchanged"},
      {File("huge.bin", std::string(Buffers::kCodeBufferSize + 1, '\x22')),
       "Code File Size is 2100002 bytes, bigger than the 2100001 allowed - Will Not Open"},
  };
  for (const auto& [path, line] : cases) {
    Open(kCode, path);
    EXPECT_EQ(t.LogLines().back(), line);
  }
  auto& b = t->buf;
  EXPECT_EQ(std::tuple(b.CodeSize, b.CodeFileName, b.FileCrcText, b.CodeBuffer[512]),
            std::tuple(512, good, "2200", 0xFF));
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
  EXPECT_TRUE(t.LogLines().empty());
  EXPECT_EQ(t->buf.DisplayMode + t->buf.CodeFileName, "DisplayEprom");
}

// A HEX file fills the buffer at its records' addresses; a faulty one is refused
// at its line and leaves everything as it was.
TEST_F(Files, HexFilesLoadAndAFaultyOneChangesNothing) {
  auto hex = File("image.hex", ":0100000011EE\r\n:0100040022D9\r\n:00000001FF\r\n");
  Open(kCode, hex);
  auto& b = t->buf;
  EXPECT_EQ(std::vector<std::uint8_t>(b.CodeBuffer.begin(), b.CodeBuffer.begin() + 6),
            (std::vector<std::uint8_t>{0x11, 0xFF, 0xFF, 0xFF, 0x22, 0xFF}));
  auto bad = File("bad.s19", "S104000011EA\nS104000122D9\nS9030000FC\n");
  Open(kCode, bad);
  EXPECT_EQ(t.LogLines().back(), "File " + bad + " line 2: bad checksum - Will Not Open");
  EXPECT_EQ(std::tuple(b.CodeSize, b.CodeFileName, b.FileCrcText), std::tuple(5, hex, "0330"));
}

// Then a 100-byte file: the save writes exactly 100 bytes, without a dialog.
TEST_F(Files, DataFilesUpTo8192BytesAreAccepted) {
  auto ok = File("ok.bin", std::string(8192, '\x5A'));
  Open(kData, ok);
  Open(kData, File("big.bin", std::string(8193, '\x77')));
  EXPECT_EQ(t.LogLines().back(),
            "Data File Size is 8193 bytes, bigger than the 8192 allowed - Will Not Open");
  EXPECT_EQ(t.dialogs.shown.back().text, "Can't Open Data File Bigger than 8192 Bytes");
  auto& b = t->buf;
  EXPECT_EQ(std::tuple(b.DataSize, b.DataFileName, b.DataBuffer[0], b.DataBuffer[8192]),
            std::tuple(8192, ok, 0x5A, 0));
  auto small = File("small.bin", std::string(100, '\1'));
  Open(kData, small);
  t->Click("mnuFileSaveData");
  EXPECT_EQ(ReadWholeFile(small), std::string(100, '\1'));
  EXPECT_EQ(t.dialogs.file_requests.size(), 3u);
}

// Recent Files keeps the last eight code files, newest first, in the
// settings store; the open dialog starts in the folder used last, also in the
// next run; a file that is gone leaves the list when it is chosen.
TEST_F(Files, RecentFilesAndTheLastFolderLastIntoTheNextRun) {
  for (int i = 0; i < 9; ++i) Open(kCode, File("f" + std::to_string(i) + ".bin", "AB"));
  ASSERT_EQ(t->buf.RecentFiles.size(), 8u);
  EXPECT_EQ(t->ui.Caption("mnuFileRecent1"), "&1 " + PathOf("f8.bin"));
  EXPECT_EQ(t->ui.Caption("mnuFileRecent8"), "&8 " + PathOf("f1.bin"));

  TestCore next;
  next.settings.values = t.settings.values;
  next->shell.Form_Load();
  EXPECT_EQ(next->buf.RecentFiles, t->buf.RecentFiles);
  EXPECT_TRUE(next->ui.Visible("mnuFileRecent8") && next->ui.Enabled("mnuFileRecent"));
  next->Click("mnuFileOpenCode");  // cancelled
  EXPECT_EQ(next.dialogs.file_requests.back().file_name, dir.str() + "/");
  // A save starts there too, and a save elsewhere moves the folder on.
  next->Click("mnuFileSaveLogAs");  // cancelled
  EXPECT_EQ(next.dialogs.file_requests.back().file_name, dir.str() + "/ZAMBRIX.LOG");
  std::filesystem::create_directory(dir / "sub");
  next.dialogs.save_files = {PathOf("sub/day.log")};
  next->Click("mnuFileSaveLogAs");
  next->Click("mnuFileSaveHexViewAs");  // cancelled
  EXPECT_EQ(next.dialogs.file_requests.back().file_name, PathOf("sub") + "/ZAMBRIX.BUF");

  std::filesystem::remove(dir / "f8.bin");
  next->Click("mnuFileRecent1");
  EXPECT_EQ(next->buf.RecentFiles.front(), PathOf("f7.bin"));
  EXPECT_FALSE(next->ui.Visible("mnuFileRecent8"));
  next->Click("mnuFileRecent2");
  EXPECT_EQ(next->buf.CodeFileName, PathOf("f6.bin"));
}

}  // namespace
}  // namespace zambrix
