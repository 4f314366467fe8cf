#include "widgets/SpinEdit.h"

#include <QLineEdit>

namespace zz {

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setRange(0, 100);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int v = lineEdit()->text().trimmed().toInt(&ok);
    if (!ok)
        return minimum();
    return std::clamp(v, minimum(), maximum());
}

void TSpinEdit::setText(const QString& text) { lineEdit()->setText(text); }

QValidator::State TSpinEdit::validate(QString& input, int& pos) const
{
    // Any typing is allowed; what is no number reads as the minimum.
    const QValidator::State s = QSpinBox::validate(input, pos);
    return s == QValidator::Invalid ? QValidator::Intermediate : s;
}

} // namespace zz
