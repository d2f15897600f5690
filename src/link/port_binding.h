// The three port choices the operator sees (378h, 278h, 3BCh) and the real
// ports of this PC behind them. A built-in port at one of those addresses keeps
// its own choice; a card elsewhere (D010h, E000h, ...) takes a free one. The
// link, the log, the window and the files only ever name the choice; the back
// end sends each access of a choice to its real port.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zambrix {

// The choices in the order a free one is taken.
inline constexpr std::uint16_t kPortChoices[] = {0x378, 0x278, 0x3BC};
bool IsPortChoice(unsigned base);

// "378h", "D010h".
std::string HexAddress(unsigned value);

// A port the kernel lists under /proc/sys/dev/parport.
struct KernelPort {
  std::string device;      // "/dev/parport1"
  int number = -1;         // N of parportN
  std::uint16_t base = 0;  // from base-addr; 0 when the kernel gives none
};
// Sorted by N (parport10 after parport2); `proc_root` is for tests.
std::vector<KernelPort> ListKernelPorts(const std::string& proc_root);
// Base address of /dev/parportN (0 when unknown).
std::uint16_t ParportBase(const std::string& device,
                          const std::string& proc_root = "/proc/sys/dev/parport");

// A choice and the real port behind it.
struct PortBinding {
  std::uint16_t choice = 0;  // 378h, 278h or 3BCh
  std::string device;        // "/dev/parport1"; empty for raw port I/O
  std::uint16_t base = 0;    // the real port's base; 0 unknown
  bool operator==(const PortBinding&) const = default;
};
// "/dev/parport1, a card at D010h", "/dev/parport0", "raw port I/O at D010h".
std::string DescribeBinding(const PortBinding& b);
// "Port 378h is /dev/parport1, a card at D010h".
std::string BindingLine(const PortBinding& b);

// The automatic binding: a port whose base is a choice keeps it; every other
// port with a base takes the first free choice, by parportN number. Ports
// without a base, and ports beyond the three choices, stay unbound.
std::vector<PortBinding> BindKernelPorts(const std::vector<KernelPort>& ports);

// "378h" (any case; "378" and "0x378" too) -> 378h; 0 when not a choice.
std::uint16_t ParsePortChoice(const std::string& text);
// "0xD010", "D010h", "d010" -> the address; 0 when not a port address.
std::uint16_t ParseIoAddress(const std::string& text);

// Why `device` can never reach a board (a USB printer cable, the printer
// driver's own device); empty when it may.
std::string UnusableDevice(const std::string& device);

// The bindings given by hand (--port 378h=/dev/parport2), by choice.
using PortRequests = std::map<std::uint16_t, std::string>;

}  // namespace zambrix
