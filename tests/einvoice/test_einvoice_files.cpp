// An invoice of a book written as an e-invoice from the same code by the book tool
// (zuzevevur-book einvoice BOOK NUMBER FILE.pdf|FILE.xml) and by the print preview of its printout:
// the hybrid's embedded XML is the invoice's, its visible totals are the XML's also where adding
// the unrounded rows would round to another cent; missing details are refused with one message
// and exit status 1, and nothing is written.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "data/DataMod.h"
#include "data/EInvoiceDetails.h"
#include "data/Engine.h"
#include "data/Money.h"
#include "einvoice/InvoiceFiles.h"
#include "reports/PreviewForm.h"
#include "reports/PrintInvoice.h"
#include "reports/ReportInv.h"
#include "tests/einvoice/PdfReaders.h"
#include "tests/reports/DocumentBook.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::test;

namespace {

struct BookTool {
    int exitCode = -1;
    QString out, err;
};

BookTool bookTool(const QStringList& args)
{
    // A runtime folder of its own, as a desktop session gives one (Qt warns without it).
    static QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZZ_BOOK_TOOL), args);
    BookTool t;
    if (!p.waitForFinished(120000))
        return t;
    t.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    t.out = QString::fromUtf8(p.readAllStandardOutput());
    t.err = QString::fromUtf8(p.readAllStandardError());
    return t;
}

// The text of one element of the XML, by its local name, the first of them.
QString xmlValue(const QByteArray& xml, const QString& name)
{
    QXmlStreamReader r(xml);
    while (!r.atEnd())
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == name)
            return r.readElementText();
    return QString();
}

// The guideline the XML names (the ID of its guideline parameter).
QString guideline(const QByteArray& xml)
{
    QXmlStreamReader r(xml);
    bool inside = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("GuidelineSpecifiedDocumentContextParameter"))
            inside = true;
        else if (inside && r.isStartElement() && r.name() == QLatin1String("ID"))
            return r.readElementText();
    }
    return QString();
}

QByteArray detach(const QString& pdf, const QString& folder)
{
    const QString out = folder + QStringLiteral("/detached.xml");
    QFile::remove(out);
    runTool(QStringLiteral("pdfdetach"), {QStringLiteral("-save"), QStringLiteral("1"), QStringLiteral("-o"), out, pdf});
    return fileBytes(out);
}

// What the page prints for an amount of the XML ("30.03" as the regional settings print it).
QString printed(const QString& amount) { return formatCurrency(Money::fromCount(qRound64(amount.toDouble() * 10000))); }

} // namespace

class TestEInvoiceFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> home;
    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<QTemporaryDir> out;
    QString book;

    QString file(const QString& name) const { return out->filePath(name); }

    void details(bool customer)
    {
        CompanyEInvoiceDetails c;
        c.country = QStringLiteral("ZA");
        c.vatId = QStringLiteral("ZA4100200300");
        c.email = QStringLiteral("invoices@zuzevevur.example");
        c.iban = QStringLiteral("DE89370400440532013000");
        c.paymentTermsDays = 30;
        c.paymentTermsText = QStringLiteral("Net 30 days");
        c.currency = QStringLiteral("ZAR");
        c.currencyOverridden = true; // the same in the book tool, whatever its regional settings
        saveCompanyEInvoiceDetails(c);
        if (!customer)
            return;
        for (int code : {1, 2}) {
            CustomerEInvoiceDetails b;
            b.cusCode = code;
            b.country = code == 1 ? QStringLiteral("ZA") : QStringLiteral("DE");
            b.buyerReference = QStringLiteral("04011000-12345-%1").arg(code);
            b.electronicAddress = QStringLiteral("accounts%1@buyer.example").arg(code);
            saveCustomerEInvoiceDetails(b);
        }
    }

