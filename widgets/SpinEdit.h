#pragma once
// The spin edit: a whole number within a range, stepped with the arrows; a text that is no
// number reads as the minimum.
#include <QSpinBox>

namespace zz {

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int MinValue() const { return minimum(); }
    int MaxValue() const { return maximum(); }
    void setMinValue(int v) { setMinimum(v); }
    void setMaxValue(int v) { setMaximum(v); }
    // The number typed, kept within the range; the minimum when the text is no number.
    int Value() const;
    void setValue(int v) { QSpinBox::setValue(v); }
    // Puts a text into the field as if typed.
    void setText(const QString& text);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
};

} // namespace zz
