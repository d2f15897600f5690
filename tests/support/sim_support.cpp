#include "support/sim_support.h"

#include <algorithm>

#include "devices/device_catalogue.h"
#include "link/boards.h"

namespace zambrix::testing {

sim::SimConfig SimSetup(int model, std::uint16_t base, const std::string& chip,
                        std::vector<std::uint8_t> contents) {
  sim::SimConfig c;
  c.model = model;
  c.base = base;
  c.chip = chip.empty() ? nullptr : sim::FindChipSpec(chip);
  c.demo_image = false;
  c.contents = std::move(contents);
  return c;
}

SimRig::SimRig(const sim::SimConfig& config)
    : own_clock(std::make_unique<VirtualClock>(Link::kNsPerIteration)),
      own_port(std::make_unique<sim::SimPort>(config, *own_clock)),
      clock(*own_clock),
      port(*own_port),
      t(&port, &clock) {}

SimRig::SimRig(sim::SimPort& p, VirtualClock& c) : clock(c), port(p), t(&port, &clock) {}

void SimRig::UseBoard(int model, int port_address) {
  auto& l = link();
  l.InitControlTables();
  l.BuildReadTables();
  l.PortAddress = port_address;
  l.BoardModel = model;
  l.ApplyBoardModel();
  l.Reset();
}

void SimRig::Select(const std::string& k) {
  key = k;
  const auto rows = DeviceCatalogue();
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const CatalogueRow& r) {
    return r.device_class == k[0] && r.size_code == k[1];
  });
  auto& l = link();
  l.Reg1Fixed = row->reg1_fixed;
  l.Reg3Fixed = row->reg3_fixed;
  l.BuildIdentityMaps();
  if (k == "FM" || k == "FL" || k == "FR" || k == "FS") {
    for (int i = 4; i < 8; ++i) l.AddressHighMap[static_cast<std::size_t>(i)] = i + 4;
  }
  if (k == "EN") {
    for (int i = 64; i < 128; ++i) l.AddressMidMap[static_cast<std::size_t>(i)] = i + 64;
  }
  const bool slow = k[1] < '3', fast = k[1] == '9';  // 2716 to 2764; 27C080
  l.DelayFactorShort = slow ? 50 : fast ? 2 : 5;
  l.DelayFactorMedium = slow ? 20000 : fast ? 50 : 100;
  l.DelayFactorLong = slow ? 100000 : fast ? 250 : 500;
  if (k == "EN") l.DelayFactorShort = 1;
  l.Timing = ChipTimingOf(k, row->name);
  auto& dev = t->dev;
  dev.DeviceKey = k;
  dev.DeviceClass = k.substr(0, 1);
  dev.DeviceSizeCode = k.substr(1, 1);
  dev.DeviceSize = row->kilobytes * 1024;
  l.CEOFF();
  l.OEOFF();
  if (k[0] == 'S') l.CEON(), l.OEON();
  l.ApplySpeedSetting();
}

void SimRig::Use(const std::string& k) {
  UseBoard(port.Config().model, port.Config().base);
  Select(k);
  if (k[0] != 'S') link().Reset();
}

std::uint8_t SimRig::ReadByte(std::int32_t address) {
  auto& l = link();
  l.CurrentAddress = address;
  l.Endereco2Adr();
  l.SETADR();
  l.REG4OFF();
  l.CEOEON();
  l.GetNibbles();
  return l.ReadValue;
}

void SimRig::EpromSetUp() {
  auto& l = link();
  const BoardProfile& board = *BoardProfileOf(l.BoardModel);
  int v = board.reg0_program;
  if (!board.VppByJumper() && (key == "P1" || key == "P2")) {
    if (t->dev.ProgramVoltage == 21) v = board.reg0_vpp21;
    if (t->dev.ProgramVoltage == 25) v = board.reg0_vpp25;
  }
  if (key == "P2" || key == "P3" || key == "P4") v |= 0x10;
  if (key == "P6" || key == "P7" || key == "P8") v |= 0x20;
  l.Reg0Value = v;
  l.SetReg0();
}

int SimRig::ProgramEpromByte(std::int32_t address, std::uint8_t value, int limit) {
  auto& l = link();
  const bool ce_pulse = key == "P4" || key == "P8", oe_vpp = key == "P5" || key == "P9";
  const bool pgm = key == "P2" || key == "P3", pgm3 = key == "P6" || key == "P7";
  l.REG4ON();
  if (pgm3) {
    l.CEON(), l.OEOFF();
  } else {
    l.CEOEOFF();
  }
  EpromSetUp();
  if (key == "P1" || oe_vpp) l.OEON();
  l.CurrentAddress = address;
  l.Endereco2Adr();
  l.SETADR();
  if (pgm) l.CEON();
  for (int budget = 255, pulses = 1; pulses <= limit; ++pulses) {
    --budget;
    l.WriteValue = value;
    l.Reg4Value = value, l.SetReg4(), l.REG4ON();
    auto delays = [&] {
      l.DelayMedium();
      if (budget < 200) l.DelayLong();
    };
    if (key == "P1") {
      l.CEOFF(), l.VPP24_ON(), l.CEON();
      l.SleepMs(5);
      l.CEOFF(), l.VPP24_OFF(), l.CEON(), l.DelayFixed20(), l.ReadBackByte();
    } else if (pgm || pgm3) {
      int& reg = pgm ? l.Reg1Value : l.Reg3Value;
      const int bit = pgm ? 0x40 : 0x04;
      auto load = [&] { pgm ? l.SetReg1() : l.SetReg3(); };
      reg &= ~bit, load();
      delays();
      reg |= bit, load(), l.DelayFixed20(), l.OEON(), l.ReadBackByte(), l.OEOFF();
    } else if (ce_pulse) {
      l.CEOEOFF(), l.CEON();
      delays();
      l.CEOFF(), l.DelayFixed20(), l.OEON(), l.ReadBackByte(), l.OEOFF();
    } else if (oe_vpp) {
      l.VPP24_ON(), l.CEON();
      delays();
      l.CEOFF(), l.VPP24_OFF(), l.CEON(), l.DelayFixed20(), l.ReadBackByte();
    }
    if (l.ReadValue == value) return pulses;
  }
  return 0;
}

}  // namespace zambrix::testing
