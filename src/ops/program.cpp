#include "ops/operations.h"

#include "app/core.h"

namespace zambrix {

// Programming and verify.
void Operations::Program_button_Click() { RoutineNotReady("Please Write Missing Routines at PROGRAM"); }
void Operations::Verify_button_Click() { RoutineNotReady("Please Write Missing Routines at VERIFY"); }

}  // namespace zambrix
