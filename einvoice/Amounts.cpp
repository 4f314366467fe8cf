#include "einvoice/Amounts.h"

#include <cmath>
#include <limits>

namespace zz::einvoice {

namespace {

// n / d rounded half away from zero, d > 0.
__int128 divideRounded(__int128 n, __int128 d)
{
    const __int128 q = n / d;
    const __int128 r = n % d;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    if (twice >= d)
        return n < 0 ? q - 1 : q + 1;
    return q;
}

constexpr qint64 kCent = 100; // counts per cent

bool fitsCounts(__int128 v)
{
    return v >= std::numeric_limits<qint64>::min() && v <= std::numeric_limits<qint64>::max();
}

} // namespace

Money roundToCent(Money amount)
{
    return Money::fromCount(static_cast<qint64>(divideRounded(amount.count(), kCent) * kCent));
}

std::optional<Money> lineNetAmount(Money netPrice, qint64 units)
{
    const __int128 exact = static_cast<__int128>(netPrice.count()) * units;
    const __int128 cents = divideRounded(exact, kCent);
    if (!fitsCounts(cents * kCent))
        return std::nullopt;
    return Money::fromCount(static_cast<qint64>(cents * kCent));
}

std::optional<qint64> rateTenThousandths(double ratePercent)
{
    if (!std::isfinite(ratePercent) || std::fabs(ratePercent) > 1000)
        return std::nullopt;
    // The stored double is the nearest binary value to what the user typed (15, 7.5, 16.25);
    // its nearest four-place decimal is that typed value.
    return static_cast<qint64>(std::llround(ratePercent * 10000.0L));
}

Money vatAmount(Money basis, qint64 rate)
{
    // basis (counts of 1/10000) x rate (1/10000 %) / 100 gives 1/10^10 units; a cent is 10^8 of them.
    const __int128 product = static_cast<__int128>(basis.count()) * rate;
    const __int128 cents = divideRounded(product, static_cast<__int128>(100000000));
    const __int128 counts = cents * kCent;
    if (!fitsCounts(counts))
        return Money::fromCount(counts < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max());
    return Money::fromCount(static_cast<qint64>(counts));
}

static QString fixedText(qint64 count, int scaleDigits, int minDecimals, int maxDecimals)
{
    // count is a number of 10^-scaleDigits units; cut to maxDecimals (the callers round first).
    const bool negative = count < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(count) : count;
    unsigned long long scale = 1;
    for (int i = 0; i < scaleDigits; ++i)
        scale *= 10;
    QString whole = QString::number(magnitude / scale);
    QString fraction = QString::number(magnitude % scale).rightJustified(scaleDigits, QLatin1Char('0'));
    fraction.truncate(maxDecimals);
    while (fraction.size() > minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString out = whole;
    if (!fraction.isEmpty())
        out += QLatin1Char('.') + fraction;
    const bool zero = magnitude == 0;
    return negative && !zero ? QLatin1Char('-') + out : out;
}

QString decimalText(Money amount, int minDecimals, int maxDecimals)
{
    return fixedText(amount.count(), 4, minDecimals, maxDecimals);
}

QString rateText(qint64 rate) { return fixedText(rate, 4, 2, 4); }

} // namespace zz::einvoice
