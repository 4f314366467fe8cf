// Table cursors: modes, posting, deleting, searching, master-detail following and named statements,
// each case on its own fresh database, on both engines (the embedded SQLite book and a PostgreSQL
// server).
#include <QSqlQuery>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using test::errorOf;

namespace {
const LocateOptions kSearch = LocateOption::PartialKey | LocateOption::CaseInsensitive;

int countRows(const QString& sql)
{
    QSqlQuery q(Engine::database());
    q.exec(sql);
    return q.next() ? q.value(0).toInt() : -1;
}
} // namespace

class TestCursors : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

    void addCustomer(const QString& name)
    {
        dm->tblCustomer->Insert();
        dm->tblCustomerCus_Name->SetAsString(name);
        dm->tblCustomer->Post();
    }
    void addInvoice(int number)
    {
        dm->tblInvoice->Insert();
        dm->tblInvoiceInv_Number->SetAsInteger(number);
        dm->tblInvoiceInv_Date->SetAsDate(QDate(2024, 5, 1));
        dm->tblInvoice->Post();
    }
    void addLine(const QString& product, int units)
    {
        dm->tblLine->Insert();
        dm->tblLineProd_Code->SetAsString(product);
        dm->tblLineLine_Units->SetAsInteger(units);
        dm->tblLine->Post();
    }
    QStringList customerNames()
    {
        QStringList out;
        for (int i = 0; i < dm->tblCustomer->RecordCount(); ++i)
            out << dm->tblCustomer->rowValue(i, 1).toString();
        return out;
    }

