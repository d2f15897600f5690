#include "buffers/buffers.h"

#include "app/core.h"

namespace zambrix {

Buffers::Buffers(Core& core) : core_(core) {}

// Filled in with the buffers and views.
void Buffers::mnuFileOpenCode_Click() {}
void Buffers::mnuFileSaveCode_Click() {}
void Buffers::mnuFileSaveCodeAs_Click() {}
void Buffers::mnuFileOpenData_Click() {}
void Buffers::mnuFileSaveData_Click() {}
void Buffers::mnuFileSaveDataAs_Click() {}
void Buffers::mnuFileClose_Click() {}
void Buffers::FileNameCodeText_Click() {}
void Buffers::BuildPrintableChars() {}
void Buffers::DisplayPageMemory() {}
void Buffers::VScroll1_Change() {}
void Buffers::Display_button_Click() {}
void Buffers::Show_button_Click() {}
void Buffers::Erase_button_Click() {}
void Buffers::BufferDisplay_DblClick() {}
void Buffers::Command1_Click() {}

}  // namespace zambrix
