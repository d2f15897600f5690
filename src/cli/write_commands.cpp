#include "cli/write_commands.h"

#include <array>
#include <cctype>
#include <charconv>
#include <iostream>
#include <optional>

#include "app/core.h"
#include "base/file_io.h"
#include "base/text.h"
#include "cli/cli.h"

namespace zambrix::cli {

int OpenCodeFile(Core& core, CliDialogs& dialogs, const std::string& file,
                 const std::function<int(int, const std::string&)>& fail) {
  // Checked first: a FIFO or device must never reach the load.
  const InputFile in = ReadInputFile(file, Buffers::kCodeBufferSize);
  if (!in.ok() && in.status != InputStatus::TooBig)
    return fail(kFileError, "cannot open " + file + ": " + in.error);
  dialogs.open_answers.push_back(file);
  core.Click("mnuFileOpenCode");
  if (core.buf.CodeFileName != file) return fail(kFileError, "cannot load " + file);
  return kOk;
}

// A refusal the log explains names its line; one that a notice gave says so.
std::string Refusal(const Core& core, const std::string& what) {
  const auto& lines = core.ops.Result.lines;
  if (lines.empty()) return what + " is not available for this device";
  return what + " refused: " + lines.back();
}

namespace {

int LoadImage(WriteContext& c) {
  const auto& file = c.options.input;
  if (file.empty() && c.options.from_setup && c.core.buf.CodeBufferLoaded == 1) return kOk;
  if (file.empty()) return c.fail(kUsage, "the command needs -i FILE");
  return OpenCodeFile(c.core, c.dialogs, file, c.fail);
}

bool Serial(const Core& core) { return core.dev.Family().bus == Bus::kTwoWire; }

// The Hi / Low Byte option of --bytes; a serial EEPROM takes every byte.
int SetBytes(WriteContext& c) {
  static constexpr std::array<const char*, 3> kNames = {"both", "hi", "low"};
  if (c.options.bytes.empty() && c.options.from_setup) return kOk;
  const std::string& v = c.options.bytes.empty() ? std::string("both") : c.options.bytes;
  for (int i = 0; i < 3; ++i) {
    if (v != kNames[static_cast<std::size_t>(i)]) continue;
    if (i != 0 && Serial(c.core) && !c.core.dev.DeviceKey.empty())
      return c.fail(kUsage, "--bytes " + v + " is for the parallel chips, not the " +
                                c.core.dev.SelectedDeviceName);
    const auto name = Indexed("HiLow_button", i);
    if (c.core.ui.Value(name) != 1) c.core.ChangeValue(name, 1);
    return kOk;
  }
  return c.fail(kUsage, "--bytes takes both, hi or low");
}

// The programming voltage of --vpp, when the device offers it.
int SetVoltage(WriteContext& c) {
  const auto& v = c.options.vpp;
  if (v.empty()) return kOk;
  static constexpr std::array<const char*, 4> kVolts = {"5", "12.5", "21", "25"};
  for (int i = 0; i < 4; ++i) {
    if (v != kVolts[static_cast<std::size_t>(i)]) continue;
    const auto name = Indexed("Voltage_button", i);
    if (!c.core.ui.Enabled(name) || !c.core.ui.Visible("FrameVoltageSelection")) {
      return c.fail(kUsage, "the device does not allow " + v + " V");
    }
    if (c.core.ui.Value(name) != 1) c.core.ChangeValue(name, 1);
    return kOk;
  }
  return c.fail(kUsage, "--vpp takes 5, 12.5, 21 or 25");
}

// The answer to a safety question: --yes, the operator on a terminal, or a refusal.
int Confirm(WriteContext& c, const std::string& question, bool& go) {
  go = true;
  if (c.options.yes) return kOk;
  if (!c.interactive) {
    return c.fail(kUsage, "refusing to write the chip without a terminal to ask on; give --yes");
  }
  std::fprintf(c.err, "%s [y/N] ", question.c_str());
  std::fflush(c.err);
  std::string line;
  std::getline(std::cin, line);
  line = Trim(line);
  go = line == "y" || line == "Y" || line == "yes" || line == "YES" || line == "Yes";
  c.dialogs.answers.push_back(go ? MsgAnswer::Ok : MsgAnswer::Cancel);
  return kOk;
}

// What the operation came to, as its outcome record says.
int Concluded(WriteContext& c, const std::string& what) {
  const auto kind = c.core.ops.Result.kind;
  if (kind == Outcome::Kind::kNoBoard) {
    std::string message = "the board stopped answering during the " + what;
    if (c.core.ops.VppMayBeOn) {
      std::string note(Operations::kVppMayBeOn);
      note[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(note[0])));
      message += "; " + note;
    }
    return c.fail(kNoBoard, message);
  }
  if (kind == Outcome::Kind::kFailed || kind == Outcome::Kind::kStopped)
    return c.fail(kOperationFailed, what + " failed (see log)");
  if (kind == Outcome::Kind::kRefused) return c.fail(kOperationFailed, Refusal(c.core, what));
  return kOk;
}

// A byte count or address: decimal, or hexadecimal as 8000h or 0x8000.
std::optional<std::int64_t> ParseCount(std::string text) {
  int base = 10;
  if (text.size() > 1 && (text.back() == 'h' || text.back() == 'H')) {
    text.pop_back();
    base = 16;
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.erase(0, 2);
    base = 16;
  }
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < 0)
    return std::nullopt;
  return v;
}

