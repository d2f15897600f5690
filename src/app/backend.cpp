#include "app/backend.h"

#include "link/link.h"

namespace zambrix {

namespace {
// Bare sim flags that take no value.
bool IsSimFlag(const std::string&) { return false; }
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

BackEnd OpenBackEnd(const BackEndOptions& o) {
  BackEnd b;
  auto real = [&b](PortOpenResult r) {
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
  if (o.board == "record") {
    recording();
  } else if (o.board == "sim") {
    recording();  // until the simulated board is in place
  } else if (o.board == "direct") {
    if (!real(OpenDirectPort())) throw BackEndError(b.problem);
  } else if (o.board == "ppdev" || o.board.rfind("ppdev:", 0) == 0) {
    std::string dev = o.board.size() > 6 ? o.board.substr(6) : "";
    if (!real(OpenPpdevPort(dev))) throw BackEndError(b.problem);
  } else if (o.board == "auto") {
    if (!real(OpenPpdevPort(""))) {
      std::string why = b.problem;
      recording();
      b.problem = why;
    }
  } else {
    throw BackEndError("unknown board '" + o.board + "' (use auto, sim, ppdev[:DEVICE], direct or record)");
  }
  if (!o.sim.empty() && !b.simulated) throw BackEndError("--sim- options need the simulated board");
  return b;
}

std::string BackEndHelp() {
  return "  --board auto|sim|ppdev[:DEVICE]|direct|record\n"
         "                     port back end (auto: a usable parallel port, else the simulated board)\n";
}

}  // namespace zambrix
