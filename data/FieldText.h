#pragma once
// The one rule by which a field's value becomes text, for the data-bound controls and the
// report engine alike.
//
//   type       shown (Display)                               offered for editing (Edit)
//   text       the text                                      the same
//   integer    digits; through the display format if any     the same
//   float      the general form (15 significant digits);     the whole value, the fewest digits
//              through the display format if any             that read back to it (the display
//                                                            format if any)
//   money      the regional currency format; through the     as float
//              display format if any
//   date       the regional short date format                the same
//   graphic    nothing                                       nothing
//   null       nothing                                       nothing
//
// A field with a display format shows it in both cases (a VAT rate of 15 reads 15.00% while it is
// being edited). Numbers use the regional decimal separator in every form.
//
// A stored value that does not fit its field's type (a text in a money field, a whole number
// beyond 32 bits, a fraction in a whole-number field, a date that does not exist) is shown as
// itself, never as another number: the text as it is, the number with all its digits.
#include <QString>
#include <QVariant>

#include "data/FieldType.h"

namespace zz {

enum class TextUse { Display, Edit };

QString fieldText(FieldType type, const QVariant& value, const QString& displayFormat, TextUse use = TextUse::Display);

// The value in its field type's own kind (int for whole numbers, double for floating-point and
// money, QDate for dates, QString for text, QByteArray for pictures) when it converts without
// changing (57.0 or the text "57" in a whole-number field is 57, the text "19.99" in a money field
// is 19.99); otherwise the value as it is (a text that is no number, 1001.5 or a whole number
// beyond 32 bits in a whole-number field, "2024-02-30" in a date field). Null stays null.
QVariant exactFieldValue(FieldType type, const QVariant& value);
// Whether a value is held in its field type's own kind (null counts as fitting).
bool fitsFieldType(FieldType type, const QVariant& value);

} // namespace zz
