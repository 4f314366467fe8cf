// The Factur-X container as receivers and archives read it: the XML embedded as factur-x.xml,
// related as the document's alternative, in the catalog's AF array and the embedded files; the
// XMP with the PDF/A-3b identification and the Factur-X values; an sRGB output intent; every font
// embedded; the visible page the plain PDF's; and readers that accept the file without a word.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "data/Errors.h"
#include "einvoice/FacturX.h"
#include "reports/engine/PdfExport.h"
#include "tests/einvoice/InvoicePages.h"
#include "tests/einvoice/PdfReaders.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString name(const QJsonValue& v) { return v.toString().toLower(); }
// qpdf writes text strings as "u:text" and byte strings as "b:hex".
QString text(const QJsonValue& v) { return v.toString().mid(2); }

// "D:20261209233000+01'00'" as a moment.
QDateTime fromPdfDate(const QString& d)
{
    QDateTime t = QDateTime::fromString(d.mid(2, 14), QStringLiteral("yyyyMMddHHmmss"));
    const QString zone = d.mid(16);
    if (zone.startsWith(QLatin1Char('Z')) || zone.isEmpty()) {
        t.setTimeZone(QTimeZone::utc());
        return t;
    }
    const int sign = zone.startsWith(QLatin1Char('-')) ? -1 : 1;
    t.setTimeZone(QTimeZone(sign * (zone.mid(1, 2).toInt() * 3600 + zone.mid(4, 2).toInt() * 60)));
    return t;
}

} // namespace

class TestFacturX : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_hybrid, m_plain;
    QByteArray m_xml = sampleCii();
    QDateTime m_when = QDateTime(QDate(2026, 1, 31), QTime(8, 30, 5));

