#include "link/doctor.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string HexBase(unsigned base) {
  std::ostringstream s;
  s << std::uppercase << std::hex << base << "h";
  return s.str();
}

std::vector<std::string> PortNames(const std::string& proc) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(proc, ec)) {
    auto n = e.path().filename().string();
    if (n.rfind("parport", 0) == 0) names.push_back(n);
  }
  std::sort(names.begin(), names.end());
  return names;
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
  if (!capable) return "raw port I/O: not allowed for this user (needs root or CAP_SYS_RAWIO; --board direct)";
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

DoctorReport DiagnosePorts(const DoctorEnv& env) {
  DoctorReport r;
  auto say = [&r](std::string s) { r.lines.push_back(std::move(s)); };
  const auto ports = PortNames(env.proc_parport);
  if (ports.empty()) {
    say("kernel parallel ports: none (" + env.proc_parport +
        " lists no parportN: no port, or the parport_pc module is not loaded: modprobe parport_pc)");
  }
  const bool ppdev = ModuleLoaded(env, "ppdev");
  for (const auto& name : ports) {
    const fs::path dir = fs::path(env.proc_parport) / name;
    const std::string base_text = Trim(ReadFirstLine(dir / "base-addr"));
    unsigned long base = 0;
    try {
      base = std::stoul(base_text.substr(0, base_text.find_first_of(" \t")));
    } catch (const std::exception&) {
      base = 0;
    }
    std::string modes = Trim(ReadFirstLine(dir / "modes"));
    say(name + ": base " + (base ? HexBase(base) : "unknown") + ", modes " +
        (modes.empty() ? "unknown" : modes) +
        (base == 0x378 || base == 0x278 || base == 0x3BC ? "" : " (not one of 378h, 278h, 3BCh: not used)"));
    const std::string node = (fs::path(env.dev_dir) / name).string();
    std::error_code ec;
    if (!fs::exists(node, ec)) {
      say(node + ": missing (" + (ppdev ? "the ppdev module is loaded; check udev" : "load the ppdev module: modprobe ppdev") + ")");
    } else if (env.access(node.c_str(), R_OK | W_OK) != 0) {
      say(node + ": this user may not open it (add your user to group lp, then log in again)");
    } else {
      say(node + ": present, this user may open it");
    }
    const auto drivers = Drivers(dir);
    const std::string active = Trim(ReadFirstLine(dir / "devices" / "active"));
    bool printer = std::find(drivers.begin(), drivers.end(), "lp") != drivers.end() || active == "lp";
    if (printer) {
      say(name + ": the printer driver (lp) is attached and blocks an exclusive claim (modprobe -r lp)");
    } else if (!active.empty() && active != "none") {
      say(name + ": held by " + active);
    } else {
      say(name + ": no printer driver attached");
    }
  }
  say(std::string("ppdev module: ") + (ppdev ? "loaded" : "not loaded (modprobe ppdev)"));
  say(RawIoVerdict(env));

  if (!env.in_use.empty()) {
    r.usable = true;
    say("this program is using: " + env.in_use);
    return r;
  }
  auto trial = OpenPpdevPort("", 0, *env.sys, env.proc_parport);
  if (trial.port) {
    r.usable = true;
    say("--board auto would use: " + trial.port->Describe());
  } else if (trial.busy) {
    say("--board auto would be refused: " + trial.message);
  } else {
    say("--board auto would use: the simulated board, because " + trial.message);
  }
  return r;
}

}  // namespace zambrix
