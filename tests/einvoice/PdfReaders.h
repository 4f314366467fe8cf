#pragma once
// Reading PDF files back with independent tools (qpdf, poppler, mupdf, ghostscript) for the
// e-invoice tests: the tools' output, qpdf's JSON of a file's objects, and what a hybrid holds.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace zz::test {

struct ToolRun {
    int exitCode = -1;
    QByteArray out, err;
};

inline bool installed(const char* program) { return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty(); }

inline ToolRun runTool(const QString& program, const QStringList& args)
{
    ToolRun t;
    QProcess p;
    p.start(QStandardPaths::findExecutable(program), args);
    if (!p.waitForFinished(120000))
        return t;
    t.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    t.out = p.readAllStandardOutput();
    t.err = p.readAllStandardError();
    return t;
}

#define ZZ_REQUIRE_PDF_READERS()                                                                              \
    for (const char* tool : {"qpdf", "pdfdetach", "pdffonts", "pdftotext", "pdfinfo", "mutool", "gs"})       \
        if (!zz::test::installed(tool))                                                                    \
            QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/setup installs it)").arg(QLatin1String(tool))))

// A PDF file's objects as qpdf reads them (its JSON, version 2, stream data decoded and inline).
class QpdfJson {
public:
    explicit QpdfJson(const QString& file)
    {
        const ToolRun t = runTool(QStringLiteral("qpdf"), {QStringLiteral("--json=2"), QStringLiteral("--json-stream-data=inline"),
                                                           QStringLiteral("--decode-level=generalized"), file});
        exitCode = t.exitCode;
        warnings = QString::fromUtf8(t.err);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(t.out, &error);
        parsed = error.error == QJsonParseError::NoError;
        const QJsonArray qpdf = doc.object().value(QStringLiteral("qpdf")).toArray();
        header = qpdf.at(0).toObject();
        objects = qpdf.at(1).toObject();
    }
    // The object a value stands for: an indirect reference ("12 0 R") followed, or the value.
    QJsonValue resolve(const QJsonValue& v) const
    {
        if (v.isString() && v.toString().endsWith(QLatin1String(" R"))) {
            const QJsonObject o = objects.value(QStringLiteral("obj:") + v.toString()).toObject();
            return o.contains(QStringLiteral("value")) ? o.value(QStringLiteral("value")) : QJsonValue(o.value(QStringLiteral("stream")));
        }
        return v;
    }
    QJsonObject dict(const QJsonValue& v) const
    {
        const QJsonValue r = resolve(v);
        const QJsonObject o = r.toObject();
        return o.contains(QStringLiteral("dict")) ? o.value(QStringLiteral("dict")).toObject() : o;
    }
    // A stream's decoded data.
    QByteArray streamData(const QJsonValue& v) const
    {
        return QByteArray::fromBase64(resolve(v).toObject().value(QStringLiteral("data")).toString().toLatin1());
    }
    QJsonObject trailer() const { return objects.value(QStringLiteral("trailer")).toObject().value(QStringLiteral("value")).toObject(); }
    QJsonObject root() const { return dict(trailer().value(QStringLiteral("/Root"))); }

    int exitCode = -1;
    bool parsed = false;
    QString warnings;
    QJsonObject header, objects;
};

// The texts of the XMP elements of a namespace, by local name ("part" -> "3").
inline QMap<QString, QString> xmpValues(const QByteArray& xmp, const QString& ns, bool* wellFormed = nullptr)
{
    QMap<QString, QString> values;
    QXmlStreamReader r(xmp);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.namespaceUri() == ns) {
            const QString name = r.name().toString();
            values.insert(name, r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
        }
    }
    if (wellFormed)
        *wellFormed = !r.hasError();
    return values;
}

} // namespace zz::test
