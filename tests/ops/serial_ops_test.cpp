// The 24C08, 24C16 and 24C32 through the window's handlers and the serial
// routines, on the simulated board with datasheet-true chips. A probe between
// the program and the board decodes the two-wire bus as the chip sees it.
#include <gtest/gtest.h>

#include "program_window_support.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One transfer on the bus: the bytes from a start to the next start or stop,
// each with the level of SDA on its ninth clock (0 = acknowledged).
struct Transfer {
  Bytes bytes;
  std::vector<int> ninth;
  bool stopped = false;
};

// Forwards to the simulated board and decodes SCL (latch 3 bit 7) and SDA (D7
// as both sides drive it) after every write.
class BusProbe : public PortBackend {
 public:
  BusProbe(sim::SimPort& port, VirtualClock& clock) : port_(port), clock_(clock) {}
  void PortOut(std::uint16_t address, std::uint8_t value) override {
    port_.PortOut(address, value);
    Sample();
  }
  std::uint8_t PortIn(std::uint16_t address) override { return port_.PortIn(address); }
  bool IsSimulated() const override { return true; }
  std::string Describe() const override { return port_.Describe(); }
  std::vector<Transfer> transfers;

 private:
  void Sample() {
    auto& board = port_.Board();
    const bool scl = (board.Latch(3) & 0x80) != 0;
    const bool sda = (board.DataLines(clock_.NowNs()) & 0x80) != 0;
    if (scl && scl_ && sda != sda_) {
      if (!sda) {
        transfers.emplace_back();
        bits_ = 0;
      } else if (!transfers.empty()) {
        transfers.back().stopped = true;
      }
    } else if (scl && !scl_ && !transfers.empty() && !transfers.back().stopped) {
      if (bits_ == 8) {
        transfers.back().bytes.push_back(shift_);
        transfers.back().ninth.push_back(sda);
        bits_ = 0;
      } else {
        shift_ = static_cast<std::uint8_t>(shift_ << 1 | sda);
        ++bits_;
      }
    }
    scl_ = scl;
    sda_ = sda;
  }
  sim::SimPort& port_;
  VirtualClock& clock_;
  bool scl_ = true, sda_ = true;
  int bits_ = 0;
  std::uint8_t shift_ = 0;
};

struct Part {
  const char* name;  // simulated part and catalogue entry
  int size, page;
  const char* key;
};
constexpr Part kChips[] = {
    {"24C08", 1024, 16, "SA"}, {"24C16", 2048, 16, "SB"}, {"24C32", 4096, 32, "SC"}};

// A board as the program finds it at start-up, a serial chip chosen, the bus probe
// between them.
struct Serial : testing::Programmer {
  Serial(const Part& c, int model, Bytes contents = {}, bool empty_socket = false)
      : Programmer(
            Setup(empty_socket ? "" : c.name, std::move(contents), model),
            [](sim::SimPort& p, VirtualClock& k) { return std::make_unique<BusProbe>(p, k); }),
        chip(c),
        probe(static_cast<BusProbe*>(front.get())) {
    Choose(std::string("Eeprom ") + c.name + " Serial (8 pins)");
    EXPECT_EQ(core().dev.DeviceKey, c.key);
    probe->transfers.clear();
    t->dialogs.shown.clear();
  }
  // Whatever a test ran, the progress bar never passed its maximum.
  ~Serial() { EXPECT_FALSE(progress_overrun); }
  Operations& ops() { return core().ops; }
  Bytes Code(std::size_t n) const {
    const auto& c = t->core->buf.CodeBuffer;
    return Bytes(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(n));
  }
  Bytes Memory() { return port->ChipImage(); }
  bool AlertRaised() { return core().ui.Colour("Error_label") == colour::kRed; }
  // The page writes: transfers that carried data to the chip, without the polls.
  std::vector<Transfer> Pages() const {
    std::vector<Transfer> out;
    for (const auto& x : probe->transfers) {
      if (x.bytes.size() > 2 && x.stopped && (x.bytes[0] & 1) == 0) out.push_back(x);
    }
    return out;
  }
  Part chip;
  BusProbe* probe;
};

