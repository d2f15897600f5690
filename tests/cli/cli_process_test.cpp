// The command-line front end run as a process, as a script would run it.
#include "cli/cli_process.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "buffers/digests.h"

namespace {

using zambrix::testing::Cli;
using zambrix::testing::WriteWholeFile;
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
      // A port binding that cannot be used is a board error, one that cannot be given a usage
      // error.
      {"--port 378h=/dev/parport97 detect", 3, "/dev/parport97: No such file or directory"},
      {"--port 378h=0xD010 detect", 2, "--port 378h=0xD010: an I/O address needs --board direct"},
      {"--board sim --port 378h=/dev/parport0 detect", 2,
       "--port CHOICE=WHERE binds a real port; --board sim has none"},
  };
  for (const auto& c : cases) {
    auto r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find("zambrix-cli: " + c.says), std::string::npos) << c.args << "\n" << r.err;
  }
}

// --json: exactly one object on standard output, whatever the way out, with the
// exit status and a message; a read gives the CRC-32 and SHA-1 of the bytes
// read, and saves in the format of the name or of --format.
TEST_F(Cli, JsonGivesOneObjectPerCommand) {
  using nlohmann::json;
  WriteWholeFile(dir_ / "zeros.bin", std::string(32768, '\0'));
  const auto chip = Slurp(RandomFile("chip.bin", 32768, 1));
  const auto digests = zambrix::Digests::Of(
      std::span(reinterpret_cast<const std::uint8_t*>(chip.data()), chip.size()));
  const std::string sim = "--board sim --sim-chip 27C256", read = " read -d 27C256 -o ";
  struct Case {
    std::string args;
    json expected;  // fields that must match
  } cases[] = {
      {sim + read + Path("a.hex"),
       {{"outcome", "ok"}, {"checksum", "8000"}, {"bytes", {{"read", 32768}, {"file", 92173}}}}},
      {sim + read + Path("a.s19"), {{"bytes", {{"read", 32768}, {"file", 77860}}}}},
      {"--format ihex " + sim + read + Path("a.dat"),
       {{"bytes", {{"read", 32768}, {"file", 92173}}}}},
      {sim + ":" + Path("chip.bin") + read + Path("a.bin"),
       {{"crc32", digests.crc32}, {"sha1", digests.sha1}}},
      {"--board sim --sim-fault no-board detect", {{"device", nullptr}, {"outcome", "no board"}}},
      {"--bogus list", {{"command", nullptr}, {"outcome", "usage error"}}},
      {"--board sim verify -d 27C256 -i " + Path("zeros.bin"),
       {{"outcome", "failed"}, {"failure", {{"address", 0}, {"expected", 0}, {"actual", 0x5A}}}}},
      {"", {}},
      {"--help", {}},
      {"--board sim --log " + Path("log.txt") + read + Path("log.txt"), {}},
      {sim + " blank -d 27C256", {}},
      {"--board sim program -d 27C256 -i " + Path("missing.bin") + " --yes", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    auto r = Run("-q --json " + c.args);
    ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    const json got = json::parse(r.out);
    for (const auto& [key, value] : c.expected.items()) EXPECT_EQ(got[key], value) << key;
    EXPECT_EQ(r.status, got.value("exit_status", -1));
    EXPECT_FALSE(got.value("message", "").empty());
  }
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
