// The start-up settings file: the port and board model of the last board
// announced, so that the next start can skip the port search. It lives in the
// settings folder (setup/settings_folder.h).
#include <cstdio>
#include <sstream>

#include "base/control_names.h"
#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/boards.h"
#include "link/link.h"
#include "link/link_events.h"
#include "link/port.h"
#include "setup/ini_text.h"
#include "setup/settings_folder.h"
#include "setup/setups.h"

namespace zambrix {

namespace {

constexpr std::string_view kPortKey = "IO_PORT = ";
constexpr std::string_view kModelKey = "MODEL = ";
// Characters of a line beyond this are ignored (a real line is 20 long).
constexpr std::size_t kMaxLine = 1024;
// A settings file longer than this is not read (a real one is about 60 bytes).
constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

// The leading hexadecimal number of `s` (blanks skipped); 0 when there is none.
double LeadingHex(std::string_view text) {
  double v = 0;
  for (char ch : text) {
    if (ch == ' ' || ch == '\t') continue;
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

// The 16-bit integer nearest to `v` (halves to even); a value that does not
// fit reads as 0, like one that does not parse.
int Nearest16(double v) { return static_cast<int>(NearestInRange(v, -32768, 32767).value_or(0)); }

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
  return svc_.port != nullptr && svc_.port->IsSimulated() ? "zambrix6-sim.ini" : "zambrix6.ini";
}

void Setups::SaveStartupSettings() {
  const auto& link = link_;
  const std::string text = FileText(svc_.platform->Now(), link.PortAddress, link.BoardModel);
  const std::string name = StartupSettingsFileName();
  const SettingsFolder folder(SettingsDir, *svc_.platform);
  if (!folder.Usable() || folder.Write(name, text)) return;
  report_.LogMessage("Could not write the start-up settings file " + folder.Describe(name));
}

void Setups::LoadStartupSettings() {
  auto& link = link_;
  link.PortAddress = 0;
  StartupKeysSeen.clear();

  const auto path = SettingsFolder(SettingsDir, *svc_.platform).Find(StartupSettingsFileName());
  if (!path) return;

  const InputFile file = ReadInputFile(path->string(), kMaxFileSize);
  if (!file.ok()) {
    report_.LogMessage("Could not read the start-up settings file " + path->string() + " - " +
                       file.error);
    return;
  }
  std::istringstream in(std::string(file.bytes.begin(), file.bytes.end()));
  ForEachLine(in, kMaxLine, [this, &link](std::string_view line) {
    if (line.substr(0, kPortKey.size()) == kPortKey) {
      link.PortAddress = Nearest16(LeadingHex(line.substr(kPortKey.size())));
      StartupKeysSeen += "PORT";
    } else if (line.substr(0, kModelKey.size()) == kModelKey) {
      const int model = Nearest16(LeadingDecimal(line.substr(kModelKey.size())));
      // A number that names no board model is no board.
      link.BoardModel = BoardProfileOf(model) != nullptr ? model : 0;
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
  board_.BoardFound();
}

// The remembered port and model are used only when the board there answers
// its own probe as that model; otherwise one line says why they are not.
bool Setups::RememberedBoardAnswers() {
  auto& link = link_;
  const std::string searching = ": searching all LPT ports";
  const bool both = StartupKeysSeen == "MODELPORT" || StartupKeysSeen == "PORTMODEL";
  if (!both || !Link::IsLptPort(link.PortAddress) || link.BoardModel == 0) {
    report_.LogMessage("The start-up settings name no usable port and board model" + searching);
    return false;
  }
  const int answered = link.ProbeBoardModel();
  if (answered == link.BoardModel) return true;
  const std::string remembered = "ZAMBRIX-" + std::to_string(link.BoardModel) +
                                 " remembered at Port " + HexText(link.PortAddress);
  if (answered == 0) {
    report_.LogMessage(remembered + " does not answer" + searching);
  } else {
    report_.LogMessage(remembered + " answers as ZAMBRIX-" + std::to_string(answered) + searching);
  }
  return false;
}

}  // namespace zambrix
