// A Core with its read tables built, a temporary folder for files, and the
// rows of the hex views.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace zambrix::testing {

// The rows of a view, without the line breaks in front of them.
inline std::vector<std::string> Rows(const std::string& text) {
  std::vector<std::string> rows;
  for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos;) {
    pos += 2;
    rows.push_back(text.substr(pos, text.find("\r\n", pos) - pos));
  }
  return rows;
}

class BufferTest : public ::testing::Test {
 protected:
  void SetUp() override { t->link.BuildReadTables(), t->buf.BuildPrintableChars(); }
  std::string PathOf(const std::string& name) const { return (dir / name).string(); }
  std::string File(const std::string& name, const std::string& bytes) const {
    WriteWholeFile(dir / name, bytes);
    return PathOf(name);
  }
  // Answers the open dialog of a File menu command with `path`.
  void Open(const char* menu, const std::string& path) {
    t.dialogs.open_files.push_back(path);
    t->Click(menu);
  }
  std::vector<std::string> ViewRows(const char* control = "BufferDisplay") {
    return Rows(t->ui.Text(control));
  }
  TestCore t;
  TempDir dir;
};

}  // namespace zambrix::testing
