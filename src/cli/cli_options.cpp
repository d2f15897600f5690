#include "cli/cli_options.h"

namespace zambrix::cli {

const char* const kUsageText =
    "usage: zambrix-cli [global options] COMMAND [options]\n"
    "\n"
    "commands:\n"
    "  list                         the chip catalogue: position, list entry, key, size\n"
    "  detect                       search the parallel ports for a board\n"
    "  read -d DEVICE -o FILE       read the chip and save it to FILE\n"
    "  blank -d DEVICE              check that the chip is erased\n"
    "  view (-i FILE | -d DEVICE) [--page N]\n"
    "                               print one page as the hex view shows it\n"
    "  setup list                   the saved setups: slot, name, device, code file\n"
    "  setup save N [--name NAME] [-d DEVICE] [-i FILE] [--bytes B] [--vpp V]\n"
    "          [--blank-check] [--verify]\n"
    "                               save the global options, device, code file, byte\n"
    "                               selection, voltage and checks as setup N (1 to 4)\n"
    "  doctor                       why a real board is or is not reachable\n"
    "  program -d DEVICE -i FILE [--bytes both|hi|low] [--vpp 5|12.5|21|25]\n"
    "          [--force-vpp] [--offset A] [--length N] [--blank-check] [--verify] [--yes]\n"
    "                               program the chip with FILE\n"
    "  verify -d DEVICE -i FILE [--bytes both|hi|low] [--offset A] [--length N] [--all]\n"
    "                               compare the chip with FILE (--all: every difference)\n"
    "  check -d DEVICE -i FILE [--offset A] [--length N]\n"
    "                               can FILE be programmed over what the chip holds?\n"
    "  erase -d DEVICE [--yes]      erase an EEPROM or flash chip\n"
    "  id -d DEVICE                 read a flash chip's maker and device codes\n"
    "\n"
    "DEVICE is a catalogue name (\"Eprom 27C256\") or a part number (\"27C256\").\n"
    "A file shorter than the chip programs its own bytes only. A file with data past the\n"
    "chip's end is refused unless a part is chosen: --offset A takes the image from\n"
    "address A (32768, 8000h or 0x8000), --length N takes N bytes of it (at most the\n"
    "chip's size); --bytes hi|low (parallel chips only) programs the odd or even bytes\n"
    "of the image's first chip-size bytes into the chip's first half and leaves its\n"
    "other half alone. --vpp above the chip's rated programming voltage is refused\n"
    "without --force-vpp.\n"
    "\n"
    "global options:\n"
    "  --port 378h|278h|3BCh        use this port (as the port options of the window)\n"
    "  --port 378h=/dev/parportN    put a port choice on a real port by hand (see below)\n"
    "  --model 4|5|6                force the board model\n"
    "  --speed N                    programming speed slider position\n"
    "  --catalogue standard|extended\n"
    "                               extended also offers the flash chips\n"
    "  --log FILE                   save the system log to FILE at the end\n"
    "  --settings-dir DIR           where the start-up settings file and the setups live\n"
    "  --setup N                    restore setup N first; the other options override it\n"
    "  --format bin|ihex|srec       the format of every file read or written (otherwise\n"
    "                               .hex .ihx .ihex are Intel HEX, .s19 .s28 .s37 .srec\n"
    "                               .mot S-records, every other name raw binary)\n"
    "  --json                       print what the command did as one JSON object\n"
    "  -q                           print only errors\n"
    "  --yes                        answer yes to the program's questions\n"
    "  --help, --version\n";

Options Parse(std::vector<std::string> args) {
  Options o;
  try {
    o.backend = ExtractBackEndOptions(args);
  } catch (const BackEndError& e) {
    throw UsageError(e.what());
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& slot) {
      if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a value");
      slot = args[++i];
    };
    // clang-format off
    if (a == "--port") value(o.port);
    else if (a == "--model") value(o.model);
    else if (a == "--speed") value(o.speed);
    else if (a == "--log") value(o.log_file);
    else if (a == "--settings-dir") value(o.settings_dir);
    else if (a == "--catalogue") value(o.catalogue);
    else if (a == "-d" || a == "--device") value(o.device);
    else if (a == "-o" || a == "--output") value(o.output);
    else if (a == "-i" || a == "--input") value(o.input);
    else if (a == "--page") value(o.page);
    else if (a == "--setup") value(o.setup);
    else if (a == "--format") value(o.format);
    else if (a == "--json") o.json = true;
    else if (a == "--name") value(o.setup_name);
    else if (a == "--bytes") value(o.write.bytes);
    else if (a == "--vpp") value(o.write.vpp);
    else if (a == "--force-vpp") o.write.force_vpp = true;
    else if (a == "--offset") value(o.write.offset);
    else if (a == "--length") value(o.write.length);
    else if (a == "--blank-check") o.write.blank_check = true;
    else if (a == "--verify") o.write.verify = true;
    else if (a == "--all") o.write.all = true;
    else if (a == "-q" || a == "--quiet") o.quiet = true;
    else if (a == "--yes" || a == "-y") o.yes = true;
    else if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--version") o.version = true;
    else if (!a.empty() && a[0] == '-') throw UsageError("unknown option " + a);
    else if (o.command.empty()) o.command = a;
    else o.operands.push_back(a);
    // clang-format on
  }
  if (o.command != "setup" && !o.operands.empty())
    throw UsageError("unexpected argument " + o.operands.front());
  o.write.input = o.input;
  o.write.yes = o.yes;
  o.write.from_setup = !o.setup.empty();
  return o;
}

}  // namespace zambrix::cli
