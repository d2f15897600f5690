// The programmer link: the five board latches and their load protocol, the
// counted delays, the chip address and control lines, the byte read-back and the
// board's probe patterns. The only layer that touches the port; it knows the
// port, the clock and the events it reports (link_events.h), nothing above.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/chip_timing.h"
#include "link/link_events.h"

namespace zambrix {

class Clock;
class PortBackend;

class Link {
 public:
  Link(PortBackend* port, Clock* clock, LinkEvents& events)
      : port_(port), clock_(clock), events_(events) {}

  // ---- Port access (the port library's two functions) ----
  // Another back end from the next access on (a test puts a failing port between).
  void UsePort(PortBackend* port) { port_ = port; }
  void PortOut(int address, int value);
  int PortIn(int address);

  // ---- Latches and timing ----
  void SetReg0();
  void SetReg1();
  void SetReg2();
  void SetReg3();
  void SetReg4();
  void InitControlTables();
  void Reset();
  void REG4ON();
  void REG4OFF();
  void ActivityOn();
  void ActivityOff();
  void ActivityToggle();
  void DelayStrobe();
  void DelayMedium();
  void DelayLong();
  void DelayFixed20();
  void DelayFixed10();
  void DelayFixed300();
  void WaitSettlingTime();
  void SleepMs(int ms);
  void ApplySpeedSetting();

  // ---- The chip's own time ----
  // The datasheet figures of the selected chip (set by device selection).
  ChipTiming Timing;
  // The next latch load takes effect no earlier than `ns` on the clock (the end
  // of a program pulse).
  void LoadNotBefore(std::uint64_t ns) { load_due_ns_ = ns; }
  // When the last latch load took effect (its load pulse was written), and how
  // long that port write took: the port's access time as measured.
  std::uint64_t LastLoadNs() const { return last_load_ns_; }
  std::uint64_t AccessNs() const { return access_ns_; }
  // While set, no strobe delay is longer than this (a page load, whose bytes
  // must follow each other within the chip's byte-load time).
  std::optional<std::uint64_t> StrobeCapNs;

  // ---- Address, control lines and read-back ----
  void Endereco2Adr();
  void IncADR();
  void SETADR();
  void SETADR_FLASH();
  void SETADR_XICOR();
  void CEON();
  void CEOFF();
  void OEON();
  void OEOFF();
  void CEOEON();
  void CEOEOFF();
  void VPP24_ON();
  void VPP24_OFF();
  void Reg1Bit7Clear();
  void Reg1Bit7Set();
  void Reg1Bit6Clear();
  void Reg1Bit6Set();
  void GetNibbles();
  void ReadBackByte();
  // ReadBackByte's first half: FFh into the data latch, then the latch let go
  // of the data lines. Called before the chip's outputs are enabled, so that
  // the two never drive the lines at once; GetNibbles then reads.
  void ReleaseDataLatch();
  void ReportProgramFailure();
  void BuildReadTables();
  // Rebuilds both address maps as identity (device selection then changes some).
  void BuildIdentityMaps();

  // ---- The board model's control values ----
  void ApplyBoardModel();

  // ---- Asking the board whether it is there (probe.cpp) ----
  // The two probe patterns (r1 * 256 + r2; 70h when the board answers), and
  // the model-6 test of a board that answered the model-5 pattern.
  int ProbePattern5();
  int ProbePattern4();
  bool Model6Answers();
  // The model whose probe pattern answers at PortAddress (4, 5 or 6; 0 for
  // none), with the model-6 test; logs nothing and changes no link state.
  int ProbeBoardModel();
  // True when the board of BoardModel answers its own probe pattern at
  // PortAddress. The latches the probe touched get back what they held, the
  // chip-enable latch last; no light, log line or link state changes.
  bool BoardAnswers();
  // True for the three port bases the detection searches.
  static bool IsLptPort(int base);

  // ---- State ----
  // Port and board.
  int PortAddress = 0;
  int StatusPort = 0;
  int ControlPort = 0;
  int FoundPortAddress = 0;
  int BoardModel = 0;

  // Latch shadows (low byte loaded).
  int Reg0Value = 0;
  int Reg1Value = 0;
  int Reg2Value = 0;
  int Reg3Value = 0;
  int Reg4Value = 0;

  // Control-port values in force, and the two constant tables.
  std::array<int, 5> RegSelect{};
  std::array<int, 5> RegStrobe{};
  int NibbleSelectLow = 0;
  int NibbleSelectHigh = 0;
  struct ControlTable {
    std::array<int, 5> select{};
    std::array<int, 5> strobe{};
    int nibble_low = 0;
    int nibble_high = 0;
  };
  ControlTable Model4Table;
  ControlTable Model56Table;

  // Delays.
  std::int32_t DelayFactorShort = 5;
  std::int32_t DelayFactorMedium = 100;
  std::int32_t DelayFactorLong = 500;
  std::int32_t StrobeDelayCount = 0;
  std::int32_t MediumDelayCount = 0;
  std::int32_t LongDelayCount = 0;
  std::int32_t SettlingLoopCounter = 0;

  // Address state.
  std::int32_t CurrentAddress = 0;
  std::int32_t AddressLow = 0;
  std::int32_t AddressMid = 0;
  std::int32_t AddressHigh = 0;
  std::array<int, 256> AddressMidMap{};
  std::array<int, 256> AddressHighMap{};
  int Reg1Fixed = 0;
  int Reg3Fixed = 0;

  // Read-back.
  std::uint8_t ReadValue = 0;
  std::uint8_t WriteValue = 0;
  std::array<std::uint8_t, 256> StatusDecode4{};
  std::array<std::uint8_t, 256> StatusLowNibble{};
  std::array<std::uint8_t, 256> StatusHighNibble{};

  // Length of one counted delay iteration. With the speed slider at its default
  // this puts the busy-loop EPROM program pulses inside their datasheet windows
  // (95-105 us, 45-55 us for the 27C080) on ports of 0.5 to 2 us per access; the
  // figures are in docs/timing.md.
  static constexpr std::uint64_t kNsPerIteration = 17;

 private:
  void LoadLatch(int n, int shadow);
  void LoadPulse(int n);
  // DelayStrobe, never longer than `cap_ns` when set.
  void SpinStrobe(std::optional<std::uint64_t> cap_ns);
  std::uint64_t load_due_ns_ = 0;
  std::uint64_t last_load_ns_ = 0;
  std::uint64_t access_ns_ = 0;
  bool loaded_ = false;  // a latch was loaded since start-up
  int ProbeRead();
  // What each latch of the board at a port holds, followed from the writes to
  // that port: once as a model-4 board decodes the control register and once as
  // a model-5/6 board does, since writes happen before the model is known.
  // -1: not loaded since start-up.
  struct LatchMirror {
    int base = -1;
    int data = 0;
    int control = -1;
    std::array<std::array<int, 5>, 2> held{{{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}}};
  };
  void FollowLatches(int address, int value);
  LatchMirror* MirrorOf(int base);
  std::array<LatchMirror, 3> mirrors_{};
  std::size_t last_mirror_ = 0;  // the mirror of the last access
  PortBackend* port_;
  Clock* clock_;
  LinkEvents& events_;
};

}  // namespace zambrix
