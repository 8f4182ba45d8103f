#include "mainwindow/RateText.h"

#include <algorithm>

namespace tg {

DisplayUnit UnitFromText(std::string_view text) noexcept {
    if (text == "1") return DisplayUnit::Bits;
    if (text == "2") return DisplayUnit::Bytes;
    return DisplayUnit::Kilobits;
}

std::string RateText(DisplayUnit unit, const Rate& rate) {
    switch (unit) {
        case DisplayUnit::Kilobits: break;
        case DisplayUnit::Bits: {
            if (rate.bits == 0) return "0kb";
            const Scaled s = ScaleToThreeFigures(rate.bits);
            return s.number + s.prefix + 'b';
        }
        case DisplayUnit::Bytes: {
            if (rate.bits == 0) return "0KB";
            const Scaled s = ScaleToThreeFigures(rate.bits, 8);
            return s.number + static_cast<char>(s.prefix == 'k' ? 'K' : s.prefix) + 'B';
        }
    }
    return std::to_string(rate.kilobits) + "kb";
}

std::string ReadoutText(Readout readout, DisplayUnit unit, const Rate& rate) {
    switch (readout) {
        case Readout::Download: return "D:" + RateText(unit, rate);
        case Readout::Upload: return "U:" + RateText(unit, rate);
        case Readout::Maximum: break;
    }
    return RateText(unit, rate) + " Max";
}

std::string_view ReadoutRate(std::string_view readout) noexcept {
    constexpr std::size_t kPrefix = 2;  // "D:" or "U:"
    return readout.substr(std::min(kPrefix, readout.size()));
}

}  // namespace tg
