#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "app/text.h"
#include "support/fakes.h"

namespace zambrix {
namespace {

using testing::TestCore;

bool IsDecimal(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

TEST(DeviceTable, WholeTableHoldsTheCatalogue) {
  TestCore t;
  t->dev.FillDeviceTable();
  const auto& table = t->dev.DeviceTable;
  ASSERT_EQ(table.size(), 81u);

  std::set<int> refused_rows;
  std::set<std::string> offered_keys, refused_keys;
  std::map<std::string, std::array<int, 3>> key_values;  // KB, latch 1, latch 3
  for (int row = 0; row < 81; ++row) {
    const auto& c = table[static_cast<std::size_t>(row)];
    if (row > 38) {
      for (const auto& cell : c) EXPECT_EQ(cell, "") << "row " << row;
      continue;
    }
    SCOPED_TRACE("row " + std::to_string(row) + " " + c[0]);
    EXPECT_EQ(c[0].size(), 30u);
    EXPECT_EQ(c[0].find_first_not_of(' ', Trim(c[0]).size()), std::string::npos);
    EXPECT_NE(c[0][0], ' ');
    ASSERT_EQ(c[1].size(), 1u);
    ASSERT_EQ(c[2].size(), 1u);
    EXPECT_NE(std::string("PFESM").find(c[1]), std::string::npos);
    for (int col = 3; col <= 6; ++col)
      EXPECT_TRUE(IsDecimal(c[static_cast<std::size_t>(col)])) << col;
    int kb = std::stoi(c[3]), reg1 = std::stoi(c[4]), reg3 = std::stoi(c[5]);
    EXPECT_TRUE(kb > 0 && (kb & (kb - 1)) == 0 && kb <= 1024) << kb;
    EXPECT_LE(reg1, 255);
    EXPECT_LE(reg3, 15);
    EXPECT_LE(std::stoi(c[6]), 3);
    EXPECT_TRUE(c[7] == "Y" || c[7] == "N");

    std::string key = c[1] + c[2];
    if (c[7] == "Y") {
      offered_keys.insert(key);
    } else {
      refused_rows.insert(row);
      refused_keys.insert(key);
    }
    // Rows of one key behave alike: same size and fixed latch bits.
    std::array<int, 3> values{kb, reg1, reg3};
    auto [it, fresh] = key_values.emplace(key, values);
    if (!fresh) {
      EXPECT_EQ(it->second, values) << key;
    }
  }

  EXPECT_EQ(refused_rows,
            (std::set<int>{0, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 32, 33, 37, 38}));
  EXPECT_EQ(offered_keys, (std::set<std::string>{"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8",
                                                 "P9", "EN", "SA", "SB", "SC"}));
  for (const auto* k :
       {"PM", "FA", "FL", "FS", "FR", "FM", "FN", "FO", "FP", "FQ", "EO", "EP", "SE", "MJ"}) {
    EXPECT_TRUE(refused_keys.count(k)) << k;
    EXPECT_FALSE(offered_keys.count(k)) << k;
  }

  // The offered keys: size in KB and the fixed bits of latches 1 and 3.
  const std::map<std::string, std::array<int, 3>> offered = {
      {"P1", {4, 32, 0}},   {"P2", {8, 192, 2}},  {"P3", {16, 192, 2}}, {"P4", {32, 128, 2}},
      {"P5", {64, 0, 2}},   {"P6", {128, 0, 12}}, {"P7", {256, 0, 12}}, {"P8", {512, 0, 8}},
      {"P9", {1024, 0, 0}}, {"EN", {32, 64, 2}},  {"SA", {1, 0, 0}},    {"SB", {2, 0, 0}},
      {"SC", {4, 0, 0}}};
  for (const auto& [key, values] : offered) EXPECT_EQ(key_values[key], values) << key;

  // Voltage index 3 on the NMOS parts, 1 on the CMOS EPROMs, 0 on the rest.
  for (int row = 0; row <= 38; ++row) {
    std::set<int> three{0, 1, 3, 4, 5, 7, 9};
    int expected = three.count(row) ? 3 : (row <= 20 ? 1 : 0);
    EXPECT_EQ(table[static_cast<std::size_t>(row)][6], std::to_string(expected)) << row;
  }
  EXPECT_EQ(Trim(table[10][0]), "Eprom 27C256");
  EXPECT_EQ(Trim(table[31][0]), "Eeprom XICOR X28C256");
  EXPECT_EQ(Trim(table[37][0]), "Eeprom 24C256 Serial (8 pins)");
}

TEST(DeviceList, StartUpListsEveryRowAndChoosesNothing) {
  TestCore t;
  t->shell.Form_Load();
  const auto& list = t->ui.Get("Device");
  ASSERT_EQ(list.items.size(), 39u);
  EXPECT_EQ(list.items[0], "N/A - Eprom 2716" + std::string(20, ' '));
  EXPECT_EQ(list.items[0].size(), 36u);
  EXPECT_EQ(list.items[1], "Eprom 2732A" + std::string(19, ' '));
  EXPECT_EQ(list.items[25], "N/A - Flash AMD AM29F040            ");
  EXPECT_EQ(std::count_if(list.items.begin(), list.items.end(),
                          [](const std::string& s) { return s.rfind("N/A - ", 0) == 0; }),
            16);
  EXPECT_EQ(list.list_index, -1);
  EXPECT_EQ(list.caption, "Please Select Device on this List");
  EXPECT_TRUE(t->ui.Visible("PleaseSelect"));
  EXPECT_TRUE(t.LogLines().empty());
}

TEST(DeviceList, RefillReplacesTheEntriesAndOnlyAnExactYIsOffered) {
  TestCore t;
  t->shell.Form_Load();
  auto& table = t->dev.DeviceTable;
  table[1][7] = "y";
  table[2][7] = "";
  table[45][0] = "Eprom Extra";  // a gap before it is still listed
  table[45][7] = "Y";
  t->dev.FillDeviceList();
  const auto& items = t->ui.Get("Device").items;
  ASSERT_EQ(items.size(), 46u);
  EXPECT_EQ(items[1], "N/A - Eprom 2732A" + std::string(19, ' '));
  EXPECT_EQ(items[2].substr(0, 6), "N/A - ");
  EXPECT_EQ(items[39], "N/A - ");
  EXPECT_EQ(items[45], "Eprom Extra");
}

}  // namespace
}  // namespace zambrix
