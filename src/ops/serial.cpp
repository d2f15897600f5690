#include "app/core.h"
#include "ops/operations.h"

namespace zambrix {

// The two-wire bus routines of the 24Cxx chips.
void Operations::Read24Cxx() { RoutineNotReady("Please Write Missing Routines at READCODE"); }
void Operations::Verify24Cxx() { RoutineNotReady("Please Write Missing Routines at VERIFY"); }
void Operations::Write24C08_16() { RoutineNotReady("Please Write Missing Routines at PROGRAM"); }
void Operations::Write24C32() { RoutineNotReady("Please Write Missing Routines at PROGRAM"); }

}  // namespace zambrix
