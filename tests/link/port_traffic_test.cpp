#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fakes.h"

namespace zambrix {
namespace {

using testing::TestCore;

TEST(RecordingPort, RecordsEveryAccessInOrderAndAnswersFromItsScript) {
  RecordingPort p;
  p.ScriptReads({0x12, 0x34});
  p.PortOut(0x378, 0xAA);
  EXPECT_EQ(p.PortIn(0x379), 0x12);
  EXPECT_EQ(p.PortIn(0x379), 0x34);
  EXPECT_EQ(p.PortIn(0x379), 0xFF);
  EXPECT_EQ(p.Log(), (std::vector<PortAccess>{
                         {true, 0x378, 0xAA}, {false, 0x379, 0x12}, {false, 0x379, 0x34}, {false, 0x379, 0xFF}}));
}

TEST(Ppdev, FindsTheDeviceForABaseAddressInDecimalProcFiles) {
  auto root = std::filesystem::temp_directory_path() / ("zambrix-proc-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root / "parport0");
  std::filesystem::create_directories(root / "parport1");
  std::ofstream(root / "parport0" / "base-addr") << "888\t1912\n";
  std::ofstream(root / "parport1" / "base-addr") << "632\t-1\n";
  EXPECT_EQ(FindParportDevice(0x378, root.string()), "/dev/parport0");
  EXPECT_EQ(FindParportDevice(0x278, root.string()), "/dev/parport1");
  EXPECT_EQ(FindParportDevice(0x3BC, root.string()), "");
  EXPECT_EQ(ParportBase("/dev/parport1", root.string()), 0x278);
  std::filesystem::remove_all(root);
}

TEST(LatchLoad, DataSelectStrobeSelectInThisOrder) {
  TestCore t;
  auto& link = t->link;
  link.InitControlTables();
  link.PortAddress = 0x378;
  link.BoardModel = 4;
  link.ApplyBoardModel();
  link.Reg2Value = 0x5A;
  link.SetReg2();
  EXPECT_EQ(t.recording.Log(), (std::vector<PortAccess>{
                                   {true, 0x378, 0x5A}, {true, 0x37A, 8}, {true, 0x37A, 9}, {true, 0x37A, 8}}));
}

}  // namespace
}  // namespace zambrix
