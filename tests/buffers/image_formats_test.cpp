// Intel HEX and S-record files: our parsers against the faults a file can
// hold, and parsers and writers against srec_cat and objcopy.
#include "buffers/image_formats.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/temp_dir.h"
#include "support/tools.h"

namespace zambrix {
namespace {

using testing::RandomBytes;
using testing::ReadWholeFile;
using testing::RunTool;
using testing::TempDir;
using testing::ToolAvailable;
using testing::WriteWholeFile;

std::string AsText(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

TEST(ImageFormats, NamesAndFormatWords) {
  const std::pair<const char*, ImageFormat> names[] = {{"dir.x/A.IHX", ImageFormat::kIntelHex},
                                                       {"a.S28", ImageFormat::kSrec},
                                                       {"dir.hex/image", ImageFormat::kBinary},
                                                       {"a.hex.bak", ImageFormat::kBinary}};
  for (const auto& [name, format] : names) EXPECT_EQ(FormatOfName(name), format) << name;
  EXPECT_EQ(FormatNamed("IHEX"), ImageFormat::kIntelHex);
  EXPECT_EQ(FormatNamed("hex"), std::nullopt);
}

TEST(ImageFormats, GapsSegmentsAndRepeatedData) {
  // Two records with a gap, one repeated with the same data, LF line ends.
  const auto gap = ParseIntelHex(":0100000011EE\n:0100040022D9\n:0100000011EE\n:00000001FF\n", 100);
  ASSERT_TRUE(gap.ok()) << gap.error;
  EXPECT_EQ(gap.bytes, (std::vector<std::uint8_t>{0x11, 0xFF, 0xFF, 0xFF, 0x22}));
  // Segment 1000h puts offset FFFFh at 1FFFFh; the next byte wraps to 10000h.
  const auto seg = ParseIntelHex(":020000021000EC\r\n:02FFFF00AABB9B\r\n:00000001FF\r\n", 0x20000);
  ASSERT_TRUE(seg.ok()) << seg.error;
  ASSERT_EQ(seg.bytes.size(), 0x20000u);
  EXPECT_EQ(seg.bytes[0x1FFFF], 0xAA);
  EXPECT_EQ(seg.bytes[0x10000], 0xBB);
  // Start records are read and have no effect on the image.
  EXPECT_TRUE(ParseIntelHex(":0400000500000000F7\n:0100000011EE\n:00000001FF\n", 10).ok());
  EXPECT_TRUE(ParseSrec("S104000011EA\n", 10).ok());  // the start record is optional
  EXPECT_EQ(gap.after_end, 0);
}

// Records after the end record are not read, and the first line of them is
// named; blank lines and an end-of-file mark after it are nothing to report.
TEST(ImageFormats, TextAfterTheEndRecordIsNamed) {
  const auto hex = ParseIntelHex(":0100000011EE\r\n:00000001FF\r\n\r\n:0100040022D9\r\n", 100);
  EXPECT_EQ(std::tuple(hex.ok(), hex.bytes.size(), hex.after_end), std::tuple(true, 1u, 4));
  const auto srec = ParseSrec("S104000011EA\nS9030000FC\nS104000122D9\n", 100);
  EXPECT_EQ(std::tuple(srec.ok(), srec.bytes.size(), srec.after_end), std::tuple(true, 1u, 3));
  EXPECT_EQ(ParseIntelHex(":00000001FF\r\n \r\n\x1A", 100).after_end, 0);
}

TEST(ImageFormats, FaultyFilesAreRefusedAtTheirLine) {
  struct Case {
    ImageFormat format;
    const char* text;
    int line;
    const char* error;
  };
  const Case cases[] = {
      {ImageFormat::kIntelHex, ":0100000011EF\n:00000001FF\n", 1, "bad checksum"},
      {ImageFormat::kIntelHex, "\n:0100000011EE\n0100000011EE\n", 3,
       "malformed line (no ':' at its start)"},
      {ImageFormat::kIntelHex, ":0100000011EE\n:0100000022DD\n", 2,
       "overlaps an earlier record with other data"},
      {ImageFormat::kIntelHex, ":0100000011EE\n", 2, "no end record"},
      {ImageFormat::kIntelHex, ":020000040001F9\n:0100000011EE\n", 2, "address beyond the buffer"},
      {ImageFormat::kSrec, "S104000011EA\nS5030002FA\nS9030000FC\n", 2,
       "record count 2 does not match the 1 data records"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = ParseImage(c.format, c.text, 0x10000);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.line, c.line);
    EXPECT_TRUE(r.bytes.empty());
  }
}

// ---- Against tools nobody here wrote ----

class OtherTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ToolAvailable("srec_cat") || !ToolAvailable("objcopy"))
      GTEST_SKIP() << "srec_cat (srecord) or objcopy (binutils) is not installed";
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  void Run(const std::string& command) {
    int status = 0;
    const std::string out = RunTool(command, status);
    ASSERT_EQ(status, 0) << command << "\n" << out;
  }
  TempDir dir;
};

TEST_F(OtherTools, ImagesTheyWriteLoadByteIdentical) {
  const auto bytes = RandomBytes<std::vector<std::uint8_t>>(70000, 7);
  WriteWholeFile(dir / "in.bin", AsText(bytes));
  struct Case {
    std::string command, file;
    ImageFormat format;
    std::uint32_t origin;
  };
  const std::string in = Path("in.bin");
  const Case cases[] = {
      {"srec_cat " + in + " -binary -o " + Path("a.hex") + " -intel", "a.hex",
       ImageFormat::kIntelHex, 0},
      {"srec_cat " + in + " -binary -o " + Path("a.s19") + " -motorola", "a.s19",
       ImageFormat::kSrec, 0},
      {"srec_cat " + in + " -binary -offset 0x1000000 -o " + Path("b.hex") + " -intel", "b.hex",
       ImageFormat::kIntelHex, 0x1000000},
      {"srec_cat " + in + " -binary -offset 0x1000000 -o " + Path("b.s37") + " -motorola", "b.s37",
       ImageFormat::kSrec, 0x1000000},
      {"objcopy -I binary -O ihex " + in + " " + Path("c.hex"), "c.hex", ImageFormat::kIntelHex, 0},
      {"objcopy -I binary -O srec " + in + " " + Path("c.srec"), "c.srec", ImageFormat::kSrec, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    Run(c.command);
    const auto r = ParseImage(c.format, ReadWholeFile(dir / c.file), c.origin + bytes.size());
    ASSERT_TRUE(r.ok()) << r.error << " at line " << r.line;
    ASSERT_EQ(r.bytes.size(), c.origin + bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), r.bytes.begin() + c.origin));
  }
}

TEST_F(OtherTools, ImagesWeWriteConvertBackByteIdentical) {
  const auto bytes = RandomBytes<std::vector<std::uint8_t>>(70000, 9);
  for (const std::uint32_t origin : {0u, 0xFFF000u, 0x1000000u}) {
    SCOPED_TRACE(origin);
    WriteWholeFile(dir / "ours.hex", WriteIntelHex(bytes, origin));
    WriteWholeFile(dir / "ours.srec", WriteSrec(bytes, origin));
    const std::string back = " -offset -" + std::to_string(origin) + " -o ";
    Run("srec_cat " + Path("ours.hex") + " -intel" + back + Path("h.bin") + " -binary");
    Run("srec_cat " + Path("ours.srec") + " -motorola" + back + Path("s.bin") + " -binary");
    EXPECT_EQ(ReadWholeFile(dir / "h.bin"), AsText(bytes));
    EXPECT_EQ(ReadWholeFile(dir / "s.bin"), AsText(bytes));
  }
  Run("objcopy -I ihex -O binary " + Path("ours.hex") + " " + Path("o.bin"));
  EXPECT_EQ(ReadWholeFile(dir / "o.bin"), AsText(bytes));
}

}  // namespace
}  // namespace zambrix
