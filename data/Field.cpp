#include "data/Field.h"

#include <QRegularExpression>

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/NumberPattern.h"
#include "data/Regional.h"

namespace zz {

TField::TField(TDataSet* owner, int index, FieldDef def) : m_owner(owner), m_index(index), m_def(std::move(def)) {}

QVariant TField::Value() const { return m_owner->fieldValue(m_index); }
bool TField::IsNull() const { return !Value().isValid(); }

QString TField::AsString() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    switch (m_def.type) {
    case FieldType::Date: return formatShortDate(v.toDate());
    case FieldType::Float:
    case FieldType::Money: return formatNumberPattern(QString(), v.toDouble());
    default: return v.toString();
    }
}

int TField::AsInteger() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0;
    if (m_def.type == FieldType::Text) {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return n;
    }
    return int(v.toLongLong());
}

double TField::AsFloat() const
{
    const QVariant v = Value();
    return v.isValid() ? v.toDouble() : 0.0;
}

Money TField::AsMoney() const { return Money::fromDouble(AsFloat()); }

QDate TField::AsDate() const
{
    const QVariant v = Value();
    return v.isValid() ? v.toDate() : QDate();
}

QByteArray TField::AsBytes() const
{
    const QVariant v = Value();
    return v.isValid() ? v.toByteArray() : QByteArray();
}

QString TField::DisplayText() const { return displayTextOf(Value()); }

QString TField::displayTextOf(const QVariant& v) const
{
    if (!v.isValid())
        return {};
    switch (m_def.type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
        return m_def.displayFormat.isEmpty() ? QString::number(v.toLongLong()) : formatNumberPattern(m_def.displayFormat, v.toDouble());
    case FieldType::Float:
        return m_def.displayFormat.isEmpty() ? formatNumberPattern(QString(), v.toDouble()) : formatNumberPattern(m_def.displayFormat, v.toDouble());
    case FieldType::Money:
        return m_def.displayFormat.isEmpty() ? formatCurrency(v.toDouble()) : formatNumberPattern(m_def.displayFormat, v.toDouble());
    case FieldType::Date: return formatShortDate(v.toDate());
    case FieldType::Graphic: return QStringLiteral("(GRAPHIC)");
    case FieldType::Text: return v.toString();
    }
    return v.toString();
}

QString TField::EditText() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    if (!m_def.displayFormat.isEmpty())
        return DisplayText();
    switch (m_def.type) {
    case FieldType::Money:
    case FieldType::Float: return formatNumberPattern(QString(), v.toDouble());
    case FieldType::Date: return formatShortDate(v.toDate());
    case FieldType::Graphic: return {};
    default: return v.toString();
    }
}

void TField::SetValue(const QVariant& value) { m_owner->setFieldValue(m_index, normalise(m_def.type, value)); }

void TField::SetAsString(const QString& text)
{
    const QString t = text.trimmed();
    switch (m_def.type) {
    case FieldType::Text:
        SetValue(text.isEmpty() ? QVariant() : QVariant(text));
        return;
    case FieldType::Integer:
    case FieldType::AutoInc: {
        if (t.isEmpty()) { Clear(); return; }
        bool ok = false;
        const int n = QString(t).remove(QLatin1Char('+')).toInt(&ok);
        if (!ok || t.count(QLatin1Char('+')) + t.count(QLatin1Char('-')) > 1)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, m_def.name));
        SetValue(n);
        return;
    }
    case FieldType::Float:
    case FieldType::Money: {
        if (t.isEmpty()) { Clear(); return; }
        // A text that still carries a display pattern's characters ("14.00%") is no number.
        double d = 0;
        if (!parseLocalFloat(t, &d))
            throw EConvertError(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, m_def.name));
        SetValue(d);
        return;
    }
    case FieldType::Date: {
        if (t.isEmpty()) { Clear(); return; }
        const QDate d = parseShortDate(t);
        if (!d.isValid())
            throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
        SetValue(d);
        return;
    }
    case FieldType::Graphic:
        SetValue(text.toLatin1());
        return;
    }
}

QVariant TField::normalise(FieldType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case FieldType::Text: return value.toString();
    case FieldType::Integer:
    case FieldType::AutoInc: return int(value.toLongLong());
    case FieldType::Float:
    case FieldType::Money: return value.toDouble();
    case FieldType::Date: {
        if (value.metaType().id() == QMetaType::QDate)
            return value;
        if (value.metaType().id() == QMetaType::QDateTime)
            return value.toDateTime().date();
        const QDate d = QDate::fromString(value.toString().left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::Graphic: {
        const QByteArray b = value.toByteArray();
        return b.isEmpty() ? QVariant() : QVariant(b);
    }
    }
    return value;
}

bool parseLocalFloat(const QString& text, double* out)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar dec = regional().decimalSeparator;
    if (dec != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(dec, QLatin1Char('.'));
    }
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!number.match(t).hasMatch())
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok && out)
        *out = d;
    return ok;
}

} // namespace zz
