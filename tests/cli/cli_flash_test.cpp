// The flash commands of the command line, run as a process on the simulated board.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

struct Result {
  int status = -1;
  std::string out;
};

// Runs the binary with stdout captured; the log echo on stderr is dropped.
Result RunCli(const std::string& args) {
  const std::string cmd = std::string(ZAMBRIX_CLI_BINARY) +
                          " --settings-dir /nonexistent-zambrix-settings --board sim " + args +
                          " 2>/dev/null </dev/null";
  Result r;
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
  const int raw = ::pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

TEST(CliFlash, IdPrintsTheIdentificationLinesAndFailsWhenNothingValidAnswers) {
  struct Case {
    std::string args, line;
    int status;
  };
  for (const auto& c : {
           Case{"--sim-chip AM29F040 --catalogue extended id -d AM29F040",
                "Device ID# 01A4 - AMD am29F040 Flash Memory", 0},
           Case{"--sim-chip EN29F040 --catalogue extended id -d EN29F040",
                "Device ID# 1C04 - EON EN29F040 Flash Memory", 0},
           Case{"--sim-chip 27C040 --catalogue extended id -d AM29F040", "  Not Valid!!!", 1},
           Case{"--sim-chip none --catalogue extended id -d A29040",
                "Device ID# FFFF -  Not Valid!!!", 1},
       }) {
    SCOPED_TRACE(c.args);
    const Result r = RunCli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.out.find("Reading Flash Code ID_________________ wait\n"), std::string::npos);
    EXPECT_NE(r.out.find(c.line + "\n"), std::string::npos) << r.out;
  }
}

TEST(CliFlash, TheStandardCatalogueRefusesTheFlashRows) {
  EXPECT_EQ(RunCli("--sim-chip AM29F040 id -d AM29F040").status, 2);
  EXPECT_EQ(RunCli("--sim-chip AM29F040 --catalogue standard id -d AM29F040").status, 2);
  EXPECT_EQ(RunCli("--catalogue everything list").status, 2);
  EXPECT_EQ(RunCli("--sim-chip X28C256 id -d X28C256").status, 2);
  const Result list = RunCli("--catalogue extended list");
  EXPECT_NE(list.out.find("\tFlash AMD AM29F040"), std::string::npos);
  EXPECT_NE(list.out.find("N/A - Flash Atmel AT29C256"), std::string::npos);
}

// Erase through the CLI: the X28C256 by programming FFh, the flash by its chip
// erase; the chip contents are kept in a file the test reads back.
TEST(CliFlash, EraseLeavesFFhEverywhere) {
  struct Case {
    std::string chip, args;
    std::size_t size;
  };
  const std::string file = "/tmp/zambrix-cli-flash-" + std::to_string(::getpid()) + ".bin";
  for (const auto& c : {Case{"X28C256+sdp", "erase -d X28C256 --yes", 32768},
                        Case{"AM29F010", "--catalogue extended erase -d AM29F010 --yes", 131072}}) {
    SCOPED_TRACE(c.chip);
    {
      std::FILE* f = std::fopen(file.c_str(), "wb");
      ASSERT_NE(f, nullptr);
      for (std::size_t i = 0; i < c.size; ++i) std::fputc(static_cast<int>(i * 13 % 256), f);
      std::fclose(f);
    }
    EXPECT_EQ(RunCli("--sim-chip " + c.chip + ":" + file + " " + c.args).status, 0);
    std::FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::size_t n = 0, ff = 0;
    for (int ch; (ch = std::fgetc(f)) != EOF; ++n) ff += ch == 0xFF;
    std::fclose(f);
    std::remove(file.c_str());
    EXPECT_EQ(n, c.size);
    EXPECT_EQ(ff, c.size);
  }
  EXPECT_EQ(RunCli("--sim-chip AM29F040 --sim-fault slow-write=100000ms --catalogue extended erase -d "
                   "AM29F040 --yes")
                .status,
            1);
}

}  // namespace
