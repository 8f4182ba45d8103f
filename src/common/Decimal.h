#pragma once
// Decimal digits of binary doubles, worked out exactly with the program's own small arithmetic
// rather than the standard library's conversions, whose tables for every floating type would
// otherwise be half of the Windows program.
#include <string>

namespace tg {

// The fewest significant digits that read back as `value` (finite, above 0) and where the point
// goes: value reads as 0.DIGITS x 10^point. Of equally short digit strings it is the nearest to
// the value, a tie going to the even last digit.
struct DecimalDigits {
    std::string digits;
    int point = 0;
};
DecimalDigits ShortestDigits(double value);

// Every digit of a whole value (1 or more), as fixed notation writes a large one: 2^70 is
// 1180591620717411303424, where its shortest digits would end in zeros.
std::string WholeDigits(double value);

}  // namespace tg
