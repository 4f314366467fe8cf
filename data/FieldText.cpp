#include "data/FieldText.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <limits>
#include <optional>

#include "data/NumberPattern.h"
#include "data/Regional.h"

namespace zz {

namespace {
// Doubles hold every whole number up to 2^53 exactly.
constexpr qint64 kExactInDouble = qint64(1) << 53;

bool isWholeNumberKind(int id)
{
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool: return true;
    default: return false;
    }
}

bool fitsInt(qint64 n) { return n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max(); }

// A whole number written in plain digits with an optional sign, nothing around it.
std::optional<qint64> wholeNumberText(const QString& text)
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    if (!whole.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

// A number as a program writes it into a database: a point for decimals, nothing around it.
std::optional<double> numberText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok && std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}

QDate isoDate(const QString& text) { return QDate::fromString(text.left(10), Qt::ISODate); }

// A value foreign to its field's type, as itself.
QString foreignText(const QVariant& v, const QString& displayFormat)
{
    switch (v.typeId()) {
    case QMetaType::Double: return formatShortestNumber(v.toDouble());
    case QMetaType::QByteArray: return QString::fromUtf8(v.toByteArray());
    case QMetaType::QDate: return formatShortDate(v.toDate());
    default:
        if (isWholeNumberKind(v.typeId())) {
            const auto n = static_cast<std::int64_t>(v.toLongLong());
            return displayFormat.isEmpty() ? QString::number(n) : formatNumberPattern(displayFormat, n);
        }
        return v.toString();
    }
}
} // namespace

QVariant exactFieldValue(FieldType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const int id = value.typeId();
    switch (type) {
    case FieldType::Text: return id == QMetaType::QString ? value : QVariant(value.toString());
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (id == QMetaType::Int)
            return value;
        if (isWholeNumberKind(id)) {
            const qint64 n = value.toLongLong();
            return fitsInt(n) ? QVariant(int(n)) : QVariant(qlonglong(n));
        }
        if (id == QMetaType::Double || id == QMetaType::Float) {
            const double d = value.toDouble();
            return std::trunc(d) == d && d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max()
                ? QVariant(int(d)) : QVariant(d);
        }
        if (id == QMetaType::QString) {
            const auto n = wholeNumberText(value.toString());
            return n && fitsInt(*n) ? QVariant(int(*n)) : value;
        }
        return value;
    case FieldType::Float:
    case FieldType::Money:
        if (id == QMetaType::Double)
            return value;
        if (id == QMetaType::Float)
            return value.toDouble();
        if (isWholeNumberKind(id)) {
            const qint64 n = value.toLongLong();
            return n >= -kExactInDouble && n <= kExactInDouble ? QVariant(double(n)) : QVariant(qlonglong(n));
        }
        if (id == QMetaType::QString) {
            const auto d = numberText(value.toString());
            return d ? QVariant(*d) : value;
        }
        return value;
    case FieldType::Date:
        if (id == QMetaType::QDate)
            return value;
        if (id == QMetaType::QDateTime)
            return value.toDateTime().date();
        if (id == QMetaType::QString) {
            const QDate d = isoDate(value.toString());
            return d.isValid() ? QVariant(d) : value;
        }
        return value;
    case FieldType::Graphic: {
        const QByteArray b = value.toByteArray();
        return b.isEmpty() ? QVariant() : QVariant(b);
    }
    }
    return value;
}

bool fitsFieldType(FieldType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return true;
    switch (type) {
    case FieldType::Text: return value.typeId() == QMetaType::QString;
    case FieldType::Integer:
    case FieldType::AutoInc: return value.typeId() == QMetaType::Int;
    case FieldType::Float:
    case FieldType::Money: return value.typeId() == QMetaType::Double;
    case FieldType::Date: return value.typeId() == QMetaType::QDate;
    case FieldType::Graphic: return value.typeId() == QMetaType::QByteArray;
    }
    return false;
}

QString fieldText(FieldType type, const QVariant& value, const QString& displayFormat, TextUse use)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QVariant v = exactFieldValue(type, value);
    if (!fitsFieldType(type, v))
        return type == FieldType::Graphic ? QString() : foreignText(v, displayFormat);
    switch (type) {
    case FieldType::Text: return v.toString();
    case FieldType::Integer:
    case FieldType::AutoInc: {
        const auto n = static_cast<std::int64_t>(v.toInt());
        return displayFormat.isEmpty() ? QString::number(n) : formatNumberPattern(displayFormat, n);
    }
    case FieldType::Float:
    case FieldType::Money: {
        const double d = v.toDouble();
        if (!displayFormat.isEmpty())
            return formatNumberPattern(displayFormat, d);
        if (use == TextUse::Edit)
            return formatShortestNumber(d);
        if (type != FieldType::Money)
            return formatGeneralNumber(d);
        // A money value shows its count of ten-thousandths rounded exactly; beyond the counts'
        // range, the double as it is.
        if (const std::optional<Money> m = Money::fromDoubleChecked(d))
            return formatCurrency(*m);
        return formatCurrency(d);
    }
    case FieldType::Date: return formatShortDate(v.toDate());
    case FieldType::Graphic: return {};
    }
    return v.toString();
}

} // namespace zz
