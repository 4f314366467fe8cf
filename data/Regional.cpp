#include "data/Regional.h"

#include "data/NumberPattern.h"

#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <optional>

namespace zz {

namespace {
std::optional<RegionalSettings>& current()
{
    static std::optional<RegionalSettings> settings;
    return settings;
}

// The decimals of a currency's minor unit by its ISO 4217 code (the standard's list of minor
// units); the system's locale data names the currency but not its decimals. Two for every
// currency not listed.
int minorUnits(const QString& isoCode)
{
    static const struct { const char* code; int decimals; } exceptions[] = {
        {"BIF", 0}, {"CLP", 0}, {"DJF", 0}, {"GNF", 0}, {"ISK", 0}, {"JPY", 0}, {"KMF", 0}, {"KRW", 0},
        {"PYG", 0}, {"RWF", 0}, {"UGX", 0}, {"UYI", 0}, {"VND", 0}, {"VUV", 0}, {"XAF", 0}, {"XOF", 0},
        {"XPF", 0},
        {"BHD", 3}, {"IQD", 3}, {"JOD", 3}, {"KWD", 3}, {"LYD", 3}, {"OMR", 3}, {"TND", 3},
        {"CLF", 4}, {"UYW", 4},
    };
    for (const auto& e : exceptions)
        if (isoCode.compare(QLatin1String(e.code), Qt::CaseInsensitive) == 0)
            return e.decimals;
    return 2;
}

// Turns a two-digit year of a short date format into four digits so that dates read back unambiguously.
QString widenYear(QString format)
{
    if (!format.contains(QLatin1String("yyyy")) && format.contains(QLatin1String("yy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}
} // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale)
{
    RegionalSettings s;
    if (locale.language() == QLocale::C) {
        return s; // the defaults above: "$", ".", ",", M/d/yyyy
    }
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    if (!symbol.isEmpty())
        s.currencySymbol = symbol;
    const QString code = locale.currencySymbol(QLocale::CurrencyIsoCode);
    if (!code.isEmpty())
        s.currencyCode = code.toUpper();
    s.currencyDecimals = minorUnits(code);
    s.decimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().at(0);
    s.thousandSeparator = locale.groupSeparator().isEmpty() ? QLatin1Char(',') : locale.groupSeparator().at(0);
    // Where the symbol stands is read off the locale's own rendering of 1.
    const QString one = locale.toCurrencyString(1.0, s.currencySymbol);
    const int at = one.indexOf(s.currencySymbol);
    if (at >= 0) {
        const bool before = at == 0 || !one.left(at).contains(QRegularExpression(QStringLiteral("\\d")));
        bool spaced;
        if (before) {
            const int nextAt = at + s.currencySymbol.size();
            const QChar next = nextAt < one.size() ? one.at(nextAt) : QChar();
            spaced = next.isSpace();
            s.currencyFormat = spaced ? 2 : 0;
        } else {
            const QChar prev = at > 0 ? one.at(at - 1) : QChar();
            spaced = prev.isSpace();
            s.currencyFormat = spaced ? 3 : 1;
        }
    }
    s.shortDateFormat = widenYear(locale.dateFormat(QLocale::ShortFormat));
    s.longTimeFormat = locale.timeFormat(QLocale::LongFormat);
    // Long time formats of some locales carry a time zone; the program shows local times only.
    s.longTimeFormat.remove(QLatin1Char('t')).replace(QLatin1String("  "), QLatin1String(" "));
    s.longTimeFormat = s.longTimeFormat.trimmed();
    return s;
}

const RegionalSettings& regional()
{
    auto& s = current();
    if (!s)
        s = RegionalSettings::fromLocale(QLocale::system());
    return *s;
}

void setRegional(const RegionalSettings& settings) { current() = settings; }

void setRegionalLocale(const QLocale& locale) { current() = RegionalSettings::fromLocale(locale); }

QString formatFixedGrouped(long double value, int decimals)
{
    // The same digits as the number patterns: rounded half away from zero on the decimal
    // expansion, grouped by three, no minus on a value that rounds to zero.
    QString mask = QStringLiteral("#,##0");
    if (decimals > 0)
        mask += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return formatNumberPattern(mask, static_cast<double>(value));
}

static QString placeCurrencySymbol(QString number)
{
    const RegionalSettings& r = regional();
    const bool negative = number.startsWith(QLatin1Char('-'));
    if (negative)
        number.remove(0, 1);
    QString out;
    switch (r.currencyFormat) {
    case 1: out = number + r.currencySymbol; break;
    case 2: out = r.currencySymbol + QLatin1Char(' ') + number; break;
    case 3: out = number + QLatin1Char(' ') + r.currencySymbol; break;
    default: out = r.currencySymbol + number; break;
    }
    return negative ? QLatin1Char('-') + out : out;
}

QString formatCurrency(double value) { return placeCurrencySymbol(formatFixedGrouped(value, regional().currencyDecimals)); }

QString formatCurrency(Money value)
{
    // Rounded on the exact count, half away from zero: a stored 1.0050 shows as 1.01, although
    // the nearest double to it lies just below the half.
    const RegionalSettings& r = regional();
    const int decimals = qMax(0, r.currencyDecimals);
    const int cut = qMax(0, 4 - decimals); // digits of the count below the last shown decimal
    qint64 divisor = 1;
    for (int i = 0; i < cut; ++i)
        divisor *= 10;
    const qint64 count = value.count();
    const bool negative = count < 0;
    // The magnitude, unsigned so that the smallest count has one too.
    const quint64 magnitude = negative ? 0ULL - static_cast<quint64>(count) : static_cast<quint64>(count);
    quint64 shown = magnitude / divisor;
    if ((magnitude % divisor) * 2 >= static_cast<quint64>(divisor) && divisor > 1)
        ++shown;
    quint64 scale = 1;
    for (int i = 0; i < qMin(decimals, 4); ++i)
        scale *= 10;
    QString whole = QString::number(shown / scale);
    for (int at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, r.thousandSeparator);
    QString number = whole;
    if (decimals > 0) {
        QString fraction = QString::number(shown % scale).rightJustified(qMin(decimals, 4), QLatin1Char('0'));
        fraction += QString(decimals - fraction.size(), QLatin1Char('0'));
        number += r.decimalSeparator + fraction;
    }
    if (negative && shown != 0)
        number.prepend(QLatin1Char('-'));
    return placeCurrencySymbol(number);
}

std::optional<qint64> parseWholeNumber(const QString& text)
{
    const QString t = text.trimmed();
    const QString group = QRegularExpression::escape(QString(regional().thousandSeparator));
    const QRegularExpression whole(QStringLiteral("^[+-]?([0-9]+|[0-9]{1,3}(%1[0-9]{3})+)$").arg(group));
    if (!whole.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 n = QString(t).remove(regional().thousandSeparator).toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

QString formatShortDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    return date.toString(regional().shortDateFormat);
}

QDate parseShortDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const QString fmt = regional().shortDateFormat;
    QDate d = QDate::fromString(t, fmt);
    if (d.isValid())
        return d;
    // Single-digit days and months and two-digit years are accepted too.
    QString loose = fmt;
    loose.replace(QLatin1String("dd"), QLatin1String("d")).replace(QLatin1String("MM"), QLatin1String("M"));
    d = QDate::fromString(t, loose);
    if (d.isValid())
        return d;
    QString shortYear = loose;
    shortYear.replace(QLatin1String("yyyy"), QLatin1String("yy"));
    d = QDate::fromString(t, shortYear);
    if (d.isValid() && d.year() < 1950)
        d = d.addYears(100);
    if (d.isValid())
        return d;
    return QDate::fromString(t, Qt::ISODate);
}

QString formatLongTime(const QTime& time) { return time.toString(regional().longTimeFormat); }

} // namespace zz
