#pragma once
// The arithmetic of an e-invoice's amounts, exact on money counts (ten-thousandths): a line's net
// amount rounded to the cent, the VAT of a basis at a rate rounded to the cent, and amounts as the
// XML writes them ("50.97", "16.9915").
#include <QString>
#include <optional>

#include "data/Money.h"

namespace zz::einvoice {

// Rounds to whole cents, half away from zero (commercial rounding: 12.345 gives 12.35, -12.345
// gives -12.35), the rule the printout uses for every amount it prints.
Money roundToCent(Money amount);

// The net amount of a line: the unit price after discount times the units, exactly, rounded to
// the cent. Nothing when it lies beyond the money counts' range.
std::optional<Money> lineNetAmount(Money netPrice, qint64 units);

// A VAT rate as the books hold it (a double, 15 for 15 %) read as a decimal of at most four
// places, in ten-thousandths of a percent (15 -> 150000, 7.5 -> 75000); nothing for a value that
// is not a number or beyond a thousand percent.
std::optional<qint64> rateTenThousandths(double ratePercent);

// The VAT of a basis at a rate in ten-thousandths of a percent, exactly, rounded to the cent.
Money vatAmount(Money basis, qint64 rateTenThousandths);

// An amount with a point and at least minDecimals, at most maxDecimals decimals (trailing zeros
// beyond minDecimals dropped); the money count's own digits, never a binary fraction.
// (5097000, 2, 2) -> "509.70"; (169915, 2, 4) -> "16.9915"; (-30000, 2, 2) -> "-3.00".
QString decimalText(Money amount, int minDecimals = 2, int maxDecimals = 2);
// A rate in ten-thousandths of a percent with at least two decimals: "15.00", "7.50", "0.00".
QString rateText(qint64 rateTenThousandths);

} // namespace zz::einvoice
