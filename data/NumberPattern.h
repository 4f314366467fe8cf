#pragma once
// Number patterns: the masks of report totals and the display formats of numeric fields
// ("#,#0.00", "#0 %", "R #,00#0.00"). Separators come from the regional settings in force.
//
//   0      a digit that always prints          #   a digit that prints only where the value has one
//   .      the decimal point (regional decimal separator)
//   ,      anywhere: group the integer digits by three with the regional thousands separator
//   '..' or ".."  copied without the quotes   ;   separates the positive, negative and zero forms
//   E+ E- e+ e-   scientific notation, followed by the exponent's "0" digits
//   anything else is copied where it stands.
// The minimum number of integer digits is counted from the first "0" before the point. Values
// are rounded half away from zero on their decimal expansion to 18 significant digits. A
// negative value prints a leading minus before everything else (unless a negative form is
// given); a value that rounds to zero prints without a minus. An empty mask prints the value in
// its shortest general form with up to 15 significant digits.
#include <QString>
#include <cstdint>

namespace zz {

QString formatNumberPattern(const QString& mask, double value);
QString formatNumberPattern(const QString& mask, std::int64_t value);
inline QString formatNumberPattern(const QString& mask, int value)
{
    return formatNumberPattern(mask, static_cast<std::int64_t>(value));
}

// A text as a literal of the pattern language: copied as it stands, whatever characters it holds
// (a currency symbol "kr." or "S/." put before " #,#0.00" must not become part of the number's
// format). Runs without a double quote go between double quotes, double quotes between single.
QString patternLiteral(const QString& text);

// The shortest general form of a value with up to 15 significant digits ("0.1", "1E20").
QString formatGeneralNumber(double value);
// The value whole, in the same layout with the regional decimal separator: the fewest
// significant digits that read back to the very same double ("10000.25", "0.30000000000000004",
// "1E300"). Edit texts use it, so that a value opened for editing and left is not changed.
QString formatShortestNumber(double value);

} // namespace zz
