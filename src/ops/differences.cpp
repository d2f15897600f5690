// After a verify that stopped at a difference: one more read of the chip over
// the same sweep, which keeps every difference and the bytes read for the
// window's compare view. A verify that matches never gets here.
#include "base/control_names.h"
#include "base/report.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "link/link.h"
#include "ops/parallel_sweep.h"

namespace zambrix {

void ParallelSweepOps::CollectDifferences() {
  auto& report = report_;
  report.LogMessage("Reading the whole Device to list every difference... Wait");
  report.DataFlowLightOn();
  std::vector<Buffers::ByteDifference> found;
  std::vector<std::uint8_t> chip(static_cast<std::size_t>(std::max(0, buf_.ProgramLength)));
  std::int32_t compared = 0;
  const bool swept = CompareSweep(
      [&](std::int32_t address, std::uint8_t value, std::uint8_t expected) {
        chip.at(static_cast<std::size_t>(address)) = value;
        if (value != expected) found.push_back({address, expected, value});
        return true;
      },
      compared);
  if (!swept || !ConfirmBoard("after the comparison")) return;
  chip.resize(static_cast<std::size_t>(compared));
  report.DataFlowLightOff();
  ui_.SetValueQuiet(control::ProgressBar1, 0);
  link_.Reset();
  buf_.ShowDifferences(std::move(found), std::move(chip));
}

}  // namespace zambrix
