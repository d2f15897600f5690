// The command-line front end run as a process, as a script would run it.
#include <nlohmann/json.hpp>

#include "cli/cli_process.h"

namespace {

using zambrix::testing::Cli;
namespace fs = std::filesystem;

TEST_F(Cli, ListShowsTheCatalogueAsTheWindowDoes) {
  auto r = Run("--board sim list");
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = r.OutLines();
  ASSERT_EQ(lines.size(), 39u);
  int refused = 0;
  for (auto& l : lines) refused += l.find("\tN/A - ") != std::string::npos;
  EXPECT_EQ(refused, 16);
  EXPECT_EQ(lines[0], "0\tN/A - Eprom 2716                    \tP1\t4096");
  EXPECT_EQ(lines[10], "10\tEprom 27C256                  \tP4\t32768");
}

TEST_F(Cli, ViewOfAFilePrintsTheSixteenRowsOfThePage) {
  std::ofstream(dir_ / "hello.bin", std::ios::binary) << std::string(16, 'A') << "Hello World!\r\n";
  auto r = Run("-q view -i " + (dir_ / "hello.bin").string() + " --page 0");
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = r.OutLines();
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "000000| 41414141 41414141 41414141 41414141 | AAAAAAAAAAAAAAAA");
  // The file ends after 30 bytes: what lies past its end shows blank.
  EXPECT_EQ(lines[1], "000010| 48656C6C 6F20576F 726C6421 0D0A     | Hello.World!..  ");
  EXPECT_EQ(lines[15], "0000F0|                                     |                 ");
  EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(Cli, ErrorsGiveTheirExitStatusAndAOneLineMessage) {
  struct Case {
    std::string args;
    int status;
    std::string says;
  } cases[] = {
      // First: a simulated run below remembers its board in this folder.
      {"--board record blank -d 27C256", 3, "no ZAMBRIX board found"},
      {"", 2, "no command given"},
      {"frobnicate", 2, "unknown command"},
      {"--bogus list", 2, "unknown option --bogus"},
      {"--board nowhere list", 2, "unknown board"},
      {"--speed 1000 list", 2, "--speed takes"},
      {"--port 123h list", 2, "--port takes"},
      {"--board sim blank -d 27C999", 2, "unknown device"},
      {"--board sim blank -d AM29F040", 2, "device 'Flash AMD AM29F040' is listed but not offered"},
      {"--board sim read -d 27C256", 2, "read needs -o FILE"},
      {"view -i /no/such/file.bin", 4, "cannot open /no/such/file.bin"},
      {"--board sim read -d 27C256 -o /no/such/dir/out.bin", 4, "cannot write /no/such/dir/out.bin"},
      {"--board ppdev:/dev/no-such-port list", 3, "/dev/no-such-port"},
  };
  for (const auto& c : cases) {
    auto r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find("zambrix-cli: " + c.says), std::string::npos) << c.args << "\n" << r.err;
  }
}

TEST_F(Cli, HelpAndVersionGoToStandardOutput) {
  auto h = Run("--help");
  EXPECT_EQ(h.status, 0);
  EXPECT_NE(h.out.find("usage: zambrix-cli"), std::string::npos);
  EXPECT_NE(h.out.find("--board"), std::string::npos);
  auto v = Run("--version");
  EXPECT_EQ(v.out, "zambrix-cli 1.0.60\n");
}

TEST_F(Cli, DetectFindsTheSimulatedBoardWhereItIs) {
  auto r = Run("--board sim --sim-model 4 --sim-port 278h detect");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "ZAMBRIX-4 at 278h (simulated)\n");
  EXPECT_NE(r.err.find("ZAMBRIX-4 Device was FOUND at Port: 278"), std::string::npos) << r.err;

  auto none = Run("--board sim --sim-fault no-board detect");
  EXPECT_EQ(none.status, 3);
  EXPECT_EQ(none.out, "no board found\n");
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A board remembered where it no longer is, or of another model, is searched
// for before anything is read; detect searches once.
TEST_F(Cli, ARememberedBoardIsCheckedBeforeItIsUsed) {
  auto first = Run("--board sim --sim-model 5 --sim-port 278h detect");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(Count(first.err, "Port 3BC Not Responding"), 1u) << first.err;

  std::string image(32768, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 3 + 1);
  auto chip = dir_ / "chip.bin";
  std::ofstream(chip, std::ios::binary) << image;
  auto out = dir_ / "read.bin";
  auto moved = Run("--board sim --sim-model 4 --sim-chip 27C256:" + chip.string() + " read -d 27C256 -o " +
                   out.string());
  ASSERT_EQ(moved.status, 0) << moved.err;
  EXPECT_NE(moved.err.find("ZAMBRIX-5 remembered at Port 278 does not answer: searching all LPT ports"),
            std::string::npos)
      << moved.err;
  EXPECT_NE(moved.err.find("ZAMBRIX-4 Device was FOUND at Port: 378"), std::string::npos) << moved.err;
  EXPECT_EQ(Slurp(out), image);

  auto again = Run("--board sim --sim-model 4 detect");  // remembered and answering: the search of detect only
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(Count(again.err, "Port 3BC Not Responding"), 1u) << again.err;
}

