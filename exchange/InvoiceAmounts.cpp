#include "exchange/InvoiceAmounts.h"

#include <charconv>
#include <string_view>

#include "data/NumberPattern.h"
#include "data/Regional.h"

namespace zz::exchange {

void InvoiceSums::addLine(int units, double discountPrice, double vatPercent)
{
    // As the statement gives it: Line_Discount_Price * Line_Units.
    const double total = discountPrice * units;
    const double vat = total * (vatPercent / 100);
    m_net += total;
    m_vat += vat;
    m_total += total + vat;
    ++m_lines;
}

namespace {
// The number patterns write the regional decimal separator; files carry a point.
QString withPoint(QString text)
{
    const QChar dec = regional().decimalSeparator;
    if (dec != QLatin1Char('.'))
        text.replace(dec, QLatin1Char('.'));
    return text;
}
} // namespace

QString centsText(double amount) { return withPoint(formatNumberPattern(QStringLiteral("0.00"), amount)); }

QString exactText(double amount)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        return withPoint(formatNumberPattern(QStringLiteral("0.00####"), amount));
    std::string_view text(buffer, size_t(result.ptr - buffer));
    // Trailing zeros go, down to two decimals.
    const size_t point = text.find('.');
    while (text.size() > point + 3 && text.back() == '0')
        text.remove_suffix(1);
    QString out = QString::fromLatin1(text.data(), qsizetype(text.size()));
    if (out == QLatin1String("-0.00"))
        out = QStringLiteral("0.00");
    return out;
}

QString moneyText(Money amount)
{
    const std::int64_t count = amount.count();
    const bool negative = count < 0;
    // The magnitude without overflow for the most negative count.
    const std::uint64_t magnitude = negative ? std::uint64_t(-(count + 1)) + 1 : std::uint64_t(count);
    QString fraction = QStringLiteral("%1").arg(qulonglong(magnitude % 10000), 4, 10, QLatin1Char('0'));
    while (fraction.size() > 2 && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(qulonglong(magnitude / 10000))
        + QLatin1Char('.') + fraction;
}

QString numberText(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

} // namespace zz::exchange
