#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "app/backend.h"
#include "app/controls.h"
#include "app/core.h"
#include "app/posix_platform.h"
#include "base/control_names.h"
#include "base/file_io.h"
#include "base/interrupt.h"
#include "base/text.h"
#include "cli/cli_flash.h"
#include "cli/cli_options.h"
#include "cli/cli_result.h"
#include "cli/cli_services.h"
#include "cli/setup_command.h"
#include "cli/write_commands.h"
#include "sim/sim_port.h"

namespace zambrix::cli {

namespace {

std::string Lower(std::string s) {
  for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

std::optional<int> ParseInt(const std::string& s) {
  if (s.empty()) return std::nullopt;
  std::size_t used = 0;
  try {
    long v = std::stol(s, &used, 10);
    if (used != s.size() || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int>(v);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// One run of the program behind the command line.
class Session {
 public:
  Session(const Options& o, std::FILE* out, std::FILE* err)
      : o_(o), printer_(o.json, out), out_(printer_.Text()), err_(err), dialogs_(err, o.yes) {}

  int Run();

 private:
  int Fail(int status, const std::string& message) {
    // A chip the simulated board saw destroyed is named in the run's one line.
    const std::string said = message + DamageNote(message);
    if (result_.message.empty()) result_.message = said;
    if (echo_) echo_->Finish();
    // An interrupted run says so once, on its way out.
    if (StopRequested() == 0) std::fprintf(err_, "zambrix-cli: %s\n", said.c_str());
    return status;
  }
  // What destroyed the simulated chip; empty when nothing did.
  std::string DamageReport() const {
    auto* sim_port = dynamic_cast<sim::SimPort*>(backend_.port.get());
    if (sim_port == nullptr || !sim_port->Trace().ChipDamaged()) return {};
    return sim_port->Trace().DamageReport();
  }
  std::string DamageNote(const std::string& message) const {
    const std::string report = DamageReport();
    if (report.empty() || message.find(report) != std::string::npos) return {};
    return ": the simulated chip was destroyed: " + report;
  }
  int StartUp();
  int SelectDevice();
  int NoteDevice();
  int NeedBoard();
  int CheckOutcome(const std::string& what);
  void NoteFailure();
  int List();
  int Detect();
  int Read();
  int CheckSaved(const std::string& want);
  int Blank();
  int View();
  int Id();
  int LoadInputFile();
  int Setup();
  int ShowPage();
  int Write(int (*command)(WriteContext&));
  WriteContext MakeWriteContext();
  int RunCommand();
  int Finish(int status);
  int ShutDown(int status);
  void Report(int status);
  int CheckFileClashes();

  const Options& o_;
  ResultPrinter printer_;
  std::FILE* out_;
  CommandResult result_;
  std::FILE* err_;
  CliDialogs dialogs_;
  PosixPlatform platform_;
  MemorySettings settings_;
  SilentSound sound_;
  BackEnd backend_;
  std::unique_ptr<Core> core_;
  std::unique_ptr<ConsoleEcho> echo_;
};

int Session::StartUp() {
  try {
    backend_ = OpenBackEnd(o_.backend);
  } catch (const BackEndFileError& e) {
    return Fail(kFileError, e.what());
  } catch (const BackEndPortError& e) {
    return Fail(kNoBoard, e.what());
  } catch (const BackEndError& e) {
    bool port_asked = o_.backend.board == "direct" || o_.backend.board.rfind("ppdev", 0) == 0;
    return Fail(port_asked ? kNoBoard : kUsage, e.what());
  }
  // Another program of ours has the port or the simulated chip's file.
  if (!backend_.refused.empty()) return Fail(kNoBoard, backend_.refused);
  Services s{backend_.port.get(), backend_.clock.get(), &dialogs_, &sound_, &settings_, &platform_};
  core_ = std::make_unique<Core>(s);
  core_->shell.CreateWindow();
  core_->setup.SettingsDir = o_.settings_dir;
  echo_ = std::make_unique<ConsoleEcho>(core_->ui, err_, o_.quiet,
                                        !o_.quiet && isatty(fileno(err_)) != 0);
  core_->shell.Form_Load();
  // A script's image is written as it is: the chip bytes beyond a short file are
  // left alone (an FFh byte is never pulsed) rather than written with zeros.
  std::fill(core_->buf.CodeBuffer.begin(), core_->buf.CodeBuffer.end(), std::uint8_t{0xFF});
  core_->shell.AnnounceBackEnd(backend_.description, backend_.simulated, backend_.problem);
  // The catalogue first: a setup may name a device only the extended one offers.
  if (!o_.catalogue.empty()) {
    if (o_.catalogue != "standard" && o_.catalogue != "extended") {
      return Fail(kUsage, "--catalogue takes standard or extended");
    }
    core_->dev.SetExtendedCatalogue(o_.catalogue == "extended");
    core_->dev.FillDeviceList();
  }
  if (!o_.setup.empty()) {
    auto slot = SetupSlot(o_.setup);
    if (!slot) return Fail(kUsage, "--setup takes 1, 2, 3 or 4");
    if (!RestoreSetup(*core_, *slot))
      return Fail(kFileError, "setup " + o_.setup + " was not restored (see log)");
  }
  if (!o_.port.empty()) {
    static const char* kPorts[] = {"378h", "278h", "3BCh"};
    auto it = std::find_if(std::begin(kPorts), std::end(kPorts),
                           [&](const char* p) { return Lower(o_.port) == Lower(p); });
    if (it == std::end(kPorts)) return Fail(kUsage, "--port takes 378h, 278h or 3BCh");
    auto name = Indexed(control::LPTSelection, static_cast<int>(it - std::begin(kPorts)));
    core_->ui.SetValueQuiet(name, 0);
    core_->ChangeValue(name, 1);
  }
  if (!o_.model.empty()) {
    if (o_.model != "4" && o_.model != "5" && o_.model != "6")
      return Fail(kUsage, "--model takes 4, 5 or 6");
    core_->Click("ForceZambrix" + o_.model);
  }
  if (!o_.speed.empty()) {
    auto v = ParseInt(o_.speed);
    if (!v || *v < kSliderMin || *v > kSliderMax) {
      return Fail(kUsage, "--speed takes " + std::to_string(kSliderMin) + " to " +
                              std::to_string(kSliderMax));
    }
    core_->ChangeValue(control::Slider1, *v);
  }
  if (!o_.format.empty()) {
    auto format = FormatNamed(o_.format);
    if (!format) return Fail(kUsage, "--format takes bin, ihex or srec");
    core_->buf.ForcedFormat = format;
  }
  return kOk;
}

int Session::NeedBoard() {
  if (core_->link.BoardModel == 0) return Fail(kNoBoard, "no ZAMBRIX board found on any LPT port");
  return kOk;
}

int Session::SelectDevice() {
  if (o_.device.empty()) {
    // A device restored by --setup serves when the command names none.
    if (!o_.setup.empty() && core_->ui.ListIndex(control::Device) >= 0) return NoteDevice();
    return Fail(kUsage, "the command needs -d DEVICE");
  }
  const DeviceMatch m = core_->dev.Match(o_.device);
  if (m.row < 0) return Fail(kUsage, m.error);
  core_->ChooseListIndex(control::Device, m.row);
  if (core_->ui.ListIndex(control::Device) != m.row)
    return Fail(kUsage, "the device could not be selected");
  return NoteDevice();
}

// The chosen device's catalogue entry goes into the result.
int Session::NoteDevice() {
  const auto row = static_cast<std::size_t>(core_->ui.ListIndex(control::Device));
  if (row < core_->dev.DeviceTable.size()) result_.device = Trim(core_->dev.DeviceTable[row][0]);
  return kOk;
}

// What the operation came to, as its outcome record says.
int Session::CheckOutcome(const std::string& what) {
  const auto& ops = core_->ops;
  switch (ops.Result.kind) {
    case Outcome::Kind::kNoBoard:
      return Fail(kNoBoard, what + " failed: " + ops.BoardProblem + " (see log)");
    case Outcome::Kind::kFailed:
    case Outcome::Kind::kStopped:
      return Fail(kOperationFailed, what + " failed (see log)");
    case Outcome::Kind::kRefused:
      return Fail(kOperationFailed, Refusal(*core_, what));
    case Outcome::Kind::kNone:
    case Outcome::Kind::kDone:
      break;
  }
  return kOk;
}

int Session::List() {
  const auto& items = core_->ui.Get(control::Device).items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& row = core_->dev.DeviceTable[i];
    long size = std::atol(row[3].c_str()) * 1024;
    std::fprintf(out_, "%zu\t%s\t%s%s\t%ld\n", i, items[i].c_str(), row[1].c_str(), row[2].c_str(),
                 size);
  }
  return kOk;
}

int Session::Detect() {
  // Start-up has just searched unless it trusted a remembered board, or an
  // option changed the port or the model since.
  if (!core_->shell.StartupSearched || !o_.port.empty() || !o_.model.empty()) {
    core_->Click(control::TestHardware_button);
  }
  auto& link = core_->link;
  if (link.BoardModel == 0) {
    std::fprintf(out_, "no board found\n");
    return Fail(kNoBoard, "no ZAMBRIX board found on any LPT port");
  }
  const std::string board =
      "ZAMBRIX-" + std::to_string(link.BoardModel) + " at " + HexText(link.PortAddress) + "h";
  result_.details["board"] = board;
  std::fprintf(out_, "%s%s\n", board.c_str(), backend_.simulated ? " (simulated)" : "");
  return kOk;
}

int Session::Read() {
  if (o_.output.empty()) return Fail(kUsage, "read needs -o FILE");
  if (int s = SelectDevice()) return s;
  if (int s = NeedBoard()) return s;
  core_->Click(control::Read_button);
  if (int s = CheckOutcome("read")) return s;
  const auto& buf = core_->buf;
  result_.bytes["read"] = buf.CodeSize;
  result_.checksum = core_->ops.DeviceChecksumText;
  if (const auto& d = core_->ops.DeviceDigests; !d.crc32.empty()) {
    result_.details["crc32"] = d.crc32;
    result_.details["sha1"] = d.sha1;
  }
  dialogs_.save_answers.push_back(o_.output);
  core_->Click(control::mnuFileSaveCodeAs);
  if (!buf.LastSaveError.empty())
    return Fail(kFileError, "cannot write " + o_.output + ": " + buf.LastSaveError);
  const auto size = static_cast<std::size_t>(buf.CodeSize);
  return CheckSaved(WriteImage(buf.FormatFor(o_.output), {buf.CodeBuffer.data(), size}));
}

// A saved regular file must hold exactly the bytes read, in the file's format;
// a device written in place (/dev/null) has nothing to read back.
int Session::CheckSaved(const std::string& want) {
  const InputFile saved = ReadInputFile(o_.output, want.size());
  if (saved.status == InputStatus::NotRegular) return kOk;
  if (!saved.ok() || saved.bytes.size() != want.size() ||
      !std::equal(saved.bytes.begin(), saved.bytes.end(), want.begin(),
                  [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); })) {
    return Fail(kFileError,
                "cannot write " + o_.output + ": the saved file does not hold the bytes read");
  }
  result_.bytes["file"] = static_cast<std::int64_t>(want.size());
  return kOk;
}

int Session::Blank() {
  if (int s = SelectDevice()) return s;
  if (int s = NeedBoard()) return s;
  core_->Click(control::Blank_button);
  result_.bytes["checked"] = core_->buf.CodeSize;
  NoteFailure();
  return CheckOutcome("blank check");
}

int Session::ShowPage() {
  int page = 0;
  if (!o_.page.empty()) {
    auto v = ParseInt(o_.page);
    if (!v || *v < 0 || *v > std::max(0, core_->ui.Max(control::VScroll1))) {
      return Fail(kUsage, "--page takes 0 to " +
                              std::to_string(std::max(0, core_->ui.Max(control::VScroll1))));
    }
    page = *v;
  }
  if (page != core_->ui.Value(control::VScroll1)) core_->ChangeValue(control::VScroll1, page);
  std::string text = core_->ui.Text(control::BufferDisplay);
  if (text.rfind("\r\n", 0) == 0) text.erase(0, 2);
  std::string lines;
  for (std::size_t pos = 0; pos <= text.size();) {
    auto next = text.find("\r\n", pos);
    lines += text.substr(pos, next == std::string::npos ? std::string::npos : next - pos) + "\n";
    if (next == std::string::npos) break;
    pos = next + 2;
  }
  echo_->Finish();
  std::fputs(lines.c_str(), out_);
  return kOk;
}

int Session::View() {
  if (o_.input.empty() == o_.device.empty())
    return Fail(kUsage, "view needs either -i FILE or -d DEVICE");
  if (!o_.input.empty()) {
    if (int s = LoadInputFile()) return s;
    core_->ui.SetMax(control::VScroll1, std::max(0, (core_->buf.CodeSize + 255) / 256 - 1));
    return ShowPage();
  }
  if (int s = SelectDevice()) return s;
  if (int s = NeedBoard()) return s;
  core_->Click(control::Display_button);
  if (int s = CheckOutcome("display")) return s;
  if (!core_->buf.HasChipView())
    return Fail(kOperationFailed, "display is not available for this device");
  return ShowPage();
}

int Session::LoadInputFile() {
  if (int s = OpenCodeFile(
          *core_, dialogs_, o_.input,
          [this](int status, const std::string& message) { return Fail(status, message); }))
    return s;
  result_.bytes["file"] = core_->buf.CodeSize;
  result_.checksum = core_->buf.FileCrcText;
  return kOk;
}

int Session::Setup() {
  const auto& args = o_.operands;
  if (args.size() == 1 && args[0] == "list") {
    ListSetups(*core_, out_);
    return kOk;
  }
  if (args.size() != 2 || args[0] != "save") return Fail(kUsage, "setup takes 'list' or 'save N'");
  auto slot = SetupSlot(args[1]);
  if (!slot) return Fail(kUsage, "setup save takes a slot 1, 2, 3 or 4");
  if (!o_.device.empty()) {
    if (int s = SelectDevice()) return s;
  }
  if (!o_.input.empty()) {
    if (int s = LoadInputFile()) return s;
  }
  WriteContext c = MakeWriteContext();
  if (int s = ApplySetupOptions(c)) return s;
  dialogs_.input_answers.push_back(o_.setup_name);
  const std::string path = SaveSetup(*core_, *slot);
  if (path.empty()) return Fail(kFileError, "setup " + args[1] + " could not be written (see log)");
  echo_->Finish();
  std::fprintf(out_, "%s\n", path.c_str());
  return kOk;
}

int Session::Write(int (*command)(WriteContext&)) {
  WriteContext c = MakeWriteContext();
  const int status = command(c);
  const auto& buf = core_->buf;
  if (!o_.input.empty() && buf.CodeFileName == o_.input) {
    result_.bytes["file"] = buf.CodeSize;
    result_.checksum = buf.FileCrcText;
  }
  NoteFailure();
  return status;
}

// A failure at a byte (a verify, a blank check, a byte that did not take) names it.
void Session::NoteFailure() {
  const Outcome& r = core_->ops.Result;
  if (r.address >= 0) result_.failure = CommandResult::Mismatch{r.address, r.expected, r.actual};
}

WriteContext Session::MakeWriteContext() {
  return WriteContext{
      *core_,
      dialogs_,
      out_,
      err_,
      o_.write,
      [this](int status, const std::string& message) { return Fail(status, message); },
      [this] {
        if (int s = SelectDevice()) return s;
        return NeedBoard();
      },
      isatty(fileno(stdin)) != 0};
}

// The files written beside the command's own (the log at the end, the
// simulator's trace) must not overwrite a file the command reads or writes.
int Session::CheckFileClashes() {
  std::vector<std::pair<std::string, std::string>> files{{"-o", o_.output}, {"-i", o_.input}};
  const auto& sim = o_.backend.sim;
  if (auto chip = sim.find("chip"); chip != sim.end()) {
    if (auto colon = chip->second.find(':'); colon != std::string::npos)
      files.emplace_back("the simulated chip's file", chip->second.substr(colon + 1));
  }
  std::vector<std::pair<std::string, std::string>> writers{{"--log", o_.log_file}};
  if (auto trace = sim.find("trace"); trace != sim.end())
    writers.emplace_back("--sim-trace", trace->second);
  for (const auto& [option, written] : writers) {
    if (written.empty()) continue;
    for (const auto& [what, name] : files) {
      if (!name.empty() && SameFile(written, name))
        return Fail(kUsage, option + " " + written + " names the same file as " + what);
    }
    files.emplace_back(option, written);
  }
  return kOk;
}

int Session::Id() {
  if (int s = SelectDevice()) return s;
  if (!core_->dev.Family().Flash())
    return Fail(kUsage, "id is for the flash chips (--catalogue extended)");
  if (int s = NeedBoard()) return s;
  echo_->Finish();
  const int status = ShowFlashId(*core_, out_);
  if (core_->ops.BoardLost)
    return Fail(kNoBoard, "identification failed: " + core_->ops.BoardProblem + " (see log)");
  return status;
}

int Session::Finish(int status) {
  // What the command printed must have reached its reader.
  if (std::fflush(out_) != 0) RequestStop(SIGPIPE);
  StopOnWriteError(out_);
  status = ShutDown(status);
  Report(status);
  return status;
}

// The one place the result of a command is printed for scripts.
void Session::Report(int status) {
  if (backend_.simulated && backend_.clock) result_.simulated_s = backend_.clock->NowNs() / 1e9;
  if (core_ && core_->ops.OverPulsedBytes > 0) {
    result_.over_pulsed = {core_->ops.OverPulsedBytes, core_->ops.FirstOverPulsed,
                           core_->link.Timing.pulse_limit};
  }
  if (auto* sim_port = dynamic_cast<sim::SimPort*>(backend_.port.get())) {
    CommandResult::SimReport report;
    for (const auto& [rule, r] : sim_port->Trace().Violations())
      report.violations[rule] = {r.count, r.first};
    report.damage = sim_port->Trace().DamageReport();
    result_.sim_report = std::move(report);
  }
  printer_.Print(result_, status);
}

int Session::ShutDown(int status) {
  // From here on the way out runs to its end: a late signal no longer throws
  // out of the board reset.
  AcknowledgeStop();
  if (int sig = StopRequested()) {
    status = 128 + sig;
    if (echo_) echo_->Finish();
    result_.message =
        "interrupted by signal " + std::to_string(sig) +
        ": the operation was stopped, the board reset; the chip may be partly written";
    std::fprintf(err_, "zambrix-cli: %s\n", result_.message.c_str());
  }
  if (!core_) return status;
  core_->shell.Form_Unload();
  // A chip the simulated board saw destroyed fails the run, whatever the program reported.
  if (status == kOk && !DamageReport().empty())
    status = Fail(kOperationFailed, "the simulated chip was destroyed: " + DamageReport());
  if (!o_.log_file.empty() && !core_->report.SaveLogTo(o_.log_file) && status == kOk) {
    status = Fail(kFileError, "cannot write the log to " + o_.log_file);
  }
  echo_->Finish();
  if (!backend_.at_exit) return status;
  if (const std::string error = backend_.at_exit(); !error.empty()) {
    std::fprintf(err_, "zambrix-cli: %s\n", error.c_str());
    if (status == kOk) status = kFileError;
  }
  return status;
}

int Session::Run() {
  result_.command = o_.command;
  if (int s = CheckFileClashes()) return Finish(s);
  int status = kOk;
  try {
    status = StartUp();
    if (status == kOk) status = RunCommand();
  } catch (const OperationStopped&) {
    status =
        kOperationFailed;  // stopped outside an operation (the board search): said on the way out
  } catch (const std::exception& e) {
    status = Fail(kOperationFailed, e.what());
  }
  return Finish(status);
}

int Session::RunCommand() {
  int status = kOk;
  const auto& c = o_.command;
  if (c == "list")
    status = List();
  else if (c == "detect")
    status = Detect();
  else if (c == "read")
    status = Read();
  else if (c == "blank")
    status = Blank();
  else if (c == "view")
    status = View();
  else if (c == "setup")
    status = Setup();
  else if (c == "program")
    status = Write(ProgramCommand);
  else if (c == "verify")
    status = Write(VerifyCommand);
  else if (c == "check")
    status = Write(CheckCommand);
  else if (c == "erase")
    status = Write(EraseCommand);
  else if (c == "id")
    status = Id();
  else
    status = Fail(kUsage, "unknown command '" + c + "' (see --help)");
  return status;
}

}  // namespace

namespace {

// The JSON object of a run that ends before (or outside) a session.
int Answer(bool json, std::FILE* out, const std::string& command, int status,
           const std::string& message, const std::string& text = {}) {
  ResultPrinter printer(json, out);
  CommandResult result;
  result.command = command;
  result.message = message;
  std::fputs(text.c_str(), printer.Text());
  printer.Print(result, status);
  return status;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  Options o;
  try {
    o = Parse(args);
  } catch (const UsageError& e) {
    std::fprintf(err, "zambrix-cli: %s\n%s", e.what(), kUsageText);
    return Answer(std::find(args.begin(), args.end(), "--json") != args.end(), out, {}, kUsage,
                  e.what());
  }
  if (o.help) return Answer(o.json, out, {}, kOk, "help", kUsageText + BackEndHelp());
  if (o.version)
    return Answer(o.json, out, {}, kOk, "version", "zambrix-cli " ZAMBRIX_VERSION "\n");
  if (o.command.empty()) {
    std::fprintf(err, "zambrix-cli: no command given\n%s", kUsageText);
    return Answer(o.json, out, {}, kUsage, "no command given");
  }
  if (o.command == "doctor") {
    ResultPrinter printer(o.json, out);
    CommandResult result;
    result.command = o.command;
    const int status = Doctor(printer.Text());
    result.message = status == kOk ? "a usable port exists" : "no usable port (see the findings)";
    printer.Print(result, status);
    return status;
  }
  try {
    Session session(o, out, err);
    return session.Run();
  } catch (const std::exception& e) {
    std::fprintf(err, "zambrix-cli: %s\n", e.what());
    return Answer(o.json, out, o.command, kOperationFailed, e.what());
  }
}

}  // namespace zambrix::cli
