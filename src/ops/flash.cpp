#include "app/core.h"
#include "ops/operations.h"

namespace zambrix {

// Flash and parallel EEPROM programming, identification and reset.
void Operations::ProgramX28C256() {}
void Operations::ProgramAT29C256() {}
void Operations::ProgramFlashBytes() {}
void Operations::EraseX28C256() { RoutineNotReady("Please Write Missing Routines at ERASE"); }
void Operations::EraseFlashChip() { RoutineNotReady("Please Write Missing Routines at ERASE"); }
void Operations::EraseAT29C256() { RoutineNotReady("Please Write Missing Routines at ERASE"); }
void Operations::menuFlashShowCodeID_Click() { RoutineNotReady("Please Write Missing Routines at FLASHID"); }
void Operations::LoopFlashTest_Click() { RoutineNotReady("Please Write Missing Routines at FLASHTEST"); }
void Operations::ResetFlash_Click() { RoutineNotReady("Please Write Missing Routines at FLASHRESET"); }
void Operations::FlashIdCycle() {}

}  // namespace zambrix
