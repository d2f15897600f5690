// The start-up settings file: the port and board model of the last board
// announced, so that the next start can skip the port search.
//
// Where it lives: `SettingsDir` when one is given; otherwise the program folder,
// and where that folder cannot be written (an installed program), the per-user
// configuration folder ($XDG_CONFIG_HOME or ~/.config, then "zambrix"). The
// reader looks first in the first writable of these folders (where the writer
// puts the file), then in all of them in the same order, so a file left in a
// folder we can no longer write never hides the newer one.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <vector>

#include "app/core.h"
#include "app/file_io.h"
#include "app/text.h"

namespace zambrix {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPortKey = "IO_PORT = ";
constexpr std::string_view kModelKey = "MODEL = ";
// Characters of a line beyond this are ignored (a real line is 20 long).
constexpr std::size_t kMaxLine = 1024;
// A settings file longer than this is not read (a real one is about 60 bytes).
constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

std::optional<fs::path> UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return fs::path(xdg) / "zambrix";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return fs::path(home) / ".config" / "zambrix";
  return std::nullopt;
}

bool FolderWritable(const fs::path& dir) {
  std::error_code ec;
  return fs::is_directory(dir, ec) && ::access(dir.c_str(), W_OK) == 0;
}

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// Calls `take` with each line; lines end at CR LF, CR or LF.
void ForEachLine(std::istream& in, const std::function<void(std::string_view)>& take) {
  std::string line;
  bool pending = false;
  char ch = 0;
  bool after_cr = false;
  while (in.get(ch)) {
    if (ch == '\n' && after_cr) {
      after_cr = false;
      continue;
    }
    after_cr = ch == '\r';
    if (ch == '\r' || ch == '\n') {
      take(line);
      line.clear();
      pending = false;
      continue;
    }
    if (line.size() < kMaxLine) line.push_back(ch);
    pending = true;
  }
  if (pending) take(line);
}

std::string WithoutBlanks(std::string_view s) {
  std::string out;
  for (char ch : s) {
    if (ch != ' ' && ch != '\t') out.push_back(ch);
  }
  return out;
}

// The leading hexadecimal number of `s` (blanks skipped); 0 when there is none.
double LeadingHex(std::string_view text) {
  double v = 0;
  for (char ch : WithoutBlanks(text)) {
    int d = -1;
    if (ch >= '0' && ch <= '9') d = ch - '0';
    if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
    if (d < 0) break;
    v = v * 16 + d;
    if (v > 1e9) break;  // far outside 16 bits already
  }
  return v;
}

// The leading decimal number of `s` (blanks skipped; sign, fraction and
// exponent allowed); 0 when there is none.
double LeadingDecimal(std::string_view text) {
  const std::string s = WithoutBlanks(text);
  std::size_t i = 0;
  auto digits = [&s, &i] {
    std::size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - start;
  };
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < s.size() && s[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return 0;
  std::size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (digits() > 0) end = i;
  }
  std::string number = s.substr(0, end);
  for (char& ch : number) {
    if (ch == 'd' || ch == 'D') ch = 'E';
  }
  return std::strtod(number.c_str(), nullptr);
}

// The 16-bit integer nearest to `v` (halves to even); a value that does not
// fit reads as 0, like one that does not parse.
int Nearest16(double v) {
  if (!std::isfinite(v)) return 0;
  const double r = std::nearbyint(v);
  if (r < -32768 || r > 32767) return 0;
  return static_cast<int>(r);
}

std::string FileText(const Platform::DateTime& t, int port, int model) {
  char date[96];
  std::snprintf(date, sizeof date, "%02d-%02d-%04d %02d:%02d:%02d", t.month, t.day, t.year, t.hour,
                t.minute, t.second);
  std::string out;
  out += "[ZAMBRIX6 SETUP]";
  out += kLineBreak;
  out += "DATE = " + std::string(date);
  out += kLineBreak;
  out += std::string(kPortKey) + HexText(port);
  out += kLineBreak;
  out += std::string(kModelKey) + PrintedNumber(model);
  out += kLineBreak;
  return out;
}

}  // namespace

std::string Setups::StartupSettingsFileName() const {
  return core_.svc.port != nullptr && core_.svc.port->IsSimulated() ? "zambrix6-sim.ini"
                                                                    : "zambrix6.ini";
}

