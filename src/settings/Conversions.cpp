#include "settings/Conversions.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/Decimal.h"
#include "common/Text.h"

namespace tg {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsSign(char c) { return c == '+' || c == '-'; }
bool IsExponentLetter(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// The digits from text[i] on, appended to `out`; the position after them.
std::size_t ScanDigits(std::string_view text, std::size_t i, std::string& out) {
    for (; i < text.size() && IsDigit(text[i]); ++i) out += text[i];
    return i;
}

// An exponent at text[i] (letter, optional sign, digits) appended to `normal` as from_chars reads
// it; the position after it, or i when no whole exponent starts there.
std::size_t ScanExponent(std::string_view text, std::size_t i, std::string& normal) {
    if (i >= text.size() || !IsExponentLetter(text[i])) return i;
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && IsSign(text[j])) {
        if (text[j] == '-') exponent += '-';
        ++j;
    }
    const std::size_t end = ScanDigits(text, j, exponent);
    if (end == j) return i;
    normal += exponent;
    return end;
}

// Length of the number at the start of `text` (sign, digits, point, exponent), 0 when there is none;
// `normal` gets it in the form from_chars reads (no '+', exponent letter 'e').
std::size_t ScanNumber(std::string_view text, std::string& normal) {
    normal.clear();
    std::size_t i = 0;
    if (!text.empty() && IsSign(text[0])) {
        if (text[0] == '-') normal += '-';
        i = 1;
    }
    const std::size_t whole = i;
    i = ScanDigits(text, i, normal);
    std::size_t digits = i - whole;
    if (i < text.size() && text[i] == '.') {
        normal += '.';
        const std::size_t fraction = i + 1;
        i = ScanDigits(text, fraction, normal);
        digits += i - fraction;
    }
    if (digits == 0) return 0;
    return ScanExponent(text, i, normal);
}

double Convert(const std::string& normal) {
    double value = 0;
    const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too small underflows to zero; too large has no finite value.
        const bool tiny = normal.find("e-") != std::string::npos;
        const bool negative = !normal.empty() && normal[0] == '-';
        if (tiny) return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

// "1234.5", "0.0012", "12300": the point inside, zeros in front, or every digit of a whole value.
std::string FixedNotation(const DecimalDigits& shortest, double magnitude) {
    const auto& [digits, point] = shortest;
    const auto count = static_cast<int>(digits.size());
    if (point <= 0) return "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    if (point >= count) return WholeDigits(magnitude);
    return digits.substr(0, static_cast<std::size_t>(point)) + '.' + digits.substr(static_cast<std::size_t>(point));
}

// "1.5e-07", "1e+22": one digit before the point, an exponent of two digits or more.
std::string ScientificNotation(const DecimalDigits& shortest) {
    const auto& [digits, point] = shortest;
    const int exponent = point - 1;
    return digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "") + 'e' + (exponent < 0 ? '-' : '+') +
           ZeroPadded(static_cast<unsigned>(exponent < 0 ? -exponent : exponent), 2);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    std::string normal;
    const std::size_t used = ScanNumber(text, normal);
    if (used == 0 || used != text.size()) return std::nullopt;
    const double value = Convert(normal);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

double LeadingNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    std::string normal;
    if (ScanNumber(text, normal) == 0) return 0;
    return Convert(normal);
}

std::string NumberToText(double value) {
    if (value == 0) return "0";
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isinf(value)) return sign + "inf";
    const DecimalDigits shortest = ShortestDigits(std::fabs(value));
    const std::string fixed = FixedNotation(shortest, std::fabs(value));
    const std::string scientific = ScientificNotation(shortest);
    return sign + (fixed.size() <= scientific.size() ? fixed : scientific);
}

}  // namespace tg
