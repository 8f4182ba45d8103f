#pragma once
// The texts of rates in the unit the user chose. Whole kilobits is how the read-outs always were;
// the scaled units keep to three significant figures, so the text keeps its width from a trickle
// to a gigabit. Amounts are scaled alike, in common/Amounts.h.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Amounts.h"
#include "counters/CIpUpdate.h"

namespace tg {

// The stored `units`: "0", "1" or "2"; anything else is the default, whole kilobits.
DisplayUnit UnitFromText(std::string_view text) noexcept;

// A rate in the unit, with its unit's letters: whole kilobits shows the rate's own whole-kilobit
// figure, the scaled units its exact bits.
std::string RateText(DisplayUnit unit, const Rate& rate);

// The main window's three read-outs.
enum class Readout { Download, Upload, Maximum };

// A read-out's text: "D:" or "U:" before the rate, " Max" after the graph's maximum.
std::string ReadoutText(Readout readout, DisplayUnit unit, const Rate& rate);
// The rate of a download or upload read-out's text, without its "D:" or "U:".
std::string_view ReadoutRate(std::string_view readout) noexcept;

}  // namespace tg
