// The UV EPROM pulse-and-verify programming of the five families.
#pragma once

#include "ops/operation_base.h"

namespace zambrix {

enum class EpromAlgorithm { k2732, k2764_128, k27256_040, k27080, k27010_020 };

class EpromOps : public OperationBase {
 public:
  using OperationBase::OperationBase;
  // Programs the prepared image with the family's pulses.
  void Run(EpromAlgorithm algorithm);

 private:
  void StartState(EpromAlgorithm algorithm);
  void SetUp(EpromAlgorithm algorithm);
  bool PreRead(EpromAlgorithm algorithm);
  void Pulse(EpromAlgorithm algorithm);
  void ReportOverPulsed();
};

}  // namespace zambrix