Bytes Random(std::size_t size, unsigned seed) { return testing::RandomImage(size, seed); }

void ForEachChip(const std::function<void(const Part&, int model)>& body) {
  for (const auto& chip : kChips) {
    for (int model : {4, 6}) {
      SCOPED_TRACE(std::string(chip.name) + " on model " + std::to_string(model));
      body(chip, model);
    }
  }
}

// The window's commands: Program (with the verify after it), then Read; the
// bus traffic of both as the chip sees it.
TEST(SerialCommands, ProgramVerifyAndReadBackThroughTheButtons) {
  ForEachChip([](const Part& chip, int model) {
    Serial s(chip, model);
    const auto image = Random(static_cast<std::size_t>(chip.size), 21);
    s.Load(image);
    s.core().ui.SetValue("VerifyAfterProgramming", 1);
    s.core().Click("Program_button");
    EXPECT_EQ(s.Memory(), image);
    EXPECT_TRUE(s.Logged(testing::ChecksumLine(image)));  // the verify's sum of the chip
    EXPECT_FALSE(s.AlertRaised());
    EXPECT_EQ(s.core().link.Reg3Value & 0x80, 0);  // SCL low: the socket at rest

    // One transfer per page: the block in the device byte (A0h to A6h for a
    // 24C08) and one word-address byte, or A0h and two address bytes.
    const auto pages = s.Pages();
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(chip.size / chip.page));
    for (std::size_t k = 0; k < pages.size(); ++k) {
      const int first = static_cast<int>(k) * chip.page;
      const Bytes header =
          chip.page == 32
              ? Bytes{0xA0, std::uint8_t(first / 256), std::uint8_t(first % 256)}
              : Bytes{std::uint8_t(0xA0 + 2 * (first / 256)), std::uint8_t(first % 256)};
      const auto& bytes = pages[k].bytes;
      ASSERT_EQ(bytes.size(), header.size() + static_cast<std::size_t>(chip.page)) << k;
      EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(header.size())),
                header)
          << k;
    }

    std::fill_n(s.core().buf.CodeBuffer.begin(), chip.size, 0);
    s.core().Click("Read_button");
    EXPECT_EQ(s.Code(image.size()), image);
    EXPECT_TRUE(s.Logged(std::to_string(chip.size) + " bytes Read from Device"));
    EXPECT_FALSE(s.AlertRaised());
    EXPECT_EQ(s.core().buf.DisplayMode, "Read");
    EXPECT_EQ(s.core().ui.Value("ProgressBar1"), 0);

    // The read's header: address 0 in one byte (two for the 24C32), then the
    // read, its last byte not acknowledged. (The board check after the read
    // toggles the lines once more; the chip sees no transfer in it.)
    const auto& x = s.probe->transfers;
    auto last_read = std::find_if(x.rbegin(), x.rend(), [](const auto& t) {
      return !t.bytes.empty() && t.bytes[0] == 0xA1;
    });
    ASSERT_TRUE(last_read != x.rend() && std::next(last_read) != x.rend());
    const auto& read = *last_read;
    EXPECT_EQ(std::next(last_read)->bytes, chip.page == 32 ? (Bytes{0xA0, 0, 0}) : (Bytes{0xA0, 0}));
    ASSERT_EQ(read.bytes.size(), image.size() + 1);
    EXPECT_EQ(Bytes(read.bytes.begin() + 1, read.bytes.end()), image);
    EXPECT_EQ(read.ninth.back(), 1);
    EXPECT_EQ(std::count(read.ninth.begin(), read.ninth.end(), 0), chip.size);
    EXPECT_TRUE(read.stopped);
    EXPECT_FALSE(s.port->Board().socket().As<sim::SerialEeprom>()->Sending());
  });
}

