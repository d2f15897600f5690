// Flash identification: the three-cycle commands (quick latch loads, or the
// AT29C256 command writes), the identification table, the silent ID cycle of
// device selection, and the two service commands of the flash socket.
#include <array>
#include <cstdio>
#include <string_view>
#include <tuple>
#include <utility>

#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/window_model.h"
#include "devices/device_selection.h"
#include "link/clock.h"
#include "link/link.h"
#include "ops/byte_flash.h"
#include "ops/page_eeprom.h"

namespace zambrix {

namespace {

struct FlashIdRow {
  std::string_view id, name;
  int page_size, page_count;
};

constexpr std::array<FlashIdRow, 12> kFlashIds{{
    {"1C04", "EON EN29F040 Flash Memory", 512, 1024},
    {"0120", "AMD am29F010 Flash Memory", 512, 256},
    {"01A4", "AMD am29F040 Flash Memory", 512, 1024},
    {"3786", "AMIC A29040 Flash Memory", 512, 1024},
    {"37A4", "AMIC A29010 Flash Memory", 512, 256},
    {"1F5B", "ATMEL 29C040 Flash Memory", 512, 1024},
    {"1FA4", "ATMEL 29C040A Flash Memory", 256, 2048},
    {"1FDA", "ATMEL 29C020 Flash Memory", 256, 1024},
    {"1F25", "ATMEL 29C1024 Flash Memory", 128, 512},
    {"1FD5", "ATMEL 29C010 Flash Memory", 128, 1024},
    {"1F5D", "ATMEL 29C512 Flash Memory", 128, 512},
    {"1FDC", "ATMEL 29C256 Flash Memory", 64, 512},
}};

// A JEDEC continuation code: the maker's own code follows in the next bank.
constexpr int kContinuation = 0x7F;

std::string TwoBytes(int first, int second) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X", first & 0xFF, second & 0xFF);
  return text;
}

// Reads the byte at the current address and the one after it (the address is
// left on the second).
std::pair<int, int> ReadTwoBytes(Link& l) {
  l.SETADR_FLASH();
  l.GetNibbles();
  const int first = l.ReadValue;
  l.IncADR();
  l.SETADR_FLASH();
  l.GetNibbles();
  return {first, l.ReadValue};
}

}  // namespace

// Loads latch n straight from the port: no shadow, no strobe delays.
void ByteFlashOps::QuickLoad(int latch, int value) {
  auto& l = link_;
  l.PortOut(l.PortAddress, value);
  l.PortOut(l.ControlPort, l.RegStrobe.at(static_cast<std::size_t>(latch)));
  l.PortOut(l.ControlPort, l.RegSelect.at(static_cast<std::size_t>(latch)));
}

// One write cycle of the flash socket: data, address, then chip enable on,
// write enable (latch 3 bit 2) low and high, chip enable off.
void ByteFlashOps::QuickCommandCycle(int mid, int low, int data) {
  QuickLoad(4, data);
  QuickLoad(1, mid);
  QuickLoad(2, low);
  for (int v : {0x04, 0x00, 0x04, 0x84}) QuickLoad(3, v);
}

void ByteFlashOps::FlashCommand3() {
  if (dev_.Family().algorithm == Algorithm::kAT29C256Pages) {
    FlashCommand3Slow();
    return;
  }
  link_.OEOFF();
  QuickLoad(3, 0x84);
  // 0555h/02AAh, or 5555h/2AAAh for a part that decodes the upper lines.
  const int unlock_mid = st_.FlashLongAddresses ? 0x55 : 0x05;
  const int second_mid = st_.FlashLongAddresses ? 0x2A : 0x02;
  QuickCommandCycle(unlock_mid, 0x55, 0xAA);
  QuickCommandCycle(second_mid, 0xAA, 0x55);
  QuickCommandCycle(unlock_mid, 0x55, st_.FlashCommandByte);
}

void ByteFlashOps::FlashCommand3Slow() {
  auto& l = link_;
  l.OEOFF();
  l.Reg3Value = 130;
  l.SetReg3();
  static constexpr int kAddress[3] = {0x5555, 0x2AAA, 0x5555};
  const int data[3] = {0xAA, 0x55, st_.FlashCommandByte};
  for (int i = 0; i < 3; ++i) {
    st_.FlashCommandAddress = kAddress[i];
    l.Reg4Value = data[i];
    page_.FlashCommandWrite();
  }
  l.SleepMs(SpeedSpan() + 5);
}

