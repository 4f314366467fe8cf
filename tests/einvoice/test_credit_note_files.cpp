// The credit note of a cancelled invoice as a document: its printout's texts (the heading, its own
// number and date, the invoice it takes back with the regional short date, the reason, the
// invoice's lines and totals), the plain PDF where the e-invoicing details are incomplete, and the
// EN 16931 credit note (type 381, the invoice referenced with its number and date) as Factur-X
// hybrid and XRechnung XML, written alike by the book tool and the print preview.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "data/CreditNotes.h"
#include "data/DataMod.h"
#include "data/EInvoiceDetails.h"
#include "data/Engine.h"
#include "data/Invoices.h"
#include "einvoice/CreditNoteFiles.h"
#include "reports/PreviewForm.h"
#include "reports/PrintInvoice.h"
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

// The text of the first element named `name` inside the first element named `within` (the whole
// document when `within` is empty).
QString xmlValue(const QByteArray& xml, const QString& name, const QString& within = QString())
{
    QXmlStreamReader r(xml);
    int depth = within.isEmpty() ? 1 : 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (depth == 0 && r.name() == within)
                depth = 1;
            else if (depth > 0 && r.name() == name)
                return r.readElementText();
            else if (depth > 0)
                ++depth;
        } else if (r.isEndElement() && depth > 0 && !within.isEmpty()) {
            if (--depth == 0)
                return QString();
        }
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

QString pageText(const QString& pdf)
{
    return QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).out);
}

} // namespace

class TestCreditNoteFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> home;
    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<QTemporaryDir> out;
    QString book;

    QString file(const QString& name) const { return out->filePath(name); }

    void details()
    {
        CompanyEInvoiceDetails c;
        c.country = QStringLiteral("ZA");
        c.vatId = QStringLiteral("ZA4100200300");
        c.email = QStringLiteral("invoices@zuzevevur.example");
        c.iban = QStringLiteral("DE89370400440532013000");
        c.paymentTermsDays = 30;
        c.paymentTermsText = QStringLiteral("Net 30 days");
        c.currency = QStringLiteral("ZAR");
        c.currencyOverridden = true;
        saveCompanyEInvoiceDetails(c);
        CustomerEInvoiceDetails b;
        b.cusCode = 1;
        b.country = QStringLiteral("ZA");
        b.buyerReference = QStringLiteral("04011000-12345-1");
        b.electronicAddress = QStringLiteral("accounts@buyer.example");
        saveCustomerEInvoiceDetails(b);
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
        b.product(QStringLiteral("P1"), QStringLiteral("Widget, blue"), 19.99);
        b.invoice({57, acme, QDate(2026, 1, 15), 15, "NO", {}, "NO", "CURRENT", "PO-77"});
        b.line(57, "P1", 3, 19.99, 15, 16.9915);
        b.invoice({58, acme, QDate(2026, 1, 16), 15});
        b.refresh();
        setNextCreditNoteNumber(3);
        QCOMPARE(cancelInvoice(57, QStringLiteral("Wrong price")), 3);
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
    }

    void thePrintoutNamesTheInvoiceItTakesBack()
    {
        ZZ_REQUIRE_PDF_READERS();
        // Without e-invoicing details the book tool writes the plain printout.
        const QString pdf = file(QStringLiteral("Credit Note 3.pdf"));
        const BookTool t = bookTool({QStringLiteral("creditnote"), book, QStringLiteral("3"), pdf});
        QVERIFY2(t.exitCode == 0, qPrintable(t.err));
        QCOMPARE(t.out, QStringLiteral("Wrote credit note 3 of the SQLite book %1 as a PDF (no e-invoice: the e-invoicing details "
                                       "are incomplete) to %2.\n")
                            .arg(book, pdf));
        QVERIFY(runTool(QStringLiteral("pdfdetach"), {QStringLiteral("-list"), pdf}).out.startsWith("0 embedded files"));
        QVERIFY(pageText(pdf).contains(QStringLiteral("for invoice 57 of ")));
        // In this program's regional settings (the tool runs in the system's), from the same code.
        const QString own = file(QStringLiteral("own.pdf"));
        QVERIFY(einvoice::writeCreditNoteFile(3, own).startsWith(QStringLiteral("a PDF")));
        if (qEnvironmentVariableIsSet("ZZ_KEEP_OUTPUT"))
            QFile::copy(own, QString::fromLocal8Bit(qgetenv("ZZ_KEEP_OUTPUT")) + QStringLiteral("/Credit Note 3.pdf"));
        const QString page = pageText(own);
        QVERIFY2(page.contains(QStringLiteral("Credit Note\n")) || page.contains(QStringLiteral("Credit Note ")), qPrintable(page));
        QVERIFY2(page.contains(QStringLiteral("for invoice 57 of %1").arg(formatShortDate(QDate(2026, 1, 15)))), qPrintable(page));
        QVERIFY(page.contains(QStringLiteral("Reason: Wrong price")));
        QVERIFY(page.contains(QStringLiteral("Credit Note No.:")));
        QVERIFY(page.contains(QStringLiteral("Credit Note Date:")));
        QVERIFY(page.contains(formatShortDate(QDate::currentDate())));
        QVERIFY(!page.contains(QStringLiteral("Invoice Number:")));
        QVERIFY(page.contains(QStringLiteral("Widget, blue")) && page.contains(QStringLiteral("Acme Holdings")));
        for (const char* amount : {"50.97", "7.65", "58.62"})
            QVERIFY2(page.contains(QLatin1String(amount)), amount);
        // What it cannot write: an XML without the details, a credit note the book has not.
        BookTool x = bookTool({QStringLiteral("creditnote"), book, QStringLiteral("3"), file(QStringLiteral("Credit Note 3.xml"))});
        QCOMPARE(x.exitCode, 1);
        QVERIFY2(x.err.startsWith(QStringLiteral("zzbook: Credit note 3 (for invoice 57) cannot be written as an e-invoice: it needs ")),
                 qPrintable(x.err));
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("Credit Note 3.xml"))));
        x = bookTool({QStringLiteral("creditnote"), book, QStringLiteral("4"), file(QStringLiteral("x.pdf"))});
        QCOMPARE(x.exitCode, 1);
        QCOMPARE(x.err, QStringLiteral("zzbook: The book has no credit note 4.\n"));
    }

    void theEInvoiceIsACreditNoteReferencingTheInvoice()
    {
        ZZ_REQUIRE_PDF_READERS();
        details();
        const einvoice::BookCreditNote note(3);
        QVERIFY(note.missingDetails().isEmpty());
        const QByteArray xml = note.xml(einvoice::Profile::EN16931);
        QCOMPARE(xmlValue(xml, QStringLiteral("TypeCode"), QStringLiteral("ExchangedDocument")), QStringLiteral("381"));
        QCOMPARE(xmlValue(xml, QStringLiteral("ID"), QStringLiteral("ExchangedDocument")), QStringLiteral("3"));
        QCOMPARE(xmlValue(xml, QStringLiteral("DateTimeString"), QStringLiteral("ExchangedDocument")),
                 QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
        QCOMPARE(xmlValue(xml, QStringLiteral("IssuerAssignedID"), QStringLiteral("InvoiceReferencedDocument")), QStringLiteral("57"));
        QCOMPARE(xmlValue(xml, QStringLiteral("DateTimeString"), QStringLiteral("InvoiceReferencedDocument")), QStringLiteral("20260115"));
        QCOMPARE(xmlValue(xml, QStringLiteral("GrandTotalAmount")), QStringLiteral("58.62"));
        QCOMPARE(xmlValue(xml, QStringLiteral("DateTimeString"), QStringLiteral("DueDateDateTime")),
                 QDate::currentDate().addDays(30).toString(QStringLiteral("yyyyMMdd")));

        // The book tool's hybrid carries that XML, its XRechnung the same credit note.
        const QString pdf = file(QStringLiteral("Credit Note 3.pdf"));
        BookTool t = bookTool({QStringLiteral("creditnote"), book, QStringLiteral("3"), pdf});
        QVERIFY2(t.exitCode == 0, qPrintable(t.err));
        QVERIFY(t.out.contains(QStringLiteral("as a Factur-X e-invoice")));
        QCOMPARE(detach(pdf, out->path()), xml);
        QCOMPARE(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}).exitCode, 0);
        QVERIFY(pageText(pdf).contains(QStringLiteral("for invoice 57 of")));
        t = bookTool({QStringLiteral("creditnote"), book, QStringLiteral("3"), file(QStringLiteral("Credit Note 3.xml"))});
        QVERIFY2(t.exitCode == 0, qPrintable(t.err));
        const QByteArray xr = fileBytes(file(QStringLiteral("Credit Note 3.xml")));
        QCOMPARE(xr, note.xml(einvoice::Profile::XRechnung));
        QCOMPARE(xmlValue(xr, QStringLiteral("TypeCode"), QStringLiteral("ExchangedDocument")), QStringLiteral("381"));
        QCOMPARE(xmlValue(xr, QStringLiteral("IssuerAssignedID"), QStringLiteral("InvoiceReferencedDocument")), QStringLiteral("57"));
        // ZZ_KEEP_OUTPUT=<folder> keeps the XML for the official rules.
        if (qEnvironmentVariableIsSet("ZZ_KEEP_OUTPUT")) {
            const QString keep = QString::fromLocal8Bit(qgetenv("ZZ_KEEP_OUTPUT"));
            QFile(file(QStringLiteral("Credit Note 3.xml"))).copy(keep + QStringLiteral("/creditnote-xrechnung.xml"));
            QFile f(keep + QStringLiteral("/creditnote-en16931.xml"));
            if (f.open(QIODevice::WriteOnly))
                f.write(xml);
        }
    }

    void thePreviewSavesItUnderItsName()
    {
        ZZ_REQUIRE_PDF_READERS();
        details();
        RecordingSeam seam;
        QString line;
        seam.onPreview = [&](TPreviewForm& preview) {
            line = preview.eInvoiceText();
            preview.savePdfAction()->trigger();
        };
        seam.fileAnswers = {file(QStringLiteral("saved.pdf"))};
        printCreditNoteOfInvoice(57);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.lastText()));
        QCOMPARE(seam.fileRequests.size(), 1);
        QCOMPARE(QFileInfo(seam.fileRequests.at(0).directory).fileName(), QStringLiteral("Credit Note 3.pdf"));
        QCOMPARE(detach(file(QStringLiteral("saved.pdf")), out->path()), einvoice::BookCreditNote(3).xml(einvoice::Profile::EN16931));
        QVERIFY(line.contains(QStringLiteral("e-invoice")));
    }

    void anInvoiceCancelledBeforeCreditNotesGetsOneOnlyWhenAsked()
    {
        // Cancelled by an earlier version: marked, no credit note.
        runSql("UPDATE Invoice SET Inv_Cancelled = 'YES' WHERE Inv_Number = 58");
        RecordingSeam seam;
        seam.answers = {MsgResult::No};
        printCreditNoteOfInvoice(58);
        QCOMPARE(seam.lastText(), QStringLiteral("Invoice 58 was cancelled before credit notes were kept. Record its credit note now?"));
        QVERIFY(!creditNoteOfInvoice(58));
        seam.clear();
        seam.answers = {MsgResult::Yes};
        seam.onPreview = [](TPreviewForm&) {};
        printCreditNoteOfInvoice(58);
        QCOMPARE(creditNoteOfInvoice(58)->number, 4);
        // An invoice that is not cancelled has none, and gets none.
        runSql("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Paid, Inv_Cancelled, Inv_Days) VALUES (59, 1, '2026-01-17', 'NO', 'NO', 'CURRENT')");
        QCOMPARE(errorOf([] { creditNoteForCancelledInvoice(59); }),
                 QStringLiteral("Invoice 59 is not cancelled; only a cancelled invoice has a credit note."));
        QCOMPARE(int(allCreditNotes().size()), 2);
    }
};

ZZ_TEST_MAIN(TestCreditNoteFiles)
#include "test_credit_note_files.moc"
