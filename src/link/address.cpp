// Chip address, control lines, the byte read-back and the programming failure report.
#include "link/boards.h"
#include "link/link.h"

namespace zambrix {

void Link::Endereco2Adr() {
  AddressHigh = CurrentAddress / 65536;
  std::int32_t r = CurrentAddress % 65536;
  AddressMid = r / 256;
  AddressLow = r % 256;
}

void Link::IncADR() {
  CurrentAddress += 1;
  AddressLow += 1;
  if (AddressLow > 255) {
    AddressLow = 0;
    AddressMid += 1;
    if (AddressMid > 255) {
      AddressMid = 0;
      AddressHigh += 1;
    }
  }
}

void Link::SETADR() {
  Reg1Value = AddressMidMap.at(static_cast<std::size_t>(AddressMid)) | Reg1Fixed;
  SetReg1();
  Reg2Value = AddressLow;
  SetReg2();
  // Latch 3 keeps its upper bits (chip enable, data-latch enable, bits 4 and 5).
  Reg3Value =
      AddressHighMap.at(static_cast<std::size_t>(AddressHigh)) | (Reg3Value & 0xF0) | Reg3Fixed;
  SetReg3();
}

void Link::SETADR_FLASH() { SETADR(); }

void Link::SETADR_XICOR() {
  int m = AddressMid + (AddressMid != 0 ? 64 : 0);
  int v = m | Reg1Fixed;
  if (v != Reg1Value) {
    Reg1Value = v;
    SetReg1();
  }
  if (Reg2Value != AddressLow) {
    Reg2Value = AddressLow;
    SetReg2();
  }
  v = (Reg3Value & 0xF0) | Reg3Fixed | AddressHigh;
  if (v != Reg3Value) {
    Reg3Value = v;
    SetReg3();
  }
}

void Link::CEON() {
  Reg3Value &= ~0x80;
  SetReg3();
}

void Link::CEOFF() {
  Reg3Value |= 0x80;
  SetReg3();
}

void Link::OEON() {
  Reg0Value &= ~0xC0;
  SetReg0();
}

void Link::OEOFF() {
  Reg0Value |= 0x40;
  SetReg0();
}

void Link::CEOEON() {
  Reg3Value &= ~0x80;
  Reg0Value &= ~0xC0;
  SetReg3();
  SetReg0();
}

void Link::CEOEOFF() {
  Reg3Value |= 0x80;
  Reg0Value |= 0x40;
  SetReg3();
  SetReg0();
}

void Link::VPP24_ON() {
  Reg0Value |= 0xC0;
  SetReg0();
}

void Link::VPP24_OFF() {
  Reg0Value &= ~0xC0;
  SetReg0();
}

void Link::Reg1Bit7Clear() {
  Reg1Value &= ~0x80;
  SetReg1();
}

void Link::Reg1Bit7Set() {
  Reg1Value |= 0x80;
  SetReg1();
}

void Link::Reg1Bit6Clear() {
  Reg1Value &= ~0x40;
  SetReg1();
}

void Link::Reg1Bit6Set() {
  Reg1Value |= 0x40;
  SetReg1();
}

void Link::GetNibbles() {
  const BoardProfile* board = BoardProfileOf(BoardModel);
  if (board == nullptr) return;  // no board: nothing is read, ReadValue keeps its value
  if (board->decoding == NibbleDecoding::kStatusDecode4) {
    PortOut(ControlPort, NibbleSelectLow);
    int s1 = PortIn(StatusPort);
    int low = s1 / 16;
    PortOut(ControlPort, NibbleSelectHigh);
    int s2 = PortIn(StatusPort);
    int high = s2 & 0xF0;
    ReadValue = StatusDecode4[static_cast<std::size_t>((low | high) & 0xFF)];
  } else {
    PortOut(ControlPort, NibbleSelectLow);
    int s1 = PortIn(StatusPort);
    std::uint8_t a = StatusLowNibble[static_cast<std::size_t>(s1 & 0xFF)];
    PortOut(ControlPort, NibbleSelectHigh);
    int s2 = PortIn(StatusPort);
    ReadValue =
        static_cast<std::uint8_t>(StatusHighNibble[static_cast<std::size_t>(s2 & 0xFF)] | a);
  }
}

void Link::ReleaseDataLatch() {
  Reg4Value = 255;
  SetReg4();
  DelayFixed10();
  REG4OFF();
  DelayFixed10();
}

void Link::ReadBackByte() {
  ReleaseDataLatch();
  GetNibbles();
}

void Link::ReportProgramFailure() {
  Reg0Value = 0;
  SetReg0();
  CEOFF();
  OEOFF();
  events_.ProgramFailed();
}

void Link::BuildIdentityMaps() {
  for (int i = 0; i < 256; ++i) {
    AddressMidMap[static_cast<std::size_t>(i)] = i;
    AddressHighMap[static_cast<std::size_t>(i)] = i;
  }
}

void Link::BuildReadTables() {
  for (int i = 0; i < 256; ++i) {
    auto bit = [i](int n) { return (i >> n) & 1; };
    int v = (bit(0) << 3) | (bit(1) << 2) | (bit(2) << 0) | (bit(3) << 1) | (bit(4) << 7) |
            (bit(5) << 6) | (bit(6) << 4) | (bit(7) << 5);
    StatusDecode4[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v ^ 0x22);
    StatusLowNibble[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i >> 3) & 15);
    StatusHighNibble[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(((i >> 3) & 15) * 16);
  }
  BuildIdentityMaps();
}

}  // namespace zambrix