// The identification cycle and the read-mode bytes at addresses 0 and 1.
void ByteFlashOps::ReadIdentification() {
  auto& l = link_;
  l.Reset();
  l.ActivityOn();
  l.OEOFF();
  st_.FlashCommandByte = 0x90;
  FlashCommand3();
  l.CEOEON();
  l.REG4OFF();
  std::tie(st_.FlashMakerCode, st_.FlashDeviceCode) = ReadTwoBytes(l);
  if (st_.FlashMakerCode == kContinuation) {
    // The codes that follow the continuation byte sit at 100h and 101h.
    l.CurrentAddress = 0x100;
    l.Endereco2Adr();
    std::tie(st_.FlashMakerCode, st_.FlashDeviceCode) = ReadTwoBytes(l);
  }
  ReturnToRead();
  l.SleepMs(20);
  l.AddressLow = l.AddressMid = l.AddressHigh = 0;
  l.CurrentAddress = 0;
  l.CEOEON();
  const auto [first, second] = ReadTwoBytes(l);
  l.CEOEOFF();
  st_.FlashArrayText = TwoBytes(first, second);
  st_.FlashIdText = TwoBytes(st_.FlashMakerCode, st_.FlashDeviceCode);
}

void ByteFlashOps::IdentifyFlash() {
  st_.FlashPageSize = 0;
  st_.FlashPageCount = 0;
  if (!dev_.Family().Flash()) return;
  st_.FlashLongAddresses = false;
  ReadIdentification();
  if (st_.FlashIdText == st_.FlashArrayText &&
      dev_.Family().algorithm != Algorithm::kAT29C256Pages) {
    // The short command addresses reached the array: try the long ones once.
    st_.FlashLongAddresses = true;
    ReadIdentification();
    if (st_.FlashIdText == st_.FlashArrayText) st_.FlashLongAddresses = false;
  }
  if (st_.FlashIdText == st_.FlashArrayText) {
    Conclude(Outcome::Kind::kRefused, "*** Not a Flash Unit, Address 00&01 = FlashCode ***");
  }
  const std::string line = "Device ID# " + st_.FlashIdText + " - ";
  for (const auto& row : kFlashIds) {
    if (row.id != st_.FlashIdText) continue;
    Conclude(Outcome::Kind::kDone, line + std::string(row.name));
    st_.FlashPageSize = row.page_size;
    st_.FlashPageCount = row.page_count;
  }
  if (st_.FlashPageSize == 0) Conclude(Outcome::Kind::kRefused, line + " Not Valid!!!");
  link_.ActivityOff();
}

// The read/reset command: the chip is back in read mode 20 ms later.
void ByteFlashOps::ReturnToRead() {
  link_.OEOFF();
  st_.FlashCommandByte = 0xF0;
  FlashCommand3();
  link_.SleepMs(20);
}

void ByteFlashOps::FlashIdCycle() {
  auto& l = link_;
  st_.FlashCommandByte = 0x90;
  FlashCommand3();
  l.CEOEON();
  l.REG4OFF();
  ReadTwoBytes(l);
  ReturnToRead();
}

void ByteFlashOps::ShowCodeId() {
  report_.LogMessage("Reading Flash Code ID_________________ wait");
  const bool flash = dev_.Family().Flash();  // the others touch no line
  if (flash && !ConfirmBoard("before the identification")) return;
  IdentifyFlash();
  if (flash) ConfirmBoard("after the identification");
}

// F0h written at the current address, timed by a chip-enable pulse while the
// write-enable line is held low.
void ByteFlashOps::ResetFlash() {
  auto& l = link_;
  l.CEOFF();
  l.OEOFF();
  l.Reg4Value = 0xF0;
  l.SetReg4();
  Reg3Bit2Clear();
  l.CEON();
  l.CEOFF();
  Reg3Bit2Set();
}

void ByteFlashOps::Reg3Bit2Clear() {
  auto& l = link_;
  l.Reg3Value =
      (l.Reg3Value | l.AddressHighMap.at(static_cast<std::size_t>(l.AddressHigh)) | l.Reg3Fixed) &
      ~0x04;
  l.SetReg3();
}

void ByteFlashOps::Reg3Bit2Set() {
  auto& l = link_;
  l.Reg3Value = l.Reg3Value | l.AddressHighMap.at(static_cast<std::size_t>(l.AddressHigh)) |
                l.Reg3Fixed | 0x04;
  l.SetReg3();
}

void ByteFlashOps::LoopFlashTest() {
  const std::int64_t rounds = std::int64_t{ui_.Value(control::Slider1)} * 1000;
  for (std::int64_t n = 1; n <= rounds; ++n) {
    FlashProgramByte();
    svc_.clock->Spin(10000);
    st_.WorkAddress = 10001;  // where the counted loop leaves its counter
  }
}

}  // namespace zambrix
