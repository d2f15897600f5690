// The start-up settings file, as any text the operator or a broken disk leaves.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zambrix;
  fuzz::FuzzCore f;
  fuzz::ClearWorkFolder();
  fuzz::WriteFile(fuzz::WorkFolder() / f.core->setup.StartupSettingsFileName(), data, size);
  f.core->shell.Form_Load();
  f.core->shell.Form_Unload();
  return 0;
}
