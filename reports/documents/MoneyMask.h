#pragma once
// The number masks of the documents' totals: the regional currency symbol, then the pattern.
#include <QString>

namespace zz::report {

// The invoice's and the statement's totals: the symbol, a blank, grouped digits, two decimals.
inline const QString kMoneyPattern = QStringLiteral(" #,#0.00");
// The revenue report's totals: at least four integer digits, padded with grouped zeros
// (850 prints as 0,850.00).
inline const QString kRevenueMoneyPattern = QStringLiteral(" #,00#0.00");

// The regional currency symbol followed by the pattern. The symbol goes in as a quoted literal,
// so that one holding pattern characters ("kr.", "S/.") prints as itself and leaves the number's
// format alone.
QString moneyMask(const QString& pattern);

} // namespace zz::report
