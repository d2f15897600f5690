#include "app/core.h"
#include "ops/operations.h"

namespace zambrix {

// Flash and parallel EEPROM programming, identification and reset.
void Operations::ProgramX28C256() {}
void Operations::ProgramAT29C256() {}
void Operations::ProgramFlashBytes() {}
void Operations::EraseX28C256() {}
void Operations::EraseFlashChip() {}
void Operations::EraseAT29C256() {}
void Operations::menuFlashShowCodeID_Click() {}
void Operations::LoopFlashTest_Click() {}
void Operations::ResetFlash_Click() {}
void Operations::FlashIdCycle() {}

}  // namespace zambrix