namespace {

// The folders that may hold the file, in the order they are tried.
std::vector<fs::path> SettingsFolders(const std::string& settings_dir, Platform& platform) {
  if (!settings_dir.empty()) return {fs::path(settings_dir)};
  fs::path program(platform.ProgramFolder());
  std::error_code ec;
  // A program folder that does not exist (a test's made-up folder; a real run
  // always has one) holds no file and takes none, and nothing is reported.
  if (!fs::is_directory(program, ec)) return {};
  std::vector<fs::path> dirs{program};
  if (auto user = UserConfigFolder()) dirs.push_back(*user);
  return dirs;
}

}  // namespace

void Setups::SaveStartupSettings() {
  const auto& link = core_.link;
  const std::string text = FileText(core_.svc.platform->Now(), link.PortAddress, link.BoardModel);
  const std::string name = StartupSettingsFileName();
  const auto dirs = SettingsFolders(SettingsDir, *core_.svc.platform);
  if (dirs.empty()) return;
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    const bool program_folder = SettingsDir.empty() && i == 0;
    std::error_code ec;
    if (!program_folder) fs::create_directories(dirs[i], ec);
    if (!FolderWritable(dirs[i])) continue;
    if (WriteFileAtomically((dirs[i] / name).string(), text)) return;
  }
  std::string where = (dirs.front() / name).string();
  if (dirs.size() > 1) where += " nor " + (dirs.back() / name).string();
  core_.report.LogMessage("Could not write the start-up settings file " + where);
}

void Setups::LoadStartupSettings() {
  auto& link = core_.link;
  link.PortAddress = 0;
  StartupKeysSeen.clear();

  const std::string name = StartupSettingsFileName();
  const auto dirs = SettingsFolders(SettingsDir, *core_.svc.platform);
  std::optional<fs::path> path;
  for (const auto& dir : dirs) {
    if (!FolderWritable(dir)) continue;
    if (IsFile(dir / name)) path = dir / name;
    break;
  }
  for (std::size_t i = 0; !path && i < dirs.size(); ++i) {
    if (IsFile(dirs[i] / name)) path = dirs[i] / name;
  }
  if (!path) return;

  const InputFile file = ReadInputFile(path->string(), kMaxFileSize);
  if (!file.ok()) {
    core_.report.LogMessage("Could not read the start-up settings file " + path->string() + " - " +
                            file.error);
    return;
  }
  std::istringstream in(std::string(file.bytes.begin(), file.bytes.end()));
  ForEachLine(in, [this, &link](std::string_view line) {
    if (line.substr(0, kPortKey.size()) == kPortKey) {
      link.PortAddress = Nearest16(LeadingHex(line.substr(kPortKey.size())));
      StartupKeysSeen += "PORT";
    } else if (line.substr(0, kModelKey.size()) == kModelKey) {
      const int model = Nearest16(LeadingDecimal(line.substr(kModelKey.size())));
      // A number that names no board model is no board.
      link.BoardModel = model == 4 || model == 5 || model == 6 ? model : 0;
      StartupKeysSeen += "MODEL";
    }
  });
  link.StatusPort = link.PortAddress + 1;
  link.ControlPort = link.PortAddress + 2;

  if (!RememberedBoardAnswers()) {
    // Start-up then searches every port, as on a first start.
    link.PortAddress = 0;
    link.BoardModel = 0;
    link.StatusPort = 1;
    link.ControlPort = 2;
    return;
  }
  link.FoundPortAddress = link.PortAddress;
  link.AnnounceBoard();
}

// The remembered port and model are used only when the board there answers
// its own probe as that model; otherwise one line says why they are not.
bool Setups::RememberedBoardAnswers() {
  auto& link = core_.link;
  const std::string searching = ": searching all LPT ports";
  const bool both = StartupKeysSeen == "MODELPORT" || StartupKeysSeen == "PORTMODEL";
  if (!both || !Link::IsLptPort(link.PortAddress) || link.BoardModel == 0) {
    core_.report.LogMessage("The start-up settings name no usable port and board model" + searching);
    return false;
  }
  const int answered = link.ProbeBoardModel();
  if (answered == link.BoardModel) return true;
  const std::string remembered =
      "ZAMBRIX-" + std::to_string(link.BoardModel) + " remembered at Port " + HexText(link.PortAddress);
  if (answered == 0) {
    core_.report.LogMessage(remembered + " does not answer" + searching);
  } else {
    core_.report.LogMessage(remembered + " answers as ZAMBRIX-" + std::to_string(answered) + searching);
  }
  return false;
}

}  // namespace zambrix
