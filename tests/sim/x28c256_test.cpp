// The X28C256 against its datasheet, driven with the link's latch procedures
// and the command and page sequences of the parallel EEPROM routine.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

// The command write, six-cycle sequence and page load of the XICOR socket.
// The protection command bytes are spaced by the slider's delays plus 28 port
// accesses; at the default speed on a 1 µs port they arrive just past the
// 100 µs byte-load limit, so these tests run a few steps faster.
constexpr int kProtectedSpeed = 70;

struct Xicor {
  explicit Xicor(SimRig& r, int slider = 100) : rig(r), l(r.link()) {
    rig.UseBoard(6, 0x378);
    rig.t->ui.SetValueQuiet("Slider1", slider);
    rig.Select("EN");
    l.Reset();
  }
  int Span() { return rig.t->ui.Get("Slider1").max - rig.t->ui.Value("Slider1"); }
  void Fixed300() { rig.clock.Spin(300); }

  void Command(int address, int data) {
    l.Reg4Value = data;
    l.Reg2Value = address % 256;
    int m = address / 256;
    if (m != 0) m += 64;
    l.Reg1Value = m | 0x40;
    l.SetReg1(), Fixed300(), l.SetReg2(), Fixed300(), l.SetReg4();
    l.CEON();
    l.Reg1Bit6Clear(), Fixed300(), l.Reg1Bit6Set(), Fixed300();
    l.CEOFF();
  }
  void Prefix(std::initializer_list<std::pair<int, int>> cycles) {
    l.OEOFF();
    l.Reg3Value = 0x82;
    l.SetReg3();
    for (auto [a, d] : cycles) Command(a, d);
  }
  void SdpOff() {
    Prefix({{0x5555, 0xAA},
            {0x2AAA, 0x55},
            {0x5555, 0x80},
            {0x5555, 0xAA},
            {0x2AAA, 0x55},
            {0x5555, 0x20}});
    l.SleepMs(Span() + 5);
  }
  // Step 7.4 and 7.5 of the page algorithm for bytes `from`..`to` of page p.
  // Step 7.4: latch 1 for the page.
  void PageLatch(int p) {
    l.CurrentAddress = p * 64;
    l.Endereco2Adr();
    const int v = (l.AddressMid != 0 ? l.AddressMid + 64 : 0) | l.Reg1Fixed;
    if (v != l.Reg1Value) l.Reg1Value = v, l.SetReg1();
  }
  void LoadPage(int p, const std::vector<std::uint8_t>& data, int from = 0, int to = 63) {
    l.REG4ON();
    PageLatch(p);
    for (int i = from; i <= to; ++i) {
      l.CurrentAddress = p * 64 + i;
      l.Endereco2Adr();
      l.Reg2Value = l.AddressLow;
      l.SetReg2();
      l.REG4ON();
      l.Reg4Value = data[static_cast<std::size_t>(i)];
      l.SetReg4();
      l.Reg3Value &= ~0x80, l.SetReg3();
      l.Reg1Value &= ~0x40, l.SetReg1();
      l.Reg1Value |= 0x40, l.SetReg1();
      l.Reg3Value |= 0x80, l.SetReg3();
    }
  }
  std::uint8_t Read(int address) {
    PageLatch(address / 64);
    l.CurrentAddress = address;
    l.Endereco2Adr();
    l.Reg2Value = l.AddressLow;
    l.SetReg2();
    l.CEOEON();
    l.GetNibbles();
    l.OEOFF();
    return l.ReadValue;
  }
  // The whole page step: load, wait, read back; returns the loads it took (0: failed).
  int WritePage(int p, const std::vector<std::uint8_t>& data) {
    for (int loads = 1; loads < 80; ++loads) {
      l.SleepMs(Span() + 1);
      LoadPage(p, data);
      l.SleepMs(Span() + 3);
      l.REG4OFF();
      bool ok = true;
      for (int i = 0; i < 64 && ok; ++i) ok = Read(p * 64 + i) == data[static_cast<std::size_t>(i)];
      if (ok) return loads;
    }
    return 0;
  }
  SimRig& rig;
  Link& l;
};

std::vector<std::uint8_t> PageData(int seed) {
  std::vector<std::uint8_t> v(64);
  for (int i = 0; i < 64; ++i)
    v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(seed * 31 + i * 5);
  return v;
}

