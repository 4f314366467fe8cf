#include "data/Money.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace zz {

std::int64_t roundHalfEven(long double value)
{
    // nearbyint follows the current rounding mode, which is round-to-nearest-even unless changed.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double r = std::nearbyintl(value);
    std::fesetround(saved);
    return static_cast<std::int64_t>(r);
}

std::optional<Money> Money::fromDoubleChecked(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == 0.0)
        return Money();
    // value = m * 2^e with m a whole number of at most 53 bits; the product m * 10000 needs at
    // most 67 bits, so it is formed exactly in 128 bits and only the final shift rounds.
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent); // in [0.5, 1)
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int e = exponent - 53;
    using u128 = unsigned __int128;
    const u128 product = u128(mantissa) * 10000u;
    constexpr u128 limit = u128(std::numeric_limits<std::int64_t>::max());
    u128 count;
    if (e >= 0) {
        if (e >= 64 || (product << e) >> e != product || (product << e) > limit)
            return std::nullopt;
        count = product << e;
    } else if (-e >= 100) {
        count = 0; // far below half a count
    } else {
        const int s = -e;
        count = product >> s;
        const u128 rest = product & ((u128(1) << s) - 1);
        const u128 half = u128(1) << (s - 1);
        if (rest > half || (rest == half && (count & 1)))
            ++count;
        if (count > limit)
            return std::nullopt;
    }
    const auto magnitude = static_cast<std::int64_t>(count);
    return fromCount(value < 0 ? -magnitude : magnitude);
}

Money Money::fromDouble(double value)
{
    if (const std::optional<Money> m = fromDoubleChecked(value))
        return *m;
    if (std::isnan(value))
        return Money();
    return fromCount(value < 0 ? -std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::max());
}

Money discountedPrice(Money price, int discountPercent)
{
    const long double p = static_cast<long double>(price.count());
    const long double q = static_cast<long double>(discountPercent) / 100.0L;
    const long double qp = q * p;
    return Money::fromCount(roundHalfEven(p - qp));
}

} // namespace zz
