#include "reports/documents/MoneyMask.h"

#include "data/NumberPattern.h"
#include "data/Regional.h"

namespace zz::report {

QString moneyMask(const QString& pattern) { return patternLiteral(regional().currencySymbol) + pattern; }

} // namespace zz::report
