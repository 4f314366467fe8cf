// A database transaction around cursor posts: committed rows land together, rolled-back rows are
// gone (also when the transaction ends without a commit), and cursors re-read show what is stored.
#include <QSqlQuery>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "tests/support/TestSupport.h"

using namespace zz;

class TestTransaction : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

    void addCustomer(const QString& name)
    {
        dm->tblCustomer->Insert();
        dm->tblCustomerCus_Name->SetAsString(name);
        dm->tblCustomer->Post();
    }
    static int stored(const QString& table) { return test::storedValue("SELECT count(*) FROM " + table).toInt(); }

private slots:
    void init()
    {
        home = std::make_unique<test::TempHome>();
        dm = std::make_unique<TDataModule1>();
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
    }

    void committedRowsLandTogether()
    {
        {
            Transaction t;
            addCustomer("Adams");
            addCustomer("Brown");
            t.commit();
            QVERIFY(!t.active());
        }
        QCOMPARE(stored("Customer"), 2);
        // Committing twice or rolling back after the commit changes nothing.
        Transaction t;
        addCustomer("Carter");
        t.commit();
        t.commit();
        t.rollback();
        QCOMPARE(stored("Customer"), 3);
    }

    void rolledBackRowsAreGoneAndTheCursorReReadsThem()
    {
        addCustomer("Adams");
        try {
            Transaction t;
            addCustomer("Brown");
            dm->tblVAT->Edit();
            dm->tblVATVAT_Percentage->SetAsFloat(15);
            dm->tblVAT->Post();
            throw EDatabaseError("stop");
        } catch (const EDatabaseError&) {
        }
        QCOMPARE(stored("Customer"), 1);
        QCOMPARE(stored("VAT"), 0);
        // The cursors still hold what they wrote until they read again.
        QCOMPARE(dm->tblCustomer->RecordCount(), 2);
        dm->tblCustomer->Refresh();
        dm->tblVAT->Refresh();
        QCOMPARE(dm->tblCustomer->RecordCount(), 1);
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Adams"));
        QVERIFY(dm->tblVAT->IsEmpty());

        // An explicit rollback, then the object's end, roll back once.
        Transaction t;
        addCustomer("Carter");
        t.rollback();
        QVERIFY(!t.active());
        QCOMPARE(stored("Customer"), 1);
    }

    void aSecondTransactionCannotBegin()
    {
        Transaction outer;
        QString message;
        try {
            Transaction inner;
        } catch (const EDBEngineError& e) {
            message = e.message();
        }
        QVERIFY2(message.contains("transaction", Qt::CaseInsensitive), qPrintable(message));
        QVERIFY(outer.active());
        addCustomer("Adams");
        outer.commit();
        QCOMPARE(stored("Customer"), 1);
    }
};

ZZ_TEST_MAIN(TestTransaction)
#include "test_transaction.moc"