TEST(X28C256, PageWritesStoreAfterTheWriteCycleWithDataPollingMeanwhile) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  Xicor x(rig);
  auto& chip = rig.chip<sim::PageEeprom>();
  const auto data = PageData(1);
  x.LoadPage(3, data);
  x.rig.clock.Advance(150'000);  // past the byte-load time: the write cycle runs
  x.l.REG4OFF();
  EXPECT_TRUE(chip.Busy());
  const std::uint8_t first = x.Read(3 * 64 + 63);
  const std::uint8_t second = x.Read(3 * 64 + 63);
  EXPECT_EQ(first & 0x80, ~data[63] & 0x80);  // DATA polling: bit 7 inverted
  EXPECT_NE(first & 0x40, second & 0x40);     // toggle bit
  x.LoadPage(4, PageData(2));                 // ignored while busy
  x.l.SleepMs(6);
  x.l.REG4OFF();
  for (int i = 0; i < 64; ++i) EXPECT_EQ(x.Read(3 * 64 + i), data[static_cast<std::size_t>(i)]);
  EXPECT_FALSE(chip.Busy());
  EXPECT_EQ(x.Read(4 * 64), 0xFF);
}

TEST(X28C256, TheWholeAlgorithmTurnsProtectionOffAndWritesPages) {
  SimRig rig(SimSetup(5, 0x378, "X28C256"));
  rig.chip<sim::PageEeprom>().SetProtected(true);
  Xicor x(rig, 90);  // 11 ms before and 13 ms after each load
  x.SdpOff();
  x.l.SleepMs(40);
  for (int p : {0, 1, 255, 511}) EXPECT_EQ(x.WritePage(p, PageData(p)), 1) << "page " << p;
  rig.port.Sync();
  EXPECT_FALSE(rig.chip<sim::PageEeprom>().Protected());
  EXPECT_EQ(rig.chip<sim::PageEeprom>().Memory()[511 * 64 + 10], PageData(511)[10]);
  EXPECT_FALSE(rig.port.Trace().ChipDamaged());
}

// At the fastest setting the routine reads back 3 ms after a load, before the
// 5 ms write cycle ends; the reload starts a new cycle, so the page never verifies.
TEST(X28C256, AtTheFastestSettingThePageNeverVerifies) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  Xicor x(rig, 100);
  EXPECT_EQ(x.WritePage(0, PageData(0)), 0);
  Xicor slower(rig, 97);
  EXPECT_EQ(slower.WritePage(1, PageData(1)), 1);
}

TEST(X28C256, AProtectedChipIgnoresPlainWritesAndTakesPrefixedOnes) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  auto& chip = rig.chip<sim::PageEeprom>();
  chip.SetProtected(true);
  Xicor x(rig, kProtectedSpeed);
  x.LoadPage(0, PageData(1));
  x.l.SleepMs(20);
  rig.port.Sync();
  EXPECT_EQ(chip.DummyCycles(), 1);
  EXPECT_EQ(chip.Memory()[0], 0xFF);
  x.Prefix({{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xA0}});
  x.LoadPage(0, PageData(1));
  x.l.SleepMs(20);
  rig.port.Sync();
  EXPECT_EQ(chip.Memory()[5], PageData(1)[5]);
  EXPECT_TRUE(chip.Protected());
}

TEST(X28C256, TheThreeByteSequenceTurnsProtectionOnAndTheSixByteOneOff) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  auto& chip = rig.chip<sim::PageEeprom>();
  Xicor x(rig, kProtectedSpeed);
  x.Prefix({{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xA0}});
  x.l.SleepMs(20);
  rig.port.Sync();
  EXPECT_TRUE(chip.Protected());
  EXPECT_EQ(chip.Memory()[0x5555], 0xFF);  // command bytes are not stored
  x.SdpOff();
  x.l.SleepMs(20);
  rig.port.Sync();
  EXPECT_FALSE(chip.Protected());
  x.LoadPage(2, PageData(3));
  x.l.SleepMs(20);
  rig.port.Sync();
  EXPECT_EQ(chip.Memory()[2 * 64 + 1], PageData(3)[1]);
}

TEST(X28C256, ByteLoadLimitEndsThePageWhenBytesComeTooSlowly) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  auto& chip = rig.chip<sim::PageEeprom>();
  Xicor x(rig, 0);  // slowest: every strobe delay is 100 us, a byte takes over 1 ms
  const auto data = PageData(4);
  x.LoadPage(7, data);
  x.l.SleepMs(120);
  rig.port.Sync();
  EXPECT_EQ(chip.Memory()[7 * 64], data[0]);
  EXPECT_EQ(chip.Memory()[7 * 64 + 1], 0xFF);
  EXPECT_EQ(x.WritePage(7, data), 0);  // the page algorithm can never finish
}

