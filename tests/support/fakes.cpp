#include "support/fakes.h"

namespace zambrix::testing {

namespace {
// The next scripted answer of an input or file dialog; cancelled when the script is out.
std::optional<std::string> Next(std::deque<std::optional<std::string>>& script) {
  if (script.empty()) return std::nullopt;
  auto v = script.front();
  script.pop_front();
  return v;
}
}  // namespace

MsgAnswer ScriptedDialogs::MessageBox(std::string_view text, MsgButtons buttons, MsgIcon icon,
                                      std::string_view title) {
  shown.push_back({"message", std::string(text), std::string(title), buttons, icon});
  if (!answers.empty()) {
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
  return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                            : MsgAnswer::Ok;
}

std::optional<std::string> ScriptedDialogs::InputBox(std::string_view prompt,
                                                     std::string_view title, std::string_view) {
  shown.push_back({"input", std::string(prompt), std::string(title)});
  return Next(inputs);
}

std::optional<std::string> ScriptedDialogs::OpenFile(const FileDialogRequest& request) {
  shown.push_back({"open", request.title, request.title});
  file_requests.push_back(request);
  return Next(open_files);
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogRequest& request) {
  shown.push_back({"save", request.title, request.title});
  file_requests.push_back(request);
  return Next(save_files);
}

TestCore::TestCore(PortBackend* port, Clock* clock) {
  Services s;
  s.port = port ? port : &recording;
  s.clock = clock ? clock : &virtual_clock;
  s.dialogs = &dialogs;
  s.sound = &sound;
  s.settings = &settings;
  s.platform = &platform;
  core = std::make_unique<Core>(s);
  core->shell.CreateWindow();
}

std::vector<std::string> TestCore::LogLines() const {
  std::vector<std::string> out;
  const std::string& text = core->report.LogText();
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto next = text.find("\r\n", pos + 2);
    std::string entry =
        text.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
    if (entry.rfind("\r\n", 0) == 0) entry = entry.substr(2);
    auto mark = entry.find(">  ");
    out.push_back(mark == std::string::npos ? entry : entry.substr(mark + 3));
    if (next == std::string::npos) break;
    pos = next;
  }
  return out;
}

}  // namespace zambrix::testing
