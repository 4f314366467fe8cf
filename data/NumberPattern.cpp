#include "data/NumberPattern.h"

#include "data/Regional.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace zz {

namespace {

// A value as a decimal expansion: 0.d1d2d3... x 10^exp10, digits without leading or trailing
// zeros (empty for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exp10 = 0;
    bool finite = true;

    bool isZero() const { return digits.empty(); }

    void trim()
    {
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        std::size_t lead = 0;
        while (lead < digits.size() && digits[lead] == '0')
            ++lead;
        if (lead) {
            digits.erase(0, lead);
            exp10 -= static_cast<int>(lead);
        }
        if (digits.empty())
            exp10 = 0;
    }

    // Keeps `keep` leading digits, rounding half away from zero on the next one.
    void roundToDigits(int keep)
    {
        if (keep < 0) {
            digits.clear();
            exp10 = 0;
            return;
        }
        if (static_cast<std::size_t>(keep) >= digits.size())
            return;
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == '9') {
                digits[i] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[i];
            } else {
                digits.insert(digits.begin(), '1');
                ++exp10;
            }
        }
        trim();
    }

    // Rounds to `decimals` places after the point.
    void roundToDecimals(int decimals) { roundToDigits(exp10 + decimals); }

    // The digit at a position relative to the point: 0 is the first after it, -1 the units.
    char digitAt(int fromPoint) const
    {
        const int index = exp10 + fromPoint;
        if (index < 0 || index >= static_cast<int>(digits.size()))
            return '0';
        return digits[index];
    }

    static Decimal fromDouble(double value)
    {
        Decimal d;
        d.negative = std::signbit(value);
        if (!std::isfinite(value)) {
            d.finite = false;
            return d;
        }
        if (value == 0.0)
            return d;
        char buf[64];
        // 18 significant digits: one before the point and seventeen after.
        std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
        const std::string s(buf);
        const std::size_t e = s.find('e');
        d.digits = s.substr(0, 1) + s.substr(2, e - 2);
        d.exp10 = std::stoi(s.substr(e + 1)) + 1;
        d.trim();
        return d;
    }

    // The fewest significant digits that read back to the same double.
    static Decimal fromShortest(double value)
    {
        Decimal d;
        d.negative = std::signbit(value);
        if (value == 0.0)
            return d;
        char buf[64];
        const auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific).ptr;
        const std::string s(buf, end);
        const std::size_t e = s.find('e');
        d.digits = s.substr(0, 1) + (e > 2 ? s.substr(2, e - 2) : std::string());
        d.exp10 = std::stoi(s.substr(e + 1)) + 1;
        d.trim();
        return d;
    }

    static Decimal fromInt(std::int64_t value)
    {
        Decimal d;
        d.negative = value < 0;
        const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        d.digits = std::to_string(magnitude);
        d.exp10 = static_cast<int>(d.digits.size());
        d.trim();
        return d;
    }
};

enum class Tok { Literal, IntDigit, Point, DecDigit, Exponent };

struct Token {
    Token(Tok k, const QString& t = QString(), bool z = false) : kind(k), text(t), zero(z) {}
    Tok kind;
    QString text;      // Literal: the characters; Exponent: "E" or "e"
    bool zero = false; // a "0" placeholder (rather than "#")
    QChar sign;        // Exponent: '+' or '-'
    int expDigits = 0; // Exponent: minimum digits
};

struct Pattern {
    std::vector<Token> tokens;
    int intDigits = 0;   // placeholders before the point
    int minInt = 0;      // from the first "0" before the point up to it
    int decDigits = 0;   // placeholders after the point
    int minDec = 0;      // up to the last "0" after the point
    bool grouping = false;
    bool scientific = false;
    bool hasPlaceholders = false;
};

