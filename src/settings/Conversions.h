#pragma once
// How stored text becomes numbers. Each rule is one helper, used by every reader.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tg {

// The whole text as a decimal number: surrounding spaces, a sign, digits with an optional point,
// an optional exponent (E or D). nullopt for anything else, and for infinities.
std::optional<double> ParseNumber(std::string_view text);

// The numeric value of the text's leading number (after leading white space); 0 when it has none.
double LeadingNumber(std::string_view text);

// Decimal text that reads back as the same number ("11645", "-1", "0.5").
std::string NumberToText(double value);

}  // namespace tg