// Whole pages, then a shorter last one; nothing beyond the buffer's size.
TEST(SerialWrite, AFileThatEndsInsideAPageWritesExactlyItsBytes) {
  for (int size : {1000, 1016, 8, 1}) {
    SCOPED_TRACE(size);
    Serial s(kChips[0], 6);
    const auto data = Random(static_cast<std::size_t>(size), 5);
    s.Load(data);
    s.core().buf.CodeBuffer[static_cast<std::size_t>(size)] = 0x00;  // must stay in the buffer
    s.ops().Write24C08_16();
    auto expected = Bytes(1024, 0xFF);
    std::copy(data.begin(), data.end(), expected.begin());
    EXPECT_EQ(s.Memory(), expected);
    std::size_t written = 0;
    for (const auto& p : s.Pages()) written += p.bytes.size() - 2;
    EXPECT_EQ(written, static_cast<std::size_t>(size));
    s.ops().Verify24Cxx();
    EXPECT_FALSE(s.AlertRaised());
    s.core().Click("Read_button");  // a buffer shorter than the chip
  }
}

// A buffer larger than the chip: the chip's size is covered, the address never
// wraps onto the start, and one line says so.
TEST(SerialWrite, ABufferLargerThanTheChipIsCoveredUpToTheChipsSize) {
  Serial s(kChips[2], 6);
  const auto data = Random(40000, 3);
  s.Load(data);
  s.ops().Write24C32();
  EXPECT_EQ(s.Memory(), Bytes(data.begin(), data.begin() + 4096));
  EXPECT_TRUE(s.Logged("Buffer is larger than the Device: only the first 4096 bytes were written"));
  s.ops().Verify24Cxx();
  EXPECT_TRUE(
      s.Logged("Buffer is larger than the Device: only the first 4096 bytes were compared"));
  EXPECT_FALSE(s.AlertRaised());
  s.core().Click("Read_button");
  EXPECT_TRUE(s.Logged("Buffer is larger than the Device: only the first 4096 bytes were read"));
  EXPECT_TRUE(s.Logged("4096 bytes Read from Device"));
  EXPECT_EQ(s.Code(40000), data);
}

TEST(SerialErase, EveryByteBecomesFFAndNeitherBufferChanges) {
  ForEachChip([](const Part& chip, int model) {
    Serial s(chip, model, Random(static_cast<std::size_t>(chip.size), 2));
    const auto code = Random(100, 4);  // a short file: the erase still covers the chip
    s.Load(code);
    auto& program = s.core().buf.ProgramBuffer;
    std::fill_n(program.begin(), 64, 0x3C);
    s.core().Click("EraseFlash_button");
    EXPECT_EQ(s.Memory(), Bytes(static_cast<std::size_t>(chip.size), 0xFF));
    EXPECT_EQ(s.Code(100), code);
    EXPECT_EQ(s.core().buf.CodeSize, 100);
    EXPECT_EQ(std::count(program.begin(), program.begin() + 64, 0x3C), 64);
    const auto log = s.Log();
    const std::vector<std::string> tail(log.end() - 3, log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        chip.page == 32 ? "Erasing Device 24C32" : "Erasing Device 24CXX",
                        "Program Buffer will not be erased", "Programming Device Successfull"}));
    EXPECT_EQ(s.t->sound.played.back(), "/opt/zambrix/ok.wav");
    EXPECT_FALSE(s.AlertRaised());
  });
}

// The 24C256 has no page write: its erase must not claim a write.
TEST(SerialErase, TheChipWithoutAPageWriteIsNotReportedErased) {
  Serial s(kChips[2], 6, Random(4096, 8));
  s.core().dev.DeviceKey = "SE";
  s.core().Click("EraseFlash_button");
  EXPECT_FALSE(s.Logged("Programming Device Successfull"));
  ASSERT_EQ(s.t->dialogs.shown.size(), 1u);
  EXPECT_EQ(s.t->dialogs.shown[0].title, "Routine Not Ready");
  EXPECT_EQ(s.Memory(), Random(4096, 8));
}

