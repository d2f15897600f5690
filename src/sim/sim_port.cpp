#include "sim/sim_port.h"

#include <cstdio>

namespace zambrix::sim {

namespace {
std::string HexName(std::uint32_t v) { return ChipBase::HexName(v); }
}  // namespace

SimPort::SimPort(const SimConfig& config, VirtualClock& clock)
    : config_(config),
      clock_(clock),
      board_(BoardSetup{config.model, config.access_ns, config.vpp_jumper, config.faults.stuck_low,
                        config.faults.stuck_high},
             trace_),
      connected_(!config.faults.no_board),
      vanish_at_(config.faults.vanish_after) {
  std::vector<std::uint8_t> contents = config.contents;
  if (config.chip != nullptr && contents.empty() && config.demo_image)
    contents = DemoImage(config.chip->size);
  InsertChip(config.chip, std::move(contents));
}

void SimPort::InsertChip(const ChipSpec* spec, std::vector<std::uint8_t> contents) {
  Socket& socket = board_.socket();
  socket.Insert(spec, std::move(contents), config_.seed);
  if (ChipBase* chip = socket.Chip()) {
    const auto& f = config_.faults;
    if (f.dead_byte) chip->SetDeadByte(*f.dead_byte % spec->size);
    if (f.dead_byte_random) {
      const auto a = static_cast<std::uint32_t>(Mix(config_.seed ^ 0xDEADull) % spec->size);
      chip->SetDeadByte(a);
      trace_.Event(clock_.NowNs(), EventKind::kFault,
                   "byte " + HexName(a) + " of the chip never takes a written value");
    }
    if (f.unerasable_byte) chip->SetUnerasableByte(*f.unerasable_byte % spec->size);
    if (f.slow_write_ns) chip->SetWriteCycle(f.slow_write_ns);
    if (auto* e = socket.As<Eprom>()) e->SetWeakCells(f.weak_cells);
    if (auto* e = socket.As<PageEeprom>()) e->SetProtected(config_.protect);
  }
  board_.Refresh(clock_.NowNs());
}

std::vector<std::uint8_t> SimPort::ChipImage() {
  constexpr std::uint64_t kLongestCycle = 100'000'000'000;  // a chip erase of the largest flash
  board_.socket().Advance(clock_.NowNs() + kLongestCycle);
  const ChipBase* chip = board_.socket().Chip();
  return chip ? chip->Memory() : std::vector<std::uint8_t>{};
}

void SimPort::StartVcd(std::unique_ptr<std::ostream> out) {
  const std::uint64_t now = clock_.NowNs();
  trace_.StartVcd(std::move(out), now, board_.Latches(), board_.socket().Pins(),
                  board_.DataLines(now));
}

void SimPort::SetEventSink(std::function<void(const std::string&)> sink) {
  if (!sink) {
    trace_.SetListener(nullptr);
    return;
  }
  trace_.SetListener([sink = std::move(sink)](const SimEvent& e) { sink(e.text); });
}

void SimPort::Finish() {
  if (trace_.VcdOn()) board_.TraceUntil(clock_.NowNs());
  trace_.FinishVcd(clock_.NowNs());
}

void SimPort::Vanish() {
  connected_ = false;
  trace_.Event(clock_.NowNs(), EventKind::kFault,
               "the board vanished after " + std::to_string(accesses_) + " port accesses");
}

std::string SimPort::Describe() const {
  std::string chip = "an empty socket";
  if (config_.chip != nullptr) {
    chip = std::string("a ") + std::string(config_.chip->name) + " in the socket";
    if (config_.demo_image && config_.contents.empty()) chip += " (demo image)";
    if (!config_.chip_file.empty()) chip += " (contents in " + config_.chip_file + ")";
  }
  std::string s = "simulated ZAMBRIX-" + std::to_string(config_.model) + " board at " +
                  HexName(config_.base) + " with " + chip;
  if (config_.faults.no_board)
    s = "simulated port " + HexName(config_.base) + " with no board on it";
  return s;
}

}  // namespace zambrix::sim