private slots:
    void init()
    {
        home = std::make_unique<TempHome>();
        setRegional(southAfricanRegional());
        dm = std::make_unique<TDataModule1>();
        out = std::make_unique<QTemporaryDir>();
        book = Engine::bookName();
        DocumentBook b{*dm};
        b.company();
        const int acme = b.customer(QStringLiteral("Acme Holdings"));
        const int mueller = b.customer(QStringLiteral("Müller & Söhne GmbH"), QStringLiteral("Jürgen Weiß"));
        b.product(QStringLiteral("P1"), QStringLiteral("Widget, blue"), 19.99);
        b.product(QStringLiteral("P2"), QStringLiteral("Bolt"), 10.005);
        b.invoice({57, acme, QDate(2026, 1, 15), 15, "NO", {}, "NO", "CURRENT", "PO-77"});
        b.line(57, "P1", 3, 19.99, 15, 16.9915);
        // Three lines of 10.005: the rows add up to 30.015 (30.02), the lines rounded to 30.03.
        b.invoice({58, mueller, QDate(2026, 1, 16), 15});
        for (int i = 0; i < 3; ++i)
            b.line(58, "P2", 1, 10.005, 0, 10.005);
        b.refresh();
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
    }

    void theBookToolWritesTheHybridAndTheXRechnungXml()
    {
        ZZ_REQUIRE_PDF_READERS();
        details(true);
        const BookTool pdf = bookTool({QStringLiteral("einvoice"), book, QStringLiteral("57"), file(QStringLiteral("Invoice 57.pdf"))});
        QVERIFY2(pdf.exitCode == 0, qPrintable(pdf.err));
        QCOMPARE(pdf.out, QStringLiteral("Wrote invoice 57 of the SQLite book %1 as a Factur-X e-invoice to %2.\n").arg(book, file(QStringLiteral("Invoice 57.pdf"))));
        const einvoice::BookEInvoice invoice(57);
        const QByteArray xml = detach(file(QStringLiteral("Invoice 57.pdf")), out->path());
        QCOMPARE(xml, invoice.xml(einvoice::Profile::EN16931));
        QCOMPARE(guideline(xml), QStringLiteral("urn:cen.eu:en16931:2017"));
        QCOMPARE(xmlValue(xml, QStringLiteral("GrandTotalAmount")), QStringLiteral("58.62"));
        // The tool prints in the system's regional settings; the digits are the XML's.
        const QString page = QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {file(QStringLiteral("Invoice 57.pdf")), QStringLiteral("-")}).out);
        for (const char* amount : {"50.97", "7.65", "58.62"})
            QVERIFY2(page.contains(QLatin1String(amount)), amount);

        const BookTool x = bookTool({QStringLiteral("einvoice"), book, QStringLiteral("57"), file(QStringLiteral("Invoice 57.xml"))});
        QVERIFY2(x.exitCode == 0, qPrintable(x.err));
        QCOMPARE(x.out, QStringLiteral("Wrote invoice 57 of the SQLite book %1 as an XRechnung XML to %2.\n").arg(book, file(QStringLiteral("Invoice 57.xml"))));
        const QByteArray xr = fileBytes(file(QStringLiteral("Invoice 57.xml")));
        QCOMPARE(xr, invoice.xml(einvoice::Profile::XRechnung));
        QCOMPARE(guideline(xr), QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0"));
        QCOMPARE(xmlValue(xr, QStringLiteral("BuyerReference")), QStringLiteral("04011000-12345-1"));
    }

    void theHybridsPageShowsTheXmlsTotals()
    {
        ZZ_REQUIRE_PDF_READERS();
        details(true);
        const QString path = file(QStringLiteral("Invoice 58.pdf"));
        QCOMPARE(einvoice::writeEInvoiceFile(58, path), QStringLiteral("a Factur-X e-invoice"));
        const QByteArray xml = detach(path, out->path());
        QCOMPARE(xmlValue(xml, QStringLiteral("TaxBasisTotalAmount")), QStringLiteral("30.03"));
        const QString page = QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}).out);
        QVERIFY(page.contains(QStringLiteral("Müller & Söhne GmbH")));
        // Sub-Total, VAT and Total, each on its line, are the XML's net, VAT and grand totals.
        auto amountOn = [&page](const QString& caption) {
            for (const QString& line : page.split(QLatin1Char('\n')))
                if (line.trimmed().startsWith(caption) || line.contains(QLatin1String("  ") + caption + QLatin1Char(' ')))
                    return line.section(QLatin1String("  "), -1).trimmed();
            return QString();
        };
        QCOMPARE(amountOn(QStringLiteral("Sub-Total")), printed(xmlValue(xml, QStringLiteral("TaxBasisTotalAmount"))));
        QCOMPARE(amountOn(QStringLiteral("Total")), printed(xmlValue(xml, QStringLiteral("GrandTotalAmount"))));
        QVERIFY(page.contains(printed(xmlValue(xml, QStringLiteral("TaxTotalAmount")))));
        QCOMPARE(printed(xmlValue(xml, QStringLiteral("GrandTotalAmount"))), formatCurrency(Money::fromCount(345300)));
    }

    void missingDetailsAreRefusedAndNothingIsWritten()
    {
        // Without any details: the one message names them; status 1; no file.
        const QString pdf = file(QStringLiteral("Invoice 57.pdf"));
        BookTool t = bookTool({QStringLiteral("einvoice"), book, QStringLiteral("57"), pdf});
        QCOMPARE(t.exitCode, 1);
        QVERIFY2(t.err.startsWith(QStringLiteral("zzbook: Invoice 57 cannot be written as an e-invoice: it needs ")), qPrintable(t.err));
        QVERIFY(t.err.contains(QStringLiteral("the company's country")));
        QCOMPARE(t.err.count(QLatin1Char('\n')), 1);
        QVERIFY(t.out.isEmpty());
        QVERIFY(!QFileInfo::exists(pdf));
        // The company's alone are not enough; XRechnung asks for the buyer reference too.
        details(false);
        t = bookTool({QStringLiteral("einvoice"), book, QStringLiteral("57"), file(QStringLiteral("Invoice 57.xml"))});
        QCOMPARE(t.exitCode, 1);
        QVERIFY2(t.err.contains(QStringLiteral("the customer's")), qPrintable(t.err));
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("Invoice 57.xml"))));

        // What the tool cannot take: another suffix, no number, an invoice that is not there.
        t = bookTool({QStringLiteral("einvoice"), book, QStringLiteral("57"), file(QStringLiteral("Invoice 57.txt"))});
        QCOMPARE(t.exitCode, 1);
        QCOMPARE(t.err, QStringLiteral("zzbook: %1 names neither a PDF file (.pdf, the Factur-X e-invoice) nor an XML file (.xml, the XRechnung XML).\n")
                            .arg(file(QStringLiteral("Invoice 57.txt"))));
        t = bookTool({QStringLiteral("einvoice"), book, QStringLiteral("fifty"), pdf});
        QCOMPARE(t.exitCode, 1);
        QCOMPARE(t.err, QStringLiteral("zzbook: fifty is no invoice number.\n"));
        // Into a folder that is not there: refused, nothing made.
        details(true);
        QCOMPARE(bookTool({QStringLiteral("einvoice"), book, QStringLiteral("57"), file(QStringLiteral("none/Invoice 57.pdf"))}).exitCode, 1);
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("none"))));
    }

    void thePrintoutsPreviewWritesTheSameFiles()
    {
        ZZ_REQUIRE_PDF_READERS();
        frmReportInv = new TfrmReportInv;
        RecordingSeam seam;
        QString line;
        bool xmlShown = false;
        int shots = 0;
        seam.onPreview = [&](TPreviewForm& preview) {
            line = preview.eInvoiceText();
            xmlShown = preview.saveXmlAction()->isVisible();
            // ZZ_KEEP_OUTPUT=<folder> keeps a picture of the preview with its line.
            if (qEnvironmentVariableIsSet("ZZ_KEEP_OUTPUT")) {
                QCoreApplication::processEvents(); // the status bar lays out its new texts
                preview.grab().save(QString::fromLocal8Bit(qgetenv("ZZ_KEEP_OUTPUT")) + QStringLiteral("/preview-%1.png").arg(++shots));
            }
            preview.savePdfAction()->trigger();
            preview.saveXmlAction()->trigger();
        };
        // Without the details: the plain PDF, the line naming them, the XML refused.
        seam.fileAnswers = {file(QStringLiteral("plain.pdf"))};
        printInvoice(57);
        QVERIFY(xmlShown);
        QVERIFY2(line.startsWith(QStringLiteral("No e-invoice, a plain PDF: missing ")) && line.contains(QStringLiteral("the company's country"))
                     && !line.contains(QLatin1Char('\n')),
                 qPrintable(line));
        QCOMPARE(seam.fileRequests.size(), 1);
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY(seam.lastText().startsWith(QStringLiteral("Invoice 57 cannot be written as an e-invoice: it needs ")));
        QVERIFY(runTool(QStringLiteral("pdfdetach"), {QStringLiteral("-list"), file(QStringLiteral("plain.pdf"))}).out.startsWith("0 embedded files"));

        // With them: the hybrid and the XRechnung XML, as the book tool writes them.
        details(true);
        seam.clear();
        seam.fileAnswers = {file(QStringLiteral("Invoice 57.pdf")), file(QStringLiteral("Invoice 57.xml"))};
        printInvoice(57);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.lastText()));
        QCOMPARE(line, QStringLiteral("Save as PDF and E-mail write it as an e-invoice (Factur-X)."));
        QCOMPARE(QFileInfo(seam.fileRequests.at(1).directory).fileName(), QStringLiteral("Invoice 57.xml"));
        const einvoice::BookEInvoice invoice(57);
        QCOMPARE(detach(file(QStringLiteral("Invoice 57.pdf")), out->path()), invoice.xml(einvoice::Profile::EN16931));
        QCOMPARE(fileBytes(file(QStringLiteral("Invoice 57.xml"))), invoice.xml(einvoice::Profile::XRechnung));
        // The letterhead's logo goes into the archive as an opaque RGB picture, and the file reads
        // without a fault.
        QpdfJson hybrid(file(QStringLiteral("Invoice 57.pdf")));
        int pictures = 0;
        for (const QJsonValue& o : hybrid.objects) {
            const QJsonObject d = o.toObject().value(QStringLiteral("stream")).toObject().value(QStringLiteral("dict")).toObject();
            if (d.value(QStringLiteral("/Subtype")).toString() != QLatin1String("/Image"))
                continue;
            ++pictures;
            QCOMPARE(d.value(QStringLiteral("/ColorSpace")).toString(), QStringLiteral("/DeviceRGB"));
            QVERIFY(!d.contains(QStringLiteral("/SMask")) && !d.contains(QStringLiteral("/Mask")));
            QVERIFY(!d.value(QStringLiteral("/Interpolate")).toBool());
        }
        QCOMPARE(pictures, 1);
        QCOMPARE(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), file(QStringLiteral("Invoice 57.pdf"))}).exitCode, 0);
        // The book tool embeds the very same XML.
        const BookTool t = bookTool({QStringLiteral("einvoice"), book, QStringLiteral("57"), file(QStringLiteral("tool.pdf"))});
        QCOMPARE(t.exitCode, 0);
        QCOMPARE(detach(file(QStringLiteral("tool.pdf")), out->path()), invoice.xml(einvoice::Profile::EN16931));
        delete frmReportInv;
        frmReportInv = nullptr;
    }
};

ZZ_TEST_MAIN(TestEInvoiceFiles)
#include "test_einvoice_files.moc"
