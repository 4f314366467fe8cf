#include "einvoice/PaymentCode.h"

#include <QStringList>

#include "data/Errors.h"

namespace zz::einvoice {

namespace {

// One line of the code: blanks at the ends dropped, line breaks inside it (which would shift
// every line after it) as blanks, at most `limit` characters (not bytes, not halves of a pair).
QString field(const QString& text, int limit)
{
    QString s = text;
    for (QChar& c : s)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    s = s.trimmed();
    int chars = 0;
    for (int i = 0; i < s.size(); ++i) {
        if (chars == limit)
            return s.left(i).trimmed();
        if (s[i].isHighSurrogate() && i + 1 < s.size())
            ++i;
        ++chars;
    }
    return s;
}

} // namespace

QByteArray epcPayload(const CreditTransfer& t)
{
    const qint64 count = t.amount.count();
    // Rounded half up to the cent: the amount as the invoice prints it.
    const qint64 cents = (count + 50) / 100;
    if (count <= 0 || cents < 1 || cents > 99999999999LL)
        throw Exception(QStringLiteral("A payment code needs an amount from 0.01 to 999999999.99 euro."));
    const QString iban = field(t.iban, 34);
    if (iban.isEmpty())
        throw Exception(QStringLiteral("A payment code needs the company's IBAN."));
    const QString name = field(t.name, 70);
    if (name.isEmpty())
        throw Exception(QStringLiteral("A payment code needs the company's name."));
    const QString amount = QStringLiteral("EUR%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
    const QString reference = field(t.reference, 35);
    QStringList lines{QStringLiteral("BCD"), QStringLiteral("002"), QStringLiteral("1"), QStringLiteral("SCT"),
                      field(t.bic, 11), name, iban, amount,
                      QString(), // purpose
                      reference, reference.isEmpty() ? field(t.remittance, 140) : QString()};
    while (lines.last().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n')).toUtf8();
}

} // namespace zz::einvoice
