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
#include <QString>
#include <QVariant>

#include "data/FieldType.h"

namespace zz {

enum class TextUse { Display, Edit };

QString fieldText(FieldType type, const QVariant& value, const QString& displayFormat, TextUse use = TextUse::Display);

} // namespace zz
