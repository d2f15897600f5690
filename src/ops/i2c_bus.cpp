// The two-wire bus of the serial EEPROM socket, bit-banged through the latches.
// SCL is the chip-enable bit of latch 3 (CEON = SCL low, CEOFF = SCL high); SDA
// is driven from bit 7 of latch 4 while latch 3 bit 6 is clear (REG4ON) and
// released with REG4OFF, so that the chip can pull it low.
#include "link/boards.h"
#include "link/clock.h"
#include "link/link.h"
#include "ops/two_wire.h"

namespace zambrix {

namespace {
constexpr int kAckTries = 200;  // 1 ms apart
constexpr int kSdaHigh = 0x80;
}  // namespace

// SDA as bit 7 of ReadValue; only the high nibble of the status register is read.
void TwoWireOps::GetNibbles24CXX() {
  auto& link = link_;
  const BoardProfile* board = BoardProfileOf(link.BoardModel);
  if (board == nullptr) return;  // no board: nothing is read, ReadValue keeps its value
  if (board->decoding == NibbleDecoding::kStatusDecode4) {
    link.PortOut(link.ControlPort, link.NibbleSelectHigh);
    const int s = link.PortIn(link.StatusPort);
    link.ReadValue = link.StatusDecode4[static_cast<std::size_t>(s & 0xF0)];
  } else {
    link.PortOut(link.ControlPort, link.NibbleSelectHigh);
    const int s = link.PortIn(link.StatusPort);
    link.ReadValue = link.StatusHighNibble[static_cast<std::size_t>(s & 0xFF)];
  }
}

// SDA falls while SCL is high; SCL ends low.
void TwoWireOps::I2cStart() {
  auto& link = link_;
  link.CEON();
  link.Reg4Value = kSdaHigh;
  link.SetReg4();
  link.REG4ON();
  link.CEOFF();
  link.Reg4Value = 0;
  link.SetReg4();
  link.CEON();
}

// SDA rises while SCL is high; SCL ends low.
void TwoWireOps::I2cStop() {
  auto& link = link_;
  link.CEON();
  link.Reg4Value = 0;
  link.SetReg4();
  link.REG4ON();
  link.CEOFF();
  link.Reg4Value = kSdaHigh;
  link.SetReg4();
  link.CEON();
}

namespace {
// Eight bits of WriteValue, most significant first, each clocked once.
void ShiftOut(Link& link) {
  link.REG4ON();
  link.Reg4Value = link.WriteValue;
  for (int bit = 0; bit < 8; ++bit) {
    link.SetReg4();
    link.CEOFF();
    link.CEON();
    link.Reg4Value = (link.Reg4Value * 2) & 0xFF;
  }
}
}  // namespace

void TwoWireOps::I2cSendByte() {
  ShiftOut(link_);
  I2cWaitAck();
}

// The chip acknowledges by holding SDA low from the eighth falling edge to the
// ninth; it is sampled with SCL low, then the ninth clock is given.
void TwoWireOps::I2cWaitAck() {
  auto& link = link_;
  link.REG4OFF();
  st_.ErrorCount = 0;
  while (st_.ErrorCount < kAckTries) {
    ++st_.ErrorCount;
    GetNibbles24CXX();
    if ((link.ReadValue & kSdaHigh) == 0) {
      st_.ErrorCount = 0;
      break;
    }
    link.SleepMs(1);
  }
  link.CEOFF();
  link.CEON();
}

// One acknowledge sample 1 ms after the byte, without the ninth clock:
// ReadValue is 0 when the chip answered.
void TwoWireOps::I2cSendBytePoll() {
  auto& link = link_;
  ShiftOut(link);
  link.REG4OFF();
  link.SleepMs(1);
  GetNibbles24CXX();
  link.ReadValue &= kSdaHigh;
}

// Eight bits into ReadValue, SDA released; SCL ends low and the caller answers
// on the ninth clock.
void TwoWireOps::I2cReadByte() {
  auto& link = link_;
  link.REG4OFF();
  int v = 0;
  for (int bit = 0; bit < 8; ++bit) {
    link.CEON();
    link.CEOFF();
    GetNibbles24CXX();
    v = v * 2 + (link.ReadValue >> 7);
  }
  link.CEON();
  link.ReadValue = static_cast<std::uint8_t>(v);
}

// A chip that was acknowledged keeps sending and holds SDA low for each 0 bit,
// which swallows a stop; each clock moves it on by one bit. Once SDA is free,
// the start drops whatever the chip had half received and the stop ends the
// transfer without a write cycle.
void TwoWireOps::I2cFreeBus() {
  auto& link = link_;
  link.CEON();
  link.REG4OFF();
  for (int clock = 0; clock < 9; ++clock) {
    GetNibbles24CXX();
    if (link.ReadValue & kSdaHigh) break;
    link.CEOFF();
    link.CEON();
  }
  I2cStart();
  I2cStop();
}

}  // namespace zambrix
