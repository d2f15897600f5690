// JEDEC 5 V flash (AM29F010/040 and their B versions, EN29F040, A29040): command
// cycles behind the AAh/55h unlock, autoselect (ID), reset, byte program, chip
// and sector erase, with DATA polling, toggle bits and the time-limit flag.
#pragma once

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

class JedecFlash : public ChipBase {
 public:
  using ChipBase::ChipBase;
  ChipOutput Update(const ChipPins& p, std::uint64_t now);
  ChipOutput Advance(std::uint64_t now);

  bool InAutoselect() const { return autoselect_; }
  bool Busy() const { return busy_ != Work::kNone; }
  bool TimeLimitExceeded() const { return failed_; }

 private:
  enum class Step { kNone, kUnlock1, kUnlock2, kProgram, kErase, kErase1, kErase2, kSectorWindow };
  enum class Work { kNone, kProgram, kErase };

  void Write(std::uint32_t address, std::uint8_t data, std::uint64_t now);
  void Command(std::uint32_t address, std::uint8_t data, std::uint64_t now);
  bool At(std::uint32_t address, std::uint32_t command_address) const;
  void Program(std::uint32_t address, std::uint8_t data, std::uint64_t now);
  void StartErase(std::uint64_t now);
  void AddSector(std::uint32_t address, std::uint64_t now);
  void Settle(std::uint64_t now);
  std::uint8_t IdByte(std::uint32_t address) const;
  std::uint8_t Status(std::uint64_t now) const;
  ChipOutput Output(std::uint64_t now);

  Step step_ = Step::kNone;
  Work busy_ = Work::kNone;
  bool autoselect_ = false;
  bool failed_ = false;  // programming a 0 back to 1: DQ5 after the time limit
  std::uint64_t busy_from_ = 0, busy_until_ = 0, window_end_ = 0;
  std::uint32_t program_address_ = 0;
  std::uint8_t program_data_ = 0xFF;
  std::vector<bool> erasing_;  // sectors of the running erase
  bool toggle_ = false;
  WriteStrobe strobe_;
  ReadCycles reads_;
  ChipPins pins_;
};

}  // namespace zambrix::sim
