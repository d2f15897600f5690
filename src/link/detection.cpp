// Board detection and port selection.
#include "app/core.h"
#include "app/text.h"

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

void Link::TestHardware_button_Click() {
  auto& ui = core_.ui;
  auto& report = core_.report;
  report.ErrorLightOff();
  report.ProgramLightOff();
  report.DataFlowLightOff();
  FoundPortAddress = 0;
  BoardModel = 0;
  shown_before_loss_.reset();

  ui.SetColour("ZambrixHardwareFound", colour::kRed);
  ui.SetCaption("ZambrixHardwareFound", "NO HARDWARE FOUND");
  ui.SetText("PortSelected", "None");
  for (int i = 0; i < 3; ++i) ui.SetValueQuiet(Indexed("LPTSelection", i), 0);
  ui.SetCaption("Ready_label", "NotReady");
  ui.SetColour("Ready_label", colour::kRed);

  const int remembered = PortAddress;
  for (int base : kProbeOrder) {
    PortAddress = base;
    CheckHardware();
  }
  PortAddress = remembered;
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;

  if (BoardModel == 0) {
    report.LogMessage("Can't Locate Zambrix Board at Any LPT port.");
    report.LogMessage("Zambrix should be connected to a LPT port, with power and socket empty.");
  }
  AnnounceBoard();
}

void Link::CheckHardware() {
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;
  core_.report.DataFlowLightOn();
  const int a = ProbePattern5();
  const int b = ProbePattern4();
  core_.report.DataFlowLightOff();

  if (a == 0x70) {
    BoardModel = 5;
    FoundPortAddress = PortAddress;
  }
  if (b == 0x70) {  // model 4 wins when both patterns answer
    BoardModel = 4;
    FoundPortAddress = PortAddress;
  }
  if (BoardModel == 5) TestForModel6();
  if (a != 0x70 && b != 0x70)
    core_.report.LogMessage("Port " + HexText(PortAddress) + " Not Responding");
}

void Link::TestForModel6() {
  if (Model6Answers()) BoardModel = 6;
}

void Link::AnnounceBoard() {
  if (FoundPortAddress <= 0) return;
  auto& ui = core_.ui;
  auto& report = core_.report;
  ui.SetColour("Ready_label", colour::kGreen);
  ui.SetCaption("Ready_label", "Ready");
  PortAddress = FoundPortAddress;
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;
  // Selecting the option runs its click handling, as the operator's click would.
  const int option = OptionIndexForPort(PortAddress);
  if (option >= 0) ui.SetValue(Indexed("LPTSelection", option), 1);

  if (BoardModel == 4 || BoardModel == 5 || BoardModel == 6) {
    const std::string model = std::to_string(BoardModel);
    const std::string port = HexText(PortAddress);
    report.LogMessage("ZAMBRIX-" + model + " Device was FOUND at Port: " + port);
    ui.SetCaption("ZambrixHardwareFound", "MODEL " + model + " - PC port " + port + "h");
    ui.SetColour("ZambrixHardwareFound", colour::kButtonText);
    core_.setup.SaveStartupSettings();
    ApplyBoardModel();
    if (BoardModel != 4) {
      // The board's activity output blinks once, with the new control values.
      ActivityOn();
      SleepMs(200);
      ActivityOff();
    }
  }
  Reset();
}

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

// The operator's port choice: no probe, the board model and control values stay.
void Link::LPTSelection_Click() {
  auto& ui = core_.ui;
  for (int i = 0; i < 3; ++i) {
    if (ui.Value(Indexed("LPTSelection", i)) == 0) continue;
    const auto& option = kPortOptions[i];
    ui.SetText("PortSelected", option.text);
    core_.report.LogMessage(std::string("Port Selection changed to ") + option.text);
    PortAddress = option.base;
    StatusPort = PortAddress + 1;
    ControlPort = PortAddress + 2;
  }
}

void Link::ForceModel(int model) {
  auto& ui = core_.ui;
  const std::string n = std::to_string(model);
  BoardModel = model;
  shown_before_loss_.reset();
  core_.report.LogMessage("ZAMBRIX-" + n + " Device was FORCED by Operator");
  ui.SetCaption("ZambrixHardwareFound", "Operator Forced Model " + n);
  ui.SetColour("ZambrixHardwareFound", colour::kRed);
  ui.SetColour("Ready_label", colour::kGreen);
  ui.SetCaption("Ready_label", "Ready");
  ApplyBoardModel();
  Reset();
}

void Link::ShowBoardLost() {
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

void Link::ShowBoardAnswers() {
  if (!shown_before_loss_) return;
  auto& ui = core_.ui;
  ui.SetCaption("ZambrixHardwareFound", shown_before_loss_->found);
  ui.SetColour("ZambrixHardwareFound", shown_before_loss_->found_colour);
  ui.SetCaption("Ready_label", shown_before_loss_->ready);
  ui.SetColour("Ready_label", shown_before_loss_->ready_colour);
  shown_before_loss_.reset();
}

void Link::ForceZambrix4_Click() { ForceModel(4); }
void Link::ForceZambrix5_Click() { ForceModel(5); }
void Link::ForceZambrix6_Click() { ForceModel(6); }

}  // namespace zambrix