// The part of the image that --offset and --length choose.
int TakePart(WriteContext& c) {
  auto& buf = c.core.buf;
  const std::int64_t file = buf.CodeFileLength, device = c.core.dev.DeviceSize;
  const auto offset =
      c.options.offset.empty() ? std::optional<std::int64_t>(0) : ParseCount(c.options.offset);
  if (!offset) return c.fail(kUsage, "--offset takes a byte address (32768, 8000h or 0x8000)");
  if (*offset >= file)
    return c.fail(kUsage, "--offset " + c.options.offset + " lies past the image's " +
                              std::to_string(file) + " bytes");
  auto length = std::optional<std::int64_t>(std::min(device, file - *offset));
  if (!c.options.length.empty()) length = ParseCount(c.options.length);
  if (!length || *length == 0)
    return c.fail(kUsage, "--length takes a byte count (16384, 4000h or 0x4000)");
  if (*length > device)
    return c.fail(kUsage, "--length " + c.options.length + " is more than the Device's " +
                              std::to_string(device) + " bytes");
  if (*offset + *length > file)
    return c.fail(
        kUsage, "--offset and --length reach past the image's " + std::to_string(file) + " bytes");
  buf.TakeCodePart(static_cast<std::int32_t>(*offset), static_cast<std::int32_t>(*length));
  return kOk;
}

// An image with bytes beyond the chip goes only in a part the operator chose:
// --offset/--length, or the half --bytes selects.
int CheckImageFits(WriteContext& c) {
  if (!c.options.offset.empty() || !c.options.length.empty()) return TakePart(c);
  const auto& core = c.core;
  const std::int64_t file = core.buf.CodeFileLength, device = core.dev.DeviceSize;
  if (file <= device || core.ui.Value("HiLow_button(0)") != 1) return kOk;
  return c.fail(kUsage,
                "the image has data up to address " + HexText(file - 1) +
                    "h, past the last address of the " + core.dev.SelectedDeviceName + " (" +
                    HexText(device - 1) +
                    "h): choose the part with --offset and --length, or a half with --bytes");
}

int Prepare(WriteContext& c) {
  if (int s = c.select_device()) return s;
  if (int s = LoadImage(c)) return s;
  if (int s = SetBytes(c)) return s;
  return CheckImageFits(c);
}

bool ParallelSelected(const Core& core) { return core.dev.Family().bus != Bus::kTwoWire; }

}  // namespace

