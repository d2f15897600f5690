// A Core with its read tables built and a temporary folder for files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace zambrix::testing {

class BufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> serial{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("zambrix-buf-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(dir_);
    t->link.BuildReadTables();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    auto path = PathOf(name);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }

  // Opens a code (or data) file through the File menu, answering the dialog.
  void OpenCode(const std::string& path) {
    t.dialogs.open_files.push_back(path);
    t->Click("mnuFileOpenCode");
  }
  void OpenData(const std::string& path) {
    t.dialogs.open_files.push_back(path);
    t->Click("mnuFileOpenData");
  }

  TestCore t;
  std::filesystem::path dir_;
};

}  // namespace zambrix::testing
