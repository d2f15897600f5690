#include "app/backend.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "base/file_io.h"
#include "link/link.h"
#include "sim/sim_port.h"

namespace zambrix {

namespace {
// Bare sim flags that take no value.
bool IsSimFlag(const std::string& name) { return name == "report"; }

// A binding "--port CHOICE=WHERE"; a plain "--port 378h" is the front end's.
bool IsPortBinding(const std::vector<std::string>& args, std::size_t i) {
  const std::string& a = args[i];
  if (a.rfind("--port=", 0) == 0) return a.find('=', 7) != std::string::npos;
  return a == "--port" && i + 1 < args.size() && args[i + 1].find('=') != std::string::npos;
}

void AddPortRequest(PortRequests& ports, const std::string& text) {
  const auto eq = text.find('=');
  const std::string choice_text = text.substr(0, eq);
  const std::string where = text.substr(eq + 1);
  const std::uint16_t choice = ParsePortChoice(choice_text);
  if (choice == 0) throw BackEndError("--port " + text + ": the port choice is 378h, 278h or 3BCh");
  if (where.empty())
    throw BackEndError("--port " + text + " needs a /dev/parportN or an I/O address");
  if (ports.count(choice) != 0)
    throw BackEndError("--port " + HexAddress(choice) + " is bound twice");
  for (const auto& [other, bound] : ports) {
    if (bound == where) throw BackEndError("--port: " + where + " is bound twice");
  }
  ports[choice] = where;
}
}  // namespace

BackEndOptions ExtractBackEndOptions(std::vector<std::string>& args) {
  BackEndOptions o;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto take_value = [&](const std::string& name) -> std::string {
      auto eq = a.find('=');
      if (eq != std::string::npos) return a.substr(eq + 1);
      if (i + 1 >= args.size()) throw BackEndError("option " + name + " needs a value");
      return args[++i];
    };
    if (a == "--board" || a.rfind("--board=", 0) == 0) {
      o.board = take_value("--board");
    } else if (IsPortBinding(args, i)) {
      AddPortRequest(o.ports, take_value("--port"));
    } else if (a.rfind("--sim-", 0) == 0) {
      auto eq = a.find('=');
      std::string name = a.substr(6, eq == std::string::npos ? std::string::npos : eq - 6);
      if (eq == std::string::npos && IsSimFlag(name)) {
        o.sim[name] = "1";
      } else {
        o.sim[name] = take_value("--sim-" + name);
      }
    } else {
      rest.push_back(a);
    }
  }
  args = std::move(rest);
  return o;
}