int ApplySetupOptions(WriteContext& c) {
  if (!c.options.bytes.empty()) {
    if (int s = SetBytes(c)) return s;
  }
  if (int s = SetVoltage(c)) return s;
  if (c.options.blank_check) c.core.ChangeValue("CheckBlankPriorProgramming", 1);
  if (c.options.verify) c.core.ChangeValue("VerifyAfterProgramming", 1);
  return kOk;
}

int ProgramCommand(WriteContext& c) {
  if (int s = Prepare(c)) return s;
  if (int s = SetVoltage(c)) return s;
  auto& core = c.core;
  const std::string warning = core.dev.VoltageWarning();
  if (!warning.empty() && !c.options.force_vpp)
    return c.fail(kUsage, warning + "; give --force-vpp to program at this voltage all the same");
  if (c.options.blank_check && Serial(core))
    return c.fail(
        kUsage, "--blank-check is for the parallel chips, not the " + core.dev.SelectedDeviceName);
  if (!c.options.from_setup) {
    core.ui.SetValueQuiet("CheckBlankPriorProgramming", 0);
    core.ui.SetValueQuiet("VerifyAfterProgramming", 0);
  }
  if (c.options.blank_check) core.ChangeValue("CheckBlankPriorProgramming", 1);
  if (c.options.verify) core.ChangeValue("VerifyAfterProgramming", 1);
  bool go = true;
  if (int s = Confirm(c, core.ops.ProgramQuestion(), go)) return s;
  core.Click("Program_button");
  if (!go) return c.fail(kOperationFailed, "programming was cancelled");
  if (int s = Concluded(c, "programming")) return s;
  if (core.ops.ProgramStatus == 9)
    return c.fail(kOperationFailed, "the device is not supported for programming");
  if (core.ops.ProgramStatus != 1 || core.ops.FailFlag != 0)
    return c.fail(kOperationFailed, "programming failed");
  return kOk;
}

int VerifyCommand(WriteContext& c) {
  if (int s = Prepare(c)) return s;
  auto& core = c.core;
  if (!c.options.all) {
    core.Click("Verify_button");
    return Concluded(c, "verify");
  }
  if (!ParallelSelected(core)) return c.fail(kUsage, "verify --all is for parallel chips");
  std::vector<Operations::AddressRange> differences;
  core.RunEvent([&] { core.ops.VerifyAllDifferences(differences); });
  if (int s = Concluded(c, "verify")) return s;
  return kOk;
}

int CheckCommand(WriteContext& c) {
  if (int s = Prepare(c)) return s;
  auto& core = c.core;
  if (!ParallelSelected(core)) {
    // A serial EEPROM takes every byte as it is written.
    std::fprintf(c.out, "the %s is an EEPROM: programming rewrites every byte, no erase needed\n",
                 core.dev.SelectedDeviceName.c_str());
    return kOk;
  }
  Operations::WriteCheck result;
  bool done = false;
  core.RunEvent([&] { done = core.ops.CheckWritable(result); });
  if (int s = Concluded(c, "check")) return s;
  if (!done) return c.fail(kOperationFailed, "the check did not complete");
  std::int32_t erase = 0;
  for (const auto& r : result.need_erase) erase += r.count;
  std::fprintf(c.out,
               "%d bytes compared: %d hold their value, %d need programming, %d need erasing\n",
               result.compared, result.already, result.to_program, erase);
  for (const auto& r : result.need_erase) {
    std::fprintf(c.out, "erase needed at %s-%s: %d bytes\n", HexText(r.first).c_str(),
                 HexText(r.last).c_str(), r.count);
  }
  return erase == 0 ? kOk : kOperationFailed;
}

int EraseCommand(WriteContext& c) {
  if (int s = c.select_device()) return s;
  if (!c.core.ui.Enabled("EraseFlash_button"))
    return c.fail(kUsage, "the device has no chip erase");
  bool go = true;
  if (int s = Confirm(c, "Erase the Device?", go)) return s;
  c.core.Click("EraseFlash_button");  // asks the question the operator answered
  if (!go) return c.fail(kOperationFailed, "erase was cancelled");
  return Concluded(c, "erase");
}

}  // namespace zambrix::cli
