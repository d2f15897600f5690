// The stored window placement: four texts from the settings store.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zambrix;
  fuzz::FuzzCore f;
  fuzz::ClearWorkFolder();
  const char* keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
  auto values = fuzz::Split(data, size, '\n', 4);
  for (std::size_t i = 0; i < values.size(); ++i)
    f.settings.Save("ZAMBRIX6", "Settings", keys[i], values[i]);
  f.core->shell.Form_Load();
  f.core->shell.Form_Unload();
  return 0;
}
