// The payment QR code: its payload byte for byte, and the code on the invoice printout of a book
// whose company has an IBAN and bills in euro, read back by an independent reader (zbarimg) from
// the saved PDF and from the page drawn by the painter backend, both at 300 dpi; without an IBAN
// or in another currency the printout carries nothing of it.
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "data/DataMod.h"
#include "data/EInvoiceDetails.h"
#include "einvoice/EInvoice.h"
#include "einvoice/InvoiceFiles.h"
#include "einvoice/PaymentCode.h"
#include "reports/engine/PageRenderer.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/QrCode.h"
#include "tests/einvoice/PdfReaders.h"
#include "tests/reports/DocumentBook.h"
#include "tests/reports/DocumentCheck.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::einvoice;

namespace {

const QByteArray kExamplePayload = "BCD\n002\n1\nSCT\nCOBADEFFXXX\nZuzevevur Trading\nDE89370400440532013000\nEUR58.62\n\n\nInvoice 57";

CreditTransfer exampleTransfer()
{
    CreditTransfer t;
    t.bic = QStringLiteral("COBADEFFXXX");
    t.name = QStringLiteral("Zuzevevur Trading");
    t.iban = QStringLiteral("DE89370400440532013000");
    t.amount = Money::fromCount(586200);
    t.remittance = QStringLiteral("Invoice 57");
    return t;
}

// What zbarimg reads from a picture: the code's bytes, or "" when it finds none.
QByteArray decoded(const QString& picture)
{
    const test::ToolRun t = test::runTool(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), picture});
    QByteArray out = t.out;
    if (out.endsWith('\n'))
        out.chop(1);
    return t.exitCode == 0 ? out : QByteArray();
}

int itemsOf(const report::ReportDocument& doc, const char* tag)
{
    int n = 0;
    for (const report::Page& p : doc.pages)
        for (const report::PageItem& it : p.items)
            n += doc.tags.value(it.tag) == QLatin1String(tag);
    return n;
}

} // namespace

class TestPaymentCode : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

    void details(const QString& iban, const QString& currency)
    {
        CompanyEInvoiceDetails c;
        c.country = QStringLiteral("DE");
        c.vatId = QStringLiteral("DE123456789");
        c.email = QStringLiteral("invoices@zuzevevur.example");
        c.iban = iban;
        c.bic = QStringLiteral("COBADEFFXXX");
        c.currency = currency;
        c.currencyOverridden = true;
        saveCompanyEInvoiceDetails(c);
    }

