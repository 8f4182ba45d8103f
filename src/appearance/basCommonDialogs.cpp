#include "appearance/basCommonDialogs.h"

namespace tg {

std::string PickColor(ColourDialog& dialog, std::uintptr_t owner) {
    ColourRequest request;
    request.owner = owner;
    request.rgbResult = 0;
    request.flags = ColourDialog::kRgbInit;
    if (!dialog.Choose(request)) return {};
    return std::to_string(static_cast<std::uint32_t>(request.rgbResult));
}

}  // namespace tg
