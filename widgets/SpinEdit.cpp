#include "widgets/SpinEdit.h"

#include <QLineEdit>

#include "data/Regional.h"

namespace zz {

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setRange(0, 100);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int TSpinEdit::reading(const QString& text) const
{
    const std::optional<qint64> n = parseWholeNumber(text);
    return n ? int(std::clamp<qint64>(*n, minimum(), maximum())) : minimum();
}

int TSpinEdit::Value() const { return reading(lineEdit()->text()); }

void TSpinEdit::setText(const QString& text) { lineEdit()->setText(text); }

QValidator::State TSpinEdit::validate(QString& input, int& pos) const
{
    // Any typing is allowed; only a number within the range is final as it stands. Leaving the
    // field puts the reading of anything else in its place (fixup).
    const std::optional<qint64> n = parseWholeNumber(input);
    return n && *n >= minimum() && *n <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString& input) const { input = textFromValue(reading(input)); }

int TSpinEdit::valueFromText(const QString& text) const { return reading(text); }

QString TSpinEdit::textFromValue(int value) const { return QString::number(value); }

} // namespace zz
