// Where the shipped files are found; the Port Doctor menu.
#include <gtest/gtest.h>

#include "app/core.h"
#include "app/posix_platform.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

TEST(DataFolder, BuildTreeThenInstalledLayoutThenTheProgramFolder) {
  testing::TempDir root;
  std::filesystem::create_directories(root / "build/bin");
  std::filesystem::create_directories(root / "usr/bin");
  std::filesystem::create_directories(root / "usr/share/zambrix");
  std::filesystem::create_directories(root / "bare/bin");
  testing::WriteWholeFile(root / "build/bin/zambrix5.html", "");
  testing::WriteWholeFile(root / "usr/share/zambrix/zambrix5.html", "");
  EXPECT_EQ(FindDataFolder((root / "build/bin").string()), (root / "build/bin").string());
  EXPECT_EQ(FindDataFolder((root / "usr/bin").string()), (root / "usr/share/zambrix").string());
  EXPECT_EQ(FindDataFolder((root / "bare/bin").string()), (root / "bare/bin").string());
}

// The window's Port Doctor names the real port the program holds instead of
// claiming it a second time.
TEST(PortDoctorMenu, ShowsTheFindingsInOneBox) {
  testing::TestCore t;
  t->shell.CreateWindow();
  t->shell.AnnounceBackEnd("ppdev /dev/parport0 at 378h", false, "");
  t->Click("mnuToolsPortDoctor");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_NE(t.dialogs.shown[0].text.find("this program is using: ppdev /dev/parport0 at 378h"),
            std::string::npos);
}

}  // namespace
}  // namespace zambrix
