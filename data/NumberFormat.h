#pragma once
// Number patterns ("#0 %", "#0.00%", " #,#0.00") with the regional separators.
#include <QString>

namespace zz {

// Formats a value by a number pattern; an empty pattern gives the general form (15 significant digits).
QString formatNumberPattern(const QString& pattern, double value);

} // namespace zz
