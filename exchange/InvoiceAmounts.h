#pragma once
// The amounts of one invoice, added up the way the invoice printout adds them: each line's total
// (units times the discounted price), its VAT at the invoice's own rate on the unrounded line
// total, all summed unrounded in line order; rounded to cents only where they are shown. The
// export and every other place that states an invoice's amounts use this one computation.
#include <QString>

#include "data/Money.h"

namespace zz::exchange {

class InvoiceSums {
public:
    // One line, in line-number order: its units and its stored discounted unit price.
    void addLine(int units, double discountPrice, double vatPercent);
    void clear() { *this = InvoiceSums(); }

    double net() const { return m_net; }
    double vat() const { return m_vat; }
    double total() const { return m_total; }
    int lines() const { return m_lines; }

private:
    double m_net = 0, m_vat = 0, m_total = 0;
    int m_lines = 0;
};

// An amount as the printout shows it, rounded half away from zero to cents, with a point and no
// grouping: "1234.50".
QString centsText(double amount);
// An unrounded sum to six decimals, trailing zeros dropped (at least two): "1234.5075".
QString exactText(double amount);
// A money value whole (up to its four decimals, at least two): "19.99", "16.9915".
QString moneyText(Money amount);
// A rate or other plain number in its shortest form with a point: "15", "7.5".
QString numberText(double value);

} // namespace zz::exchange