private slots:
    void initTestCase()
    {
        // ZZ_KEEP_OUTPUT=1 keeps the files for a look (the folder is printed).
        if (qEnvironmentVariableIsSet("ZZ_KEEP_OUTPUT")) {
            m_dir.setAutoRemove(false);
            qInfo("Files kept in %s", qPrintable(m_dir.path()));
        }
        InvoicePages pages;
        m_hybrid = m_dir.filePath(QStringLiteral("Invoice 57.pdf"));
        m_plain = m_dir.filePath(QStringLiteral("plain.pdf"));
        report::saveFileWhole(m_hybrid, einvoice::hybridPdf(pages.doc, m_xml, m_when));
        report::savePdf(pages.doc, m_plain);
    }

    void theXmlIsEmbeddedAsTheDocumentsAlternative()
    {
        ZZ_REQUIRE_PDF_READERS();
        QpdfJson pdf(m_hybrid);
        QVERIFY(pdf.parsed);
        QCOMPARE(pdf.exitCode, 0);
        const QJsonObject root = pdf.root();
        // One associated file, the same file entry the embedded files name.
        const QJsonArray af = pdf.resolve(root.value(QStringLiteral("/AF"))).toArray();
        QCOMPARE(af.size(), 1);
        const QJsonObject names = pdf.dict(pdf.dict(root.value(QStringLiteral("/Names"))).value(QStringLiteral("/EmbeddedFiles")));
        const QJsonArray list = pdf.resolve(names.value(QStringLiteral("/Names"))).toArray();
        QCOMPARE(list.size(), 2);
        QCOMPARE(text(list.at(0)), QStringLiteral("factur-x.xml"));
        QCOMPARE(list.at(1).toString(), af.at(0).toString());

        const QJsonObject spec = pdf.dict(af.at(0));
        QCOMPARE(name(spec.value(QStringLiteral("/Type"))), QStringLiteral("/filespec"));
        QCOMPARE(name(spec.value(QStringLiteral("/AFRelationship"))), QStringLiteral("/alternative"));
        QCOMPARE(text(spec.value(QStringLiteral("/F"))), QStringLiteral("factur-x.xml"));
        QCOMPARE(text(spec.value(QStringLiteral("/UF"))), QStringLiteral("factur-x.xml"));
        QVERIFY(spec.contains(QStringLiteral("/Desc")));
        const QJsonValue file = pdf.dict(spec.value(QStringLiteral("/EF"))).value(QStringLiteral("/F"));
        const QJsonObject fileDict = pdf.dict(file);
        QCOMPARE(name(fileDict.value(QStringLiteral("/Type"))), QStringLiteral("/embeddedfile"));
        // The MIME type as a name (written /text#2Fxml; qpdf shows it decoded).
        QCOMPARE(name(fileDict.value(QStringLiteral("/Subtype"))), QStringLiteral("/text/xml"));
        const QJsonObject params = pdf.dict(fileDict.value(QStringLiteral("/Params")));
        QCOMPARE(params.value(QStringLiteral("/Size")).toInt(), m_xml.size());
        QCOMPARE(fromPdfDate(text(params.value(QStringLiteral("/ModDate")))), m_when);
        QCOMPARE(pdf.streamData(file), m_xml);

        // pdfdetach finds it and gives back the very bytes.
        const ToolRun listed = runTool(QStringLiteral("pdfdetach"), {QStringLiteral("-list"), m_hybrid});
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.out.contains("1 embedded files") && listed.out.contains("1: factur-x.xml"), listed.out.constData());
        const QString saved = m_dir.filePath(QStringLiteral("detached.xml"));
        QCOMPARE(runTool(QStringLiteral("pdfdetach"), {QStringLiteral("-save"), QStringLiteral("1"), QStringLiteral("-o"), saved, m_hybrid}).exitCode, 0);
        QCOMPARE(readAll(saved), m_xml);
    }

    void theOutputIntentIsTheSrgbProfile()
    {
        ZZ_REQUIRE_PDF_READERS();
        QpdfJson pdf(m_hybrid);
        const QJsonArray intents = pdf.resolve(pdf.root().value(QStringLiteral("/OutputIntents"))).toArray();
        QCOMPARE(intents.size(), 1);
        const QJsonObject intent = pdf.dict(intents.at(0));
        QCOMPARE(name(intent.value(QStringLiteral("/S"))), QStringLiteral("/gts_pdfa1"));
        QCOMPARE(name(intent.value(QStringLiteral("/Type"))), QStringLiteral("/outputintent"));
        QCOMPARE(text(intent.value(QStringLiteral("/OutputConditionIdentifier"))), QStringLiteral("sRGB IEC61966-2.1"));
        const QJsonValue profile = intent.value(QStringLiteral("/DestOutputProfile"));
        QCOMPARE(pdf.dict(profile).value(QStringLiteral("/N")).toInt(), 3);
        QCOMPARE(pdf.streamData(profile), readAll(einvoice::srgbProfilePath()));
    }

    void theMetadataIdentifiesPdfA3bAndFacturX()
    {
        ZZ_REQUIRE_PDF_READERS();
        QpdfJson pdf(m_hybrid);
        const QJsonValue metadata = pdf.root().value(QStringLiteral("/Metadata"));
        const QJsonObject dict = pdf.dict(metadata);
        QCOMPARE(name(dict.value(QStringLiteral("/Type"))), QStringLiteral("/metadata"));
        QCOMPARE(name(dict.value(QStringLiteral("/Subtype"))), QStringLiteral("/xml"));
        QVERIFY2(!dict.contains(QStringLiteral("/Filter")), "an archive's metadata stays unfiltered");
        const QByteArray xmp = pdf.streamData(metadata);
        QVERIFY(xmp.startsWith("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"));
        QVERIFY(xmp.trimmed().endsWith("<?xpacket end=\"w\"?>"));

        bool wellFormed = false;
        const auto id = xmpValues(xmp, QStringLiteral("http://www.aiim.org/pdfa/ns/id/"), &wellFormed);
        QVERIFY(wellFormed);
        QCOMPARE(id.value(QStringLiteral("part")), QStringLiteral("3"));
        QCOMPARE(id.value(QStringLiteral("conformance")), QStringLiteral("B"));
        const auto fx = xmpValues(xmp, QStringLiteral("urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#"));
        QCOMPARE(fx.value(QStringLiteral("DocumentType")), QStringLiteral("INVOICE"));
        QCOMPARE(fx.value(QStringLiteral("DocumentFileName")), QStringLiteral("factur-x.xml"));
        QCOMPARE(fx.value(QStringLiteral("Version")), QStringLiteral("1.0"));
        QCOMPARE(fx.value(QStringLiteral("ConformanceLevel")), QStringLiteral("EN 16931"));
        // The extension schema describes exactly those four properties, under the fx prefix.
        const auto schema = xmpValues(xmp, QStringLiteral("http://www.aiim.org/pdfa/ns/schema#"));
        QCOMPARE(schema.value(QStringLiteral("prefix")), QStringLiteral("fx"));
        QCOMPARE(schema.value(QStringLiteral("namespaceURI")), QStringLiteral("urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#"));
        QStringList described;
        QXmlStreamReader r(xmp);
        while (!r.atEnd())
            if (r.readNext() == QXmlStreamReader::StartElement && r.namespaceUri() == QLatin1String("http://www.aiim.org/pdfa/ns/property#")
                && r.name() == QLatin1String("name"))
                described << r.readElementText();
        const QStringList expected{"DocumentFileName", "DocumentType", "Version", "ConformanceLevel"};
        QCOMPARE(described, expected);

        // The document information says the same as the XMP.
        const QJsonObject info = pdf.dict(pdf.trailer().value(QStringLiteral("/Info")));
        const auto dc = xmpValues(xmp, QStringLiteral("http://purl.org/dc/elements/1.1/"));
        QCOMPARE(dc.value(QStringLiteral("title")), QStringLiteral("Invoice 57"));
        QCOMPARE(text(info.value(QStringLiteral("/Title"))), QStringLiteral("Invoice 57"));
        const auto pdfNs = xmpValues(xmp, QStringLiteral("http://ns.adobe.com/pdf/1.3/"));
        QCOMPARE(pdfNs.value(QStringLiteral("Producer")), text(info.value(QStringLiteral("/Producer"))));
        const auto xmpNs = xmpValues(xmp, QStringLiteral("http://ns.adobe.com/xap/1.0/"));
        QCOMPARE(xmpNs.value(QStringLiteral("CreatorTool")), text(info.value(QStringLiteral("/Creator"))));
        QCOMPARE(QDateTime::fromString(xmpNs.value(QStringLiteral("CreateDate")), Qt::ISODate), m_when);
        QCOMPARE(QDateTime::fromString(xmpNs.value(QStringLiteral("ModifyDate")), Qt::ISODate), m_when);
        QCOMPARE(fromPdfDate(text(info.value(QStringLiteral("/CreationDate")))), m_when);
        QCOMPARE(fromPdfDate(text(info.value(QStringLiteral("/ModDate")))), m_when);

        // A PDF 1.7 file with an identifier, not encrypted.
        QVERIFY(readAll(m_hybrid).startsWith("%PDF-1.7\n%"));
        const QJsonArray fileId = pdf.trailer().value(QStringLiteral("/ID")).toArray();
        QCOMPARE(fileId.size(), 2);
        QVERIFY(!pdf.trailer().contains(QStringLiteral("/Encrypt")));
    }

    void everyFontIsEmbedded()
    {
        ZZ_REQUIRE_PDF_READERS();
        const ToolRun fonts = runTool(QStringLiteral("pdffonts"), {m_hybrid});
        QCOMPARE(fonts.exitCode, 0);
        const QStringList rows = QString::fromUtf8(fonts.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(rows.size() >= 4); // the header, its rule, regular and bold
        const int emb = rows.at(0).indexOf(QLatin1String("emb"));
        for (const QString& row : rows.mid(2))
            QVERIFY2(row.mid(emb, 3) == QLatin1String("yes"), qPrintable(row));
        // No transparency, no images with masks: the page has none to begin with.
        QpdfJson pdf(m_hybrid);
        for (const QJsonValue& o : pdf.objects) {
            const QJsonObject d = o.toObject().contains(QStringLiteral("stream"))
                                      ? o.toObject().value(QStringLiteral("stream")).toObject().value(QStringLiteral("dict")).toObject()
                                      : o.toObject().value(QStringLiteral("value")).toObject();
            QVERIFY(!d.contains(QStringLiteral("/SMask")) && !d.contains(QStringLiteral("/CA")) && !d.contains(QStringLiteral("/ca")));
            QVERIFY(name(d.value(QStringLiteral("/S"))) != QLatin1String("/transparency"));
        }
    }

    void thePageReadsAsThePlainPdfs()
    {
        ZZ_REQUIRE_PDF_READERS();
        const ToolRun hybrid = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), m_hybrid, QStringLiteral("-")});
        const ToolRun plain = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), m_plain, QStringLiteral("-")});
        QCOMPARE(hybrid.exitCode, 0);
        QVERIFY(hybrid.err.isEmpty());
        QCOMPARE(hybrid.out, plain.out);
        const QString page = QString::fromUtf8(hybrid.out);
        QVERIFY(page.contains(QStringLiteral("Müller & Söhne GmbH")));
        // The visible totals are the XML's.
        for (const char* amount : {"50.97", "7.65", "58.62"})
            QVERIFY2(page.contains(QLatin1String(amount)) && m_xml.contains(amount), amount);
    }

    void readersAcceptTheFile()
    {
        ZZ_REQUIRE_PDF_READERS();
        const ToolRun check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), m_hybrid});
        QCOMPARE(check.exitCode, 0);
        QVERIFY2(check.out.contains("No syntax or stream encoding errors found"), check.out.constData());
        const ToolRun info = runTool(QStringLiteral("pdfinfo"), {m_hybrid});
        QCOMPARE(info.exitCode, 0);
        QVERIFY(info.err.isEmpty());
        QVERIFY(QString::fromUtf8(info.out).contains(QRegularExpression(QStringLiteral("PDF version: +1\\.7\n"))));
        QVERIFY(QString::fromUtf8(info.out).contains(QRegularExpression(QStringLiteral("Pages: +1\n"))));
        const ToolRun mu = runTool(QStringLiteral("mutool"), {QStringLiteral("draw"), QStringLiteral("-o"), m_dir.filePath(QStringLiteral("page.png")), m_hybrid});
        QCOMPARE(mu.exitCode, 0);
        // Debian's mupdf is built without colour management and says so of every output intent.
        const QByteArray muErr = QByteArray(mu.err).replace("warning: ICC support is not available\n", "");
        QVERIFY2(!muErr.contains("error") && !muErr.contains("warning"), mu.err.constData());
        const ToolRun gs = runTool(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                                                          QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=nullpage"), m_hybrid});
        QCOMPARE(gs.exitCode, 0);
        QVERIFY2(gs.out.isEmpty() && gs.err.isEmpty(), (gs.out + gs.err).constData());
    }

    void onlyAnInvoiceIsEmbedded()
    {
        InvoicePages pages;
        QCOMPARE(errorOf([&] { einvoice::hybridPdf(pages.doc, "<html><body/></html>"); }),
                 QStringLiteral("The e-invoice cannot be embedded: its XML is no Cross Industry Invoice (its root is html)."));
        QVERIFY(errorOf([&] { einvoice::hybridPdf(pages.doc, m_xml.left(m_xml.size() - 10)); })
                    .startsWith(QStringLiteral("The e-invoice cannot be embedded: its XML is not well-formed")));
        QVERIFY(errorOf([&] { einvoice::hybridPdf(pages.doc, QByteArray()); })
                    .startsWith(QStringLiteral("The e-invoice cannot be embedded: its XML is not well-formed")));
        // A PDF without an output intent is no archive's page.
        QCOMPARE(errorOf([&] { einvoice::facturX(report::pdfData(pages.doc), m_xml, m_when); }),
                 QStringLiteral("The e-invoice PDF cannot be made: its pages carry no colour profile."));
        QVERIFY(errorOf([&] { einvoice::facturX("%PDF-1.4 nothing", m_xml, m_when); })
                    .startsWith(QStringLiteral("The e-invoice PDF cannot be made: ")));
    }

    void aFileIsWrittenWholeOrNotAtAll()
    {
        const QString folder = m_dir.filePath(QStringLiteral("no such folder"));
        const QString path = folder + QStringLiteral("/Invoice 57.pdf");
        QVERIFY(errorOf([&] { report::saveFileWhole(path, "data"); }).startsWith(QStringLiteral("The file %1 cannot be written: ").arg(path)));
        QVERIFY(!QFileInfo::exists(folder));
        // A file that stands where the folder should be: nothing of it changes.
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write("keep");
        blocker.close();
        QVERIFY(!errorOf([&] { report::saveFileWhole(path, "data"); }).isEmpty());
        QCOMPARE(readAll(folder), QByteArray("keep"));
        // Over an existing file, the new content replaces it whole, and no temporary file is left.
        const QString target = m_dir.filePath(QStringLiteral("whole.pdf"));
        report::saveFileWhole(target, "old");
        report::saveFileWhole(target, "new content");
        QCOMPARE(readAll(target), QByteArray("new content"));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("whole.pdf*")}, QDir::Files | QDir::Hidden).size(), 1);
    }
};

ZZ_TEST_MAIN(TestFacturX)
#include "test_facturx.moc"
