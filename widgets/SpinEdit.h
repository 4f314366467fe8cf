#pragma once
// The spin edit: a whole number within a range, stepped with the arrows. The typed text is read
// one way whether or not the field has the focus: digits with an optional sign and the regional
// thousands separator, kept within the range; a text that is no number reads as the minimum.
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
    void fixup(QString& input) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;

private:
    int reading(const QString& text) const;
};

} // namespace zz
