#include "data/NumberFormat.h"

#include <cmath>

#include "data/Regional.h"

namespace zz {

// Interim formatter covering the display formats of the fields; the report engine's complete
// pattern formatter takes its place.
QString formatNumberPattern(const QString& pattern, double value)
{
    const RegionalSettings& r = regional();
    if (pattern.isEmpty()) {
        QString s = QString::number(value, 'g', 15);
        if (r.decimalSeparator != QLatin1Char('.'))
            s.replace(QLatin1Char('.'), r.decimalSeparator);
        return s;
    }
    const int point = pattern.indexOf(QLatin1Char('.'));
    int decimals = 0;
    if (point >= 0)
        for (int i = point + 1; i < pattern.size() && (pattern[i] == QLatin1Char('0') || pattern[i] == QLatin1Char('#')); ++i)
            ++decimals;
    QString number = formatFixedGrouped(value, decimals);
    if (!pattern.contains(QLatin1Char(',')))
        number.remove(r.thousandSeparator);
    // Copy the characters around the placeholders.
    int first = -1, last = -1;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0)
        return pattern;
    return pattern.left(first) + number + pattern.mid(last + 1);
}

} // namespace zz
