#include "devices/device_match.h"

#include <gtest/gtest.h>

namespace zambrix {
namespace {

const std::vector<std::string> kNames = {
    "Eprom 2716                    ", "Eprom 27C256                  ",
    "Eprom 27C080                  ", "Eprom 27C080 OTP              ",
    "Flash AMD AM29F040            ", "Eeprom 24C08 Serial (8 pins)  "};
const std::vector<bool> kOffered = {false, true, true, false, false, true};

TEST(DeviceMatch, WholeNamesAndPartNumbersIgnoringCaseAndBlanks) {
  EXPECT_EQ(MatchDevice(kNames, kOffered, "  eprom 27c256 ").row, 1);
  EXPECT_EQ(MatchDevice(kNames, kOffered, "27c256").row, 1);
  EXPECT_EQ(MatchDevice(kNames, kOffered, "24C08").row, 5);
  // The OTP part is refused, so its part number picks the offered one.
  EXPECT_EQ(MatchDevice(kNames, kOffered, "27C080").row, 2);
}

TEST(DeviceMatch, RefusedUnknownEmptyAndAmbiguousNamesAreErrors) {
  EXPECT_NE(MatchDevice(kNames, kOffered, "AM29F040").error.find("not offered"), std::string::npos);
  EXPECT_EQ(MatchDevice(kNames, kOffered, "Eprom 27C080 OTP").row, -1);
  EXPECT_NE(MatchDevice(kNames, kOffered, "27C999").error.find("unknown device"),
            std::string::npos);
  EXPECT_EQ(MatchDevice(kNames, kOffered, "  ").row, -1);
  EXPECT_EQ(MatchDevice(kNames, kOffered, "8").row, -1);  // "(8" is not a part number
  auto twice = MatchDevice({"Eprom 27C010", "Eprom 27C010"}, {true, true}, "27C010");
  EXPECT_EQ(twice.candidates.size(), 2u);
  EXPECT_NE(twice.error.find("ambiguous"), std::string::npos);
}

}  // namespace
}  // namespace zambrix
