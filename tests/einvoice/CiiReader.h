#pragma once
// The CII XML read back with QXmlStreamReader, independently of the writer: every element's text
// by its path of local names, and the amounts as whole cents parsed from their decimal text.
#include <QMultiMap>
#include <QXmlStreamReader>
#include <QtTest>

namespace zz::test {

struct CiiDocument {
    // "CrossIndustryInvoice/ExchangedDocument/ID" -> its texts, in document order.
    QMultiMap<QString, QString> texts;
    QMultiMap<QString, QString> attributes; // "path@name" -> value
    QString error;

    QStringList all(const QString& path) const
    {
        QStringList v = texts.values(path);
        std::reverse(v.begin(), v.end()); // QMultiMap gives the latest first
        return v;
    }
    QString one(const QString& path) const { return texts.value(path); }
    int count(const QString& path) const { return int(texts.count(path)); }
};

inline CiiDocument readCii(const QByteArray& xml)
{
    CiiDocument doc;
    QXmlStreamReader r(xml);
    QStringList path;
    QString textSoFar;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            path.push_back(r.name().toString());
            textSoFar.clear();
            for (const QXmlStreamAttribute& a : r.attributes())
                doc.attributes.insert(path.join(QLatin1Char('/')) + QLatin1Char('@') + a.name().toString(), a.value().toString());
        } else if (r.isCharacters()) {
            textSoFar += r.text();
        } else if (r.isEndElement()) {
            doc.texts.insert(path.join(QLatin1Char('/')), textSoFar.trimmed());
            textSoFar.clear();
            path.pop_back();
        }
    }
    if (r.hasError())
        doc.error = r.errorString();
    return doc;
}

// A decimal text ("50.97", "-3.5", "16.9915") in units of 10^-places; fails the test when it has
// more decimals or is no number.
inline qint64 scaled(const QString& text, int places)
{
    const QRegularExpression re(QStringLiteral("^(-?)([0-9]+)(?:\\.([0-9]+))?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch() || m.captured(3).size() > places) {
        qWarning("not a decimal of at most %d places: %s", places, qPrintable(text));
        return std::numeric_limits<qint64>::min();
    }
    qint64 v = m.captured(2).toLongLong();
    QString fraction = m.captured(3).leftJustified(places, QLatin1Char('0'));
    for (int i = 0; i < places; ++i)
        v = v * 10 + fraction.at(i).digitValue();
    return m.captured(1).isEmpty() ? v : -v;
}

} // namespace zz::test
