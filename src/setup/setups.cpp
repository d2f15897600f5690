#include "setup/setups.h"

#include "app/core.h"

namespace zambrix {

// Filled in with the setup files.
void Setups::Setup_Click() {}
void Setups::LoadSetup_Click(int) {}
void Setups::SaveSetup_Click(int) {}

}  // namespace zambrix