TEST(SerialAcknowledge, AnEmptySocketGivesTheReportAfter200SamplesOnEveryCommand) {
  for (int model : {4, 6}) {
    SCOPED_TRACE(model);
    Serial s(kChips[1], model, {}, true);
    const auto before = s.clock.NowNs();
    s.core().Click("Read_button");
    EXPECT_EQ(s.ops().ErrorCount, 200);
    EXPECT_GE(s.clock.NowNs() - before, 200'000'000u);  // 1 ms between samples
    EXPECT_TRUE(s.AlertRaised());
    EXPECT_TRUE(s.Logged("Device 24CXX DOES NOT RESPOND - ACK Error"));
    EXPECT_EQ(s.t->sound.played.back(), "/opt/zambrix/error.wav");
    ASSERT_FALSE(s.probe->transfers.empty());
    EXPECT_EQ(s.probe->transfers.back().bytes, Bytes{0xA0});
    EXPECT_FALSE(s.probe->transfers.back().stopped);

    s.Load(Random(2048, 1));
    s.core().ui.SetValue("VerifyAfterProgramming", 1);
    for (const char* command : {"Program_button", "EraseFlash_button"}) {
      s.core().Click("Error_label");
      s.ops().FailFlag = 0;
      s.core().Click(command);
      EXPECT_EQ(s.ops().FailFlag, 1) << command;
      EXPECT_TRUE(s.AlertRaised()) << command;
    }
    EXPECT_FALSE(s.Logged("Programming Device Successfull"));
    EXPECT_FALSE(s.Logged("Verify Function Started... Wait"));
    s.core().Click("Error_label");
    s.core().Click("Verify_button");
    EXPECT_TRUE(s.AlertRaised());
    EXPECT_FALSE(s.Logged("Device Contents MATCHES with Buffer Contents"));
  }
}

TEST(SerialVerify, AMismatchNamesTheCodeBufferByteAndLeavesTheBusFree) {
  auto image = Random(2048, 6);
  Serial s(kChips[1], 6, image);
  auto code = image;
  code[0x123] = static_cast<std::uint8_t>(image[0x123] ^ 0x81);
  s.Load(code);
  s.ops().Verify24Cxx();
  const auto log = s.Log();
  char line[80];
  std::snprintf(line, sizeof line, "Address: 123 ][ Buffer Data: %X ][ Device Data: %X",
                code[0x123], image[0x123]);
  EXPECT_TRUE(s.Logged(line));
  EXPECT_EQ(s.ops().WorkAddress, 0x123);
  EXPECT_TRUE(s.AlertRaised());
  EXPECT_FALSE(s.port->Board().socket().As<sim::SerialEeprom>()->Sending());
  s.core().Click("Error_label");
  std::fill_n(s.core().buf.CodeBuffer.begin(), 2048, 0);
  s.core().Click("Read_button");
  EXPECT_EQ(s.Code(2048), image);
}

// A chip left sending by an earlier run (its last byte acknowledged, no stop):
// while its bit is 0 it holds SDA low. The next read clocks it free first.
TEST(SerialRecovery, AChipLeftMidReadIsFreedByTheNextCommand) {
  for (std::uint8_t next : {0x00, 0x12, 0x40, 0x7F}) {
    SCOPED_TRACE(int(next));
    auto image = Random(2048, 9);
    image[16] = next;
    Serial s(kChips[1], 4, image);
    auto& ops = s.ops();
    auto& link = s.core().link;
    ops.I2cStart();
    for (int b : {0xA0, 0x00}) link.WriteValue = std::uint8_t(b), ops.I2cSendByte();
    ops.I2cStart();
    link.WriteValue = 0xA1, ops.I2cSendByte();
    link.Reg4Value = 0, link.SetReg4();  // the acknowledges drive 0
    for (int i = 0; i < 16; ++i) ops.I2cReadByte(), link.REG4ON(), link.CEOFF(), link.CEON();
    ops.I2cStop();
    ASSERT_TRUE(s.port->Board().socket().As<sim::SerialEeprom>()->Sending());

    s.core().Click("Read_button");
    EXPECT_FALSE(s.AlertRaised());
    EXPECT_EQ(s.Code(2048), image);
  }
}

}  // namespace
}  // namespace zambrix