// Splits a mask into its positive, negative and zero forms at semicolons outside quotes.
std::vector<QString> splitSections(const QString& mask)
{
    std::vector<QString> sections(1);
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

Pattern parse(const QString& section)
{
    Pattern p;
    bool afterPoint = false;
    bool afterExponent = false;
    int firstZero = -1; // index among the integer placeholders
    auto literal = [&p](const QString& text) {
        if (!p.tokens.empty() && p.tokens.back().kind == Tok::Literal)
            p.tokens.back().text += text;
        else
            p.tokens.push_back({Tok::Literal, text});
    };
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = section.indexOf(c, i + 1);
            const int stop = end < 0 ? section.size() : end;
            literal(section.mid(i + 1, stop - i - 1));
            i = stop;
            continue;
        }
        if (afterExponent) {
            literal(QString(c));
            continue;
        }
        if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            const bool zero = c == QLatin1Char('0');
            p.hasPlaceholders = true;
            if (afterPoint) {
                p.tokens.push_back({Tok::DecDigit, {}, zero});
                ++p.decDigits;
                if (zero)
                    p.minDec = p.decDigits;
            } else {
                if (zero && firstZero < 0)
                    firstZero = p.intDigits;
                p.tokens.push_back({Tok::IntDigit, {}, zero});
                ++p.intDigits;
            }
        } else if (c == QLatin1Char('.')) {
            if (!afterPoint) {
                afterPoint = true;
                p.tokens.push_back({Tok::Point});
            }
        } else if (c == QLatin1Char(',')) {
            p.grouping = true;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < section.size()
                   && (section.at(i + 1) == QLatin1Char('+') || section.at(i + 1) == QLatin1Char('-'))) {
            Token t{Tok::Exponent, QString(c)};
            t.sign = section.at(i + 1);
            i += 2;
            while (i < section.size() && section.at(i) == QLatin1Char('0')) {
                ++t.expDigits;
                ++i;
            }
            --i;
            t.expDigits = qBound(1, t.expDigits, 4);
            p.tokens.push_back(t);
            p.scientific = true;
            afterExponent = true;
        } else {
            literal(QString(c));
        }
    }
    p.minInt = firstZero < 0 ? 0 : p.intDigits - firstZero;
    return p;
}

QString render(const Pattern& p, Decimal d, bool& printedZero)
{
    const RegionalSettings& r = regional();
    int exponent = 0;
    if (p.scientific) {
        if (!d.isZero()) {
            d.roundToDigits(p.intDigits + p.decDigits);
            exponent = d.isZero() ? 0 : d.exp10 - p.intDigits;
            d.exp10 -= exponent;
        }
    } else {
        d.roundToDecimals(p.decDigits);
    }
    printedZero = d.isZero();

    // The integer digits to print, padded with zeros to the minimum count.
    std::string intPart;
    for (int i = -std::max(d.exp10, 0); i < 0; ++i)
        intPart += d.digitAt(i);
    if (static_cast<int>(intPart.size()) < p.minInt)
        intPart.insert(0, p.minInt - intPart.size(), '0');
    const int n = static_cast<int>(intPart.size());

    std::string decPart;
    for (int j = 0; j < p.decDigits; ++j)
        decPart += d.digitAt(j);
    while (static_cast<int>(decPart.size()) > p.minDec && decPart.back() == '0')
        decPart.pop_back();

    QString out;
    int emitted = 0;
    int intSeen = 0;
    auto emitInteger = [&](int remainingPlaceholders) {
        while (n - emitted > remainingPlaceholders) {
            if (p.grouping && emitted > 0 && (n - emitted) % 3 == 0)
                out += r.thousandSeparator;
            out += QLatin1Char(intPart[emitted]);
            ++emitted;
        }
    };
    int decSeen = 0;
    for (const Token& t : p.tokens) {
        switch (t.kind) {
        case Tok::Literal:
            out += t.text;
            break;
        case Tok::IntDigit:
            ++intSeen;
            emitInteger(p.intDigits - intSeen);
            break;
        case Tok::Point:
            emitInteger(0); // a pattern without integer placeholders still shows the integer digits
            if (!decPart.empty())
                out += r.decimalSeparator;
            break;
        case Tok::DecDigit:
            if (decSeen < static_cast<int>(decPart.size()))
                out += QLatin1Char(decPart[decSeen]);
            ++decSeen;
            break;
        case Tok::Exponent: {
            out += t.text;
            if (exponent < 0)
                out += QLatin1Char('-');
            else if (t.sign == QLatin1Char('+'))
                out += QLatin1Char('+');
            out += QString::number(std::abs(exponent)).rightJustified(t.expDigits, QLatin1Char('0'));
            break;
        }
        }
    }
    return out;
}

