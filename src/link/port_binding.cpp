#include "link/port_binding.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zambrix {

namespace fs = std::filesystem;

bool IsPortChoice(unsigned base) {
  return std::find(std::begin(kPortChoices), std::end(kPortChoices), base) !=
         std::end(kPortChoices);
}

std::string HexAddress(unsigned value) {
  std::ostringstream s;
  s << std::uppercase << std::hex << value << "h";
  return s.str();
}

namespace {

// "parport12" -> 12; -1 for any other name.
int PortNumber(const std::string& name) {
  const std::string prefix = "parport";
  if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) return -1;
  int n = -1;
  const char* first = name.data() + prefix.size();
  const char* last = name.data() + name.size();
  auto [end, ec] = std::from_chars(first, last, n);
  return ec == std::errc() && end == last ? n : -1;
}

// base-addr holds the base and the ECP base in decimal ("53264\t53266").
std::uint16_t ReadBase(const fs::path& file) {
  std::ifstream in(file);
  unsigned long base = 0;
  if (in >> base && base <= 0xFFFF) return static_cast<std::uint16_t>(base);
  return 0;
}

std::uint16_t ParseHex(std::string text) {
  if (text.size() > 1 && (text.back() == 'h' || text.back() == 'H')) {
    text.pop_back();
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.erase(0, 2);
  }
  unsigned v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v > 0xFFFF) return 0;
  return static_cast<std::uint16_t>(v);
}

}  // namespace

std::vector<KernelPort> ListKernelPorts(const std::string& proc_root) {
  std::vector<KernelPort> ports;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(proc_root, ec)) {
    const std::string name = entry.path().filename().string();
    const int n = PortNumber(name);
    if (n < 0) continue;
    ports.push_back({"/dev/" + name, n, ReadBase(entry.path() / "base-addr")});
  }
  std::sort(ports.begin(), ports.end(),
            [](const KernelPort& a, const KernelPort& b) { return a.number < b.number; });
  return ports;
}

std::uint16_t ParportBase(const std::string& device, const std::string& proc_root) {
  return ReadBase(fs::path(proc_root) / fs::path(device).filename() / "base-addr");
}

std::string DescribeBinding(const PortBinding& b) {
  if (b.device.empty()) return "raw port I/O at " + HexAddress(b.base ? b.base : b.choice);
  if (b.base == 0) return b.device + ", a port without an I/O address";
  if (b.base == b.choice) return b.device + " at its own address";
  return b.device + ", a card at " + HexAddress(b.base);
}

std::string BindingLine(const PortBinding& b) {
  return "Port " + HexAddress(b.choice) + " is " + DescribeBinding(b);
}

std::vector<PortBinding> BindKernelPorts(const std::vector<KernelPort>& ports) {
  std::vector<PortBinding> bound;
  std::vector<const KernelPort*> others;
  auto taken = [&bound](std::uint16_t choice) {
    return std::any_of(bound.begin(), bound.end(),
                       [choice](const PortBinding& b) { return b.choice == choice; });
  };
  for (const auto& p : ports) {
    if (IsPortChoice(p.base) && !taken(p.base)) {
      bound.push_back({p.base, p.device, p.base});
    } else if (p.base != 0) {
      others.push_back(&p);
    }
  }
  for (const KernelPort* p : others) {
    for (std::uint16_t choice : kPortChoices) {
      if (taken(choice)) continue;
      bound.push_back({choice, p->device, p->base});
      break;
    }
  }
  return bound;
}

std::uint16_t ParsePortChoice(const std::string& text) {
  const std::uint16_t v = ParseHex(text);
  return IsPortChoice(v) ? v : 0;
}

std::uint16_t ParseIoAddress(const std::string& text) { return ParseHex(text); }

std::string UnusableDevice(const std::string& device) {
  const fs::path path(device);
  const std::string name = path.filename().string();
  const bool lp =
      name.size() > 2 && name.rfind("lp", 0) == 0 &&
      std::all_of(name.begin() + 2, name.end(), [](unsigned char c) { return std::isdigit(c); });
  if (!lp) return {};
  if (path.parent_path().filename() == "usb") {
    return device +
           " is a USB printer cable: it speaks only the printer protocol and cannot drive the "
           "board's "
           "lines (the board needs a built-in parallel port or a PCI Express card)";
  }
  return device +
         " is the printer driver's device, not the port (use /dev/parportN: zambrix-cli doctor "
         "lists them)";
}

}  // namespace zambrix
