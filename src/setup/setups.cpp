#include "setup/setups.h"

#include "app/core.h"

namespace zambrix {

// Filled in with the setup files.
void Setups::Setup_Click() {}
void Setups::LoadSetup_Click(int) { core_.svc.dialogs->MessageBox("Please Write Missing Routines at SETUP", MsgButtons::Ok, MsgIcon::None, "Routine Not Ready"); }
void Setups::SaveSetup_Click(int) { core_.svc.dialogs->MessageBox("Please Write Missing Routines at SETUP", MsgButtons::Ok, MsgIcon::None, "Routine Not Ready"); }

}  // namespace zambrix
