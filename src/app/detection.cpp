// Board detection and port selection.
#include "app/board_controls.h"
#include "app/core.h"
#include "base/text.h"
#include "link/boards.h"

namespace zambrix {

namespace {

// The three ports in the order the whole-bus detection probes them.
constexpr int kProbeOrder[] = {632, 888, 956};

// Port base of each LPTSelection option, with the text it shows.
struct PortOption {
  int base;
  const char* text;
};
constexpr PortOption kPortOptions[] = {{888, "378h"}, {632, "278h"}, {956, "3BCh"}};

int OptionIndexForPort(int base) {
  for (int i = 0; i < 3; ++i) {
    if (kPortOptions[i].base == base) return i;
  }
  return -1;
}

}  // namespace

void BoardControls::TestHardware_button_Click() {
  auto& link = core_.link;
  auto& ui = core_.ui;
  auto& report = core_.report;
  report.ErrorLightOff();
  report.ProgramLightOff();
  report.DataFlowLightOff();
  link.FoundPortAddress = 0;
  link.BoardModel = 0;
  shown_before_loss_.reset();

  ui.SetColour("ZambrixHardwareFound", colour::kRed);
  ui.SetCaption("ZambrixHardwareFound", "NO HARDWARE FOUND");
  ui.SetText("PortSelected", "None");
  for (int i = 0; i < 3; ++i) ui.SetValueQuiet(Indexed("LPTSelection", i), 0);
  ui.SetCaption("Ready_label", "NotReady");
  ui.SetColour("Ready_label", colour::kRed);

  const int remembered = link.PortAddress;
  for (int base : kProbeOrder) {
    link.PortAddress = base;
    CheckHardware();
  }
  link.PortAddress = remembered;
  link.StatusPort = link.PortAddress + 1;
  link.ControlPort = link.PortAddress + 2;

  if (link.BoardModel == 0) {
    report.LogMessage("Can't Locate Zambrix Board at Any LPT port.");
    report.LogMessage("Zambrix should be connected to a LPT port, with power and socket empty.");
  }
  AnnounceBoard();
}

void BoardControls::CheckHardware() {
  auto& link = core_.link;
  link.StatusPort = link.PortAddress + 1;
  link.ControlPort = link.PortAddress + 2;
  core_.report.DataFlowLightOn();
  const int a = link.ProbePattern5();
  const int b = link.ProbePattern4();
  core_.report.DataFlowLightOff();

  if (a == 0x70) {
    link.BoardModel = 5;
    link.FoundPortAddress = link.PortAddress;
  }
  if (b == 0x70) {  // model 4 wins when both patterns answer
    link.BoardModel = 4;
    link.FoundPortAddress = link.PortAddress;
  }
  if (link.BoardModel == 5 && link.Model6Answers()) link.BoardModel = 6;
  if (a != 0x70 && b != 0x70)
    core_.report.LogMessage("Port " + HexText(link.PortAddress) + " Not Responding");
}

void BoardControls::AnnounceBoard() {
  auto& link = core_.link;
  if (link.FoundPortAddress <= 0) return;
  auto& ui = core_.ui;
  auto& report = core_.report;
  ui.SetColour("Ready_label", colour::kGreen);
  ui.SetCaption("Ready_label", "Ready");
  link.PortAddress = link.FoundPortAddress;
  link.StatusPort = link.PortAddress + 1;
  link.ControlPort = link.PortAddress + 2;
  // Selecting the option runs its click handling, as the operator's click would.
  const int option = OptionIndexForPort(link.PortAddress);
  if (option >= 0) ui.SetValue(Indexed("LPTSelection", option), 1);

  if (const BoardProfile* board = BoardProfileOf(link.BoardModel)) {
    const std::string model = std::to_string(link.BoardModel);
    const std::string port = HexText(link.PortAddress);
    report.LogMessage("ZAMBRIX-" + model + " Device was FOUND at Port: " + port);
    ui.SetCaption("ZambrixHardwareFound", "MODEL " + model + " - PC port " + port + "h");
    ui.SetColour("ZambrixHardwareFound", colour::kButtonText);
    core_.setup.SaveStartupSettings();
    link.ApplyBoardModel();
    if (board->blinks_when_found) {
      // The board's activity output blinks once, with the new control values.
      link.ActivityOn();
      link.SleepMs(200);
      link.ActivityOff();
    }
  }
  link.Reset();
}

// The operator's port choice: no probe, the board model and control values stay.
void BoardControls::LPTSelection_Click() {
  auto& link = core_.link;
  auto& ui = core_.ui;
  for (int i = 0; i < 3; ++i) {
    if (ui.Value(Indexed("LPTSelection", i)) == 0) continue;
    const auto& option = kPortOptions[i];
    ui.SetText("PortSelected", option.text);
    core_.report.LogMessage(std::string("Port Selection changed to ") + option.text);
    link.PortAddress = option.base;
    link.StatusPort = link.PortAddress + 1;
    link.ControlPort = link.PortAddress + 2;
  }
}

void BoardControls::ForceModel(int model) {
  auto& link = core_.link;
  auto& ui = core_.ui;
  const std::string n = std::to_string(model);
  link.BoardModel = model;
  shown_before_loss_.reset();
  core_.report.LogMessage("ZAMBRIX-" + n + " Device was FORCED by Operator");
  ui.SetCaption("ZambrixHardwareFound", "Operator Forced Model " + n);
  ui.SetColour("ZambrixHardwareFound", colour::kRed);
  ui.SetColour("Ready_label", colour::kGreen);
  ui.SetCaption("Ready_label", "Ready");
  link.ApplyBoardModel();
  link.Reset();
}

void BoardControls::ShowBoardLost() {
  auto& ui = core_.ui;
  if (!shown_before_loss_) {
    shown_before_loss_ = ShownBoard{ui.Caption("ZambrixHardwareFound"), ui.Caption("Ready_label"),
                                    ui.Colour("ZambrixHardwareFound"), ui.Colour("Ready_label")};
  }
  ui.SetColour("ZambrixHardwareFound", colour::kRed);
  ui.SetCaption("ZambrixHardwareFound", "NO HARDWARE FOUND");
  ui.SetCaption("Ready_label", "NotReady");
  ui.SetColour("Ready_label", colour::kRed);
}

void BoardControls::ShowBoardAnswers() {
  if (!shown_before_loss_) return;
  auto& ui = core_.ui;
  ui.SetCaption("ZambrixHardwareFound", shown_before_loss_->found);
  ui.SetColour("ZambrixHardwareFound", shown_before_loss_->found_colour);
  ui.SetCaption("Ready_label", shown_before_loss_->ready);
  ui.SetColour("Ready_label", shown_before_loss_->ready_colour);
  shown_before_loss_.reset();
}

void BoardControls::ForceZambrix4_Click() { ForceModel(4); }
void BoardControls::ForceZambrix5_Click() { ForceModel(5); }
void BoardControls::ForceZambrix6_Click() { ForceModel(6); }

}  // namespace zambrix
