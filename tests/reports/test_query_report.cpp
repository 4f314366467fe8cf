// A report bound to a named query of the data module, on a real database.
#include <QSqlQuery>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Logo.h"
#include "data/Regional.h"
#include "reports/engine/DataSetAdapter.h"
#include "reports/engine/ReportDefinition.h"
#include "reports/engine/ReportDocument.h"
#include "reports/engine/ReportGenerator.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::report;

class TestQueryReport : public QObject {
    Q_OBJECT
private slots:
    void revenueShapedReportOverTheRevenueStatement()
    {
        test::TempHome home;
        RegionalSettings r;
        r.currencySymbol = "R";
        setRegional(r);
        TDataModule1 dm;
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Customer (Cus_Name) VALUES ('Beta'), ('Alpha')"));
        QVERIFY(q.exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT, Inv_PayDate, Inv_Paid) VALUES "
                       "(11, 1, '2026-01-01', 15, '2026-01-10', 'YES'), (12, 2, '2026-01-01', 15, '2026-01-11', 'YES')"));
        QVERIFY(q.exec("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Discount_Price) VALUES "
                       "(11, 'P', 2, 10.125), (12, 'P', 1, 1000000)"));

        TQuery* rev = dm.qryReportRevenue;
        rev->Params(0).SetAsDate(QDate(2026, 1, 1));
        rev->Params(1).SetAsDate(QDate(2026, 12, 31));
        rev->Open();
        DataSetAdapter data(rev);

        Report rep;
        rep.dataset = &data;
        rep.addBand(BandKind::ColumnHeader, 106, FrameAll).add(Element::label("H1", "Customer Name", 339, 29));
        Band& detail = rep.addBand(BandKind::Detail, 48, FrameLeft | FrameRight);
        detail.add(Element::dataText("D1", "Inv_Number", 42, 0));
        detail.add(Element::dataText("D2", "Cus_Name", 339, 0));
        detail.add(Element::dataText("D3", "Total", 1609, 0).fixedWidth(235));
        rep.addBand(BandKind::Summary, 100, FrameAll).add(Element::expr("S1", "SUM(Total)", 1609, 21).fixedWidth(235));
        rep.setMask("S1", regional().currencySymbol + " #,00#0.00");

        ReportDocument doc;
        QCOMPARE(generateReport(rep, doc), GenerationResult::Completed);
        const QString dump = doc.dump();
        // Rows in the statement's order (by name), the money column in the currency format,
        // and the total through its mask.
        const int alpha = dump.indexOf("Alpha"), beta = dump.indexOf("Beta");
        QVERIFY2(alpha > 0 && beta > alpha, qPrintable(dump));
        QVERIFY2(dump.contains("R20.25"), qPrintable(dump));
        QVERIFY2(dump.contains("R1,000,000.00"), qPrintable(dump));
        QVERIFY2(dump.contains("R 1,000,020.25"), qPrintable(dump));
        // The report leaves the bound query on its last row.
        QCOMPARE(rev->FieldByName("Cus_Name")->AsString(), QStringLiteral("Beta"));
    }

    void graphicFieldsDeliverTheirPicture()
    {
        test::TempHome home;
        TDataModule1 dm;
        QImage logo(5, 3, QImage::Format_RGB32);
        logo.fill(Qt::darkBlue);
        QSqlQuery q(Engine::database());
        q.prepare("INSERT INTO Company (Com_Name, Com_Logo) VALUES ('Acme', ?)");
        q.addBindValue(encodeLogo(logo));
        QVERIFY(q.exec());
        dm.tblCompany->Refresh();
        DataSetAdapter company(dm.tblCompany);
        const int field = company.fieldIndex("com_logo");
        QCOMPARE(company.fieldType(field), report::FieldType::Graphic);
        const QImage read = decodeStoredPicture(company.value(field));
        QCOMPARE(read.size(), QSize(5, 3));
        QCOMPARE(read.pixelColor(4, 2), QColor(Qt::darkBlue));
        // A value that is no bitmap gives no picture (the report prints none).
        QVERIFY(q.exec("UPDATE Company SET Com_Logo = x'424d0102030405060708'"));
        dm.tblCompany->Refresh();
        QVERIFY(decodeStoredPicture(company.value(field)).isNull());
        QCOMPARE(company.fieldIndex("Missing"), -1);
    }
};

ZZ_TEST_MAIN(TestQueryReport)
#include "test_query_report.moc"
