// The command-line front end run as a process, as a script would run it.
#include "cli/cli_process.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "support/tools.h"

namespace {

using zambrix::testing::Cli;
namespace fs = std::filesystem;

TEST_F(Cli, ErrorsGiveTheirExitStatusAndAOneLineMessage) {
  struct Case {
    std::string args;
    int status;
    std::string says;
  } cases[] = {
      // First: a simulated run below remembers its board in this folder.
      {"--board record blank -d 27C256", 3, "no ZAMBRIX board found"},
      {"", 2, "no command given"},
      {"--port 123h list", 2, "--port takes"},
      {"--board sim blank -d AM29F040", 2, "device 'Flash AMD AM29F040' is listed but not offered"},
      {"--board sim view -d 27C256 --page 128", 2, "--page takes 0 to 127"},
      {"view -i /no/such/file.bin", 4, "cannot open /no/such/file.bin"},
      {"--board sim read -d 27C256 -o /no/such/dir/out.bin", 4,
       "cannot write /no/such/dir/out.bin"},
      {"--board ppdev:/dev/no-such-port list", 3, "/dev/no-such-port"},
  };
  for (const auto& c : cases) {
    auto r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find("zambrix-cli: " + c.says), std::string::npos) << c.args << "\n" << r.err;
  }
}

// --json: exactly one object on standard output, whatever the outcome.
TEST_F(Cli, JsonGivesOneObjectPerCommand) {
  using nlohmann::json;
  std::ofstream(dir_ / "zeros.bin", std::ios::binary) << std::string(32768, '\0');
  struct Case {
    std::string args;
    json expected;  // fields that must match
  } cases[] = {
      {"--board sim --sim-chip 27C256 read -d 27C256 -o " + (dir_ / "a.hex").string(),
       {{"outcome", "ok"}, {"checksum", "8000"}, {"bytes", {{"read", 32768}, {"file", 92173}}}}},
      {"--board sim --sim-fault no-board detect", {{"device", nullptr}, {"outcome", "no board"}}},
      {"--bogus list", {{"command", nullptr}, {"outcome", "usage error"}}},
      {"--board sim verify -d 27C256 -i " + (dir_ / "zeros.bin").string(),
       {{"outcome", "failed"}, {"failure", {{"address", 0}, {"expected", 0}, {"actual", 0x5A}}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    auto r = Run("-q --json " + c.args);
    ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    const json got = json::parse(r.out);
    for (const auto& [key, value] : c.expected.items()) EXPECT_EQ(got[key], value) << key;
    EXPECT_EQ(r.status, got.value("exit_status", -1));
  }
}

// A read's result gives the CRC-32 and SHA-1 that crc32 and sha1sum give for
// the chip's contents.
TEST_F(Cli, ReadGivesTheCrc32AndSha1OfTheBytesRead) {
  using zambrix::testing::RunTool;
  if (!zambrix::testing::ToolAvailable("crc32") || !zambrix::testing::ToolAvailable("sha1sum"))
    GTEST_SKIP() << "needs crc32 (libarchive-zip-perl) and sha1sum";
  std::string contents(65536, '\0');
  for (std::size_t i = 0; i < contents.size(); ++i)
    contents[i] = static_cast<char>((i * 131 + (i >> 8) * 7) & 0xFF);
  const auto chip = (dir_ / "chip.bin").string(), copy = (dir_ / "copy.bin").string();
  zambrix::testing::WriteWholeFile(chip, contents);
  zambrix::testing::WriteWholeFile(copy, contents);
  auto r = Run("-q --json --board sim --sim-chip 27C512:" + chip + " read -d 27C512 -o " +
               (dir_ / "dump.bin").string());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto got = nlohmann::json::parse(r.out);
  int status = 0;
  EXPECT_EQ(got.value("crc32", ""), RunTool("crc32 " + copy, status).substr(0, 8));
  EXPECT_EQ(got.value("sha1", ""), RunTool("sha1sum " + copy, status).substr(0, 40));
}

// A read saved as HEX or S-records holds the bytes the same read saves as binary.
TEST_F(Cli, ReadSavesInTheFormatOfTheNameOrOfFormat) {
  if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) GTEST_SKIP() << "no srec_cat";
  const std::string sim = "-q --board sim --sim-chip 27C512 read -d 27C512 -o ";
  ASSERT_EQ(Run(sim + (dir_ / "chip.bin").string()).status, 0);
  ASSERT_EQ(Run(sim + (dir_ / "chip.s19").string()).status, 0);
  ASSERT_EQ(Run("--format ihex " + sim + (dir_ / "chip.dat").string()).status, 0);
  const auto convert = [&](const char* in, const char* format) {
    const auto bin = dir_ / (std::string(in) + ".bin");
    const std::string cmd =
        "srec_cat " + (dir_ / in).string() + " " + format + " -o " + bin.string() + " -binary";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return Slurp(bin);
  };
  const std::string chip = Slurp(dir_ / "chip.bin");
  ASSERT_EQ(chip.size(), 65536u);
  EXPECT_EQ(convert("chip.s19", "-motorola"), chip);
  EXPECT_EQ(convert("chip.dat", "-intel"), chip);
}

// A setup saved from the command line, restored before a command whose own
// options then override it.
TEST_F(Cli, ASavedSetupIsRestoredBeforeTheCommand) {
  const std::string sim = "--board sim --sim-port 278h ";
  auto code = dir_ / "code.bin", blank = dir_ / "blank.bin";
  std::ofstream(code, std::ios::binary) << std::string(8192, '\x11');
  std::ofstream(blank, std::ios::binary) << std::string(8192, '\xFF');
  // The code file named relative to the folder the setup is saved from.
  auto save = Run(
      sim + "--port 278h --speed 7 setup save 2 --name \"Boot 2764\" -d 2764 --vpp 21 -i code.bin",
      dir_);
  ASSERT_EQ(save.status, 0) << save.err;
  EXPECT_EQ(save.out, (dir_ / "EPSetup2.INI").string() + "\n");

  // The setup's device, voltage and code file, restored from another folder.
  fs::create_directories(dir_ / "elsewhere");
  auto program = Run(sim + "--sim-chip 2764:" + blank.string() + " --setup 2 program --yes",
                     dir_ / "elsewhere");
  EXPECT_EQ(program.status, 0) << program.err;
  EXPECT_TRUE(Slurp(blank) == std::string(8192, '\x11'));

  auto over = Run(sim + "--sim-chip 27C512 --setup 2 --speed 60 blank -d 27C512");
  EXPECT_EQ(over.status, 0) << over.err;
  const auto restored = over.err.find("SETUP RESTORED FROM EPSetup2.INI");
  EXPECT_LT(restored, over.err.find("Program Speed Slider set to: 60"));
  EXPECT_LT(restored, over.err.find("Device Eprom 27C512 was Selected"));

  const std::pair<std::string, int> errors[] = {
      {"--setup 3 list", 4}, {"--setup 9 list", 2}, {"setup save 5", 2}};
  for (const auto& [args, status] : errors) EXPECT_EQ(Run(sim + args).status, status) << args;
}

}  // namespace
