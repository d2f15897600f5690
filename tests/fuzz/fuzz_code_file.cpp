// Code and data files as the File menu opens them; the first byte chooses which
// buffer and which format (by the file's name).
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zambrix;
  if (size == 0) return 0;
  fuzz::FuzzCore f;
  fuzz::ClearWorkFolder();
  const bool code = (data[0] & 1) == 0;
  // The name chooses the format: raw binary, Intel HEX or S-records.
  static const char* const kNames[] = {"image.bin", "image.hex", "image.s19", "image.bin"};
  const std::string name = kNames[(data[0] >> 1) & 3];
  fuzz::WriteFile(fuzz::WorkFolder() / name, data + 1, size - 1);
  f.dialogs.open_answers.push_back((fuzz::WorkFolder() / name).string());
  f.core->Click(code ? "mnuFileOpenCode" : "mnuFileOpenData");
  return 0;
}
