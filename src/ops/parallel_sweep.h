// The parallel sweep and what runs over it for every chip on the parallel bus
// (EPROMs, flash chips, the X28C256): read, blank check, verify, the list of
// differences and the check of what programming would need.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ops/operation_base.h"

namespace zambrix {

class ParallelSweepOps : public OperationBase {
 public:
  using OperationBase::OperationBase;

  // Reads CodeSize bytes into the code buffer, with the checksum and digests.
  void Read();
  // Every byte must read FFh.
  void BlankCheck();
  void ReportNotBlank();
  // The chip compared with the bytes programming writes, stopping at the first
  // difference (reported). False when the verify ended early: a difference, or
  // the board lost.
  bool Verify();

  // A run of chip addresses [first, last] and how many of its bytes are counted.
  struct AddressRange {
    std::int32_t first = 0;
    std::int32_t last = 0;
    std::int32_t count = 0;
  };
  // Verify without stopping at the first difference: every differing range of
  // the programmed bytes, logged with its count. False when the board was lost.
  bool VerifyAllDifferences(std::vector<AddressRange>& differences);
  // What programming the prepared image over the chip's contents would need.
  struct WriteCheck {
    std::int32_t compared = 0;
    std::int32_t already = 0;              // bytes that hold their value
    std::int32_t to_program = 0;           // bytes that need 1s turned into 0s only
    std::vector<AddressRange> need_erase;  // bytes that need a 0 turned into a 1
  };
  // Reads the chip (nothing is written) and compares it with the image the
  // programming would write; an EEPROM needs no erase for any byte. False when
  // the board was lost.
  bool CheckWritable(WriteCheck& result);
  // After a verify that found a difference: the chip read once more and every
  // difference handed to the buffers' compare view (the window asks for it).
  void CollectDifferences();

  // The sweep over CodeSize bytes: latch 3 once per bank, latch 1 once per page
  // (then a progress step), latch 2 and one two-nibble read per byte.
  // `per_byte` gets the chip address and the byte read; returning false ends
  // the sweep at once (the sweep then returns false). The board is asked
  // whether it is still there between banks; when it is gone the sweep returns
  // false with BoardLost set and the alert raised, and the caller reports
  // nothing more. The caller asks once more when the sweep ends, before it
  // reports a result.
  bool ParallelSweep(const std::function<bool(std::int32_t address, std::uint8_t value)>& per_byte);
  void StartCompareSweep();
  // Bank and page limits of a sweep over `size` bytes.
  static int SweepLastBank(std::int32_t size);
  static int SweepLastPage(std::int32_t size);
  // Pages a sweep over `size` bytes walks (the progress bar's maximum).
  static std::int32_t SweepPages(std::int32_t size);

 private:
  // Prepares the program image and reads the chip over the sweep, summing
  // DeviceChecksum and giving each byte of the image's extent with its expected
  // byte to `per_byte` (false from it ends the sweep: false then). `compared`
  // gets the number of bytes given.
  bool CompareSweep(const std::function<bool(std::int32_t, std::uint8_t, std::uint8_t)>& per_byte,
                    std::int32_t& compared);
  void LogRanges(const std::string& label, const std::vector<AddressRange>& ranges);
};

}  // namespace zambrix
