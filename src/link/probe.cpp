// The board's probe patterns, and what the latches hold between our writes.
//
// A pattern writes latches 2, 3 and 4 of a board of its own model and reads the
// status lines; a board of the other model sees no load pulse in it. Latch 3 is
// loaded with the chip enable off (bit 7 set), so the chip in the socket never
// sees a cycle from a probe.
#include "link/boards.h"
#include "link/link.h"

namespace zambrix {

bool Link::IsLptPort(int base) { return base == 888 || base == 632 || base == 956; }

int Link::ProbeRead() { return PortIn(StatusPort) & 0x70; }

// Model-5 pattern: the first read sees all three bits low, the second all high.
int Link::ProbePattern5() {
  const int d = PortAddress;
  const int c = ControlPort;
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
  return r1 * 256 + r2;
}

// Model-4 pattern, through the model-4 latch 2, 3 and 4 controls.
int Link::ProbePattern4() {
  const int d = PortAddress;
  const int c = ControlPort;
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
  PortOut(c, 8);
  return r3 * 256 + r4;
}

// A model-5 board that answers EFh and FFh to these two patterns is a model 6.
// Latch 3 gets its identification bit with the chip enable off (E0h, C0h): a
// part in the socket neither drives the data lines under the test nor sees
// chip enable and write enable low when output enable next rises (which would
// be a write cycle).
// The reads always use the model-5/6 nibble selects: the values in force may
// still be those of no board (all 0, at the first detection of a run) or of a
// model-4 board, and with them both reads of a byte see the same nibble, so a
// model 6 could never be told apart. The values in force are kept, and so is
// the board model (the reads decode as a model-5/6 board's).
bool Link::Model6Answers() {
  const int d = PortAddress;
  const int c = ControlPort;
  const int saved_low = NibbleSelectLow;
  const int saved_high = NibbleSelectHigh;
  const int saved_model = BoardModel;
  NibbleSelectLow = Model56Table.nibble_low;
  NibbleSelectHigh = Model56Table.nibble_high;
  BoardModel = 5;

  PortOut(d, 0xE0);
  PortOut(c, 14);
  PortOut(c, 0);
  GetNibbles();
  const int c1 = ReadValue;
  PortOut(d, 0xC0);
  PortOut(c, 14);
  PortOut(c, 0);
  GetNibbles();
  const int c2 = ReadValue;

  NibbleSelectLow = saved_low;
  NibbleSelectHigh = saved_high;
  BoardModel = saved_model;
  return c1 == 0xEF && c2 == 0xFF;
}

int Link::ProbeBoardModel() {
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;
  const std::uint8_t read_value = ReadValue;
  const int a = ProbePattern5();
  const int b = ProbePattern4();
  int model = 0;
  if (b == 0x70) {
    model = 4;
  } else if (a == 0x70) {
    model = Model6Answers() ? 6 : 5;
  }
  ReadValue = read_value;
  return model;
}

bool Link::BoardAnswers() {
  const BoardProfile* board = BoardProfileOf(BoardModel);
  if (!IsLptPort(PortAddress) || board == nullptr) return false;
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;
  const auto table = static_cast<std::size_t>(board->wiring);
  LatchMirror* mirror = MirrorOf(PortAddress);
  const std::array<int, 5> before = mirror->held[table];
  const bool answered = (board->wiring == 0 ? ProbePattern4() : ProbePattern5()) == 0x70;
  // The address and data latches first, the chip-enable latch last.
  for (int n : {0, 1, 2, 4, 3}) {
    const int held = before[static_cast<std::size_t>(n)];
    if (held >= 0 && mirror->held[table][static_cast<std::size_t>(n)] != held) LoadLatch(n, held);
  }
  return answered;
}

Link::LatchMirror* Link::MirrorOf(int base) {
  for (auto& m : mirrors_) {
    if (m.base == base) return &m;
  }
  for (auto& m : mirrors_) {
    if (m.base == -1) {
      m.base = base;
      return &m;
    }
  }
  return nullptr;  // only the three port bases are followed
}

// A latch whose load pulse is on follows the data register; control bit 5 turns
// the port's data lines to input, and the board then sees them float high.
void Link::FollowLatches(int address, int value) {
  // Nearly every access goes to the port of the access before it.
  LatchMirror* m = &mirrors_[last_mirror_];
  bool data = address == m->base;
  if (!data && (m->base < 0 || address != m->base + 2)) {
    data = IsLptPort(address);
    if (!data && !IsLptPort(address - 2)) return;
    m = MirrorOf(data ? address : address - 2);
    if (m == nullptr) return;
    last_mirror_ = static_cast<std::size_t>(m - mirrors_.data());
  }
  (data ? m->data : m->control) = value;
  if (m->control < 0) return;
  const int lines = (m->control & 0x20) ? 0xFF : m->data;
  const int select = m->control & 0x0F;
  const ControlTable* tables[2] = {&Model4Table, &Model56Table};
  for (std::size_t t = 0; t < 2; ++t) {
    const auto& strobe = tables[t]->strobe;
    if (strobe[0] == strobe[1]) continue;  // the tables are not filled yet
    for (std::size_t n = 0; n < 5; ++n) {
      if (select == strobe[n]) m->held[t][n] = lines;
    }
  }
}

}  // namespace zambrix
