// The customer window and editor over a real cursor: search, New/Edit/Save/Cancel and the modes
// they leave, a refused save, the editor closed by its frame, Delete and Close.
#include "admin/CusAdmin.h"
#include "admin/NewCustomer.h"
#include "tests/admin/AdminTestUtil.h"

using namespace zz;

class TestCustomerAdmin : public QObject {
    Q_OBJECT
    test::AdminFixture fx;

    QString current() const { return fx.dm->tblCustomerCus_Name->AsString(); }
    void search(const QString& text)
    {
        frmCusAdmin->edtSearch->setText(text);
        frmCusAdmin->btnSearch->click();
    }

private slots:
    void init()
    {
        fx.setUp();
        frmCusAdmin = new TfrmCusAdmin;
        frmNewCustomer = new TfrmNewCustomer;
        frmCusAdmin->beginTestModal();
        test::activate(frmCusAdmin);
    }
    void cleanup()
    {
        frmCusAdmin->endTestModal();
        delete frmNewCustomer;
        delete frmCusAdmin;
        frmNewCustomer = nullptr;
        frmCusAdmin = nullptr;
        fx.tearDown();
    }

    void searchFindsTheFirstNameBeginningWithTheText()
    {
        for (const char* name : {"Zulu Traders", "SMITHERS", "Adams", "Smith & Sons"})
            fx.addCustomer(QString::fromLatin1(name));
        search(QStringLiteral("smi"));
        QCOMPARE(current(), QStringLiteral("Smith & Sons"));
        QCOMPARE(frmCusAdmin->DBGrid1->currentIndex().row(), fx.dm->tblCustomer->RecNo());
        search(QStringLiteral("smithe"));
        QCOMPARE(current(), QStringLiteral("SMITHERS"));
        search(QStringLiteral("Sons")); // only the beginning of the name counts
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Customer Name not found."));
        QCOMPARE(current(), QStringLiteral("SMITHERS"));
        QCOMPARE(frmCusAdmin->edtSearch->text(), QStringLiteral("Sons"));
        QVERIFY(frmCusAdmin->edtSearch->hasFocus());

        // Enter in the field searches as the button does, the empty field included.
        frmCusAdmin->edtSearch->setText(QStringLiteral("ad"));
        QTest::keyClick(frmCusAdmin->edtSearch, Qt::Key_Return);
        QCOMPARE(current(), QStringLiteral("Adams"));
        frmCusAdmin->edtSearch->clear();
        QTest::keyClick(frmCusAdmin->edtSearch, Qt::Key_Enter);
        QCOMPARE(fx.boxes(), QStringLiteral("Warning: Please enter a valid Customer Name."));

        // Esc closes nothing; the next opening empties the field.
        QTest::keyClick(frmCusAdmin->DBGrid1, Qt::Key_Escape);
        QVERIFY(frmCusAdmin->isVisible());
        frmCusAdmin->edtSearch->setText(QStringLiteral("left over"));
        frmCusAdmin->endTestModal();
        frmCusAdmin->beginTestModal();
        QVERIFY(frmCusAdmin->edtSearch->text().isEmpty());
    }

