// The port doctor: why a real board is or is not reachable on this machine,
// one line a finding, from what the kernel shows and one trial claim.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/port.h"

namespace zambrix {

// Where the doctor looks; the defaults are the running system's, tests point
// them at a fake tree.
struct DoctorEnv {
  std::string proc_parport = "/proc/sys/dev/parport";
  std::string dev_dir = "/dev";
  std::string proc_modules = "/proc/modules";
  std::string sys_module = "/sys/module";
  std::string proc_status = "/proc/self/status";
  std::string lockdown = "/sys/kernel/security/lockdown";
  // access(2) as this user sees it.
  std::function<int(const char* path, int mode)> access;
  const PpdevSys* sys = &PpdevSys::Real();
  bool x86 = true;  // raw port I/O exists only there
  // The real port this program holds already (its claim is exclusive, so a
  // trial claim would fail); empty when it runs on no real port.
  std::string in_use;
  std::vector<PortBinding> in_use_bindings;  // and the port choices behind it
  static DoctorEnv Real();
};

struct DoctorReport {
  std::vector<std::string> lines;
  bool usable = false;  // a port that --board auto would open
};

DoctorReport DiagnosePorts(const DoctorEnv& env);

}  // namespace zambrix
