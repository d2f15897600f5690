#include "ops/operations.h"

#include "app/core.h"

namespace zambrix {

// Programming and verify.
void Operations::Program_button_Click() {}
void Operations::Verify_button_Click() {}

}  // namespace zambrix
