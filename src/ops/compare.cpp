// Whole-chip comparisons for scripts: every difference instead of the first,
// and whether an image can be written over what the chip holds.
#include "base/control_names.h"
#include "base/report.h"
#include "base/text.h"
#include "base/window_model.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "ops/parallel_sweep.h"

namespace zambrix {

namespace {

// Differences closer than this are reported as one range.
constexpr std::int32_t kRangeGap = 16;

void AddToRanges(std::vector<ParallelSweepOps::AddressRange>& ranges, std::int32_t address) {
  if (!ranges.empty() && address - ranges.back().last <= kRangeGap) {
    ranges.back().last = address;
    ++ranges.back().count;
    return;
  }
  ranges.push_back({address, address, 1});
}

std::int32_t Total(const std::vector<ParallelSweepOps::AddressRange>& ranges) {
  std::int32_t n = 0;
  for (const auto& r : ranges) n += r.count;
  return n;
}

}  // namespace

void ParallelSweepOps::LogRanges(const std::string& label,
                                 const std::vector<AddressRange>& ranges) {
  for (const auto& r : ranges) {
    report_.LogMessage(label + HexText(r.first) + "-" + HexText(r.last) + ": " +
                       std::to_string(r.count) + (r.count == 1 ? " byte" : " bytes"));
  }
}

bool ParallelSweepOps::VerifyAllDifferences(std::vector<AddressRange>& differences) {
  auto& report = report_;
  st_.BoardLost = false;
  differences.clear();
  report.DataFlowLightOn();
  report.LogMessage("Verify Function Started... Wait");
  if (!ConfirmBoard("before the verify")) return false;
  std::int32_t compared = 0;
  const bool swept = CompareSweep(
      [&differences](std::int32_t address, std::uint8_t value, std::uint8_t expected) {
        if (value != expected) AddToRanges(differences, address);
        return true;
      },
      compared);
  if (!swept || !ConfirmBoard("after the verify")) return false;
  report.DataFlowLightOff();
  report.LogMessage("Compared " + std::to_string(compared) + " bytes");
  ui_.SetValueQuiet(control::ProgressBar1, 0);
  if (differences.empty()) {
    Conclude(Outcome::Kind::kDone, "Device Contents MATCHES with Buffer Contents");
    st_.DeviceChecksumText = Hex4(st_.DeviceChecksum);
    report.LogMessage("Device CHKSUMM = $" + st_.DeviceChecksumText);
    report.PlayEventSound("OK");
    link_.Reset();
    return true;
  }
  Conclude(Outcome::Kind::kFailed, "Device Memory DOES NOT VERIFY with Buffer Contents");
  LogRanges("Differs at ", differences);
  report.LogMessage(std::to_string(Total(differences)) + " bytes differ in " +
                    std::to_string(differences.size()) +
                    (differences.size() == 1 ? " range" : " ranges"));
  report.RaiseErrorAlert();
  report.PlayEventSound("ERROR");
  link_.Reset();
  return true;
}

bool ParallelSweepOps::CheckWritable(WriteCheck& result) {
  auto& report = report_;
  st_.BoardLost = false;
  result = {};
  report.DataFlowLightOn();
  report.LogMessage("Checking Device against Buffer... Wait");
  if (!ConfirmBoard("before the check")) return false;
  // An EEPROM writes every byte whole; the others only turn 1s into 0s.
  const bool rewritable = dev_.Family().algorithm == Algorithm::kX28C256Pages;
  const bool swept = CompareSweep(
      [&result, rewritable](std::int32_t address, std::uint8_t value, std::uint8_t wanted) {
        if (value == wanted) {
          ++result.already;
        } else if (rewritable || (value & wanted) == wanted) {
          ++result.to_program;  // only 1s to turn into 0s, or any byte of an EEPROM
        } else {
          AddToRanges(result.need_erase, address);
        }
        return true;
      },
      result.compared);
  if (!swept || !ConfirmBoard("after the check")) return false;
  report.DataFlowLightOff();
  ui_.SetValueQuiet(control::ProgressBar1, 0);
  report.LogMessage(std::to_string(result.compared) +
                    " bytes compared: " + std::to_string(result.already) + " hold their value, " +
                    std::to_string(result.to_program) + " need programming");
  if (result.need_erase.empty()) {
    report.LogMessage("The buffer can be programmed over the Device contents");
  } else {
    LogRanges("Needs a 0 turned into 1 at ", result.need_erase);
    report.LogMessage(std::to_string(Total(result.need_erase)) +
                      " bytes cannot be programmed without erasing the Device first");
  }
  link_.Reset();
  return true;
}

}  // namespace zambrix
