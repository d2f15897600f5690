#include "gui/gui_app.h"

#include <QApplication>
#include <QBuffer>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "app/core.h"
#include "base/file_io.h"
#include "base/interrupt.h"
#include "gui/main_window.h"
#include "gui/qt_services.h"
#include "gui/widgets.h"

namespace zambrix::gui {

namespace {
constexpr std::string_view kSettingsDirIs = "--settings-dir=";
}  // namespace

GuiOptions ParseGuiOptions(std::vector<std::string> args) {
  GuiOptions o;
  o.backend = ExtractBackEndOptions(args);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--screenshot") {
      if (i + 1 >= args.size()) throw BackEndError("option --screenshot needs a file name");
      o.screenshot = args[++i];
    } else if (a == "--settings-dir" || a.rfind(kSettingsDirIs, 0) == 0) {
      if (a != "--settings-dir") {
        o.settings_dir = a.substr(kSettingsDirIs.size());
      } else if (i + 1 < args.size()) {
        o.settings_dir = args[++i];
      }
      if (o.settings_dir.empty()) throw BackEndError("option --settings-dir needs a folder");
    } else if (a.rfind("--screenshot=", 0) == 0) {
      o.screenshot = a.substr(13);
      if (o.screenshot.empty()) throw BackEndError("option --screenshot needs a file name");
    } else {
      o.rest.push_back(a);
    }
  }
  return o;
}

std::string GuiUsage() {
  return "Usage: zambrix [options]\n"
         "The ZAMBRIX-4/5/6 chip programmer's window.\n\n"
         "Options:\n" +
         BackEndHelp() +
         "  --sim-NAME VALUE     a setting of the simulated board (see the manual)\n"
         "  --settings-dir DIR   keep the window's settings, the setups and the start-up\n"
         "                       settings file in DIR\n"
         "  --screenshot FILE    save a picture of the main window to FILE (PNG) and quit\n"
         "  --help               show this text\n"
         "  --version            show the program's version\n"
         "Qt's own options (-platform, -style, ...) are accepted too.\n"
         "Without a usable parallel port the program runs on a simulated board and says so.\n";
}

namespace {

// Exit status when a file the run needs cannot be read or written.
constexpr int kFileErrorStatus = 4;

int Fail(const std::string& message) {
  std::fprintf(stderr, "zambrix: %s\n", message.c_str());
  std::fprintf(stderr, "Try 'zambrix --help'.\n");
  return 2;
}

void OnStopSignal(int signal) { RequestStop(signal); }

// Ctrl+C, kill and a closed session stop a running operation at its next board
// access; the window then closes as after File / Exit, and the simulated
// chip's file is written back.
void CatchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
}

int RunWindow(QApplication& app, BackEnd& backend, const GuiOptions& options) {
  const std::string& screenshot = options.screenshot;
  QtPlatform platform;
  QtDialogs dialogs;
  QtSoundPlayer sound;
  QtSettingsStore settings(QString::fromStdString(options.settings_dir));
  Services s;
  s.port = backend.port.get();
  s.clock = backend.clock.get();
  s.dialogs = &dialogs;
  s.sound = &sound;
  s.settings = &settings;
  s.platform = &platform;
  Core core(s);
  core.setup.SettingsDir = options.settings_dir;
  core.shell.CreateWindow();
  MainWindow window(core);
  dialogs.SetOwner(&window);
  window.SetSimulatedBoard(backend.simulated, backend.description);
  core.RunEvent([&core] { core.shell.Form_Load(); });
  core.shell.AnnounceBackEnd(backend.description, backend.simulated, backend.problem);
  window.UpdatePortInUse();
  window.ApplyPlacement();
  window.show();
  // A signal only sets a flag: the event loop looks at it. During an operation
  // the look comes at the operation's paints.
  QTimer stop_watch;
  QObject::connect(&stop_watch, &QTimer::timeout, &window, [&window] {
    if (StopRequested() != 0) window.close();
  });
  stop_watch.start(100);

  int status = 0;
  if (!screenshot.empty()) {
    QTimer::singleShot(800, &window, [&window, &screenshot, &status] {
      QByteArray png;
      QBuffer buffer(&png);
      std::string error = "the picture could not be made";
      if (buffer.open(QIODevice::WriteOnly) && window.grab().save(&buffer, "PNG"))
        error = WriteFileSafely(screenshot, std::string_view(png.constData(), png.size()));
      if (!error.empty()) {
        std::fprintf(stderr, "zambrix: could not write the screenshot %s: %s\n", screenshot.c_str(),
                     error.c_str());
        status = 1;
      }
      window.close();
    });
  }
  const int exec_status = app.exec();
  if (const int signal = StopRequested(); signal != 0) {
    std::fprintf(
        stderr,
        "zambrix: interrupted by signal %d: the board was reset; a chip being programmed may be "
        "partly written\n",
        signal);
    status = 128 + signal;
  }
  if (backend.at_exit) {
    if (const std::string error = backend.at_exit(); !error.empty()) {
      std::fprintf(stderr, "zambrix: %s\n", error.c_str());
      if (status == 0) status = kFileErrorStatus;
    }
  }
  return status != 0 ? status : exec_status;
}

}  // namespace

int RunGui(int argc, char** argv) {
  CatchStopSignals();
  GuiOptions options;
  BackEnd backend;
  try {
    options = ParseGuiOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
      std::fputs(GuiUsage().c_str(), stdout);
      return 0;
    }
    if (options.version) {
      std::printf("zambrix %s\n", ZAMBRIX_VERSION);
      return 0;
    }
    backend = OpenBackEnd(options.backend);
  } catch (const BackEndFileError& e) {
    std::fprintf(stderr, "zambrix: %s\n", e.what());
    return kFileErrorStatus;
  } catch (const BackEndError& e) {
    return Fail(e.what());
  }

  // Qt takes its own options from what is left.
  std::vector<std::string> qt_args{argv[0]};
  qt_args.insert(qt_args.end(), options.rest.begin(), options.rest.end());
  std::vector<char*> qt_argv;
  for (auto& a : qt_args) qt_argv.push_back(a.data());
  qt_argv.push_back(nullptr);
  int qt_argc = static_cast<int>(qt_args.size());
  QApplication app(qt_argc, qt_argv.data());
  QApplication::setApplicationName(QStringLiteral("zambrix"));
  QApplication::setApplicationVersion(QStringLiteral(ZAMBRIX_VERSION));
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("zambrix"));
  const QStringList left = QApplication::arguments().mid(1);
  if (!left.isEmpty()) return Fail("unknown option " + left.first().toStdString());
  return RunWindow(app, backend, options);
}

}  // namespace zambrix::gui
