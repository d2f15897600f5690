#include "cli/write_commands.h"

#include <array>
#include <iostream>

#include "app/core.h"
#include "app/file_io.h"
#include "app/text.h"
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

namespace {

constexpr const char* kSafetyTitle = "Safety Question";

int LoadImage(WriteContext& c) {
  const auto& file = c.options.input;
  if (file.empty() && c.options.from_setup && c.core.buf.CodeBufferLoaded == 1) return kOk;
  if (file.empty()) return c.fail(kUsage, "the command needs -i FILE");
  return OpenCodeFile(c.core, c.dialogs, file, c.fail);
}

// The Hi / Low Byte option of --bytes.
int SetBytes(WriteContext& c) {
  static constexpr std::array<const char*, 3> kNames = {"both", "hi", "low"};
  if (c.options.bytes.empty() && c.options.from_setup) return kOk;
  const std::string& v = c.options.bytes.empty() ? std::string("both") : c.options.bytes;
  for (int i = 0; i < 3; ++i) {
    if (v != kNames[static_cast<std::size_t>(i)]) continue;
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

// Message boxes other than the safety question.
std::size_t Notices(const CliDialogs& d) {
  std::size_t n = 0;
  for (const auto& t : d.titles) n += t != kSafetyTitle;
  return n;
}

// The outcome as the window shows it: a lost board, the error alert, a notice
// that the routine is missing.
int Outcome(WriteContext& c, std::size_t notices_before, const std::string& what) {
  if (c.core.ops.BoardLost) return c.fail(kNoBoard, "the board stopped answering during the " + what);
  if (c.core.ui.Colour("Error_label") == colour::kRed) return c.fail(kOperationFailed, what + " failed (see log)");
  if (Notices(c.dialogs) > notices_before) return c.fail(kOperationFailed, what + " is not available for this device");
  return kOk;
}

int Prepare(WriteContext& c) {
  if (int s = c.select_device()) return s;
  if (int s = LoadImage(c)) return s;
  return SetBytes(c);
}

bool ParallelSelected(const Core& core) { return core.dev.DeviceClass != "S"; }

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
  if (!c.options.from_setup) {
    core.ui.SetValueQuiet("CheckBlankPriorProgramming", 0);
    core.ui.SetValueQuiet("VerifyAfterProgramming", 0);
  }
  if (c.options.blank_check) core.ChangeValue("CheckBlankPriorProgramming", 1);
  if (c.options.verify) core.ChangeValue("VerifyAfterProgramming", 1);
  bool go = true;
  if (int s = Confirm(c, core.ops.ProgramQuestion(), go)) return s;
  const auto notices = Notices(c.dialogs);
  core.ops.ProgramStatus = 0;
  core.Click("Program_button");
  if (!go) return c.fail(kOperationFailed, "programming was cancelled");
  if (int s = Outcome(c, notices, "programming")) return s;
  if (core.ops.ProgramStatus == 9) return c.fail(kOperationFailed, "the device is not supported for programming");
  if (core.ops.ProgramStatus != 1 || core.ops.FailFlag != 0) return c.fail(kOperationFailed, "programming failed");
  return kOk;
}

int VerifyCommand(WriteContext& c) {
  if (int s = Prepare(c)) return s;
  auto& core = c.core;
  const auto notices = Notices(c.dialogs);
  if (!c.options.all) {
    core.Click("Verify_button");
    return Outcome(c, notices, "verify");
  }
  if (!ParallelSelected(core)) return c.fail(kUsage, "verify --all is for parallel chips");
  std::vector<Operations::AddressRange> differences;
  core.RunEvent([&] { core.ops.VerifyAllDifferences(differences); });
  if (int s = Outcome(c, notices, "verify")) return s;
  return kOk;
}

int CheckCommand(WriteContext& c) {
  if (int s = Prepare(c)) return s;
  auto& core = c.core;
  if (!ParallelSelected(core)) return c.fail(kUsage, "check is for parallel chips");
  const auto notices = Notices(c.dialogs);
  Operations::WriteCheck result;
  bool done = false;
  core.RunEvent([&] { done = core.ops.CheckWritable(result); });
  if (int s = Outcome(c, notices, "check")) return s;
  if (!done) return c.fail(kOperationFailed, "the check did not complete");
  std::int32_t erase = 0;
  for (const auto& r : result.need_erase) erase += r.count;
  std::fprintf(c.out, "%d bytes compared: %d hold their value, %d need programming, %d need erasing\n",
               result.compared, result.already, result.to_program, erase);
  for (const auto& r : result.need_erase) {
    std::fprintf(c.out, "erase needed at %s-%s: %d bytes\n", HexText(r.first).c_str(), HexText(r.last).c_str(),
                 r.count);
  }
  return erase == 0 ? kOk : kOperationFailed;
}

int EraseCommand(WriteContext& c) {
  if (int s = c.select_device()) return s;
  if (!c.core.ui.Enabled("EraseFlash_button")) return c.fail(kUsage, "the device has no chip erase");
  bool go = true;
  if (int s = Confirm(c, "Erase the Device?", go)) return s;
  const auto notices = Notices(c.dialogs);
  c.core.Click("EraseFlash_button");  // asks the question the operator answered
  if (!go) return c.fail(kOperationFailed, "erase was cancelled");
  return Outcome(c, notices, "erase");
}

}  // namespace zambrix::cli
