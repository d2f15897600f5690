// A setup file as the operator's editor or a broken disk leaves it: the setup
// menu shows its name, a restore applies it line by line (its code file too),
// and a save writes the restored state back and restores it again.
#include "fuzz_support.h"
#include "setup/setup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zambrix;
  fuzz::FuzzCore f;
  fuzz::ClearWorkFolder();
  const auto folder = std::filesystem::absolute(fuzz::WorkFolder());
  f.core->setup.SettingsDir = folder.string();
  // A code file the setup may name, by its full path or relative to the working folder.
  static const std::uint8_t kCode[] = {0x02, 0x00, 0x03, 0x75, 0x81, 0x5F, 0x80, 0xFE};
  fuzz::WriteFile(folder / "code.bin", kCode, sizeof kCode);
  fuzz::WriteFile(folder / SetupFileName(1), data, size);
  f.core->shell.Form_Load();
  f.core->setup.Setup_Click();
  f.core->setup.LoadSetup_Click(1);
  f.dialogs.input_answers.emplace_back(reinterpret_cast<const char*>(data),
                                       std::min<std::size_t>(size, 80));
  f.core->setup.SaveSetup_Click(2);
  f.core->setup.LoadSetup_Click(2);
  f.core->shell.Form_Unload();
  return 0;
}
