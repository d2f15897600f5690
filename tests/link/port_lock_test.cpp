// Two users of one port or one simulated board in one process: each open file
// description holds its own flock, so the second is refused as a second
// program would be.
#include "link/port_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/backend.h"
#include "link/port.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string ThisProgram() {
  const std::string comm = testing::ReadWholeFile("/proc/self/comm");
  return comm.substr(0, comm.find('\n'));
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PortLock, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
  TempDir dir;
  const std::string name = PortLockName(0x3BC);
  testing::WriteWholeFile(dir / name, "99999999\n");  // left by a program that was killed
  auto first = TakeLock(name, "the parallel port 3BCh", dir.str());
  ASSERT_TRUE(first.lock) << first.message;
  auto second = TakeLock(name, "the parallel port 3BCh", dir.str());
  EXPECT_FALSE(second.lock);
  EXPECT_TRUE(second.busy);
  EXPECT_EQ(second.message, "the parallel port 3BCh is in use by another zambrix program (" +
                                ThisProgram() + ", process " + std::to_string(::getpid()) + ")");
  first.lock.reset();
  EXPECT_FALSE(fs::exists(dir / name));
  auto third = TakeLock(name, "the parallel port 3BCh", dir.str());
  EXPECT_TRUE(third.lock) << third.message;
}

TEST(PortLock, AFolderWithoutLocksLetsTheResourceBeUsedUnlocked) {
  auto attempt = TakeLock("x.lock", "it", "/nonexistent/folder");
  EXPECT_FALSE(attempt.lock);
  EXPECT_FALSE(attempt.busy);
  EXPECT_TRUE(Has(attempt.message, "cannot make the lock file /nonexistent/folder/x.lock"));
}

// Raw port I/O locks each port it may reach; one another program holds is
// left out (an empty bus), all three held is a refusal. The grant is faked
// and nothing reaches a port.
TEST(PortLock, RawPortIoLeavesOutThePortsAnotherProgramHolds) {
  TempDir dir;
  auto held = TakeLock(PortLockName(0x378), "the parallel port 378h", dir.str());
  ASSERT_TRUE(held.lock);
  const PortGrant granted = [](unsigned long, unsigned long, int) { return 0; };
  auto direct = OpenDirectPort(dir.str(), granted);
  if (direct.message == "raw port access is only available on x86") GTEST_SKIP();
  ASSERT_TRUE(direct.port) << direct.message;
  EXPECT_EQ(direct.port->Describe(), "raw port I/O (ioperm) on 278h, 3BCh");
  EXPECT_TRUE(Has(direct.message, "the parallel port 378h is in use by another zambrix program"));
  EXPECT_EQ(direct.port->PortIn(0x379), 0xFF);
  auto second = OpenDirectPort(dir.str(), granted);
  EXPECT_FALSE(second.port);
  EXPECT_TRUE(second.busy);
  EXPECT_TRUE(Has(second.message, "278h is in use")) << second.message;
}

// The second run on one chip file, under another spelling of its path, runs on
// no board and never writes the file back.
TEST(PortLock, TwoRunsOnOneSimulatedChipFile) {
  TempDir dir;
  BackEnd first = OpenBackEnd({"sim", {{"chip", "2764:" + (dir / "chip.bin").string()}}});
  ASSERT_TRUE(first.refused.empty()) << first.refused;
  BackEnd second = OpenBackEnd({"sim", {{"chip", "2764:" + (dir / "." / "chip.bin").string()}}});
  EXPECT_TRUE(Has(second.refused, "is in use by another zambrix program")) << second.refused;
  EXPECT_FALSE(second.port->IsSimulated());
  EXPECT_FALSE(second.at_exit);
}

}  // namespace
}  // namespace zambrix
