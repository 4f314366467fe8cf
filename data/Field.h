#pragma once
// A field object: one column of a cursor or query, read and written through its owner's current row.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

#include "data/Money.h"
#include "data/Schema.h"

namespace zz {

class TDataSet;

class TField {
public:
    TField(TDataSet* owner, int index, FieldDef def);

    TDataSet* dataSet() const { return m_owner; }
    int index() const { return m_index; }
    const QString& FieldName() const { return m_def.name; }
    FieldType DataType() const { return m_def.type; }
    int Size() const { return m_def.size; }
    bool Required() const { return m_def.required; }
    bool ReadOnly() const { return m_readOnly || m_def.type == FieldType::AutoInc; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    const QString& DisplayFormat() const { return m_def.displayFormat; }
    void setDisplayFormat(const QString& format) { m_def.displayFormat = format; }
    const FieldDef& def() const { return m_def; }
    // Only for fields whose type is learnt from a statement's result.
    void setDataType(FieldType type) { m_def.type = type; }

    // The current row's value: QString, int, double, QDate or QByteArray; an invalid QVariant for
    // null. A stored value the field's type cannot hold is kept as it is (a text in a number
    // field, a qlonglong beyond 32 bits, a fraction in a whole-number field), so that it is shown
    // as itself and written back only when the user changes it.
    QVariant Value() const;
    bool IsNull() const;

    // The value as text without the display format, in the form SetAsString reads back.
    QString AsString() const;
    // The value as the type asked for; a stored value that is no such value throws EConvertError
    // ("'9223372036854775807' is not a valid integer value for field 'Inv_Start_No'").
    int AsInteger() const;
    double AsFloat() const;
    Money AsMoney() const;
    QDate AsDate() const;
    QByteArray AsBytes() const;

    // The text shown while the field is not being edited, and the text offered for editing;
    // both follow the one rule of data/FieldText.h.
    QString DisplayText() const;
    QString EditText() const;
    // The same texts of any value of this field (for grids that show many rows).
    QString displayTextOf(const QVariant& value) const;
    QString editTextOf(const QVariant& value) const;
    // Whether a typed character can belong to a value of the field: whole-number fields take
    // digits, "+" and "-"; floating-point and money fields also the regional decimal separator,
    // "E" and "e"; other fields anything.
    bool isValidChar(QChar c) const;

    // Writes into the owner's pending row (the owner decides whether that is allowed). A text
    // field keeps the first Size() characters of what it is given, and an empty text is null; a
    // value the field's type cannot hold throws EConvertError.
    void SetValue(const QVariant& value);
    void Clear() { SetValue(QVariant()); }
    // Converts typed text to the field's type; throws EConvertError with the field's message
    // ("'x' is not a valid integer value for field 'F'"). An empty text clears the field.
    void SetAsString(const QString& text);
    void SetAsInteger(int value) { SetValue(value); }
    void SetAsFloat(double value) { SetValue(value); }
    void SetAsMoney(Money value) { SetValue(value.toDouble()); }
    void SetAsDate(const QDate& date) { SetValue(date.isValid() ? QVariant(date) : QVariant()); }

    // A value in the field's storage kind when it converts unchanged, else as it is (see Value()).
    static QVariant normalise(FieldType type, const QVariant& value);

private:
    // A value as it is assigned to a field of this definition: normalised, a text cut to the
    // field's size, an empty text null.
    static QVariant assignable(const FieldDef& def, const QVariant& value);

    TDataSet* m_owner;
    int m_index;
    FieldDef m_def;
    bool m_readOnly = false;
};

// Reads a number typed with the regional decimal separator; false when it is not a number.
bool parseLocalFloat(const QString& text, double* out);
// Reads a typed whole number: blanks around it, one leading sign, then digits, within the 32-bit
// range ("1+2" is none); nothing when the text is no such number.
std::optional<int> parseInteger(const QString& text);

} // namespace zz
