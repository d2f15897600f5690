#include "link/doctor.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace zambrix {

namespace fs = std::filesystem;

namespace {

std::string ReadFirstLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string Trim(std::string s) {
  auto not_space = [](unsigned char c) { return !std::isspace(c); };
  s.erase(s.begin(), std::find_if(s.begin(), s.end(), not_space));
  s.erase(std::find_if(s.rbegin(), s.rend(), not_space).base(), s.end());
  return s;
}

// Drivers registered on a port (ppdev, lp, ...), and the one active now.
std::vector<std::string> Drivers(const fs::path& port_dir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(port_dir / "devices", ec)) {
    auto n = e.path().filename().string();
    if (n != "active" && e.is_directory(ec)) out.push_back(n);
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool ModuleLoaded(const DoctorEnv& env, const std::string& name) {
  std::ifstream in(env.proc_modules);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(name + " ", 0) == 0) return true;
  }
  std::error_code ec;
  return fs::is_directory(fs::path(env.sys_module) / name, ec);
}

std::string RawIoVerdict(const DoctorEnv& env) {
  if (!env.x86) return "raw port I/O: not available (only on x86 machines)";
  std::ifstream status(env.proc_status);
  unsigned long long cap_eff = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("CapEff:", 0) == 0) cap_eff = std::stoull(Trim(line.substr(7)), nullptr, 16);
  }
  constexpr unsigned kCapSysRawio = 17;
  const bool capable = (cap_eff >> kCapSysRawio) & 1u;
  const std::string lock = ReadFirstLine(env.lockdown);
  const bool locked = lock.find("[integrity]") != std::string::npos ||
                      lock.find("[confidentiality]") != std::string::npos;
  if (!capable)
    return "raw port I/O: not allowed for this user (needs root or CAP_SYS_RAWIO; --board direct)";
  if (locked) return "raw port I/O: refused by the kernel's lockdown (" + Trim(lock) + ")";
  return "raw port I/O: allowed (--board direct)";
}

}  // namespace

DoctorEnv DoctorEnv::Real() {
  DoctorEnv env;
  env.access = [](const char* p, int m) { return ::access(p, m); };
#if !defined(__x86_64__) && !defined(__i386__)
  env.x86 = false;
#endif
  return env;
}

namespace {

using Say = std::function<void(std::string)>;

// What the port's base means: the choice it is bound to, or why it has none.
std::string BaseVerdict(const KernelPort& port, const std::vector<PortBinding>& bound) {
  for (const auto& b : bound) {
    if (b.device != port.device) continue;
    return "port choice " + HexAddress(b.choice) + (b.base == b.choice ? "" : " (a card)");
  }
  return "not bound (378h, 278h and 3BCh are taken; by hand: --port 378h=" + port.device + ")";
}

// The port's base, modes and binding; its data lines; its device node.
void DescribePort(const DoctorEnv& env, const KernelPort& port,
                  const std::vector<PortBinding>& bound, bool ppdev, const Say& say) {
  const std::string name = fs::path(port.device).filename().string();
  const fs::path dir = fs::path(env.proc_parport) / name;
  const std::string modes = Trim(ReadFirstLine(dir / "modes"));
  if (port.base == 0) {
    say(name +
        ": no base-addr: not a port on this PC's bus (a USB adapter or the like); its lines "
        "cannot keep the board's timing, so it is not used");
  } else {
    say(name + ": base " + HexAddress(port.base) + ", modes " +
        (modes.empty() ? "unknown" : modes) + ": " + BaseVerdict(port, bound));
  }
  if (!modes.empty() && modes.find("TRISTATE") == std::string::npos) {
    say(name +
        ": its data lines only drive (SPP, no TRISTATE): that is enough, this program never reads "
        "them back");
  }
  const std::string node = (fs::path(env.dev_dir) / name).string();
  std::error_code ec;
  if (!fs::exists(node, ec)) {
    say(node + ": missing (" +
        (ppdev ? "the ppdev module is loaded; check udev"
               : "load the ppdev module: sudo modprobe ppdev") +
        ")");
  } else if (env.access(node.c_str(), R_OK | W_OK) != 0) {
    say(node +
        ": this user may not open it (add your user to group lp and log in again: sudo usermod -aG "
        "lp $USER)");
  } else {
    say(node + ": present, this user may open it");
  }
}

// Who holds the port: the printer driver, another program, or nobody.
void DescribeHolder(const DoctorEnv& env, const KernelPort& port, const Say& say) {
  const std::string name = fs::path(port.device).filename().string();
  const fs::path dir = fs::path(env.proc_parport) / name;
  const auto drivers = Drivers(dir);
  const std::string active = Trim(ReadFirstLine(dir / "devices" / "active"));
  const bool printer =
      std::find(drivers.begin(), drivers.end(), "lp") != drivers.end() || active == "lp";
  if (printer) {
    say(name +
        ": the printer driver (lp) is attached and blocks an exclusive claim (sudo modprobe -r "
        "lp)");
  } else if (active.empty() || active == "none") {
    say(name + ": no printer driver attached");
  } else if (std::any_of(env.in_use_bindings.begin(), env.in_use_bindings.end(),
                         [&port](const PortBinding& b) { return b.device == port.device; })) {
    say(name + ": held by this program");
  } else {
    say(name + ": held by " + active + ", another program (it is named by: fuser -v /dev/" + name +
        ")");
  }
}

// USB "parallel" printer cables show as /dev/usb/lpN and can never be used.
void DescribeUsbPrinters(const DoctorEnv& env, const Say& say) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(fs::path(env.dev_dir) / "usb", ec)) {
    const std::string why = UnusableDevice("/dev/usb/" + e.path().filename().string());
    if (!why.empty()) found.push_back(why);
  }
  std::sort(found.begin(), found.end());
  for (auto& line : found) say(std::move(line));
}

}  // namespace

DoctorReport DiagnosePorts(const DoctorEnv& env) {
  DoctorReport r;
  const Say say = [&r](std::string s) { r.lines.push_back(std::move(s)); };
  const auto ports = ListKernelPorts(env.proc_parport);
  if (ports.empty()) {
    say("kernel parallel ports: none (" + env.proc_parport +
        " lists no parportN: no port, or the parport_pc module is not loaded: sudo modprobe "
        "parport_pc)");
  }
  const bool ppdev = ModuleLoaded(env, "ppdev");
  const auto bound = BindKernelPorts(ports);
  for (const auto& port : ports) {
    DescribePort(env, port, bound, ppdev, say);
    DescribeHolder(env, port, say);
  }
  DescribeUsbPrinters(env, say);
  say(std::string("ppdev module: ") + (ppdev ? "loaded" : "not loaded (sudo modprobe ppdev)"));
  say(RawIoVerdict(env));

  std::vector<PortBinding> in_use = env.in_use_bindings;
  if (!env.in_use.empty()) {
    r.usable = true;
    say("this program is using: " + env.in_use);
  } else if (auto trial = OpenPpdevPort("", 0, *env.sys, env.proc_parport); trial.port) {
    r.usable = true;
    say("--board auto would use: " + trial.port->Describe());
    if (!trial.message.empty()) say("--board auto would leave out: " + trial.message);
    in_use = trial.port->Bindings();
  } else if (trial.busy) {
    say("--board auto would be refused: " + trial.message);
  } else {
    say("--board auto would use: the simulated board, because " + trial.message);
  }
  for (const auto& b : in_use) say(BindingLine(b));
  return r;
}

}  // namespace zambrix