private slots:
    void init()
    {
        home = std::make_unique<test::TempHome>();
        setRegional(test::southAfricanRegional());
        dm = std::make_unique<TDataModule1>();
        test::DocumentBook b{*dm};
        b.company();
        const int acme = b.customer(QStringLiteral("Acme Holdings"));
        b.product(QStringLiteral("P1"), QStringLiteral("Widget, blue"), 19.99);
        b.invoice({57, acme, QDate(2026, 1, 15), 15, "NO", {}, "NO", "CURRENT", "PO-77"});
        b.line(57, "P1", 3, 19.99, 15, 16.9915);
        b.refresh();
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
    }

    void thePayloadLineByLine()
    {
        QCOMPARE(epcPayload(exampleTransfer()), kExamplePayload);
        CreditTransfer t = exampleTransfer();
        // No BIC: its line stays, empty. A structured reference replaces the remittance text.
        t.bic.clear();
        t.reference = QStringLiteral("RF18539007547034");
        QCOMPARE(epcPayload(t), QByteArray("BCD\n002\n1\nSCT\n\nZuzevevur Trading\nDE89370400440532013000\nEUR58.62\n\nRF18539007547034"));
        // The name cut to 70 characters (not bytes), a line break in it made a blank; cents rounded.
        t = exampleTransfer();
        t.name = QStringLiteral("Müller\n") + QString(80, QChar(0x00e4));
        t.amount = Money::fromCount(12345650);
        const QList<QByteArray> lines = epcPayload(t).split('\n');
        QCOMPARE(QString::fromUtf8(lines.at(5)), QStringLiteral("Müller ") + QString(63, QChar(0x00e4)));
        QCOMPARE(lines.at(7), QByteArray("EUR1234.57"));
        t.name = QStringLiteral(" \n ");
        QCOMPARE(test::errorOf([&] { epcPayload(t); }), QStringLiteral("A payment code needs the company's name."));
        t.amount = Money();
        QCOMPARE(test::errorOf([&] { epcPayload(t); }), QStringLiteral("A payment code needs an amount from 0.01 to 999999999.99 euro."));
    }

    void theRectanglesCoverExactlyTheDarkModules()
    {
        const report::QrMatrix code = report::encodeQr(kExamplePayload);
        QCOMPARE(code.size, 41); // version 6 at level M: 90 bytes
        const int side = code.size + 2 * report::kQrQuietZone;
        QImage drawn(side, side, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter p(&drawn);
        const std::vector<QRectF> rects = report::qrRectangles(code, QRectF(0, 0, side, side));
        for (const QRectF& r : rects)
            p.fillRect(r, Qt::black);
        p.end();
        int dark = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int mx = x - report::kQrQuietZone, my = y - report::kQrQuietZone;
                const bool want = mx >= 0 && my >= 0 && mx < code.size && my < code.size && code.isDark(mx, my);
                QCOMPARE(qGray(drawn.pixel(x, y)) < 128, want);
                dark += want;
            }
        QVERIFY(rects.size() < std::size_t(dark) / 2); // runs merged, not one square per module
    }

    void theInvoiceCarriesTheCodeThatScansToItsTotal()
    {
        for (const char* tool : {"zbarimg", "pdftoppm"})
            if (!test::installed(tool))
                QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/setup installs it)").arg(QLatin1String(tool))));
        details(QStringLiteral("DE89 3704 0044 0532 0130 00"), QStringLiteral("EUR"));
        QCOMPARE(printoutStatement(57).paymentCode, kExamplePayload);
        const report::ReportDocument doc = invoicePages(57);
        QVERIFY(itemsOf(doc, "QRCodePayment") > 10);
        QCOMPARE(test::textsOf(doc, QStringLiteral("QRLabelScanToPay")), QStringList{QStringLiteral("Scan to pay")});
        QCOMPARE(test::textsOf(doc, QStringLiteral("QRExpr3")), QStringList{QStringLiteral("R 58.62")});

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("Invoice 57.pdf"));
        report::savePdf(doc, pdf);
        const test::ToolRun r = test::runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-f"),
                                                                          QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                                          QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("page"))});
        QCOMPARE(r.exitCode, 0);
        const QStringList pngs = QDir(dir.path()).entryList({QStringLiteral("page*.png")});
        QCOMPARE(pngs.size(), 1);
        QCOMPARE(decoded(dir.filePath(pngs.front())), kExamplePayload);

        // The screen's and printer's backend: the page painted at 300 dpi.
        QImage page(2480, 3508, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        report::paintPage(painter, doc, 0, QRectF(0, 0, page.width(), page.height()));
        painter.end();
        const QString painted = dir.filePath(QStringLiteral("painted.png"));
        QVERIFY(page.save(painted));
        QCOMPARE(decoded(painted), kExamplePayload);
    }

    void noCodeWithoutAnIbanOrInAnotherCurrency()
    {
        const QString before = invoicePages(57).dump(); // a book without details
        QVERIFY(printoutStatement(57).paymentCode.isEmpty());
        details(QString(), QStringLiteral("EUR"));
        QVERIFY(printoutStatement(57).paymentCode.isEmpty());
        details(QStringLiteral("DE89370400440532013000"), QStringLiteral("ZAR"));
        QVERIFY(printoutStatement(57).paymentCode.isEmpty());
        const report::ReportDocument doc = invoicePages(57);
        QCOMPARE(itemsOf(doc, "QRCodePayment") + itemsOf(doc, "QRLabelScanToPay"), 0);
        QVERIFY(!before.contains(QStringLiteral("QRCodePayment")));
        QVERIFY(!before.contains(QStringLiteral("Scan to pay")));
    }
};

QTEST_MAIN(TestPaymentCode)
#include "test_payment_code.moc"
