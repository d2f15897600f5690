#include "support/sim_support.h"

#include <algorithm>

#include "devices/device_catalogue.h"

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

}  // namespace zambrix::testing
