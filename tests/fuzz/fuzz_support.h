// A whole program core for fuzz targets: no board (writes ignored, reads FFh),
// virtual time, dialogs that answer yes and take their files from a queue, and
// a private temporary folder as the working folder.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/core.h"
#include "app/posix_platform.h"
#include "cli/cli_services.h"
#include "link/clock.h"
#include "link/port.h"

namespace zambrix::fuzz {

class NoBoard : public PortBackend {
 public:
  void PortOut(std::uint16_t, std::uint8_t) override {}
  std::uint8_t PortIn(std::uint16_t) override { return 0xFF; }
  bool IsSimulated() const override { return true; }
  std::string Describe() const override { return "no board (fuzzing)"; }
};

// One folder for the whole fuzzing process, entered once and emptied by each
// input that writes into it.
inline const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path dir = [] {
    auto d =
        std::filesystem::temp_directory_path() / ("zambrix-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    std::filesystem::current_path(d);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(
          std::filesystem::temp_directory_path() / ("zambrix-fuzz-" + std::to_string(::getpid())),
          ec);
    });
    return d;
  }();
  return dir;
}

inline void ClearWorkFolder() {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(WorkFolder(), ec)) {
    std::filesystem::remove_all(e.path(), ec);
  }
}

inline void WriteFile(const std::filesystem::path& p, const std::uint8_t* data, std::size_t size) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::FILE* DevNull() {
  static std::FILE* f = std::fopen("/dev/null", "w");
  return f;
}

struct FuzzCore {
  NoBoard port;
  VirtualClock clock{16};
  cli::CliDialogs dialogs{DevNull(), true};
  SilentSound sound;
  MemorySettings settings;
  PosixPlatform platform;
  std::unique_ptr<Core> core;

  FuzzCore() {
    WorkFolder();
    core = std::make_unique<Core>(Services{&port, &clock, &dialogs, &sound, &settings, &platform});
    core->shell.CreateWindow();
    core->setup.SettingsDir = WorkFolder().string();
  }
};

// Splits the input at a separator byte into at most `max_parts` texts.
inline std::vector<std::string> Split(const std::uint8_t* data, std::size_t size, char sep,
                                      std::size_t max_parts) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (static_cast<char>(data[i]) == sep && parts.size() < max_parts) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(data[i]);
    }
  }
  return parts;
}

}  // namespace zambrix::fuzz
