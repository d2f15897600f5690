// Port bindings on the command line, as a script meets them: the exit status
// and the one line that says why.
#include "cli/cli_process.h"

namespace {

using zambrix::testing::Cli;

TEST_F(Cli, PortBindingsThatCannotBeUsedSayWhy) {
  struct Case {
    std::string args;
    int status;
    std::string says;
  } cases[] = {
      {"--port 378h=/dev/parport97 detect", 3, "/dev/parport97: No such file or directory"},
      {"--port 378h=/dev/usb/lp0 detect", 3, "/dev/usb/lp0 is a USB printer cable"},
      {"--board ppdev:/dev/usb/lp1 detect", 3, "cannot drive the board's lines"},
      {"--port 380h=/dev/parport0 detect", 2, "the port choice is 378h, 278h or 3BCh"},
      {"--port 378h=0xD010 detect", 2, "an I/O address needs --board direct"},
      {"--board sim --port 378h=/dev/parport0 detect", 2, "--board sim has none"},
  };
  for (const auto& c : cases) {
    auto r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find("zambrix-cli: "), std::string::npos) << c.args;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << "\n" << r.err;
  }
}

}  // namespace