namespace {

// The chip's contents from its file; a missing file is a blank chip (the file
// is made when the run ends).
std::vector<std::uint8_t> LoadChipFile(const std::string& path, std::uint32_t size) {
  InputFile file = ReadInputFile(path, size);
  switch (file.status) {
    case InputStatus::Ok:
      return std::move(file.bytes);
    case InputStatus::Missing:
      return {};
    case InputStatus::TooBig:
      throw BackEndError("the simulated chip's file " + path + " holds " +
                         std::to_string(file.size) + " bytes, more than the chip's " +
                         std::to_string(size));
    default:
      throw BackEndFileError("cannot read the simulated chip's file " + path + ": " + file.error);
  }
}

void Refuse(const std::string& why, BackEnd& b) {
  b.lock.reset();
  b.clock = std::make_unique<VirtualClock>(Link::kNsPerIteration);
  b.port = std::make_unique<NoPort>();
  b.simulated = false;
  b.description = b.port->Describe();
  b.problem = why;
  b.refused = why;
}

void OpenSimulatedBoard(const std::map<std::string, std::string>& options, BackEnd& b) {
  sim::SimConfig config;
  try {
    config = sim::ParseSimOptions(options);
  } catch (const sim::SimOptionError& e) {
    throw BackEndError(e.what());
  }
  if (!config.chip_file.empty()) {
    if (config.chip == nullptr) throw BackEndError("--sim-chip none cannot have a file");
    // Taken before the file is read, so that a second program neither reads
    // it half written nor writes its own stale copy back over it.
    auto lock = TakeLock(ChipFileLockName(config.chip_file),
                         "the simulated chip's file " + config.chip_file);
    if (lock.busy) return Refuse(lock.message, b);
    b.lock = std::move(lock.lock);
    config.contents = LoadChipFile(config.chip_file, config.chip->size);
    // Refused before the run: the chip written, its file then not.
    if (::access(config.chip_file.c_str(), F_OK) == 0 &&
        ::faccessat(AT_FDCWD, config.chip_file.c_str(), W_OK, AT_EACCESS) != 0) {
      throw BackEndFileError("cannot write the simulated chip's file " + config.chip_file + ": " +
                             std::strerror(errno));
    }
    if (!config.vcd_path.empty() && SameFile(config.vcd_path, config.chip_file)) {
      throw BackEndError("--sim-trace " + config.vcd_path +
                         " names the same file as the simulated chip's file");
    }
  }
  std::unique_ptr<std::ofstream> vcd;
  if (!config.vcd_path.empty()) {
    vcd = std::make_unique<std::ofstream>(config.vcd_path, std::ios::binary | std::ios::trunc);
    if (!*vcd) throw BackEndError("cannot write the trace file " + config.vcd_path);
  }
  auto clock = std::make_unique<VirtualClock>(Link::kNsPerIteration);
  auto port = std::make_unique<sim::SimPort>(config, *clock);
  if (vcd) port->StartVcd(std::move(vcd));
  sim::SimPort* p = port.get();
  const std::string file = config.chip_file;
  const bool report = config.report;
  b.at_exit = [p, file, report]() -> std::string {
    p->Finish();
    if (report) std::fputs(p->Trace().Report().c_str(), stderr);
    if (file.empty()) return {};
    const auto image = p->ChipImage();
    const std::string error = WriteFileSafely(
        file, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    if (error.empty()) return {};
    return "could not write the simulated chip's contents to " + file + ": " + error;
  };
  b.clock = std::move(clock);
  b.port = std::move(port);
  b.simulated = true;
  b.description = b.port->Describe();
}

}  // namespace

namespace {

// The bindings given by hand: devices for ppdev, I/O addresses (or a device's
// base) for raw port I/O.
std::vector<PortBinding> HandBindings(const BackEndOptions& o, bool direct) {
  std::vector<PortBinding> bound;
  for (const auto& [choice, where] : o.ports) {
    const std::string option = "--port " + HexAddress(choice) + "=" + where;
    const bool device = where.front() == '/';
    if (!device && ParseIoAddress(where) == 0)
      throw BackEndError(option + ": neither a device (/dev/parportN) nor an I/O address (0xD010)");
    if (!direct && !device) throw BackEndError(option + ": an I/O address needs --board direct");
    const std::uint16_t base = device ? ParportBase(where, o.proc_parport) : ParseIoAddress(where);
    if (direct && base == 0)
      throw BackEndPortError(option + ": the kernel gives no I/O address for it; give the address");
    bound.push_back({choice, direct ? "" : where, base});
  }
  return bound;
}

// Why --port bindings do not go with the board asked for; empty when they do.
std::string BindingsRefused(const BackEndOptions& o) {
  if (o.ports.empty()) return {};
  if (o.board == "sim" || o.board == "record")
    return "--port CHOICE=WHERE binds a real port; --board " + o.board + " has none";
  if (o.board.rfind("ppdev:", 0) == 0)
    return "--board ppdev:DEVICE and --port CHOICE=WHERE both bind a port: give one of them";
  return {};
}

}  // namespace

BackEnd OpenBackEnd(const BackEndOptions& o) {
  BackEnd b;
  // False when the port cannot be opened; one held by another program of ours
  // is a refusal instead.
  auto real = [&b](PortOpenResult r) {
    if (r.busy) {
      Refuse(r.message, b);
      return true;
    }
    b.port = std::move(r.port);
    b.problem = r.message;
    if (b.port) {
      b.clock = std::make_unique<RealClock>(Link::kNsPerIteration);
      b.description = b.port->Describe();
    }
    return b.port != nullptr;
  };
  auto recording = [&b] {
    b.clock = std::make_unique<VirtualClock>(Link::kNsPerIteration);
    b.port = std::make_unique<RecordingPort>();
    b.simulated = true;
    b.description = b.port->Describe();
  };
  if (const std::string why = BindingsRefused(o); !why.empty()) throw BackEndError(why);
  const PpdevSys& sys = o.ppdev ? *o.ppdev : PpdevSys::Real();
  const bool by_hand = !o.ports.empty();
  if (o.board == "record") {
    recording();
  } else if (o.board == "sim") {
    OpenSimulatedBoard(o.sim, b);
  } else if (o.board == "direct") {
    if (!real(OpenDirectPort(sys.lock_dir, o.grant, HandBindings(o, true))))
      throw BackEndPortError(b.problem);
  } else if (by_hand && (o.board == "ppdev" || o.board == "auto")) {
    if (!real(OpenPpdevBindings(HandBindings(o, false), sys))) throw BackEndPortError(b.problem);
  } else if (o.board == "ppdev" || o.board.rfind("ppdev:", 0) == 0) {
    std::string dev = o.board.size() > 6 ? o.board.substr(6) : "";
    if (!real(OpenPpdevPort(dev, 0, sys, o.proc_parport))) throw BackEndPortError(b.problem);
  } else if (o.board == "auto") {
    // A port held by another program of ours is the operator's board in use:
    // refused, never quietly replaced by the simulated board.
    if (!real(OpenPpdevPort("", 0, sys, o.proc_parport))) {
      std::string why = b.problem;
      OpenSimulatedBoard(o.sim, b);
      if (b.refused.empty()) b.problem = why;
    }
  } else {
    throw BackEndError("unknown board '" + o.board +
                       "' (use auto, sim, ppdev[:DEVICE], direct or record)");
  }
  const bool sim_board = dynamic_cast<sim::SimPort*>(b.port.get()) != nullptr;
  if (!o.sim.empty() && !sim_board && b.refused.empty())
    throw BackEndError("--sim- options need the simulated board");
  return b;
}

std::string BackEndHelp() {
  return "  --board auto|sim|ppdev[:DEVICE]|direct|record\n"
         "                       port back end (auto: a usable parallel port, else the simulated "
         "board)\n"
         "  --port CHOICE=WHERE  put the port choice 378h, 278h or 3BCh on a real port by hand:\n"
         "                       /dev/parportN, or with --board direct an I/O address\n"
         "                       (378h=0xD010); repeatable\n" +
         sim::SimOptionsHelp();
}

}  // namespace zambrix
