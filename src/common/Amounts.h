#pragma once
// Rates and amounts scaled to three significant figures, and amounts of bytes as text. Kept below
// every window, since the main window's read-outs and the usage dialog show the same amounts.
#include <cstdint>
#include <string>

namespace tg {

enum class DisplayUnit : std::uint8_t {
    Kilobits = 0,  // 千比特 (kb): whole kilobits, "30400kb"
    Bits = 1,      // 比特 (kb/Mb/Gb): "954kb", "30.4Mb", "1.20Gb"
    Bytes = 2,     // 字节 (KB/MB/GB), 1 KB = 1000 bytes: "3.80MB"
};

// An amount (bytes, in total) in the unit's family: bits for the bit units, bytes for the byte unit,
// scaled alike: "1.23 GB", "9.84 Gb". The space keeps it apart from the rates' "/s"-less look.
std::string AmountText(DisplayUnit unit, std::uint64_t bytes);

// value / per, scaled by 1000s to k, M, G or T and cut to three significant figures, rounded to
// nearest with halves to even: the number and its prefix letter (30,434,000 -> "30.4" 'M').
struct Scaled {
    std::string number;
    char prefix;  // 'k', 'M', 'G', 'T'
};
Scaled ScaleToThreeFigures(std::uint64_t value, std::uint64_t per = 1);

}  // namespace tg