    void newThenCancelOrSave()
    {
        fx.addCustomer(QStringLiteral("Adams"));
        fx.addCustomer(QStringLiteral("Brown"));
        fx.dm->tblCustomer->Last();
        test::whileModal(frmNewCustomer, [&] {
            QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Insert);
            QTest::keyClicks(frmNewCustomer->DBEdit1, "Temp");
            frmNewCustomer->btnCancel->click();
        });
        frmCusAdmin->btnNewCus->click();
        QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Browse);
        QCOMPARE(test::AdminFixture::count("Customer"), 2);
        QCOMPARE(current(), QStringLiteral("Brown"));

        // A blank name is refused: the dialog stays with what was typed and the name field (not
        // the list behind the dialog) gets the focus. Corrected, the row is written and current.
        test::whileModal(frmNewCustomer, [&] {
            frmNewCustomer->DBEdit3->setFocus();
            QTest::keyClicks(frmNewCustomer->DBEdit3, "Springs");
            frmNewCustomer->btnSave->click();
            QCOMPARE(fx.boxes(), QStringLiteral("Error: Field 'Cus_Name' must have a value"));
            QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Insert);
            QVERIFY(frmNewCustomer->DBEdit1->hasFocus());
            QCOMPARE(frmNewCustomer->DBEdit3->text(), QStringLiteral("Springs"));
            QTest::keyClicks(frmNewCustomer->DBEdit1, "Carter");
            frmNewCustomer->btnSave->click();
            QVERIFY(!frmNewCustomer->isVisible());
        });
        frmCusAdmin->btnNewCus->click();
        QCOMPARE(current(), QStringLiteral("Carter"));
        QCOMPARE(frmCusAdmin->DBGrid1->currentIndex().row(), 2);
        QCOMPARE(test::AdminFixture::stored("SELECT Cus_Address2 FROM Customer WHERE Cus_Name = 'Carter'").toString(),
                 QStringLiteral("Springs"));
    }

    void aFrameCloseLeavesTheRowPending()
    {
        fx.addCustomer(QStringLiteral("Adams"));
        fx.addCustomer(QStringLiteral("Brown"));
        fx.dm->tblCustomer->First();
        const QString codeOfAdams = fx.dm->tblCustomerCus_Code->AsString();

        // Closed by its frame, the editor leaves the row pending; the next search writes it.
        test::whileModal(frmNewCustomer, [&] {
            QTest::keyClick(frmNewCustomer->DBEdit1, Qt::Key_End);
            QTest::keyClicks(frmNewCustomer->DBEdit1, "on");
            frmNewCustomer->close();
        });
        frmCusAdmin->btnEditCus->click();
        QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Edit);
        search(QStringLiteral("b"));
        QCOMPARE(current(), QStringLiteral("Brown"));
        QCOMPARE(test::AdminFixture::stored("SELECT Cus_Name FROM Customer WHERE Cus_Code = " + codeOfAdams).toString(),
                 QStringLiteral("Adamson"));
        QCOMPARE(fx.boxes(), QString());
    }

    void deleteAsksAndRefusesACustomerWithInvoices()
    {
        frmCusAdmin->btnDeleteCus->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Delete selected record? | "
                                            "Error: Cannot perform this operation on an empty dataset"));
        fx.addCustomer(QStringLiteral("Adams"));
        fx.addCustomer(QStringLiteral("Brown"));
        fx.dm->tblCustomer->First();
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (7, " + fx.dm->tblCustomerCus_Code->AsString()
                       + ", '2026-01-05')"));
        fx.seam->answers = {MsgResult::No};
        frmCusAdmin->btnDeleteCus->click();
        QCOMPARE(test::AdminFixture::count("Customer"), 2);
        // The store refuses: the customer's invoices would drop out of every list and report.
        fx.seam->clear();
        frmCusAdmin->btnDeleteCus->click(); // Yes
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Delete selected record? | "
                                            "Error: The customer Adams has invoices and cannot be deleted."));
        QCOMPARE(current(), QStringLiteral("Adams"));
        QCOMPARE(test::AdminFixture::count("Customer"), 2);
        QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Browse);
        // A customer without invoices goes; an invoice whose customer is gone stays as it is.
        fx.dm->tblCustomer->Last();
        frmCusAdmin->btnDeleteCus->click();
        QCOMPARE(current(), QStringLiteral("Adams"));
        QCOMPARE(test::AdminFixture::count("Customer"), 1);
        QCOMPARE(test::AdminFixture::count("Invoice"), 1);
    }

    void closeWritesAPendingRowOrStaysOpenWhenItCannot()
    {
        fx.addCustomer(QStringLiteral("Adams"));
        fx.addCustomer(QStringLiteral("Brown"));
        fx.dm->tblCustomer->Last();
        test::whileModal(frmNewCustomer, [&] {
            QTest::keyClicks(frmNewCustomer->DBEdit7, "555 0101");
            frmNewCustomer->close();
        });
        frmCusAdmin->btnEditCus->click();
        frmCusAdmin->btnClose->click();
        QVERIFY(!frmCusAdmin->isVisible());
        QCOMPARE(fx.dm->tblCustomer->RecNo(), 0);
        QCOMPARE(test::AdminFixture::stored("SELECT Cus_Phone FROM Customer WHERE Cus_Name = 'Brown'").toString(),
                 QStringLiteral("555 0101"));

        // A pending new row without a name cannot be written: the general error report.
        test::activate(frmCusAdmin);
        test::whileModal(frmNewCustomer, [&] {
            QTest::keyClicks(frmNewCustomer->DBEdit2, "No name yet");
            frmNewCustomer->close();
        });
        frmCusAdmin->btnNewCus->click();
        QTest::mouseClick(frmCusAdmin->btnClose, Qt::LeftButton);
        QCOMPARE(fx.boxes(), QStringLiteral("Zuzevevur Creator: Field 'Cus_Name' must have a value."));
        QVERIFY(frmCusAdmin->isVisible());
        QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Insert);
    }
};

ZZ_TEST_MAIN(TestCustomerAdmin)
#include "test_customer_admin.moc"
