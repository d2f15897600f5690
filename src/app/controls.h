// Declaration of every named control (see controls.cpp).
#pragma once

#include <string_view>

#include "base/control_names.h"
#include "base/window_model.h"

namespace zambrix {

constexpr std::string_view kMainCaptionPrefix = "ZAMBRIX-6 Eprom Programmer - MNX Research Inc. - ";

void DeclareControls(WindowModel& m);

}  // namespace zambrix
