#include "support/sim_support.h"

#include <algorithm>

#include "base/control_names.h"
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

// The row of `key` that stands for the simulated part (the first of the key
// when none does) is chosen in the Device list as the operator chooses it; a
// row the list refuses is listed plainly first, so that its selection runs too.
void SimRig::Select(const std::string& k) {
  auto& dev = t->dev;
  auto& ui = t->ui;
  if (ui.Get(control::Device).items.empty()) dev.FillDeviceTable(), dev.FillDeviceList();
  const auto rows = DeviceCatalogue();
  const std::string_view part = port.Config().chip ? port.Config().chip->name : "";
  const auto of_key = [&](const CatalogueRow& r) {
    return r.device_class == k[0] && r.size_code == k[1];
  };
  auto row = std::find_if(rows.begin(), rows.end(),
                          [&](const CatalogueRow& r) { return of_key(r) && r.sim_part == part; });
  if (row == rows.end()) row = std::find_if(rows.begin(), rows.end(), of_key);
  const auto index = static_cast<std::size_t>(row - rows.begin());
  if (!dev.RowOffered(index)) {
    auto items = ui.Get(control::Device).items;
    items.at(index) = dev.DeviceTable.at(index)[0];
    ui.SetItems(control::Device, std::move(items));
  }
  t->ChooseListIndex(control::Device, static_cast<int>(index));
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
