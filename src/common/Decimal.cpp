#include "common/Decimal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tg {
namespace {

// A whole number of any size, 32 bits a limb, the least significant first, with no zero limb on
// top (zero has no limbs). Only what the digit loops need.
class BigNumber {
 public:
    explicit BigNumber(std::uint64_t value) {
        for (; value != 0; value >>= 32) m_limbs.push_back(static_cast<std::uint32_t>(value));
    }

    bool IsZero() const noexcept { return m_limbs.empty(); }

    void Multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : m_limbs) {
            carry += std::uint64_t{limb} * factor;
            limb = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        if (carry != 0) m_limbs.push_back(static_cast<std::uint32_t>(carry));
    }

    void MultiplyByPowerOf10(int exponent) {
        for (; exponent >= 9; exponent -= 9) Multiply(1'000'000'000);
        for (; exponent > 0; --exponent) Multiply(10);
    }

    void ShiftLeft(int bits) {
        if (IsZero()) return;
        m_limbs.insert(m_limbs.begin(), static_cast<std::size_t>(bits / 32), 0);
        const int rest = bits % 32;
        if (rest == 0) return;
        std::uint32_t carry = 0;
        for (std::uint32_t& limb : m_limbs) {
            const std::uint32_t out = limb >> (32 - rest);
            limb = (limb << rest) | carry;
            carry = out;
        }
        if (carry != 0) m_limbs.push_back(carry);
    }

    void Add(const BigNumber& other) {
        m_limbs.resize(std::max(m_limbs.size(), other.m_limbs.size()), 0);
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            carry += std::uint64_t{m_limbs[i]} + (i < other.m_limbs.size() ? other.m_limbs[i] : 0);
            m_limbs[i] = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        if (carry != 0) m_limbs.push_back(static_cast<std::uint32_t>(carry));
    }

    // Takes away `other`, which is not more than this number.
    void Subtract(const BigNumber& other) {
        std::uint64_t borrow = 0;
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            const std::uint64_t take = (i < other.m_limbs.size() ? other.m_limbs[i] : 0) + borrow;
            borrow = m_limbs[i] < take ? 1 : 0;
            m_limbs[i] = static_cast<std::uint32_t>(m_limbs[i] - take);  // modulo 2^32, the borrow taken above
        }
        Trim();
    }

    // Divides by `divisor` (not 0); the remainder.
    std::uint32_t Divide(std::uint32_t divisor) {
        std::uint64_t rest = 0;
        for (std::size_t i = m_limbs.size(); i-- > 0;) {
            rest = (rest << 32) | m_limbs[i];
            m_limbs[i] = static_cast<std::uint32_t>(rest / divisor);
            rest %= divisor;
        }
        Trim();
        return static_cast<std::uint32_t>(rest);
    }

    friend int Compare(const BigNumber& a, const BigNumber& b) {
        if (a.m_limbs.size() != b.m_limbs.size()) return a.m_limbs.size() < b.m_limbs.size() ? -1 : 1;
        for (std::size_t i = a.m_limbs.size(); i-- > 0;) {
            if (a.m_limbs[i] != b.m_limbs[i]) return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
        }
        return 0;
    }

 private:
    void Trim() {
        while (!m_limbs.empty() && m_limbs.back() == 0) m_limbs.pop_back();
    }

    std::vector<std::uint32_t> m_limbs;
};

// A double as significand x 2^exponent, both whole.
struct Binary {
    std::uint64_t significand;
    int exponent;
    bool atPowerOfTwo;  // the double below is half as far away as the one above
};

Binary Split(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, -1074, false};
    // The least normal double has the greatest subnormal below it, as far away as the next above.
    return {fraction | (std::uint64_t{1} << 52), biased - 1075, fraction == 0 && biased > 1};
}

// The value and the midpoints to its neighbours over one denominator: value = r/s, midpoints at
// (r - below)/s and (r + above)/s. A decimal on a midpoint reads back as the value when its
// significand is even, as reading rounds halves to even.
struct Interval {
    BigNumber r, s, below, above;
    bool midpointsReadBack;

    // Whether times x (r + above) lies at or past `limit`: a digit string that far up no longer
    // reads back.
    bool HighReaches(const BigNumber& limit, std::uint32_t times = 1) const {
        BigNumber high = r;
        high.Add(above);
        high.Multiply(times);
        const int c = Compare(high, limit);
        return c > 0 || (c == 0 && midpointsReadBack);
    }
    void MultiplyAll(std::uint32_t factor) {
        r.Multiply(factor);
        below.Multiply(factor);
        above.Multiply(factor);
    }
};

// Four times the value's significand, so that the quarter-step midpoint at a power of two is whole.
Interval MakeInterval(double value) {
    const Binary b = Split(value);
    Interval n{BigNumber(b.significand * 4), BigNumber(4), BigNumber(b.atPowerOfTwo ? 1 : 2), BigNumber(2),
               b.significand % 2 == 0};
    if (b.exponent >= 0) {
        n.r.ShiftLeft(b.exponent);
        n.below.ShiftLeft(b.exponent);
        n.above.ShiftLeft(b.exponent);
    } else {
        n.s.ShiftLeft(-b.exponent);
    }
    return n;
}

// Scales the interval so that its high midpoint lies in [0.1, 1) (its ends as they read back);
// the power of ten taken out, which is where the decimal point goes.
int ScaleBelowOne(Interval& n, double value) {
    // The logarithm is only a first guess; the exact comparisons settle it.
    int point = static_cast<int>(std::ceil(std::log10(value)));
    if (point >= 0) {
        n.s.MultiplyByPowerOf10(point);
    } else {
        n.r.MultiplyByPowerOf10(-point);
        n.below.MultiplyByPowerOf10(-point);
        n.above.MultiplyByPowerOf10(-point);
    }
    for (;;) {
        if (n.HighReaches(n.s)) {
            n.s.Multiply(10);
            ++point;
        } else if (!n.HighReaches(n.s, 10)) {
            n.MultiplyAll(10);
            --point;
        } else {
            return point;
        }
    }
}

}  // namespace

DecimalDigits ShortestDigits(double value) {
    Interval n = MakeInterval(value);
    DecimalDigits out;
    out.point = ScaleBelowOne(n, value);
    for (;;) {
        n.MultiplyAll(10);
        int digit = 0;
        for (; Compare(n.r, n.s) >= 0; ++digit) n.r.Subtract(n.s);
        const int low = Compare(n.r, n.below);
        const bool downReadsBack = low < 0 || (low == 0 && n.midpointsReadBack);
        const bool upReadsBack = n.HighReaches(n.s);
        if (downReadsBack && upReadsBack) {
            BigNumber twice = n.r;
            twice.ShiftLeft(1);
            const int c = Compare(twice, n.s);
            if (c > 0 || (c == 0 && digit % 2 == 1)) ++digit;
        } else if (upReadsBack) {
            ++digit;
        }
        out.digits += static_cast<char>('0' + digit);
        if (downReadsBack || upReadsBack) return out;
    }
}

std::string WholeDigits(double value) {
    const Binary b = Split(value);
    // A whole value of 1 or more has no bits below the point: the shift right drops only zeros.
    BigNumber whole(b.exponent >= 0 ? b.significand : b.exponent > -64 ? b.significand >> -b.exponent : 0);
    if (b.exponent > 0) whole.ShiftLeft(b.exponent);
    std::string digits;
    do {
        digits += static_cast<char>('0' + whole.Divide(10));
    } while (!whole.IsZero());
    std::reverse(digits.begin(), digits.end());
    return digits;
}

}  // namespace tg
