#include "data/Field.h"

#include <QRegularExpression>

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/FieldText.h"
#include "data/NumberPattern.h"
#include "data/Regional.h"

namespace zz {

namespace {
// The first n characters of a text (whole characters, as the engine counts them).
QString leftCharacters(const QString& text, int n)
{
    int i = 0;
    for (int count = 0; i < text.size() && count < n; ++count)
        i += text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
    return i >= text.size() ? text : text.left(i);
}
} // namespace

TField::TField(TDataSet* owner, int index, FieldDef def) : m_owner(owner), m_index(index), m_def(std::move(def)) {}

QVariant TField::Value() const { return m_owner->fieldValue(m_index); }
bool TField::IsNull() const { return !Value().isValid(); }

QString TField::AsString() const
{
    // The value itself, without the display format: what SetAsString reads back unchanged.
    return fieldText(m_def.type, Value(), QString(), TextUse::Edit);
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
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(v.toString(), m_def.name));
        return n;
    }
    if (v.typeId() == QMetaType::Int)
        return v.toInt();
    // A stored value this field cannot hold (a fraction, a number beyond 32 bits, a text) is no
    // whole number: it is refused, never read as another number.
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(AsString(), m_def.name));
}

double TField::AsFloat() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0.0;
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong
        || m_def.type == FieldType::Text)
        return v.toDouble();
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(AsString(), m_def.name));
}

Money TField::AsMoney() const
{
    const double d = AsFloat();
    if (const std::optional<Money> m = Money::fromDoubleChecked(d))
        return *m;
    throw EConvertError(QStringLiteral("'%1' is not a valid amount of money for field '%2'").arg(formatShortestNumber(d), m_def.name));
}

QDate TField::AsDate() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return QDate();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    throw EConvertError(QStringLiteral("'%1' is not a valid date for field '%2'").arg(AsString(), m_def.name));
}

QByteArray TField::AsBytes() const
{
    const QVariant v = Value();
    return v.isValid() ? v.toByteArray() : QByteArray();
}

QString TField::DisplayText() const { return displayTextOf(Value()); }
QString TField::EditText() const { return editTextOf(Value()); }

QString TField::displayTextOf(const QVariant& v) const { return fieldText(m_def.type, v, m_def.displayFormat, TextUse::Display); }
QString TField::editTextOf(const QVariant& v) const { return fieldText(m_def.type, v, m_def.displayFormat, TextUse::Edit); }

bool TField::isValidChar(QChar c) const
{
    const bool sign = c == QLatin1Char('+') || c == QLatin1Char('-');
    switch (m_def.type) {
    case FieldType::Integer:
    case FieldType::AutoInc: return c.isDigit() || sign;
    case FieldType::Float:
    case FieldType::Money:
        return c.isDigit() || sign || c == regional().decimalSeparator || c == QLatin1Char('E') || c == QLatin1Char('e');
    default: return true;
    }
}

void TField::SetValue(const QVariant& value) { m_owner->setFieldValue(m_index, assignable(m_def, value)); }

void TField::SetAsString(const QString& text)
{
    const QString t = text.trimmed();
    switch (m_def.type) {
    case FieldType::Text:
        SetValue(text);
        return;
    case FieldType::Integer:
    case FieldType::AutoInc: {
        if (t.isEmpty()) { Clear(); return; }
        const std::optional<int> n = parseInteger(t);
        if (!n)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, m_def.name));
        SetValue(*n);
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
            throw EConvertError(QStringLiteral("'%1' is not a valid date for field '%2'").arg(text, m_def.name));
        SetValue(d);
        return;
    }
    case FieldType::Graphic:
        SetValue(text.toLatin1());
        return;
    }
}

QVariant TField::normalise(FieldType type, const QVariant& value) { return exactFieldValue(type, value); }

QVariant TField::assignable(const FieldDef& def, const QVariant& value)
{
    QVariant v = normalise(def.type, value);
    if (!fitsFieldType(def.type, v)) {
        // The program assigns only values of the field's type; anything else would be stored as
        // a value the field cannot show.
        const QString text = fieldText(def.type, v, QString(), TextUse::Edit);
        switch (def.type) {
        case FieldType::Integer:
        case FieldType::AutoInc:
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, def.name));
        case FieldType::Float:
        case FieldType::Money:
            throw EConvertError(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, def.name));
        default:
            throw EConvertError(QStringLiteral("'%1' is not a valid date for field '%2'").arg(text, def.name));
        }
    }
    if (def.type == FieldType::Text && v.isValid()) {
        const QString text = def.size > 0 ? leftCharacters(v.toString(), def.size) : v.toString();
        v = text.isEmpty() ? QVariant() : QVariant(text);
    }
    return v;
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

std::optional<int> parseInteger(const QString& text)
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    bool ok = false;
    const int n = whole.match(t).hasMatch() ? t.toInt(&ok) : 0;
    return ok ? std::optional<int>(n) : std::nullopt;
}

} // namespace zz
