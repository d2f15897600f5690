// Declaration of every named control (see controls.cpp).
#pragma once

#include <string_view>

#include "base/window_model.h"

namespace zambrix {

constexpr std::string_view kMainCaptionPrefix = "ZAMBRIX-6 Eprom Programmer - MNX Research Inc. - ";
// Speed slider: 0 (slowest) to 100 (fastest, all delay counts 2). At the default
// the EPROM program pulses come near their datasheet widths and EEPROM page
// bytes arrive within the byte-load limit (docs/timing.md).
constexpr int kSliderMin = 0;
constexpr int kSliderMax = 100;
constexpr int kSliderDefault = 50;

void DeclareControls(WindowModel& m);

}  // namespace zambrix
