// The 24C08, 24C16 and 24C32 through the window's handlers and the serial
// routines, on the simulated board with datasheet-true chips.
#include <gtest/gtest.h>

#include "program_window_support.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::RandomImage;

struct Part {
  const char* name;  // simulated part and catalogue entry
  std::size_t size;
};
constexpr Part k24C08{"24C08", 1024}, k24C16{"24C16", 2048}, k24C32{"24C32", 4096};

// A board as the program finds it at start-up, a serial chip chosen.
struct Serial : testing::Programmer {
  Serial(const Part& c, int model, Bytes contents = {})
      : Programmer(c.name, std::move(contents), model) {
    Choose(c.name);
  }
  Operations& ops() { return core().ops; }
  Bytes Code(std::size_t n) const {
    const auto& c = t->core->buf.CodeBuffer;
    return {c.begin(), c.begin() + static_cast<std::ptrdiff_t>(n)};
  }
  Bytes Memory() { return port->ChipImage(); }
  bool AlertRaised() { return core().ui.Colour("Error_label") == colour::kRed; }
  bool Sending() { return port->Board().socket().As<sim::SerialEeprom>()->Sending(); }
};

// A buffer shorter than the chip ends inside a page: exactly its bytes are
// written. A larger one covers the chip's size and never wraps onto the start.
TEST(SerialWrite, TheBufferSizeBoundsTheWriteAtBothEnds) {
  for (std::size_t size : {1016u, 1u}) {
    SCOPED_TRACE(size);
    Serial s(k24C08, 6);
    const auto data = RandomImage(size, 5);
    s.Load(data);
    s.core().buf.CodeBuffer[size] = 0x00;  // must stay in the buffer
    s.ops().Write24C08_16();
    auto expected = Bytes(1024, 0xFF);
    std::copy(data.begin(), data.end(), expected.begin());
    EXPECT_EQ(s.Memory(), expected);
  }
  Serial s(k24C32, 6);
  const auto data = RandomImage(40000, 3);
  s.Load(data);
  s.ops().Write24C32();
  EXPECT_EQ(s.Memory(), Bytes(data.begin(), data.begin() + 4096));
  s.ops().Verify24Cxx();
  EXPECT_FALSE(s.AlertRaised());
  s.core().Click("Read_button");
  EXPECT_EQ(s.Code(40000), data);  // the read leaves the rest of the buffer alone
  EXPECT_FALSE(s.Sending());       // the read's last byte went unacknowledged, then the stop
}

// The erase covers the chip whatever the file's length, and neither buffer changes.
TEST(SerialErase, EveryByteBecomesFFAndNeitherBufferChanges) {
  for (int model : {4, 6}) {
    Serial s(k24C16, model, RandomImage(2048, 2));
    const auto code = RandomImage(100, 4);
    s.Load(code);
    auto& program = s.core().buf.ProgramBuffer;
    std::fill_n(program.begin(), 64, 0x3C);
    s.core().Click("EraseFlash_button");
    EXPECT_EQ(s.Memory(), Bytes(2048, 0xFF)) << model;
    EXPECT_EQ(s.Code(100), code) << model;
    EXPECT_EQ(std::count(program.begin(), program.begin() + 64, 0x3C), 64) << model;
  }
}

// The 24C256 has no page write: its erase must not claim a write.
TEST(SerialErase, TheChipWithoutAPageWriteIsNotReportedErased) {
  Serial s(k24C32, 6, RandomImage(4096, 8));
  s.core().dev.DeviceKey = "SE";
  s.core().Click("EraseFlash_button");
  EXPECT_FALSE(s.Logged("Programming Device Successfull"));
  EXPECT_EQ(s.Memory(), RandomImage(4096, 8));
}

// An empty socket acknowledges nothing: every transfer ends at its first byte
// (one acknowledge wait, not one per byte of the chip) with the chip blamed.
TEST(SerialNoAck, EachOperationOnAnEmptySocketStopsAtItsFirstByte) {
  for (const char* button :
       {"Read_button", "Verify_button", "Program_button", "EraseFlash_button"}) {
    SCOPED_TRACE(button);
    testing::Programmer p("", {}, 6);
    p.Choose("Eeprom 24C16 Serial (8 pins)");
    p.Open(RandomImage(2048, 1));
    const std::uint64_t start = p.clock.NowNs();
    p.core().Click(button);
    EXPECT_LT(p.clock.NowNs() - start, 1'000'000'000u);
    EXPECT_TRUE(p.Logged("Device 24CXX DOES NOT RESPOND - ACK Error"));
    EXPECT_FALSE(p.core().ops.BoardLost);
  }
}

TEST(SerialVerify, AMismatchNamesTheCodeBufferByteAndLeavesTheBusFree) {
  auto image = RandomImage(2048, 6);
  Serial s(k24C16, 6, image);
  auto code = image;
  code[0x123] = static_cast<std::uint8_t>(image[0x123] ^ 0x81);
  s.Load(code);
  s.ops().Verify24Cxx();
  EXPECT_EQ(s.ops().WorkAddress, 0x123);
  EXPECT_TRUE(s.AlertRaised());
  EXPECT_FALSE(s.Sending());
}

// A chip left sending by an earlier run (its last byte acknowledged, no stop):
// while its bit is 0 it holds SDA low. The next read clocks it free first.
TEST(SerialRecovery, AChipLeftMidReadIsFreedByTheNextCommand) {
  for (std::uint8_t next : {0x00, 0x12, 0x40, 0x7F}) {
    SCOPED_TRACE(int(next));
    auto image = RandomImage(2048, 9);
    image[16] = next;
    Serial s(k24C16, 4, image);
    auto& ops = s.ops();
    auto& link = s.core().link;
    ops.I2cStart();
    for (int b : {0xA0, 0x00}) link.WriteValue = std::uint8_t(b), ops.I2cSendByte();
    ops.I2cStart();
    link.WriteValue = 0xA1, ops.I2cSendByte();
    link.Reg4Value = 0, link.SetReg4();  // the acknowledges drive 0
    for (int i = 0; i < 16; ++i) ops.I2cReadByte(), link.REG4ON(), link.CEOFF(), link.CEON();
    ops.I2cStop();
    ASSERT_TRUE(s.Sending());

    s.core().Click("Read_button");
    EXPECT_FALSE(s.AlertRaised());
    EXPECT_EQ(s.Code(2048), image);
  }
}

}  // namespace
}  // namespace zambrix
