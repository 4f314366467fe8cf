// Field objects: the one display rule for every type, edit text that reads back to the stored
// value, what assigning a value does to text and whole-number fields, and messages that name
// their field.
#include <QSqlQuery>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/FieldText.h"
#include "data/Regional.h"
#include "tests/support/TestSupport.h"

#include <limits>

using namespace zz;
using test::errorOf;

class TestFields : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

    void addCustomerWithInvoice()
    {
        dm->tblCustomer->Insert();
        dm->tblCustomerCus_Name->SetAsString(QStringLiteral("Owner"));
        dm->tblCustomer->Post();
        dm->tblInvoice->Insert();
        dm->tblInvoiceInv_Number->SetAsInteger(1);
        dm->tblInvoiceInv_Date->SetAsDate(QDate(2024, 5, 1));
    }

private slots:
    void init()
    {
        home = std::make_unique<test::TempHome>();
        setRegional(RegionalSettings{});
        dm = std::make_unique<TDataModule1>();
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
        setRegional(RegionalSettings{});
    }

    void oneRuleForDisplayAndEditText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("edit");
        const auto T = [](FieldType t) { return int(t); };
        QTest::newRow("text") << T(FieldType::Text) << QVariant("Acme") << "" << "Acme" << "Acme";
        QTest::newRow("integer") << T(FieldType::Integer) << QVariant(1234) << "" << "1234" << "1234";
        QTest::newRow("integer with a mask") << T(FieldType::Integer) << QVariant(15) << "#0 %" << "15 %" << "15 %";
        QTest::newRow("large integer with a mask") << T(FieldType::Integer) << QVariant(qlonglong(9007199254740993LL)) << "#,#0"
                                                   << "9,007,199,254,740,993" << "9,007,199,254,740,993";
        QTest::newRow("auto-increment") << T(FieldType::AutoInc) << QVariant(7) << "" << "7" << "7";
        QTest::newRow("float") << T(FieldType::Float) << QVariant(1.0 / 3) << "" << "0.333333333333333" << "0.3333333333333333";
        QTest::newRow("float with a mask") << T(FieldType::Float) << QVariant(33.0) << "#0.00%" << "33.00%" << "33.00%";
        QTest::newRow("money") << T(FieldType::Money) << QVariant(10000.25) << "" << "$10,000.25" << "10000.25";
        QTest::newRow("money, huge") << T(FieldType::Money) << QVariant(1e300) << "" << "(its ends)" << "1E300";
        QTest::newRow("money with a mask") << T(FieldType::Money) << QVariant(5.0) << "0.00" << "5.00" << "5.00";
        QTest::newRow("date") << T(FieldType::Date) << QVariant(QDate(2026, 3, 7)) << "" << "3/7/2026" << "3/7/2026";
        QTest::newRow("date as ISO text") << T(FieldType::Date) << QVariant("2026-03-07") << "" << "3/7/2026" << "3/7/2026";
        QTest::newRow("date and time") << T(FieldType::Date) << QVariant(QDateTime(QDate(2026, 3, 7), QTime(23, 59))) << ""
                                       << "3/7/2026" << "3/7/2026";
        QTest::newRow("picture") << T(FieldType::Graphic) << QVariant(QByteArray("BM")) << "" << "" << "";
        QTest::newRow("null money") << T(FieldType::Money) << QVariant() << "" << "" << "";
    }
    void oneRuleForDisplayAndEditText()
    {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, display);
        QFETCH(QString, edit);
        if (QByteArray(QTest::currentDataTag()) == "money, huge") {
            // The currency form groups every digit; only its ends are compared.
            const QString shown = fieldText(FieldType(type), value, format);
            QVERIFY(shown.startsWith(QStringLiteral("$1,000,000,")) && shown.endsWith(QStringLiteral(",000.00")));
        } else {
            QCOMPARE(fieldText(FieldType(type), value, format), display);
        }
        QCOMPARE(fieldText(FieldType(type), value, format, TextUse::Edit), edit);
    }

    void editTextReadsBackToTheStoredValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("10000.25") << 10000.25;
        QTest::newRow("1234.5678") << 1234.5678;
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2;
        QTest::newRow("tiny") << 1.5e-7;
        QTest::newRow("huge") << 1e300;
        QTest::newRow("negative") << -2.675;
        QTest::newRow("fifteen integer digits") << 123456789012345.6;
        QTest::newRow("largest") << std::numeric_limits<double>::max();
    }
    void editTextReadsBackToTheStoredValue()
    {
        QFETCH(double, value);
        for (const RegionalSettings& r : {RegionalSettings{}, test::germanRegional()}) {
            setRegional(r);
            dm->tblProduct->Insert();
            TField* price = dm->tblProductProd_Price;
            price->SetAsFloat(value);
            const QString text = price->EditText();
            QVERIFY2(!text.contains(r.thousandSeparator), qPrintable(text));
            price->SetAsString(text);
            QCOMPARE(price->AsFloat(), value);
            QCOMPARE(price->AsString(), text);
            dm->tblProduct->Cancel();
        }
    }

    void textIsCutToItsFieldAndEmptyTextIsNull()
    {
        addCustomerWithInvoice();
        // A 30-character order number keeps its first 25 characters, whichever way it is assigned.
        const QString thirty = QStringLiteral("ORDER-0123456789-0123456789-X");
        dm->tblInvoiceInv_Order_No->SetAsString(thirty);
        QCOMPARE(dm->tblInvoiceInv_Order_No->AsString(), thirty.left(25));
        dm->tblInvoiceInv_Order_No->SetValue(thirty);
        QCOMPARE(dm->tblInvoiceInv_Order_No->AsString(), thirty.left(25));
        dm->tblInvoice->Post();
        QCOMPARE(test::storedValue("SELECT Inv_Order_No FROM Invoice").toString(), thirty.left(25));
        // Characters outside the basic plane count as one each, as the engine counts them.
        dm->tblCustomer->Edit();
        const QString faces = QString(12, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
        dm->tblCustomerCus_Address3->SetValue(faces);
        QCOMPARE(dm->tblCustomerCus_Address3->AsString(), QString(10, QLatin1Char('a')));
        dm->tblCustomerCus_Address3->SetValue(QString(9, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80!"));
        QCOMPARE(dm->tblCustomerCus_Address3->AsString(), QString(9, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80"));
        dm->tblCustomer->Post();

        // An empty text is null by every path, so a required field is checked whatever the path.
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Name->SetValue(QString());
        QVERIFY(dm->tblCustomerCus_Name->IsNull());
        dm->tblCustomerCus_Name->SetValue(QStringLiteral(""));
        QVERIFY(dm->tblCustomerCus_Name->IsNull());
        QCOMPARE(errorOf([&] { dm->tblCustomer->Post(); }), QStringLiteral("Field 'Cus_Name' must have a value"));
        dm->tblCustomerCus_Name->SetAsString(QString());
        QVERIFY(dm->tblCustomerCus_Name->IsNull());
        dm->tblCustomer->Cancel();
        QCOMPARE(test::storedValue("SELECT Cus_Name FROM Customer").toString(), QStringLiteral("Owner"));
    }

    void wholeNumbersTakeOneSignAndDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("digits") << "42" << true << 42;
        QTest::newRow("plus sign") << "+42" << true << 42;
        QTest::newRow("minus sign") << "-42" << true << -42;
        QTest::newRow("blanks around") << " 7 " << true << 7;
        QTest::newRow("a sum") << "1+2" << false << 0;
        QTest::newRow("two signs") << "+-3" << false << 0;
        QTest::newRow("trailing sign") << "3-" << false << 0;
        QTest::newRow("too large") << "99999999999" << false << 0;
        QTest::newRow("decimal") << "1.5" << false << 0;
    }
    void wholeNumbersTakeOneSignAndDigits()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        addCustomerWithInvoice();
        dm->tblLine->Insert();
        const QString error = errorOf([&] { dm->tblLineLine_Units->SetAsString(text); });
        if (valid) {
            QCOMPARE(error, QString());
            QCOMPARE(dm->tblLineLine_Units->AsInteger(), value);
        } else {
            QCOMPARE(error, QStringLiteral("'%1' is not a valid integer value for field 'Line_Units'").arg(text));
            QVERIFY(dm->tblLineLine_Units->IsNull());
        }
    }

    void storedValuesThatDoNotFitAreShownAsThemselvesAndKept()
    {
        // Values another program wrote: a price as text, a phone as a blob, counters beyond 32 bits,
        // with a fraction and as text, a date that does not exist.
        setRegional(test::germanRegional());
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Product VALUES ('P1', 'Bolt', 'abc')"));
        QVERIFY(q.exec("INSERT INTO Customer (Cus_Name, Cus_Phone) VALUES ('Acme', X'3535352D31323334')"));
        QVERIFY(q.exec("INSERT INTO Company (Com_Name, Inv_Start_No) VALUES ('Us', 9223372036854775807)"));
        QVERIFY(q.exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT) VALUES (1, 1, '2024-02-30', 15)"));
        for (TTable* t : dm->tables())
            t->Refresh();

        TField* price = dm->tblProductProd_Price;
        QCOMPARE(price->DisplayText(), QStringLiteral("abc"));
        QCOMPARE(errorOf([&] { price->AsMoney(); }), QStringLiteral("'abc' is not a valid floating point value for field 'Prod_Price'"));
        QCOMPARE(dm->tblCustomerCus_Phone->DisplayText(), QStringLiteral("555-1234"));
        TField* counter = dm->tblCompanyInv_Start_No;
        QCOMPARE(counter->DisplayText(), QStringLiteral("9223372036854775807"));
        QCOMPARE(counter->EditText(), QStringLiteral("9223372036854775807"));
        QCOMPARE(errorOf([&] { counter->AsInteger(); }),
                 QStringLiteral("'9223372036854775807' is not a valid integer value for field 'Inv_Start_No'"));
        QCOMPARE(dm->tblInvoiceInv_Date->DisplayText(), QStringLiteral("2024-02-30"));
        QCOMPARE(errorOf([&] { dm->tblInvoiceInv_Date->AsDate(); }), QStringLiteral("'2024-02-30' is not a valid date for field 'Inv_Date'"));

        // Changing another field of the row leaves every such value as it is stored.
        dm->tblProduct->Edit();
        dm->tblProductProd_Description->SetAsString(QStringLiteral("Bolt M6"));
        dm->tblProduct->Post();
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Name->SetAsString(QStringLiteral("Acme Ltd"));
        dm->tblCustomer->Post();
        dm->tblCompany->Edit();
        dm->tblCompanyCom_Name->SetAsString(QStringLiteral("Us Ltd"));
        dm->tblCompany->Post();
        dm->tblInvoice->Edit();
        dm->tblInvoiceInv_Order_No->SetAsString(QStringLiteral("PO-7"));
        dm->tblInvoice->Post();
        QCOMPARE(test::storedValue("SELECT typeof(Prod_Price) || ':' || Prod_Price FROM Product").toString(), QStringLiteral("text:abc"));
        QCOMPARE(test::storedValue("SELECT typeof(Cus_Phone) FROM Customer").toString(), QStringLiteral("blob"));
        QCOMPARE(test::storedValue("SELECT Inv_Start_No FROM Company").toLongLong(), 9223372036854775807LL);
        QCOMPARE(test::storedValue("SELECT Inv_Date FROM Invoice").toString(), QStringLiteral("2024-02-30"));

        // A fraction in a whole-number field is shown with its fraction, not rounded; a text of
        // digits is the number it writes.
        QVERIFY(q.exec("UPDATE Company SET Inv_Start_No = 1001.5"));
        dm->tblCompany->Refresh();
        QCOMPARE(counter->DisplayText(), QStringLiteral("1001,5"));
        QVERIFY(!errorOf([&] { counter->AsInteger(); }).isEmpty());
        QVERIFY(q.exec("UPDATE Company SET Inv_Start_No = CAST('57' AS TEXT)"));
        dm->tblCompany->Refresh();
        QCOMPARE(counter->AsInteger(), 57);

        // The named statements read such values as they are, too.
        QVERIFY(q.exec("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Discount, Line_Price, Line_Discount_Price)"
                       " VALUES (1, 'P1', 5000000000, 10, 1, 1)"));
        dm->qryInvDetail->Close();
        dm->qryInvDetail->Params(0).SetAsInteger(1);
        dm->qryInvDetail->Open();
        QCOMPARE(dm->qryInvDetail->FieldByName("Line_Units")->DisplayText(), QStringLiteral("5000000000"));

        // The program itself assigns only values a field can hold.
        dm->tblCompany->Edit();
        QCOMPARE(errorOf([&] { counter->SetValue(QStringLiteral("12abc")); }),
                 QStringLiteral("'12abc' is not a valid integer value for field 'Inv_Start_No'"));
        QCOMPARE(errorOf([&] { counter->SetValue(qlonglong(1) << 40); }),
                 QStringLiteral("'1099511627776' is not a valid integer value for field 'Inv_Start_No'"));
        counter->SetValue(58.0);
        QCOMPARE(counter->Value(), QVariant(58));
        dm->tblCompany->Cancel();
    }

    void messagesNameTheirField()
    {
        addCustomerWithInvoice();
        QCOMPARE(errorOf([&] { dm->tblInvoiceInv_Date->SetAsString(QStringLiteral("31/31/2024")); }),
                 QStringLiteral("'31/31/2024' is not a valid date for field 'Inv_Date'"));
        dm->tblInvoiceInv_Order_No->SetAsString(QStringLiteral("x1"));
        QCOMPARE(errorOf([&] { dm->tblInvoiceInv_Order_No->AsInteger(); }),
                 QStringLiteral("'x1' is not a valid integer value for field 'Inv_Order_No'"));
        dm->tblInvoice->Cancel();

        // A value the engine's own checks refuse is reported with its field.
        QSqlQuery q = prepareOrThrow(QStringLiteral("UPDATE Customer SET Cus_Name = ?"));
        q.addBindValue(QString(60, QLatin1Char('n')));
        QCOMPARE(errorOf([&] { execOrThrow(q, QStringLiteral("Customer")); }),
                 QStringLiteral("The value of Cus_Name does not fit the field."));
        QCOMPARE(engineErrorText(QStringLiteral("CHECK constraint failed: Inv_Date IS NULL OR length(Inv_Date) = 10"),
                                 QStringLiteral("Invoice")),
                 QStringLiteral("The value of Inv_Date does not fit the field."));

        // An amount beyond the range of money is not read as another amount.
        dm->tblProduct->Insert();
        dm->tblProductProd_Price->SetAsFloat(1e300);
        QCOMPARE(errorOf([&] { dm->tblProductProd_Price->AsMoney(); }),
                 QStringLiteral("'1E300' is not a valid amount of money for field 'Prod_Price'"));
        dm->tblProductProd_Price->SetAsFloat(12.5);
        QCOMPARE(dm->tblProductProd_Price->AsMoney().count(), 125000);
        dm->tblProduct->Cancel();
    }
};

ZZ_TEST_MAIN(TestFields)
#include "test_fields.moc"
