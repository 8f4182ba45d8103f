#pragma once
// The colour dialog in one call.
#include <cstdint>
#include <string>

#include "ports/OptionsPorts.h"

namespace tg {

// Opens the colour dialog at black with sixteen black custom colours, made afresh for each call.
// The chosen colour as decimal text ("0" for black), or the empty text on cancel or failure.
std::string PickColor(ColourDialog& dialog, std::uintptr_t owner);

}  // namespace tg
