// Board detection and port selection.
#include "app/core.h"

namespace zambrix {

// Filled in with the board detection.
void Link::TestHardware_button_Click() {}
void Link::CheckHardware() {}
void Link::AnnounceBoard() {}

void Link::ApplyBoardModel() {
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;
  const ControlTable* t = nullptr;
  if (BoardModel == 4) t = &Model4Table;
  if (BoardModel == 5 || BoardModel == 6) t = &Model56Table;
  if (t == nullptr) return;
  RegSelect = t->select;
  RegStrobe = t->strobe;
  NibbleSelectLow = t->nibble_low;
  NibbleSelectHigh = t->nibble_high;
}

void Link::LPTSelection_Click() {}
void Link::ForceZambrix4_Click() {}
void Link::ForceZambrix5_Click() {}
void Link::ForceZambrix6_Click() {}

}  // namespace zambrix