TEST_F(Cli, ViewOfTheChipUsesTheChipRulesAndTheLogFileIsWritten) {
  auto log = dir_ / "run.log";
  auto r = Run("--board sim --log " + log.string() + " view -d 27C256 --page 1");
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = r.OutLines();
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0].substr(0, 8), "000100| ");
  EXPECT_EQ(lines[0].size(), 62u);
  auto text = Slurp(log);
  EXPECT_EQ(text.rfind("ZAMBRIX SYSTEM LOG FILE - MNX RESEARCH INC. ", 0), 0u);
  EXPECT_NE(text.find("Fetching Device Binary Contents to Screen"), std::string::npos);
  auto beyond = Run("--board sim view -d 27C256 --page 128");
  EXPECT_EQ(beyond.status, 2);
  EXPECT_NE(beyond.err.find("--page takes 0 to 127"), std::string::npos) << beyond.err;
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
       {{"command", "read"}, {"device", "Eprom 27C256"}, {"outcome", "ok"}, {"exit_status", 0},
        {"checksum", "8000"}, {"bytes", {{"read", 32768}, {"file", 92173}}}}},
      {"--board sim blank -d 27C256",
       {{"command", "blank"}, {"outcome", "failed"}, {"exit_status", 1},
        {"failure", {{"address", 0}, {"expected", 255}, {"actual", 0x5A}}}}},
      {"--board sim --sim-fault no-board detect",
       {{"command", "detect"}, {"device", nullptr}, {"outcome", "no board"}, {"exit_status", 3},
        {"output", "no board found\n"}}},
      {"--board sim --format elf list",
       {{"outcome", "usage error"}, {"message", "--format takes bin, ihex or srec"}}},
      {"--bogus list", {{"command", nullptr}, {"outcome", "usage error"}, {"exit_status", 2}}},
      {"doctor", {{"command", "doctor"}}},  // runs without a session
      {"--board sim verify -d 27C256 -i " + (dir_ / "zeros.bin").string(),
       {{"command", "verify"}, {"outcome", "failed"}, {"checksum", "0000"},
        {"bytes", {{"file", 32768}}}, {"failure", {{"address", 0}, {"expected", 0}, {"actual", 0x5A}}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    auto r = Run("-q --json " + c.args);
    ASSERT_EQ(r.OutLines().size(), 1u) << r.out;
    const json got = json::parse(r.out);
    for (const auto& [key, value] : c.expected.items()) EXPECT_EQ(got[key], value) << key;
    EXPECT_EQ(r.status, got.value("exit_status", -1));
    EXPECT_EQ(got.contains("simulated_s"), c.args.rfind("--board sim", 0) == 0);
  }
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
    const std::string cmd = "srec_cat " + (dir_ / in).string() + " " + format + " -o " +
                            bin.string() + " -binary";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return Slurp(bin);
  };
  const std::string chip = Slurp(dir_ / "chip.bin");
  ASSERT_EQ(chip.size(), 65536u);
  EXPECT_EQ(convert("chip.s19", "-motorola"), chip);
  EXPECT_EQ(convert("chip.dat", "-intel"), chip);
  auto view = Run("-q --format ihex view -i " + (dir_ / "chip.dat").string());
  EXPECT_EQ(view.status, 0) << view.err;
}

// A setup saved from the command line, listed, and restored before a command
// whose own options then override it.
TEST_F(Cli, ASavedSetupIsListedAndRestoredBeforeTheCommand) {
  const std::string sim = "--board sim --sim-port 278h ";
  std::string image(8192, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 13 + i / 256);
  auto chip = dir_ / "chip.bin", code = dir_ / "code.bin", out = dir_ / "read.bin";
  std::ofstream(chip, std::ios::binary) << image;
  std::ofstream(code, std::ios::binary) << std::string(8192, '\x11');

  auto save = Run(sim + "--port 278h --speed 7 setup save 2 --name \"Boot 2764\" -d 2764 --vpp 21 -i " +
                  code.string());
  ASSERT_EQ(save.status, 0) << save.err;
  EXPECT_EQ(save.out, (dir_ / "EPSetup2.INI").string() + "\n");
  EXPECT_NE(save.err.find("Setup Saved as EPSetup2.INI, named:Boot 2764"), std::string::npos);

  auto list = Run(sim + "setup list");
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.OutLines(), (std::vector<std::string>{"1\t-\t-\t-",
                                                       "2\tBoot 2764\tEprom 2764\t" + code.string(),
                                                       "3\t-\t-\t-", "4\t-\t-\t-"}));

  auto read = Run(sim + "--sim-chip 2764:" + chip.string() + " --setup 2 read -o " + out.string());
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_TRUE(Slurp(out) == image);
  for (const char* line : {"RESTORING SETUP FROM EPSetup2.INI", "Device Eprom 2764 was Selected",
                           "Program Speed Slider set to: 7", "8192 bytes Read from Device"}) {
    EXPECT_NE(read.err.find(line), std::string::npos) << line << "\n" << read.err;
  }

  // The setup's device, voltage and code file.
  auto blank = dir_ / "blank.bin";
  std::ofstream(blank, std::ios::binary) << std::string(8192, '\xFF');
  auto program = Run(sim + "--sim-chip 2764:" + blank.string() + " --setup 2 program --yes");
  EXPECT_EQ(program.status, 0) << program.err;
  EXPECT_TRUE(Slurp(blank) == std::string(8192, '\x11'));

  auto over = Run(sim + "--sim-chip 27C512 --setup 2 --speed 60 blank -d 27C512");
  EXPECT_EQ(over.status, 0) << over.err;
  const auto restored = over.err.find("SETUP RESTORED FROM EPSetup2.INI");
  EXPECT_LT(restored, over.err.find("Program Speed Slider set to: 60"));
  EXPECT_LT(restored, over.err.find("Device Eprom 27C512 was Selected"));

  const std::pair<std::string, int> errors[] = {
      {"--setup 3 list", 4}, {"--setup 9 list", 2}, {"setup save 5", 2}, {"setup erase 1", 2}};
  for (const auto& [args, status] : errors) EXPECT_EQ(Run(sim + args).status, status) << args;
}

}  // namespace
