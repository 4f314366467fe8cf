#include "data/Money.h"

#include <cfenv>
#include <cmath>

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

Money Money::fromDouble(double value)
{
    // The product is formed in double, as the stored value times 10000, then rounded.
    const double scaled = value * 10000.0;
    return fromCount(roundHalfEven(static_cast<long double>(scaled)));
}

Money discountedPrice(Money price, int discountPercent)
{
    const long double p = static_cast<long double>(price.count());
    const long double q = static_cast<long double>(discountPercent) / 100.0L;
    const long double qp = q * p;
    return Money::fromCount(roundHalfEven(p - qp));
}

} // namespace zz
