#pragma once
// What the usage dialog (流量统计) needs of the platform.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ports/Surface.h"

namespace tg {

// The main graph's bar colours (bgcolor3, bgcolor4), 0x00BBGGRR: the chart draws each day in them.
struct UsageColours {
    std::int32_t download = 255;
    std::int32_t upload = 65535;
};

// The chart's picture and its size in pixels.
struct ChartPicture {
    Surface& surface;
    std::int32_t width;
    std::int32_t height;
};

// The dialog's controls, as usage/UsageLayout.h describes them. Setting a control from code never
// runs a handler.
class UsageDialog {
 public:
    virtual ~UsageDialog() = default;
    virtual void CopyIconFromMainWindow() = 0;
    // The text of a read-out: the control at `control` in kUsageControls.
    virtual void SetText(std::size_t control, std::string_view text) = 0;
    virtual ChartPicture Chart() = 0;
    // The spin button at `control` in kUsageControls shows `value`; what the user typed into it and
    // did not commit is replaced.
    virtual void SetSpinValue(std::size_t control, int value) = 0;
    virtual int SpinValue(std::size_t control) const = 0;
    // Shows the dialog modally, with its refresh timer running; returns when the user closes it.
    virtual void ShowModal() = 0;
};

}  // namespace tg
