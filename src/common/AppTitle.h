#pragma once
// The application's title: the caption of its windows and message boxes, its settings' name.
namespace tg {

inline constexpr const char* kAppTitle = "TideGauge";

}  // namespace tg
