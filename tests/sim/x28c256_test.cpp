// The X28C256 and AT29C256 against their datasheets, driven with the link's
// latch procedures and the command and page sequences of the parallel EEPROM
// routine (the XICOR socket's lines: WE on latch 1 bit 6, the parts' real one).
#include <gtest/gtest.h>

#include <tuple>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::SimRig;
using testing::SimSetup;

// The protection command bytes are spaced by the slider's delays plus 28 port
// accesses; the X28C256's short strobe factor keeps them inside the 100 µs
// byte-load limit at the default speed.
constexpr int kProtectedSpeed = 50;

struct Xicor {
  Xicor(SimRig& r, int slider) : rig(r), l(r.link()) {
    rig.t->ui.SetValueQuiet("Slider1", slider);
    rig.Use("EN");
  }
  void Command(int address, int data) {
    auto fixed300 = [&] { rig.clock.Spin(300); };
    l.Reg4Value = data;
    l.Reg2Value = address % 256;
    l.Reg1Value = (address / 256 != 0 ? address / 256 + 64 : 0) | 0x40;
    l.SetReg1(), fixed300(), l.SetReg2(), fixed300(), l.SetReg4();
    l.CEON(), l.Reg1Bit6Clear(), fixed300(), l.Reg1Bit6Set(), fixed300(), l.CEOFF();
  }
  // The unlock and `last`.
  void Sequence(int last) {
    l.OEOFF();
    l.Reg3Value = 0x82, l.SetReg3();
    Command(0x5555, 0xAA), Command(0x2AAA, 0x55);
    Command(0x5555, last);
  }
  const Bytes& Settle(int ms) { return l.SleepMs(ms), rig.Memory(); }
  void PageLatch(int p) {  // step 7.4: latch 1 for the page
    l.CurrentAddress = p * 64;
    l.Endereco2Adr();
    const int v = (l.AddressMid != 0 ? l.AddressMid + 64 : 0) | l.Reg1Fixed;
    if (v != l.Reg1Value) l.Reg1Value = v, l.SetReg1();
  }
  // Step 7.5 for bytes `from`..`to` of page p.
  void LoadPage(int p, const Bytes& data, int from = 0, int to = 63) {
    l.REG4ON();
    PageLatch(p);
    for (int i = from; i <= to; ++i) {
      l.CurrentAddress = p * 64 + i;
      l.Endereco2Adr();
      l.Reg2Value = l.AddressLow, l.SetReg2();
      l.REG4ON();
      l.Reg4Value = data[static_cast<std::size_t>(i)], l.SetReg4();
      l.Reg3Value &= ~0x80, l.SetReg3();
      l.Reg1Value &= ~0x40, l.SetReg1();
      l.Reg1Value |= 0x40, l.SetReg1();
      l.Reg3Value |= 0x80, l.SetReg3();
    }
  }
  std::uint8_t Read(int address) {
    l.REG4OFF();
    PageLatch(address / 64);
    l.CurrentAddress = address;
    l.Endereco2Adr();
    l.Reg2Value = l.AddressLow, l.SetReg2();
    l.CEOEON(), l.GetNibbles(), l.OEOFF();
    return l.ReadValue;
  }
  SimRig& rig;
  Link& l;
};

Bytes PageData(int seed) {
  Bytes v(64);
  for (int i = 0; i < 64; ++i) v[std::size_t(i)] = std::uint8_t(seed * 31 + i * 5);
  return v;
}

TEST(X28C256, PageWritesStoreAfterTheWriteCycleWithDataPollingMeanwhile) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  Xicor x(rig, 100);
  const auto data = PageData(1);
  x.LoadPage(3, data);
  rig.clock.Advance(150'000);  // past the byte-load time: the write cycle runs
  const std::uint8_t first = x.Read(3 * 64 + 63), second = x.Read(3 * 64 + 63);
  EXPECT_TRUE(rig.chip<sim::PageEeprom>().Busy());
  EXPECT_EQ(first & 0x80, ~data[63] & 0x80);  // DATA polling: bit 7 inverted
  EXPECT_NE(first & 0x40, second & 0x40);     // toggle bit
  x.LoadPage(4, PageData(2));                 // ignored while busy
  x.l.SleepMs(11);                            // the 10 ms maximum write cycle
  for (int i = 0; i < 64; ++i) EXPECT_EQ(x.Read(3 * 64 + i), data[std::size_t(i)]);
  EXPECT_EQ(x.Read(4 * 64), 0xFF);
}

// (Turning it off with six bytes is done by every protected programming run.)
TEST(X28C256, ProtectionOnWithThreeBytesAndPrefixedWritesMeanwhile) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  auto& chip = rig.chip<sim::PageEeprom>();
  Xicor x(rig, kProtectedSpeed);
  x.Sequence(0xA0);
  EXPECT_EQ(x.Settle(20)[0x5555], 0xFF);  // command bytes are not stored
  EXPECT_TRUE(chip.Protected());
  x.LoadPage(0, PageData(1));  // a plain write: ignored
  EXPECT_EQ(x.Settle(20)[0], 0xFF);
  EXPECT_EQ(chip.DummyCycles(), 1);
  x.Sequence(0xA0);  // a prefixed one: stored
  x.LoadPage(0, PageData(1));
  EXPECT_EQ(x.Settle(20)[5], PageData(1)[5]);
  EXPECT_TRUE(chip.Protected());
}

TEST(X28C256, ByteLoadLimitEndsThePageWhenBytesComeTooSlowly) {
  SimRig rig(SimSetup(6, 0x378, "X28C256"));
  Xicor x(rig, 0);  // slowest: every strobe delay is 100 us, a byte takes over 1 ms
  const auto data = PageData(4);
  x.LoadPage(7, data);
  const auto& m = x.Settle(120);
  EXPECT_EQ(m[7 * 64], data[0]);
  EXPECT_EQ(m[7 * 64 + 1], 0xFF);
}

TEST(AT29C256, ProductIdAndSectorWrites) {
  Bytes image(32768, 0x00);
  image[0] = 0x11, image[1] = 0x22;
  SimRig rig(SimSetup(6, 0x378, "AT29C256", image));
  Xicor x(rig, 90);
  x.Sequence(0x90);
  x.l.SleepMs(10);
  EXPECT_EQ(std::tuple(x.Read(0), x.Read(1)), std::tuple(0x1F, 0xDC));
  x.Sequence(0xF0);
  x.l.SleepMs(10);
  EXPECT_EQ(x.Read(1), 0x22);
  x.LoadPage(2, Bytes(64, 0x5A), 10, 12);
  x.l.SleepMs(11);
  EXPECT_EQ(x.Read(2 * 64 + 10), 0x5A);
  EXPECT_EQ(x.Read(2 * 64 + 9), 0xFF);  // not loaded: erased with the sector
  EXPECT_EQ(x.Read(3 * 64), 0x00);
}

}  // namespace
}  // namespace zambrix
