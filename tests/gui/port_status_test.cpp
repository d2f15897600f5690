// The window on a card at D010h: the port options' tool tips and the status
// bar name the real port behind the choice the operator picks.
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include "app/backend.h"
#include "gui_support.h"
#include "link/fake_ports.h"

namespace zambrix::gui::testing {
namespace {

TEST(PortStatus, TheOptionsAndTheStatusBarNameTheRealPort) {
  zambrix::testing::FakeMachine m;
  m.AddPort("parport1", 0xD010, {"ppdev"});
  zambrix::testing::FakeSys fake;
  BackEndOptions o;
  o.ppdev = &fake.sys;
  o.proc_parport = m.env.proc_parport;
  BackEnd b = OpenBackEnd(o);
  zambrix::testing::TestCore t(b.port.get());
  MainWindow window(*t);
  t->shell.Form_Load();
  t->shell.AnnounceBackEnd(b.description, b.simulated, b.problem);
  window.UpdatePortInUse();
  auto* status = window.findChild<QLabel*>(QStringLiteral("PortInUse"));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), QStringLiteral("No port selected")) << "no board: no port chosen";

  auto option = [&window](int i) {
    return qobject_cast<QRadioButton*>(window.ViewOf(Indexed("LPTSelection", i)));
  };
  EXPECT_EQ(option(0)->toolTip(), QStringLiteral("/dev/parport1, a card at D010h"));
  EXPECT_EQ(option(1)->toolTip(), QStringLiteral("No parallel port of this PC"));
  QTest::mouseClick(option(0), Qt::LeftButton);
  EXPECT_EQ(status->text(), QStringLiteral("Port 378h is /dev/parport1, a card at D010h"));
  QTest::mouseClick(option(2), Qt::LeftButton);
  EXPECT_EQ(status->text(), QStringLiteral("Port 3BCh: no parallel port of this PC"));
}

}  // namespace
}  // namespace zambrix::gui::testing
