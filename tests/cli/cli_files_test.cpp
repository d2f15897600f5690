// The command-line front end with outputs and inputs that are not plain files:
// FIFOs, device nodes, folders, and a log that would overwrite them. (Saves
// through symlinks and past planted links: the safe-save tests.)
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "cli/cli_process.h"

namespace {

using zambrix::testing::Cli;
using zambrix::testing::ReadWholeFile;
using zambrix::testing::WriteWholeFile;
namespace fs = std::filesystem;

constexpr const char* kRead = "-q --board sim read -d 27C256 -o ";

class CliFiles : public Cli {
 protected:
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  bool MakeDevice(const std::string& name, unsigned minor) const {
    return ::mknod(P(name).c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
  }
  bool IsDevice(const std::string& name) const {
    struct stat st {};
    return ::lstat(P(name).c_str(), &st) == 0 && S_ISCHR(st.st_mode);
  }
};

// Devices stay devices, a log on a full one is a file error. (A read saved to
// a full device, a folder or a FIFO: the fault matrix.)
TEST_F(CliFiles, DeviceNodesAreWrittenInPlace) {
  if (!MakeDevice("null", 3) || !MakeDevice("full", 7)) GTEST_SKIP() << "no device nodes here";
  auto r = Run(kRead + P("null") + " --log " + P("full"));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("cannot write the log to " + P("full")), std::string::npos) << r.err;
  EXPECT_EQ(Run(kRead + P("null")).status, 0);
  EXPECT_TRUE(IsDevice("null"));
  EXPECT_TRUE(IsDevice("full"));
}

// Inputs that could hang or fill the memory are refused before anything is read.
TEST_F(CliFiles, SpecialInputsAndChipFilesAreFileErrors) {
  ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {"view -i /dev/zero", "cannot open /dev/zero: it is a device, not a file"},
      {"--sim-chip 27C256:" + P("fifo") + " list", P("fifo") + ": it is a FIFO, not a file"},
      {"--sim-chip 27C256:" + P("gone/chip.bin") + " list",
       P("gone/chip.bin") + ": cannot create a file"},
  };
  for (const auto& [args, says] : cases) {
    auto r = Run("-q --board sim " + args);
    EXPECT_EQ(r.status, 4) << args;
    EXPECT_NE(r.err.find(says), std::string::npos) << args << r.err;
  }
}

// Neither the log nor the simulator's trace overwrites a file the command reads
// or writes, however it is named.
TEST_F(CliFiles, ALogOverTheCommandsOwnFilesIsRefused) {
  WriteWholeFile(dir_ / "in.bin", std::string(300, 'i'));
  fs::create_symlink("in.bin", dir_ / "in-link");
  WriteWholeFile(dir_ / "chip.bin", std::string(100, 'c'));
  const std::string sim = "-q --board sim --sim-chip 27C256:" + P("chip.bin") + " ";
  const std::pair<std::string, std::string> cases[] = {
      {"view -i " + P("in.bin") + " --log " + P("in-link"), "-i"},
      {"list --log " + P("sub/../chip.bin"), "the simulated chip's file"},
      {"view -i " + P("in-link") + " --sim-trace " + P("in.bin"), "-i"},
  };
  fs::create_directories(dir_ / "sub");
  for (const auto& [args, other] : cases) {
    auto r = Run(sim + args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("names the same file as " + other), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadWholeFile(dir_ / "in.bin"), std::string(300, 'i'));
  EXPECT_EQ(ReadWholeFile(dir_ / "chip.bin"), std::string(100, 'c'));
  EXPECT_EQ(Run(sim + "list --log " + P("other.log")).status, 0);
}

// Commands a device does not have answer alike; fault values the simulator
// cannot hold are refused.
TEST_F(CliFiles, UnavailableCommandsAndOverflowingFaultsAnswerAlike) {
  auto r = Run("-q --board sim blank -d 24C16");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is not available for this device"), std::string::npos) << r.err;
  for (const char* value : {"18446744073709551615ms", "3600001ms"})
    EXPECT_EQ(Run(std::string("--board sim --sim-fault slow-write=") + value + " list").status, 2)
        << value;
  EXPECT_EQ(Run("--board sim --sim-fault slow-write=3600000ms list").status, 0);
}

}  // namespace
