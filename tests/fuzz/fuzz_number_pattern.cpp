// Number patterns: any mask with any double and whole number, under two regional settings.
#include "data/NumberPattern.h"
#include "data/Regional.h"
#include "tests/fuzz/FuzzInput.h"

using namespace zz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const auto settings = in.take<std::uint8_t>();
    const auto real = in.take<double>();
    const auto whole = in.take<std::int64_t>();
    const QString mask = in.restAsText();

    RegionalSettings r;
    if (settings & 1) {
        r.currencySymbol = QStringLiteral("€");
        r.currencyFormat = 3;
        r.decimalSeparator = QLatin1Char(',');
        r.thousandSeparator = QLatin1Char('.');
    }
    r.currencyDecimals = settings >> 5; // 0 to 7
    setRegional(r);

    formatNumberPattern(mask, real);
    formatNumberPattern(mask, whole);
    formatNumberPattern(mask, static_cast<int>(whole));
    formatShortestNumber(real);
    formatGeneralNumber(real);
    formatCurrency(real);
    parseWholeNumber(mask);
    return 0;
}
