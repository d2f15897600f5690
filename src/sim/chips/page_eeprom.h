// Parallel EEPROM X28C256 and page flash AT29C256: 64-byte page loads within the
// byte-load time, a write cycle with DATA polling and toggle bit during which
// writes are ignored, and software data protection. The AT29C256 rewrites the
// whole 64-byte sector (bytes not loaded become FFh) and has the software
// product ID and chip erase commands.
#pragma once

#include <array>

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

class PageEeprom : public ChipBase {
 public:
  using ChipBase::ChipBase;
  ChipOutput Update(const ChipPins& p, std::uint64_t now);
  ChipOutput Advance(std::uint64_t now);

  bool Protected() const { return sdp_; }
  void SetProtected(bool on) { sdp_ = on; }
  bool Busy() const { return state_ == State::kBusy; }
  bool InIdMode() const { return id_mode_; }
  // Write cycles that ended without storing anything (protected writes).
  int DummyCycles() const { return dummy_cycles_; }

 private:
  enum class State { kIdle, kLoading, kBusy };
  struct Loaded {
    std::uint16_t address;
    std::uint8_t data;
  };
  // What the running write cycle does when it ends.
  struct Cycle {
    bool store = false;
    bool erase = false;
    bool set_sdp = false, sdp = false;
    bool set_id = false, id = false;
    std::uint16_t page = 0;
    std::array<std::int16_t, 64> bytes{};  // -1: not loaded
  };

  void Settle(std::uint64_t now);
  void CloseLoad(std::uint64_t at);
  std::size_t DecodeCommands(Cycle& c) const;
  void FinishCycle();
  std::uint8_t ReadByte(std::uint32_t address);
  void JudgeLateWrite(std::uint32_t address, std::uint64_t now);
  ChipOutput Output();

  State state_ = State::kIdle;
  std::vector<Loaded> loads_;
  std::uint64_t load_ref_ = 0;    // the byte-load time runs from here
  std::uint64_t last_write_ = 0;  // the last write enable falling edge
  std::uint64_t busy_until_ = 0;
  Cycle cycle_;
  bool write_ok_ = false;
  bool in_write_ = false;
  std::uint8_t last_byte_ = 0xFF;
  bool toggle_ = false;
  bool sdp_ = false;
  bool id_mode_ = false;
  int dummy_cycles_ = 0;
  WriteStrobe strobe_;
  ReadCycles reads_;
  ChipPins pins_;
  std::uint8_t drive_ = 0xFF;
};

}  // namespace zambrix::sim