private slots:
    void initTestCase_data() { test::addEngineColumn(); }
    void init()
    {
        home = std::make_unique<test::TempHome>();
        ZZ_USE_ENGINE();
        dm = std::make_unique<TDataModule1>();
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
    }

    void editOnEmptySingleRowTableInsertsAndPostWritesIt()
    {
        TTable* vat = dm->tblVAT;
        QVERIFY(vat->IsEmpty());
        vat->Edit();
        QCOMPARE(vat->State(), DataSetState::Insert);
        dm->tblVATVAT_Percentage->SetAsFloat(15);
        vat->Post();
        QCOMPARE(vat->State(), DataSetState::Browse);
        QCOMPARE(countRows("SELECT count(*) FROM VAT WHERE VAT_Percentage = 15"), 1);
        QCOMPARE(dm->tblVATVAT_Percentage->DisplayText(), QStringLiteral("15.00%"));

        // A second edit changes that row, it does not add one.
        vat->Edit();
        QCOMPARE(vat->State(), DataSetState::Edit);
        dm->tblVATVAT_Percentage->SetAsFloat(14);
        vat->Post();
        QCOMPARE(countRows("SELECT count(*) FROM VAT"), 1);
        QCOMPARE(dm->tblVATVAT_Percentage->AsFloat(), 14.0);
    }

    void postedRowsTakeTheirPlaceInBrowseOrderWithDefaultsAndAutoIncrement()
    {
        addCustomer("Mulder");
        addCustomer("adams");
        addCustomer("Baker");
        QCOMPARE(customerNames(), (QStringList{"adams", "Baker", "Mulder"}));
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Baker"));
        QVERIFY(dm->tblCustomerCus_Code->AsInteger() > 0);
        const int bakerCode = dm->tblCustomerCus_Code->AsInteger();

        // Renaming moves the row and keeps it current.
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Name->SetAsString("Zulu");
        dm->tblCustomer->Post();
        QCOMPARE(customerNames(), (QStringList{"adams", "Mulder", "Zulu"}));
        QCOMPARE(dm->tblCustomer->RecNo(), 2);
        QCOMPARE(dm->tblCustomerCus_Code->AsInteger(), bakerCode);

        // A new invoice takes the customer's code and the table's defaults.
        addInvoice(1001);
        QCOMPARE(dm->tblInvoiceCus_Code->AsInteger(), bakerCode);
        QCOMPARE(dm->tblInvoiceInv_Paid->AsString(), QStringLiteral("NO"));
        QCOMPARE(dm->tblInvoiceInv_Cancelled->AsString(), QStringLiteral("NO"));
        QCOMPARE(dm->tblInvoiceInv_Days->AsString(), QStringLiteral("CURRENT"));
        QCOMPARE(dm->tblInvoiceInv_Date->AsDate(), QDate(2024, 5, 1));
        QVERIFY(dm->tblInvoiceInv_PayDate->IsNull());
    }

    void insertCancelAndDeleteRules()
    {
        TTable* t = dm->tblCustomer;
        QCOMPARE(errorOf([&] { t->Delete(); }), QStringLiteral("Cannot perform this operation on an empty dataset"));
        addCustomer("A");
        addCustomer("B");
        addCustomer("C");
        t->Locate("Cus_Name", "B", kSearch);
        QCOMPARE(t->RecNo(), 1);

        // Insert then cancel: the row current before is current again.
        t->Insert();
        QCOMPARE(t->RecordCount(), 4);
        QCOMPARE(t->RecNo(), 1);
        QVERIFY(dm->tblCustomerCus_Name->IsNull());
        t->Cancel();
        QCOMPARE(t->State(), DataSetState::Browse);
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("B"));
        QCOMPARE(t->RecordCount(), 3);

        // Delete while a new row is pending drops only that row.
        t->Insert();
        dm->tblCustomerCus_Name->SetAsString("X");
        t->Delete();
        QCOMPARE(countRows("SELECT count(*) FROM Customer"), 3);
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("B"));

        // An unmodified new row is dropped when the cursor moves on.
        t->Insert();
        t->First();
        QCOMPARE(t->State(), DataSetState::Browse);
        QCOMPARE(countRows("SELECT count(*) FROM Customer"), 3);

        // Delete: the next row becomes current, or the previous one at the end.
        t->Locate("Cus_Name", "B", kSearch);
        t->Delete();
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("C"));
        t->Delete();
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("A"));
        t->Delete();
        QVERIFY(t->IsEmpty());
        QCOMPARE(t->RecNo(), -1);
        QCOMPARE(countRows("SELECT count(*) FROM Customer"), 0);
    }

    void requiredFieldsAreCheckedInFieldOrderAndFailureKeepsTheRowPending()
    {
        TTable* p = dm->tblProduct;
        p->Insert();
        dm->tblProductProd_Price->SetAsFloat(2.5);
        QCOMPARE(errorOf([&] { p->Post(); }), QStringLiteral("Field 'Prod_Code' must have a value"));
        QCOMPARE(p->State(), DataSetState::Insert);
        dm->tblProductProd_Code->SetAsString("P1");
        QCOMPARE(errorOf([&] { p->Post(); }), QStringLiteral("Field 'Prod_Description' must have a value"));
        QCOMPARE(p->State(), DataSetState::Insert);
        QCOMPARE(countRows("SELECT count(*) FROM Product"), 0);
        dm->tblProductProd_Description->SetAsString("Widget");
        p->Post();
        QCOMPARE(countRows("SELECT count(*) FROM Product"), 1);

        // A repeated key is refused by the engine with the key in the message; the row stays pending.
        p->Insert();
        dm->tblProductProd_Code->SetAsString("P1");
        dm->tblProductProd_Description->SetAsString("Gadget");
        dm->tblProductProd_Price->SetAsFloat(1);
        const QString err = errorOf([&] { p->Post(); });
        QVERIFY2(err.contains("Key violation") && err.contains("P1"), qPrintable(err));
        QCOMPARE(p->State(), DataSetState::Insert);
        // Text goes to the engine only as a bound value.
        dm->tblProductProd_Code->SetAsString("P2');DROP TABLE X--");
        p->Post();
        QCOMPARE(countRows("SELECT count(*) FROM Product"), 2);

        // Read-only and auto-increment fields are not required of the user and cannot be written.
        dm->tblCustomer->Insert();
        QVERIFY(!errorOf([&] { dm->tblCustomerCus_Code->SetAsInteger(5); }).isEmpty());
        dm->tblCustomer->Cancel();
    }

    void locateFindsByPrefixWithoutCaseAndKeepsTheRowWithoutAMatch()
    {
        for (const char* n : {"Anderson", "Smithers", "smith & co", "Smyth", "Zed"})
            addCustomer(n);
        TTable* t = dm->tblCustomer;
        t->First();
        QVERIFY(t->Locate("CUS_NAME", "smi", kSearch));
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("smith & co"));
        QVERIFY(t->Locate("Cus_Name", "SMITHE", kSearch));
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Smithers"));
        QVERIFY(!t->Locate("Cus_Name", "sons", kSearch));
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Smithers"));
        QVERIFY(!t->Locate("Cus_Name", "zz", kSearch));
        QVERIFY(t->Locate("Cus_Name", "z", kSearch));
        QCOMPARE(t->RecNo(), 4);
        // A field outside the browse order and an exact search.
        QVERIFY(t->Locate("Cus_Code", dm->tblCustomer->rowValue(1, 0), {}));
        QCOMPARE(t->RecNo(), 1);
        QCOMPARE(errorOf([&] { t->Locate("Nope", "x", kSearch); }), QStringLiteral("tblCustomer: Field 'Nope' not found"));
        // Wildcard characters are plain text.
        QVERIFY(!t->Locate("Cus_Name", "%", kSearch));
        QVERIFY(!t->Locate("Cus_Address1", "_", kSearch));
    }

    void locateComparesExactlyUnlessToldOtherwise()
    {
        for (const char* n : {"Anderson", "Smithers", "smith & co"})
            addCustomer(n);
        TTable* t = dm->tblCustomer;
        t->Locate("Cus_Name", "Anderson", kSearch);
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Address1->SetAsString("12 Main Road");
        dm->tblCustomer->Post();
        t->First();
        // An exact search on the name, whose browse order ignores case, still minds case.
        QVERIFY(!t->Locate("Cus_Name", "smithers", {}));
        QCOMPARE(t->RecNo(), 0);
        QVERIFY(t->Locate("Cus_Name", "Smithers", {}));
        QCOMPARE(t->RecNo(), 2);
        QVERIFY(!t->Locate("Cus_Name", "Smith", {}));
        QVERIFY(t->Locate("Cus_Name", "SMITH & CO", LocateOption::CaseInsensitive));
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("smith & co"));
        QVERIFY(!t->Locate("Cus_Name", "SMITH", LocateOption::CaseInsensitive));
        // A prefix without regard to case on a field outside the browse order finds its row.
        QVERIFY(t->Locate("Cus_Address1", "12 MAIN", kSearch));
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Anderson"));
        QVERIFY(!t->Locate("Cus_Address1", "MAIN", kSearch));
        QVERIFY(!t->Locate("Cus_Address1", "12 MAIN", LocateOption::PartialKey));
        QVERIFY(t->Locate("Cus_Address1", "12 Main", LocateOption::PartialKey));
    }

    void appendingAndCancellingLeavesTheLastRow()
    {
        for (const char* n : {"A", "B", "C"})
            addCustomer(n);
        TTable* t = dm->tblCustomer;
        t->First();
        t->Append();
        QCOMPARE(t->RecNo(), 3);
        QCOMPARE(t->RecordCount(), 4);
        t->Cancel();
        QCOMPARE(t->RecordCount(), 3);
        QCOMPARE(t->RecNo(), 2);
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("C"));
    }

    void aDetailMovesOnlyWhenItsMastersRowChanges()
    {
        addCustomer("One");
        addInvoice(1);
        addInvoice(2);
        addInvoice(3);
        addLine("P1", 1);
        addLine("P2", 2);
        addCustomer("Two");
        addInvoice(4);
        dm->tblCustomer->First();
        QVERIFY(dm->tblInvoice->Locate("Inv_Number", 3, {}));
        QVERIFY(dm->tblLine->Locate("Prod_Code", "P2", {}));
        auto where = [&] {
            return QStringLiteral("%1/%2").arg(dm->tblInvoiceInv_Number->AsInteger()).arg(dm->tblLineProd_Code->AsString());
        };
        QCOMPARE(where(), QStringLiteral("3/P2"));

        // The customer changed and posted, renamed (a new place in the name order), cancelled and
        // re-read: the same customer stays current, and so do its invoice and line.
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Address1->SetAsString("Somewhere");
        dm->tblCustomer->Post();
        QCOMPARE(where(), QStringLiteral("3/P2"));
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Name->SetAsString("Zero");
        dm->tblCustomer->Post();
        QCOMPARE(dm->tblCustomer->RecNo(), 1);
        QCOMPARE(where(), QStringLiteral("3/P2"));
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Name->SetAsString("Changed my mind");
        dm->tblCustomer->Cancel();
        QCOMPARE(where(), QStringLiteral("3/P2"));
        dm->tblCustomer->Refresh();
        QCOMPARE(where(), QStringLiteral("3/P2"));
        // The invoice itself posted on its row keeps its line.
        dm->tblInvoice->Edit();
        dm->tblInvoiceInv_Order_No->SetAsString("PO-7");
        dm->tblInvoice->Post();
        QCOMPARE(where(), QStringLiteral("3/P2"));

        // Another customer current: the invoices follow, from their first row.
        dm->tblCustomer->First();
        QCOMPARE(where(), QStringLiteral("4/"));
        dm->tblCustomer->Last();
        QCOMPARE(where(), QStringLiteral("1/"));
        // A new customer row and back: the first invoice again.
        dm->tblInvoice->Last();
        dm->tblCustomer->Insert();
        QCOMPARE(dm->tblInvoice->RecordCount(), 0);
        dm->tblCustomer->Cancel();
        QCOMPARE(where(), QStringLiteral("1/"));
    }

    void aTransactionLandsTogetherOrNotAtAll()
    {
        const auto stored = [](const QString& table) { return countRows("SELECT count(*) FROM " + table); };
        // Committed: the rows land; a second commit or a rollback after it changes nothing.
        {
            Transaction t;
            addCustomer("Adams");
            addCustomer("Brown");
            t.commit();
            QVERIFY(!t.active());
            t.commit();
            t.rollback();
        }
        QCOMPARE(stored("Customer"), 2);

        // Ended without a commit by an error: what the cursors wrote is gone, and they show it
        // once they read again.
        try {
            Transaction t;
            addCustomer("Carter");
            dm->tblVAT->Edit();
            dm->tblVATVAT_Percentage->SetAsFloat(15);
            dm->tblVAT->Post();
            throw EDatabaseError("stop");
        } catch (const EDatabaseError&) {
        }
        QCOMPARE(stored("Customer"), 2);
        QCOMPARE(stored("VAT"), 0);
        QCOMPARE(dm->tblCustomer->RecordCount(), 3);
        dm->tblCustomer->Refresh();
        dm->tblVAT->Refresh();
        QCOMPARE(customerNames(), (QStringList{"Adams", "Brown"}));
        QVERIFY(dm->tblVAT->IsEmpty());

        // Rolled back on purpose; a second transaction cannot begin inside the first.
        Transaction t;
        addCustomer("Dale");
        QVERIFY(errorOf([] { Transaction inner; }).contains("transaction", Qt::CaseInsensitive));
        QVERIFY(t.active());
        t.rollback();
        QVERIFY(!t.active());
        QCOMPARE(stored("Customer"), 2);
    }

    void locateAfterAFailedPostStopsWithThePostsMessage()
    {
        addCustomer("Able");
        addCustomer("Baker");
        TTable* t = dm->tblCustomer;
        t->Edit();
        dm->tblCustomerCus_Name->Clear();
        QCOMPARE(errorOf([&] { t->Locate("Cus_Name", "Able", kSearch); }),
                 QStringLiteral("Field 'Cus_Name' must have a value"));
        QCOMPARE(t->State(), DataSetState::Edit);
        QCOMPARE(t->RecNo(), 1);
        // A modified row is posted by the search.
        dm->tblCustomerCus_Name->SetAsString("Charlie");
        QVERIFY(t->Locate("Cus_Name", "Able", kSearch));
        QCOMPARE(t->State(), DataSetState::Browse);
        QCOMPARE(customerNames(), (QStringList{"Able", "Charlie"}));
    }

    void detailsFollowTheMasterAndSettleTheirPendingRowsFirst()
    {
        addCustomer("One");
        addInvoice(1);
        addInvoice(2);
        addLine("P1", 3);
        addCustomer("Two");
        addInvoice(3);
        QCOMPARE(dm->tblInvoice->RecordCount(), 1);
        QCOMPARE(dm->tblLine->RecordCount(), 0);

        dm->tblCustomer->First();
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("One"));
        QCOMPARE(dm->tblInvoice->RecordCount(), 2);
        QVERIFY(dm->tblInvoice->Locate("Inv_Number", 2, {}));
        QCOMPARE(dm->tblLine->RecordCount(), 1);
        QCOMPARE(dm->tblLineInv_Number->AsInteger(), 2);

        // A changed pending line is posted before the cursors follow the customer.
        dm->tblLine->Insert();
        QCOMPARE(dm->tblLineInv_Number->AsInteger(), 2);
        dm->tblLineProd_Code->SetAsString("P2");
        dm->tblCustomer->Next();
        QCOMPARE(dm->tblLine->State(), DataSetState::Browse);
        QCOMPARE(countRows("SELECT count(*) FROM Line WHERE Inv_Number = 2"), 2);
        QCOMPARE(dm->tblInvoiceInv_Number->AsInteger(), 3);
        QCOMPARE(dm->tblLine->RecordCount(), 0);

        // An unchanged pending line is dropped.
        dm->tblLine->Insert();
        dm->tblCustomer->First();
        QCOMPARE(countRows("SELECT count(*) FROM Line"), 2);
        QCOMPARE(dm->tblInvoice->RecordCount(), 2);

        // A pending line that cannot be posted stops the customer's move.
        dm->tblInvoice->Locate("Inv_Number", 2, {});
        dm->tblLine->Insert();
        dm->tblLineLine_Units->SetAsInteger(4);
        QCOMPARE(errorOf([&] { dm->tblCustomer->Next(); }), QStringLiteral("Field 'Prod_Code' must have a value"));
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("One"));
        QCOMPARE(dm->tblLine->State(), DataSetState::Insert);
        dm->tblLine->Cancel();

        // Inserting a customer leaves the invoice cursor empty; cancelling brings them back.
        dm->tblCustomer->Insert();
        QCOMPARE(dm->tblInvoice->RecordCount(), 0);
        dm->tblCustomer->Cancel();
        QCOMPARE(dm->tblInvoice->RecordCount(), 2);
    }

    void anUpdateWritesOnlyTheFieldsThatChanged()
    {
        if (test::onServer())
            QSKIP("A server's whole-number field holds no fraction.");
        // A value the cursor reads as another type (a fraction in a whole-number field, written
        // by another program) stays as stored when the user changes something else.
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Company (Com_Name, Inv_Start_No) VALUES ('Us', 1001.5)"));
        dm->tblCompany->Refresh();
        dm->tblCompany->Edit();
        dm->tblCompanyCom_Name->SetAsString("Us Ltd");
        dm->tblCompany->Post();
        q.exec("SELECT Com_Name, Inv_Start_No FROM Company");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Us Ltd"));
        QCOMPARE(q.value(1).toDouble(), 1001.5);
        // A change set back to what was stored writes nothing.
        dm->tblCompany->Edit();
        dm->tblCompanyCom_Name->SetAsString("Other");
        dm->tblCompanyCom_Name->SetAsString("Us Ltd");
        dm->tblCompany->Post();
        QCOMPARE(countRows("SELECT count(*) FROM Company WHERE Com_Name = 'Us Ltd' AND Inv_Start_No = 1001.5"), 1);
    }

    void refreshKeepsTheCurrentRowAndSeesOutsideChanges()
    {
        addCustomer("A");
        addCustomer("C");
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Customer (Cus_Name) VALUES ('B')"));
        QCOMPARE(dm->tblCustomer->RecordCount(), 2);
        dm->tblCustomer->Refresh();
        QCOMPARE(dm->tblCustomer->RecordCount(), 3);
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("C"));
        QVERIFY(q.exec("DELETE FROM Customer WHERE Cus_Name = 'C'"));
        dm->tblCustomer->Refresh();
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("B"));
    }

    void namedStatementsKeepParametersAndShowASnapshot()
    {
        addCustomer("Owner");
        addInvoice(10);
        addInvoice(11);
        TQuery* pay = dm->qryPayInv;
        pay->Params(0).SetAsDateTime(QDateTime(QDate(2024, 6, 2), QTime(23, 59, 30)));
        pay->Params(1).SetAsInteger(10);
        pay->ExecSQL();
        QSqlQuery q(Engine::database());
        q.exec("SELECT Inv_PayDate, Inv_Paid FROM Invoice WHERE Inv_Number = 10");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("2024-06-02"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("YES"));

        TQuery* cancelled = dm->qryCancelledInv;
        dm->qryCancelInv->Params(0).SetAsInteger(11);
        dm->qryCancelInv->ExecSQL();
        cancelled->Open();
        QCOMPARE(cancelled->RecordCount(), 1);
        // The open result does not change with the table.
        dm->qryCancelInv->Params(0).SetAsInteger(10);
        dm->qryCancelInv->ExecSQL();
        QCOMPARE(cancelled->RecordCount(), 1);
        cancelled->Close();
        cancelled->Open();
        QCOMPARE(cancelled->RecordCount(), 2);
        cancelled->Close();

        // Opened again without new values, a statement runs with the previous ones.
        TQuery* detail = dm->qryStatementDetail;
        detail->Params(0).SetAsInteger(dm->tblCustomerCus_Code->AsInteger());
        detail->Open();
        const int rows = detail->RecordCount();
        detail->Close();
        detail->Open();
        QCOMPARE(detail->RecordCount(), rows);
        QCOMPARE(detail->Params(0).value.toInt(), dm->tblCustomerCus_Code->AsInteger());
        detail->Close();
    }
};

ZZ_TEST_MAIN(TestCursors)
#include "test_cursors.moc"
