// The Blank check command: every byte of a parallel chip must read FFh.
#include "base/control_names.h"
#include "base/window_model.h"
#include "ops/operations.h"

namespace zambrix {

void Operations::Blank_button_Click() {
  if (ui_.Value(control::CheckCode) == 1) BlankCheckCode();
  if (ui_.Value(control::CheckData) == 1) BlankCheckData();
}

void Operations::BlankCheckCode() {
  if (ParallelDevice()) {
    BlankCheckParallel();
  } else {
    RoutineNotReady("Please Write Missing Routines at BLANKCODE", "Missing Routine");
  }
}

void Operations::BlankCheckData() {
  RoutineNotReady("Please Write AT90S2313 Check Blank Eeprom Routine");
}

}  // namespace zambrix
