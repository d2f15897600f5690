// Every chip the list offers, the extended catalogue's flash chips included,
// has what the program needs of it: a family with a routine and a bus, the
// commands the family enables, a simulated part of its size, and a name the
// command line finds it by.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "devices/device_catalogue.h"
#include "sim/chip_specs.h"
#include "support/fakes.h"

namespace zambrix {
namespace {

// The part number in a catalogue name: its last word with a digit.
std::string PartNumber(std::string_view name) {
  std::istringstream words{std::string(name)};
  std::string part;
  for (std::string w; words >> w;) {
    if (w.find_first_of("0123456789") != std::string::npos && w.find('(') == std::string::npos)
      part = w;
  }
  return part;
}

TEST(ChipFamilies, EveryOfferedRowHasAFamilyARoutineASimulatedPartAndACliName) {
  testing::TestCore t;
  t->shell.Form_Load();
  t->dev.SetExtendedCatalogue(true);
  t->dev.FillDeviceList();
  const auto catalogue = DeviceCatalogue();
  // Offered, but no simulated part stands for them.
  const std::set<std::string_view> unsimulated = {"Eprom 2732B", "Eprom 27C32"};
  int walked = 0;
  for (std::size_t row = 0; row < catalogue.size(); ++row) {
    if (!t->dev.RowOffered(row)) continue;
    const CatalogueRow& c = catalogue[row];
    SCOPED_TRACE(std::string(c.name));
    ++walked;
    t->ChooseListIndex("Device", static_cast<int>(row));
    ASSERT_EQ(t->dev.SelectedDeviceName, c.name);

    const ChipFamily& f = t->dev.Family();
    EXPECT_EQ(f.key, t->dev.DeviceKey);
    EXPECT_NE(f.algorithm, Algorithm::kNone);
    EXPECT_NE(f.algorithm, Algorithm::kMicro);
    EXPECT_NE(f.bus, Bus::kNone);
    EXPECT_EQ(f.bus == Bus::kTwoWire, f.address == AddressRule::kNone);
    EXPECT_EQ(t->ui.Enabled("Blank_button"), f.blank_check);
    EXPECT_EQ(t->ui.Enabled("EraseFlash_button"), f.chip_erase);

    if (c.sim_part.empty()) {
      EXPECT_EQ(unsimulated.count(c.name), 1u) << "no simulated part";
    } else {
      const sim::ChipSpec* spec = sim::FindChipSpec(c.sim_part);
      ASSERT_NE(spec, nullptr) << c.sim_part;
      EXPECT_EQ(spec->size, static_cast<std::uint32_t>(c.kilobytes) * 1024);
    }

    EXPECT_EQ(t->dev.Match(PartNumber(c.name)).row, static_cast<int>(row));
    EXPECT_EQ(t->dev.Match(std::string(c.name)).row, static_cast<int>(row));
  }
  EXPECT_EQ(walked, 27);  // 23 offered, and four flash chips in the extended catalogue
}

// A key without a family enables nothing and programs nothing.
TEST(ChipFamilies, KeysAreUniqueAndAnUnknownKeyHasNoRoutine) {
  std::set<std::string_view> keys;
  for (const auto& f : ChipFamilies()) EXPECT_TRUE(keys.insert(f.key).second) << f.key;
  const ChipFamily& none = FamilyOf("EO");
  EXPECT_EQ(none.algorithm, Algorithm::kNone);
  EXPECT_FALSE(none.blank_check || none.chip_erase || none.chip_view || none.data_area);
  EXPECT_EQ(&FamilyOf(""), &none);
}

}  // namespace
}  // namespace zambrix