QString format(const QString& mask, const Decimal& value)
{
    const std::vector<QString> sections = splitSections(mask);
    const bool useNegative = value.negative && !value.isZero() && sections.size() > 1 && !sections[1].isEmpty();
    const QString& section = useNegative ? sections[1] : sections[0];
    if (section.isEmpty())
        return {};
    Decimal magnitude = value;
    magnitude.negative = false;
    bool zero = false;
    QString text = render(parse(section), magnitude, zero);
    if (zero && sections.size() > 2 && !sections[2].isEmpty())
        return render(parse(sections[2]), Decimal{}, zero);
    if (value.negative && !useNegative && !zero)
        text.prepend(QLatin1Char('-'));
    return text;
}

// Plain digits while the value has at most 15 integer digits and is not below 0.00001, else
// d.ddd E exponent; at most maxDigits significant digits (all of them when negative).
QString general(Decimal d, int maxDigits = 15)
{
    const RegionalSettings& r = regional();
    if (maxDigits >= 0)
        d.roundToDigits(maxDigits);
    if (d.isZero())
        return QStringLiteral("0");
    QString out;
    if (d.negative)
        out += QLatin1Char('-');
    const int len = static_cast<int>(d.digits.size());
    if (d.exp10 > 15 || d.exp10 < -4) {
        // d.ddd E exponent, the exponent without padding and with a sign only when negative
        out += QLatin1Char(d.digits[0]);
        if (len > 1) {
            out += r.decimalSeparator;
            out += QString::fromLatin1(d.digits.c_str() + 1, len - 1);
        }
        out += QLatin1Char('E') + QString::number(d.exp10 - 1);
        return out;
    }
    if (d.exp10 <= 0) {
        out += QLatin1Char('0');
        out += r.decimalSeparator;
        out += QString(-d.exp10, QLatin1Char('0'));
        out += QString::fromLatin1(d.digits.c_str(), len);
        return out;
    }
    for (int i = 0; i < d.exp10; ++i)
        out += QLatin1Char(i < len ? d.digits[i] : '0');
    if (len > d.exp10) {
        out += r.decimalSeparator;
        out += QString::fromLatin1(d.digits.c_str() + d.exp10, len - d.exp10);
    }
    return out;
}

} // namespace

QString formatNumberPattern(const QString& mask, double value)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NAN") : (value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF"));
    if (mask.isEmpty())
        return general(Decimal::fromDouble(value));
    return format(mask, Decimal::fromDouble(value));
}

QString formatNumberPattern(const QString& mask, std::int64_t value)
{
    if (mask.isEmpty())
        return QString::number(value);
    return format(mask, Decimal::fromInt(value));
}

QString patternLiteral(const QString& text)
{
    QString out;
    int i = 0;
    while (i < text.size()) {
        const QChar quote = text.at(i) == QLatin1Char('"') ? QLatin1Char('\'') : QLatin1Char('"');
        int end = i;
        while (end < text.size() && text.at(end) != quote)
            ++end;
        out += quote + text.mid(i, end - i) + quote;
        i = end;
    }
    return out;
}

QString formatGeneralNumber(double value) { return formatNumberPattern(QString(), value); }

QString formatShortestNumber(double value)
{
    if (!std::isfinite(value))
        return formatNumberPattern(QString(), value);
    return general(Decimal::fromShortest(value), -1);
}

} // namespace zz
