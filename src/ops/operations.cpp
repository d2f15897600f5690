#include "ops/operations.h"

#include "app/core.h"

namespace zambrix {

// Each command is filled in with its own unit.
void Operations::Program_button_Click() {}
void Operations::Verify_button_Click() {}
void Operations::EraseFlash_button_Click() {}
void Operations::menuFlashShowCodeID_Click() {}
void Operations::LoopFlashTest_Click() {}
void Operations::ResetFlash_Click() {}
void Operations::FlashIdCycle() {}

}  // namespace zambrix
