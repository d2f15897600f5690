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

int Link::ProbeRead() { return PortIn(StatusPort) & 0x70; }

void Link::CheckHardware() {
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;
  const int d = PortAddress;
  const int c = ControlPort;
  core_.report.DataFlowLightOn();

  // Model-5 pattern.
  PortOut(d, 0x9F);
  PortOut(c, 14);
  PortOut(c, 0);
  PortOut(d, 0x00);
  PortOut(c, 6);
  WaitSettlingTime();
  const int r1 = ProbeRead();
  PortOut(c, 0);
  PortOut(d, 0xFF);
  PortOut(c, 6);
  WaitSettlingTime();
  const int r2 = ProbeRead();
  const int a = r1 * 256 + r2;

  // Model-4 pattern, through the model-4 latch 2, 3 and 4 controls.
  PortOut(c, 9);
  PortOut(d, 0xBF);
  PortOut(c, 1);
  PortOut(c, 9);
  PortOut(d, 0x00);
  PortOut(c, 15);
  PortOut(c, 9);
  WaitSettlingTime();
  const int r3 = ProbeRead();
  PortOut(d, 0xFF);
  PortOut(c, 15);
  PortOut(c, 9);
  WaitSettlingTime();
  const int r4 = ProbeRead();
  const int b = r3 * 256 + r4;
  PortOut(c, 8);

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

// A model-5 board that answers EFh and FFh to these two patterns is a model 6.
// The reads always use the model-5/6 nibble selects: the values in force may
// still be those of no board (all 0, at the first detection of a run) or of a
// model-4 board, and with them both reads of a byte see the same nibble, so a
// model 6 could never be told apart. The values in force are kept.
void Link::TestForModel6() {
  const int d = PortAddress;
  const int c = ControlPort;
  const int saved_low = NibbleSelectLow;
  const int saved_high = NibbleSelectHigh;
  NibbleSelectLow = Model56Table.nibble_low;
  NibbleSelectHigh = Model56Table.nibble_high;

  PortOut(d, 0x60);
  PortOut(c, 14);
  PortOut(c, 0);
  GetNibbles();
  const int c1 = ReadValue;
  PortOut(d, 0x40);
  PortOut(c, 14);
  PortOut(c, 0);
  GetNibbles();
  const int c2 = ReadValue;

  NibbleSelectLow = saved_low;
  NibbleSelectHigh = saved_high;
  if (c1 == 0xEF && c2 == 0xFF) BoardModel = 6;
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
  core_.report.LogMessage("ZAMBRIX-" + n + " Device was FORCED by Operator");
  ui.SetCaption("ZambrixHardwareFound", "Operator Forced Model " + n);
  ui.SetColour("ZambrixHardwareFound", colour::kRed);
  ui.SetColour("Ready_label", colour::kGreen);
  ui.SetCaption("Ready_label", "Ready");
  ApplyBoardModel();
  Reset();
}

void Link::ForceZambrix4_Click() { ForceModel(4); }
void Link::ForceZambrix5_Click() { ForceModel(5); }
void Link::ForceZambrix6_Click() { ForceModel(6); }

}  // namespace zambrix
