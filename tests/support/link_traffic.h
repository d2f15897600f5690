// Helpers for the exact port traffic of the link, checked against the
// recording back end.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "link/link.h"
#include "link/link_events.h"
#include "support/fakes.h"

namespace zambrix::testing {

// The link alone, on the recording back end and virtual time, its events going
// nowhere.
struct BareLink : LinkEvents {
  void BeforePortWrite() override {}
  void ProgressReset() override {}
  void ActivityToggled() override {}
  void ProgramFailed() override {}
  void BoardLost() override {}
  void BoardAnswers() override {}
  void BoardFound() override {}
  SpeedSlider Speed() override { return {}; }
  RecordingPort recording;
  VirtualClock virtual_clock{10};
  Link link{&recording, &virtual_clock, *this};
};

// The four writes of one latch load (data, select, strobe, select) at `base`.
inline std::vector<PortAccess> Load(int data, int select, int strobe, int base = 0x378) {
  auto v = [](int x) { return static_cast<std::uint8_t>(x); };
  auto data_reg = static_cast<std::uint16_t>(base);
  auto control = static_cast<std::uint16_t>(base + 2);
  return {{true, data_reg, v(data)},
          {true, control, v(select)},
          {true, control, v(strobe)},
          {true, control, v(select)}};
}

inline std::vector<PortAccess> Concat(std::initializer_list<std::vector<PortAccess>> parts) {
  std::vector<PortAccess> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline PortAccess Out(int address, int value) {
  return {true, static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(value)};
}

inline PortAccess In(int address, int value) {
  return {false, static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(value)};
}

// The link on base `base` with its tables built, the board model's control
// values installed and the recording emptied.
inline void Install(TestCore& t, int model, int base = 0x378) {
  auto& link = t->link;
  link.BuildReadTables();
  link.InitControlTables();
  link.PortAddress = base;
  link.BoardModel = model;
  link.ApplyBoardModel();
  t.recording.Clear();
}

}  // namespace zambrix::testing
