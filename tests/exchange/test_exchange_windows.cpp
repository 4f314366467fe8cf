// The import and export dialogs as a user works them, headless through the dialogs seam: the
// product list's Import chooses a file, shows its first rows, lists the refused rows after the
// check, asks before leaving them out and shows the new products in the list; a semicolon file
// read with the wrong separator is read again when the user changes it; the financial reports
// menu's Export writes a year's invoices.
#include <QTemporaryDir>

#include "admin/ProdAdmin.h"
#include "admin/NewProd.h"
#include "app/FinReports.h"
#include "exchange/ExportBooks.h"
#include "exchange/ImportFile.h"
#include "tests/admin/AdminTestUtil.h"

using namespace zz;

namespace {
// ZZ_KEEP_OUTPUT=<folder> keeps a picture of the window as the test left it, for a look.
void keepPicture(QWidget* window, const QString& name)
{
    const QString keep = qEnvironmentVariable("ZZ_KEEP_OUTPUT");
    if (!keep.isEmpty())
        window->grab().save(QDir(keep).filePath(name + ".png"));
}
} // namespace

class TestExchangeWindows : public QObject {
    Q_OBJECT
    test::AdminFixture fx;
    QTemporaryDir m_dir;

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write");
        f.write(bytes);
        return path;
    }

