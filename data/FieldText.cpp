#include "data/FieldText.h"

#include <QDate>
#include <QDateTime>

#include "data/NumberPattern.h"
#include "data/Regional.h"

namespace zz {

namespace {
// Dates reach the rule as QDate from the cursors, and as a date-time or ISO text from other
// datasets.
QDate dateOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate();
    case QMetaType::QDateTime: return v.toDateTime().date();
    default: return QDate::fromString(v.toString().left(10), Qt::ISODate);
    }
}
} // namespace

QString fieldText(FieldType type, const QVariant& v, const QString& displayFormat, TextUse use)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (type) {
    case FieldType::Text: return v.toString();
    case FieldType::Integer:
    case FieldType::AutoInc: {
        const auto n = static_cast<std::int64_t>(v.toLongLong());
        return displayFormat.isEmpty() ? QString::number(n) : formatNumberPattern(displayFormat, n);
    }
    case FieldType::Float:
    case FieldType::Money: {
        const double d = v.toDouble();
        if (!displayFormat.isEmpty())
            return formatNumberPattern(displayFormat, d);
        if (use == TextUse::Edit)
            return formatShortestNumber(d);
        return type == FieldType::Money ? formatCurrency(d) : formatGeneralNumber(d);
    }
    case FieldType::Date: return formatShortDate(dateOf(v));
    case FieldType::Graphic: return {};
    }
    return v.toString();
}

} // namespace zz
