#pragma once
// Money: a signed 64-bit count of ten-thousandths of the currency unit.
#include <cstdint>
#include <optional>

namespace zz {

class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromCount(std::int64_t count) { Money m; m.m_count = count; return m; }
    // The exact product of the value and 10000, rounded to the nearest count, ties to the even
    // count. A value beyond the counts' range (or not a number) gives no amount.
    static std::optional<Money> fromDoubleChecked(double value);
    // As fromDoubleChecked; a value beyond the range gives the largest count of its sign, and
    // one that is not a number gives zero.
    static Money fromDouble(double value);

    constexpr std::int64_t count() const { return m_count; }
    double toDouble() const { return static_cast<double>(m_count) / 10000.0; }

    constexpr Money operator+(Money o) const { return fromCount(m_count + o.m_count); }
    constexpr Money operator-(Money o) const { return fromCount(m_count - o.m_count); }
    constexpr Money operator-() const { return fromCount(-m_count); }
    constexpr bool operator==(Money o) const { return m_count == o.m_count; }
    constexpr bool operator!=(Money o) const { return m_count != o.m_count; }
    constexpr bool operator<(Money o) const { return m_count < o.m_count; }

private:
    std::int64_t m_count = 0;
};

// Rounds an extended-precision value to the nearest whole number, ties to even.
std::int64_t roundHalfEven(long double value);

// The unit price of an invoice line after a whole-percent discount: with P the price as a count,
// q = discount / 100 and P - q * P computed in extended precision, rounded ties to even.
Money discountedPrice(Money price, int discountPercent);

} // namespace zz