private slots:
    void init()
    {
        fx.setUp();
        frmProdAdmin = new TfrmProdAdmin;
        frmNewProd = new TfrmNewProd;
        frmProdAdmin->beginTestModal();
        test::activate(frmProdAdmin);
    }
    void cleanup()
    {
        frmProdAdmin->endTestModal();
        delete frmNewProd;
        delete frmProdAdmin; // takes the import dialog with it
        frmNewProd = nullptr;
        frmProdAdmin = nullptr;
        QVERIFY(!frmImportFile);
        fx.tearDown();
    }

    void productsComeInFromTheListWindow()
    {
        fx.addProduct("A1", "Widget", 1);
        const QString path = file("prices.csv", "Code,Description,Price\nB2,Board,3.50\nB2,Board again,4\nC3,Cable,abc\nD4,Drill,9\n");
        fx.seam->fileAnswers.push_back(path);
        bool shown = false;
        test::whileModal(importDialog(frmProdAdmin), [&] {
            shown = true;
            TfrmImportFile* d = frmImportFile;
            QCOMPARE(d->windowTitle(), QStringLiteral("Import Products"));
            d->btnFile->click();
            QCOMPARE(d->edtFile->text(), path);
            QCOMPARE(d->cbxSeparator->currentText(), QStringLiteral("Comma"));
            QVERIFY(d->chkHeader->isChecked());
            QCOMPARE(d->grdPreview->rowCount(), 4);
            QCOMPARE(d->grdPreview->item(0, 1)->text(), QStringLiteral("Board"));
            QCOMPARE(d->grdPreview->verticalHeaderItem(0)->text(), QStringLiteral("2"));
            QVERIFY(!d->btnImport->isEnabled()); // only after the check
            d->btnCheck->click();
            QCOMPARE(d->lblResult->text(), QStringLiteral("4 rows: 2 to import, 0 to update, 0 in the books left as they are, 2 refused."));
            QCOMPARE(d->lstNotes->count(), 2);
            keepPicture(d, "import-products");
            QCOMPARE(d->lstNotes->item(0)->text(), QStringLiteral("Line 3: the product code B2 is repeated; it is on line 2 already."));
            QCOMPARE(d->lstNotes->item(1)->text(),
                     QStringLiteral("Line 4: 'abc' is not a valid floating point value for field 'Prod_Price'."));
            // Asked whether to leave the refused rows out: No writes nothing and keeps the dialog open.
            fx.seam->answers.push_back(MsgResult::No);
            d->btnImport->click();
            QVERIFY(d->isVisible());
            QCOMPARE(fx.dm->tblProduct->RecordCount(), 1);
            fx.seam->answers.push_back(MsgResult::Yes);
            d->btnImport->click();
            QVERIFY(!d->isVisible());
        });
        keepPicture(frmProdAdmin, "product-list");
        frmProdAdmin->btnImport->click();
        QVERIFY(shown);
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: 2 rows are refused. Import the other 2 rows and leave the refused ones out? | "
                                            "Confirm: 2 rows are refused. Import the other 2 rows and leave the refused ones out? | "
                                            "Information: Imported 2 products."));
        // The list shows the new products at once.
        QCOMPARE(fx.dm->tblProduct->RecordCount(), 3);
        QVERIFY(fx.dm->tblProduct->Locate("Prod_Description", "Drill", {}));
    }

    void theUserChangesTheSeparatorAndTheMapping()
    {
        const QString path = file("odd.csv", "Code;Description;Price\nA1;Widget, large;2\n");
        fx.seam->fileAnswers.push_back(path);
        test::whileModal(importDialog(frmProdAdmin), [&] {
            TfrmImportFile* d = frmImportFile;
            d->btnFile->click();
            QCOMPARE(d->cbxSeparator->currentText(), QStringLiteral("Semicolon"));
            // Read with commas: one column in the header, two in the next line, which is refused.
            d->cbxSeparator->setCurrentIndex(0);
            QCOMPARE(d->grdPreview->columnCount(), 1);
            QVERIFY2(d->lblResult->text().startsWith("odd.csv, line 2: the row has 2 fields"), qPrintable(d->lblResult->text()));
            d->cbxSeparator->setCurrentIndex(1);
            QCOMPARE(d->grdPreview->columnCount(), 3);
            // Without a column for the price the check says so.
            auto* price = qobject_cast<QComboBox*>(d->grdMapping->cellWidget(2, 1));
            QVERIFY(price);
            QCOMPARE(price->currentText(), QStringLiteral("3: Price"));
            price->setCurrentIndex(0);
            d->btnCheck->click();
            d->btnCancel->click();
        });
        frmProdAdmin->btnImport->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Error: No column is chosen for Unit Price (Prod_Price), which every row needs."));
        QCOMPARE(fx.dm->tblProduct->RecordCount(), 0);
    }

    void theFinancialReportsMenuExports()
    {
        test::runSql("INSERT INTO Customer (Cus_Name) VALUES ('Müller')");
        test::runSql("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_PayDate, Inv_VAT, Inv_Paid) "
                     "VALUES (57, 1, '2026-01-10', '2026-01-20', 15, 'YES')");
        test::runSql("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, Line_Discount_Price) "
                     "VALUES (57, 'A1', 3, 19.99, 15, 16.9915)");
        auto menu = std::make_unique<TfrmFinReports>();
        const QString path = m_dir.filePath("invoices.csv");
        fx.seam->fileAnswers.push_back(path);
        test::whileModal(exportDialog(menu.get()), [&] {
            TfrmExportBooks* d = frmExportBooks;
            QVERIFY(!d->DateEdit1->isEnabled());
            d->cbxWhat->setCurrentIndex(2);
            d->cbxRange->setCurrentIndex(2);
            QVERIFY(d->DateEdit1->isEnabled());
            d->DateEdit1->setDate(QDate(2026, 1, 1));
            d->DateEdit2->setDate(QDate(2026, 12, 31));
            keepPicture(d, "export");
            d->btnExport->click();
            QVERIFY(d->isVisible()); // ready for the next file
            d->btnCancel->click();
        });
        menu->btnExport->click();
        QCOMPARE(fx.seam->fileRequests.size(), 1);
        QVERIFY(fx.seam->fileRequests.first().save);
        QVERIFY(fx.seam->fileRequests.first().directory.endsWith("Invoices 2026-01-01 to 2026-12-31.csv"));
        QCOMPARE(fx.boxes(), QStringLiteral("Information: 1 rows written to %1.").arg(path));
        const QByteArray bytes = test::fileBytes(path);
        QVERIFY2(bytes.contains("\r\n57,2026-01-10,1,Müller,,50.97,15,7.65,58.62,paid,2026-01-20,CURRENT,50.9745,7.646175,58.620675\r\n"),
                 bytes.constData());
        menu.reset();
        QVERIFY(!frmExportBooks);
    }
};

ZZ_TEST_MAIN(TestExchangeWindows)
#include "test_exchange_windows.moc"
