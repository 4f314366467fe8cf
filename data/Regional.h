#pragma once
// The regional settings of the system (currency, separators, date and time formats).
// Every amount and date the program shows or prints is formatted through this service.
#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

#include "data/Money.h"

namespace zz {

struct RegionalSettings {
    QString currencySymbol = QStringLiteral("$");
    // The currency's ISO 4217 code, as e-invoices name it ("EUR", "ZAR").
    QString currencyCode = QStringLiteral("USD");
    // Placement of the symbol for positive amounts: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    int currencyFormat = 0;
    // Negative amounts put a leading minus before the positive form ("-$1", "-1 $", ...).
    // Decimals of amounts in the currency format: those of the currency's minor unit.
    int currencyDecimals = 2;
    QChar decimalSeparator = QLatin1Char('.');
    QChar thousandSeparator = QLatin1Char(',');
    // Qt date/time format strings ("dd/MM/yyyy", "HH:mm:ss").
    QString shortDateFormat = QStringLiteral("M/d/yyyy");
    QString longTimeFormat = QStringLiteral("h:mm:ss AP");

    static RegionalSettings fromLocale(const QLocale& locale);
};

// The settings in force: taken from QLocale::system() on first use unless set explicitly.
const RegionalSettings& regional();
void setRegional(const RegionalSettings& settings);
// Convenience for tests: set the settings from a named locale ("en_GB", "de_DE").
void setRegionalLocale(const QLocale& locale);

// Formats a number with fixed decimals, the decimal separator and thousands grouping.
QString formatFixedGrouped(long double value, int decimals);
// An amount in the regional currency format, e.g. "$1,234.50" or "-$3.00".
QString formatCurrency(double value);
QString formatCurrency(Money value);
// Reads a whole number typed with an optional sign and, between groups of three digits, the
// regional thousands separator ("1,000", "-12"); nothing when the text is no such number.
std::optional<qint64> parseWholeNumber(const QString& text);
// A date in the regional short date format; an invalid date gives an empty text.
QString formatShortDate(const QDate& date);
// Reads a date typed in the short date format (also accepting a few common variants);
// an unreadable text gives an invalid QDate.
QDate parseShortDate(const QString& text);
QString formatLongTime(const QTime& time);

// The zero date of the date fields, 30 December 1899.
inline QDate zeroDate() { return QDate(1899, 12, 30); }

} // namespace zz
