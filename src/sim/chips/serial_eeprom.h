// Two-wire serial EEPROM 24C08 / 24C16 / 24C32 as a slave on SCL and SDA: start
// and stop conditions, the device address with its block bits, one or two word
// address bytes, acknowledge driven from the falling edge after the eighth bit
// to the falling edge after the ninth, page writes that wrap within the page, a
// write cycle during which the chip answers nothing, and sequential reads that
// roll over at the end of the chip. A slave that was acknowledged keeps sending:
// while its current bit is 0 it holds SDA low, so a stop cannot happen.
#pragma once

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

class SerialEeprom : public ChipBase {
 public:
  SerialEeprom(const ChipSpec& spec, std::vector<std::uint8_t> memory, std::uint64_t seed);
  ChipOutput Update(const ChipPins& p, std::uint64_t now);
  ChipOutput Advance(std::uint64_t now);

  bool Busy() const { return busy_; }
  bool HoldingSda() const { return !out_; }
  bool Sending() const { return sending_; }
  std::uint32_t AddressCounter() const { return counter_; }

 private:
  enum class Phase { kStandby, kDeviceAddress, kWordHigh, kWordLow, kWriteData, kRead };
  ChipOutput UpdateBus(const ChipPins& p, std::uint64_t now);
  void OnStart();
  void OnStop(std::uint64_t now);
  void OnRise(bool sda);
  void OnFall();
  bool ByteReceived(std::uint8_t byte);
  void LoadNextByte();
  void Settle(std::uint64_t now);
  ChipOutput Output() const;

  Phase phase_ = Phase::kStandby;
  bool sending_ = false;
  bool scl_ = true, line_ = true;
  bool out_ = true;  // our SDA driver: true = released
  int rises_ = 0;    // SCL rising edges in the current nine-clock frame
  std::uint8_t shift_ = 0;
  std::uint8_t tx_ = 0xFF;
  bool master_ack_ = false;
  bool nack_ = false;
  std::uint32_t counter_ = 0;  // next byte to read or write
  std::uint32_t block_ = 0;
  std::uint32_t word_ = 0;
  std::vector<std::int16_t> page_;  // bytes loaded for the page write (-1: none)
  std::uint32_t page_base_ = 0;
  int data_bytes_ = 0;
  bool busy_ = false;
  std::uint64_t busy_until_ = 0;
  BusTiming timing_;
};

}  // namespace zambrix::sim