TEST(X28C256, TheFirstDataByteFixesThePage) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  auto& chip = rig.chip<sim::PageEeprom>();
  Xicor x(rig, 80);
  std::vector<std::uint8_t> data(64, 0x11);
  x.LoadPage(1, data, 62, 63);
  x.LoadPage(2, std::vector<std::uint8_t>(64, 0x22), 0, 0);  // in time, but another page
  x.l.SleepMs(20);
  rig.port.Sync();
  EXPECT_EQ(chip.Memory()[1 * 64 + 62], 0x11);
  EXPECT_EQ(chip.Memory()[1 * 64 + 0], 0x22);
  EXPECT_EQ(chip.Memory()[2 * 64 + 0], 0xFF);
}

TEST(X28C256, LoadsDuringASlowWriteCycleAreIgnoredUntilItEnds) {
  auto config = SimSetup(6, 0x378, "X28C256");
  config.faults.slow_write_ns = 200'000'000;
  SimRig rig(config);
  Xicor x(rig, 100);
  const int loads = x.WritePage(0, PageData(0));  // about 6 ms per attempt
  EXPECT_GT(loads, 30);
  EXPECT_LT(loads, 40);
  config.faults.slow_write_ns = 1'000'000'000;
  SimRig rig2(config);
  Xicor x2(rig2, 100);
  EXPECT_EQ(x2.WritePage(0, PageData(0)), 0);
}

TEST(X28C256, ADeadByteFailsItsPageOnly) {
  auto config = SimSetup(6, 0x378, "X28C256");
  config.faults.dead_byte = 0x45;
  SimRig rig(config);
  Xicor x(rig, 90);
  EXPECT_EQ(x.WritePage(1, PageData(1)), 0);
  EXPECT_EQ(x.WritePage(0, PageData(0)), 1);
}

}  // namespace
}  // namespace zambrix

// The AT29C256 has the same pinout; driven here with the XICOR socket's lines
// (WE on latch 1 bit 6), which are the part's real ones.
namespace zambrix {
namespace {

TEST(AT29C256, SoftwareProductIdEntryAndExit) {
  SimRig rig(SimSetup(6, 0x378, "AT29C256", {0x11, 0x22}));
  Xicor x(rig, 90);
  x.Prefix({{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x90}});
  x.l.SleepMs(10);
  x.l.REG4OFF();
  EXPECT_EQ(x.Read(0), 0x1F);
  EXPECT_EQ(x.Read(1), 0xDC);
  x.Prefix({{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xF0}});
  x.l.SleepMs(10);
  x.l.REG4OFF();
  EXPECT_EQ(x.Read(0), 0x11);
  EXPECT_EQ(x.Read(1), 0x22);
}

TEST(AT29C256, ASectorWriteRewritesTheWholeSector) {
  SimRig rig(SimSetup(5, 0x378, "AT29C256", std::vector<std::uint8_t>(32768, 0x00)));
  Xicor x(rig, 90);
  std::vector<std::uint8_t> data(64, 0x5A);
  x.LoadPage(2, data, 10, 12);
  x.l.SleepMs(1);
  x.l.REG4OFF();
  EXPECT_EQ(x.Read(2 * 64 + 10) & 0x80, 0x80);  // DATA polling during the 10 ms cycle
  x.l.SleepMs(10);
  EXPECT_EQ(x.Read(2 * 64 + 10), 0x5A);
  EXPECT_EQ(x.Read(2 * 64 + 9), 0xFF);  // not loaded: erased with the sector
  EXPECT_EQ(x.Read(3 * 64), 0x00);
}

TEST(AT29C256, ByteLoadTimeRunsFromWeRisingAndChipEraseClearsAll) {
  SimRig rig(SimSetup(6, 0x378, "AT29C256", std::vector<std::uint8_t>(32768, 0x00)));
  auto& chip = rig.chip<sim::PageEeprom>();
  Xicor x(rig, 90);
  x.Prefix({{0x5555, 0xAA},
            {0x2AAA, 0x55},
            {0x5555, 0x80},
            {0x5555, 0xAA},
            {0x2AAA, 0x55},
            {0x5555, 0x10}});
  x.l.SleepMs(25);
  rig.port.Sync();
  EXPECT_FALSE(chip.Busy());
  EXPECT_EQ(chip.Memory()[0x1234], 0xFF);
  EXPECT_EQ(chip.Memory()[0x5555], 0xFF);
}

}  // namespace
}  // namespace zambrix
