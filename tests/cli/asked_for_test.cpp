// Nothing reaches a chip that the operator did not ask for, and every way out
// of the command line says what happened: run as a script runs it, on the
// simulated board whose chip lives in a file.
#include <nlohmann/json.hpp>

#include "cli/cli_process.h"

namespace {

namespace fs = std::filesystem;
constexpr auto npos = std::string::npos;

struct AskedCli : zambrix::testing::Cli {
  std::string Chip(const std::string& part, const std::string& file = "chip.bin") const {
    return "--sim-chip " + part + ":" + Path(file) + " ";
  }
};

// (An image larger than the chip without a part chosen: the fault matrix.)
TEST_F(AskedCli, AnImageLongerThanTheChipGoesOnlyInAPartTheOperatorChose) {
  const auto image = RandomFile("long.bin", 65536, 1);
  const auto program = Chip("27C256") + "program -d 27C256 -i " + image + " --yes ";
  for (const char* part :
       {"--length 40000", "--offset 10000h", "--offset 0x9000 --length 32768", "--offset x"})
    EXPECT_EQ(Sim(program + part).status, 2) << part;
  EXPECT_FALSE(fs::exists(dir_ / "chip.bin") &&
               Slurp(dir_ / "chip.bin") != std::string(32768, '\xFF'));
  auto r = Sim(program + "--offset 8000h --verify");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Slurp(dir_ / "chip.bin") == Slurp(image).substr(32768));
  // HEX data at 100000h lies outside any 27C256; text after the end record is named.
  zambrix::testing::WriteWholeFile(dir_ / "far.hex",
                                   ":020000040010EA\n:10000000000102030405060708090A0B0C0D0E0F78\n"
                                   ":00000001FF\n:0100000011EE\n");
  r = Sim(Chip("27C256", "other.bin") + "program -d 27C256 -i " + Path("far.hex") + " --yes");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("line 4: records after the end record were not read"), npos) << r.err;
  EXPECT_NE(r.err.find("data up to address 10000Fh"), npos) << r.err;
}

// A 24Cxx gives no sign of a byte it did not take: programming and erasing read
// the chip back, and a byte that differs fails the run with its address.
TEST_F(AskedCli, SerialChipsAreReadBackAfterProgrammingAndErasing) {
  RandomFile("chip.bin", 2048, 4);
  const auto image = RandomFile("image.bin", 2048, 5);
  const std::string dead = Chip("24C16") + "--sim-fault dead-byte=100h ";
  for (const std::string& command :
       {"program -d 24C16 -i " + image + " --yes", std::string("erase -d 24C16 --yes")}) {
    SCOPED_TRACE(command);
    auto r = Sim(dead + command);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Device Memory DOES NOT VERIFY with Buffer Contents"), npos) << r.err;
    EXPECT_NE(r.err.find("Address: 100 ]["), npos) << r.err;
    EXPECT_EQ(r.err.find("Successfull"), npos);
  }
}

TEST_F(AskedCli, AVoltageAboveTheChipsRatingNeedsForceVppAndIsNamedEverywhere) {
  const auto image = RandomFile("image.bin", 8192, 6);
  const std::string warning = "25 Volts is above the 22 Volts the Eprom 2764 is rated for";
  auto r = Sim(Chip("2764") + "program -d 2764 -i " + image + " --vpp 25 --yes");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(warning + ": it can destroy the chip; give --force-vpp"), npos) << r.err;
  EXPECT_EQ(Slurp(dir_ / "chip.bin"), std::string(8192, '\xFF'));
  EXPECT_EQ(Sim(Chip("2764") + "program -d 2764 -i " + image + " --vpp 21 --yes").status, 0);
  // Forced: the question names both figures, and the run says the chip was destroyed.
  r = Sim("--json " + Chip("2764", "forced.bin") + "program -d 2764 -i " + image +
          " --vpp 25 --force-vpp --yes");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Safety Question: Program the Device?  " + warning), npos) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_NE(json["message"].get<std::string>().find(
                "the simulated chip was destroyed: 2764 destroyed: 25 V"),
            npos)
      << r.out;
  // A setup that keeps the voltage warns as it is restored, and still needs --force-vpp.
  ASSERT_EQ(Sim("setup save 1 -d 2764 --vpp 25").status, 0);
  r = Sim(Chip("2764", "setup.bin") + "--setup 1 program -i " + image + " --yes");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(">  " + warning), npos) << r.err;
}

TEST_F(AskedCli, CheckAnswersByFamilyAndAnEepromNeedsNoErase) {
  RandomFile("chip.bin", 32768, 7);
  const auto image = RandomFile("image.bin", 32768, 8);
  auto r = Sim(Chip("X28C256") + "check -d X28C256 -i " + image);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(", 0 need erasing"), npos) << r.out;
  r = Sim(Chip("24C16", "serial.bin") + "check -d 24C16 -i " + RandomFile("small.bin", 2048, 9));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("no erase needed"), npos) << r.out;
}

TEST_F(AskedCli, ABoardGoneMidProgrammingSaysTheVoltageMayStillBeOn) {
  auto r = Sim(Chip("27C256") + "--sim-fault vanish=3000 program -d 27C256 -i " +
               RandomFile("i.bin", 32768, 1) + " --yes");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("zambrix-cli: the board stopped answering during the programming; the "
                       "programming voltage "
                       "may still be on: switch the board off before taking the chip out"),
            npos)
      << r.err;
}

TEST_F(AskedCli, TheCatalogueOptionComesBeforeTheSetupItRestores) {
  ASSERT_EQ(Sim("--catalogue extended setup save 2 -d AM29F010").status, 0);
  auto r = Sim("--catalogue extended --setup 2 --sim-chip AM29F010 id");
  EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
