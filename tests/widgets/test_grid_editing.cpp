// Editing through the product grid and the edit fields (on the administration tests' database
// fixture): a value opened for editing and left reads back unchanged under two regional settings,
// a window closed by its frame leaves the typed value pending, a cell takes what its field's edit
// control takes, a failed post shows one message and keeps the selection on the pending row; the
// spin edit reads one number whatever its focus.
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "tests/admin/AdminTestUtil.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Form.h"
#include "widgets/SpinEdit.h"

using namespace zz;
using test::errorOf;

class TestGridEditing : public QObject {
    Q_OBJECT

    test::AdminFixture fx;
    std::unique_ptr<QWidget> window;
    TDBGrid* grid = nullptr;

    // The product grid: code, description and price, editable.
    void showGrid()
    {
        grid = new TDBGrid(window.get());
        grid->setColumns({{"Prod_Code", "Product Code", 80}, {"Prod_Description", "Description", 160},
                          {"Prod_Price", "Unit Price", 80, Qt::AlignRight | Qt::AlignVCenter}});
        grid->setReadOnly(false);
        grid->setDataSource(fx.dm->datProduct);
        window->layout()->addWidget(grid);
        window->show();
        QApplication::setActiveWindow(window.get());
        grid->setFocus();
    }
    // Opens the cell editor of the current row's column (F2).
    QWidget* openCell(int column)
    {
        grid->setCurrentIndex(grid->model()->index(fx.dm->tblProduct->RecNo(), column));
        QTest::keyClick(grid, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        return editor != grid ? editor : nullptr;
    }
    QString editorText(QWidget* editor) const { return editor ? editor->property("text").toString() : QString(); }
    // The rows the grid shows as selected.
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex& i : grid->selectionModel()->selectedRows())
            rows << i.row();
        return rows;
    }

private slots:
    void init()
    {
        fx.setUp();
        window = std::make_unique<QWidget>();
        window->setLayout(new QVBoxLayout);
    }
    void cleanup()
    {
        window.reset();
        grid = nullptr;
        fx.tearDown();
        setRegional(RegionalSettings{});
    }

    void aPriceOpenedAndLeftReadsBackUnchanged_data()
    {
        QTest::addColumn<bool>("german");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("editText");
        QTest::newRow("C: six significant digits are not enough") << false << 10000.25 << "10000.25";
        QTest::newRow("C: four decimals") << false << 1234.5678 << "1234.5678";
        QTest::newRow("C: a sum that is not a short decimal") << false << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("C: a huge value") << false << 1e300 << "1E300";
        QTest::newRow("de: comma as the decimal separator") << true << 10000.25 << "10000,25";
        QTest::newRow("de: four decimals") << true << 1234.5678 << "1234,5678";
    }
    void aPriceOpenedAndLeftReadsBackUnchanged()
    {
        QFETCH(bool, german);
        QFETCH(double, price);
        QFETCH(QString, editText);
        if (german)
            setRegional(test::germanRegional());
        fx.addProduct("A", "Alpha", price);
        fx.addProduct("B", "Beta", 2);
        showGrid();
        fx.dm->tblProduct->First();
        QWidget* editor = openCell(2);
        QVERIFY(editor);
        QCOMPARE(editorText(editor), editText);
        // Left as it is: no change, nothing written.
        QTest::keyClick(editor, Qt::Key_Return);
        grid->setCurrentIndex(grid->model()->index(1, 2));
        QCOMPARE(fx.seam->messages.size(), 0);
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Browse);
        QCOMPARE(test::storedValue("SELECT Prod_Price FROM Product WHERE Prod_Code = 'A'").toDouble(), price);

        // Retyped in the same form, it is the same value again.
        fx.dm->tblProduct->First();
        editor = openCell(2);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, editText);
        QTest::keyClick(editor, Qt::Key_Return);
        grid->setCurrentIndex(grid->model()->index(1, 2));
        QCOMPARE(fx.seam->messages.size(), 0);
        QCOMPARE(test::storedValue("SELECT Prod_Price FROM Product WHERE Prod_Code = 'A'").toDouble(), price);
    }

    void editFieldsOfferTheWholeValue()
    {
        // The same rule in the edit field of the product editor.
        setRegional(test::germanRegional());
        fx.addProduct("A", "Alpha", 1234.5678);
        auto* price = new TDBEdit(fx.dm->datProduct, "Prod_Price", window.get());
        auto* code = new TDBEdit(fx.dm->datProduct, "Prod_Code", window.get());
        window->layout()->addWidget(price);
        window->layout()->addWidget(code);
        window->show();
        QApplication::setActiveWindow(window.get());
        code->setFocus();
        QCOMPARE(price->text(), QStringLiteral("1.234,57 €"));
        price->setFocus();
        QCOMPARE(price->text(), QStringLiteral("1234,5678"));
        QCOMPARE(fx.dm->tblProductProd_Price->AsString(), QStringLiteral("1234,5678"));
        code->setFocus();
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Browse);
    }

    void aWindowClosedByItsFrameLeavesTheTypedValuePending()
    {
        fx.dm->tblVAT->Edit();
        fx.dm->tblVATVAT_Percentage->SetAsFloat(15);
        fx.dm->tblVAT->Post();
        fx.addProduct("A", "Alpha", 5);
        TForm dialog;
        dialog.setLayout(new QVBoxLayout);
        auto* vat = new TDBEdit(fx.dm->datVAT, "VAT_Percentage", &dialog);
        auto* price = new TDBEdit(fx.dm->datProduct, "Prod_Price", &dialog);
        dialog.layout()->addWidget(vat);
        dialog.layout()->addWidget(price);
        auto open = [&](TDBEdit* field) {
            dialog.beginTestModal();
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            field->setFocus();
            field->selectAll();
        };
        auto closeByFrame = [&] {
            dialog.close();
            dialog.endTestModal();
        };

        fx.dm->tblVAT->Edit();
        open(vat);
        QCOMPARE(vat->text(), QStringLiteral("15.00%"));
        QTest::keyClicks(vat, "33");
        closeByFrame();
        // The pending row holds the typed value meanwhile, and shows it again by the field's rule.
        QCOMPARE(fx.dm->tblVAT->State(), DataSetState::Edit);
        QCOMPARE(fx.dm->tblVATVAT_Percentage->AsFloat(), 33.0);
        open(vat);
        QCOMPARE(vat->text(), QStringLiteral("33.00%"));
        QCOMPARE(vat->selectedText(), QStringLiteral("33.00%"));
        // Text that cannot be converted stays as typed, without a box at closing.
        QTest::keyClick(vat, Qt::Key_Home);
        QTest::keyClicks(vat, "1");
        closeByFrame();
        QCOMPARE(fx.seam->messages.size(), 0);
        QCOMPARE(fx.dm->tblVATVAT_Percentage->AsFloat(), 33.0);
        open(vat);
        QCOMPARE(vat->text(), QStringLiteral("133.00%"));
        closeByFrame();
        fx.dm->tblVAT->Cancel();

        // The product editor's price: the value typed comes back in the field's edit form.
        open(price);
        QTest::keyClicks(price, "1e300");
        closeByFrame();
        QCOMPARE(fx.dm->tblProductProd_Price->AsFloat(), 1e300);
        open(price);
        QCOMPARE(price->text(), QStringLiteral("1E300"));
        vat->setFocus();
        QVERIFY2(price->text().startsWith(QStringLiteral("$1,000,000,")), qPrintable(price->text()));
        closeByFrame();
        fx.dm->tblProduct->Cancel();
    }

    void cellsTakeOnlyWhatTheirFieldTakes()
    {
        fx.addProduct("A", "Alpha", 1);
        showGrid();
        fx.dm->tblProduct->First();
        QWidget* editor = openCell(2);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, "abc12x.5%");
        QCOMPARE(editorText(editor), QStringLiteral("12.5"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // Enter commits the cell once the key is handled
        QCOMPARE(fx.dm->tblProductProd_Price->AsFloat(), 12.5);

        editor = openCell(0);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QString(30, QLatin1Char('C')));
        QCOMPARE(editorText(editor), QString(20, QLatin1Char('C')));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        fx.dm->tblProduct->Post();
        QCOMPARE(test::storedValue("SELECT Prod_Code FROM Product").toString(), QString(20, QLatin1Char('C')));
    }

    void oneFailedPostShowsOneMessageAndTheSelectionStaysOnTheRow()
    {
        fx.addProduct("A", "Alpha", 1);
        fx.addProduct("B", "Beta", 2);
        showGrid();
        fx.dm->tblProduct->Last();
        // A new row with a code, then text that is no number in its price cell (pasted), and
        // Down, which would post the row and append another.
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Insert);
        QWidget* editor = openCell(0);
        QVERIFY(editor);
        QTest::keyClicks(editor, "C");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        editor = openCell(2);
        QVERIFY(editor);
        editor->setProperty("text", QStringLiteral("abc"));
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(fx.seam->messages.size(), 1);
        QCOMPARE(fx.seam->lastText(), QStringLiteral("'abc' is not a valid floating point value for field 'Prod_Price'"));
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Insert);
        QCOMPARE(fx.dm->tblProduct->RecordCount(), 3);
        QCOMPARE(fx.dm->tblProduct->RecNo(), 2);
        // The refused text stays in its cell, selected, also when another cell is clicked; Esc
        // there restores the cell, Esc again drops the new row.
        QCOMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(editorText(editor), QStringLiteral("abc"));
        fx.seam->clear();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 1)).center());
        QCOMPARE(fx.seam->messages.size(), 1);
        QCOMPARE(grid->currentIndex(), grid->model()->index(2, 2));
        QCOMPARE(QApplication::focusWidget(), editor);
        fx.seam->clear();
        QCOMPARE(errorOf([&] { fx.dm->tblProduct->Post(); }),
                 QStringLiteral("'abc' is not a valid floating point value for field 'Prod_Price'"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), grid);
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Browse);
        QCOMPARE(fx.dm->tblProduct->RecordCount(), 2);
        QCOMPARE(test::storedValue("SELECT count(*) FROM Product").toInt(), 2);

        // A new row whose post fails: the highlighted row and the current row stay together on it.
        fx.seam->clear();
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Insert);
        QCOMPARE(fx.dm->tblProduct->RecNo(), 2);
        editor = openCell(0);
        QTest::keyClicks(editor, "C");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(fx.seam->messages.size(), 1);
        QCOMPARE(fx.seam->lastText(), QStringLiteral("Field 'Prod_Description' must have a value."));
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Insert);
        QCOMPARE(fx.dm->tblProduct->RecNo(), 2);
        QCOMPARE(grid->currentIndex().row(), 2);
        QCOMPARE(selectedRows(), QList<int>{2});

        // The same by a click on another row.
        fx.seam->clear();
        const QRect cell = grid->visualRect(grid->model()->index(0, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(fx.seam->messages.size(), 1);
        QCOMPARE(fx.dm->tblProduct->RecNo(), 2);
        QCOMPARE(grid->currentIndex().row(), 2);
        QCOMPARE(selectedRows(), QList<int>{2});
    }

    void spinEditReadsOneNumberWhateverItsFocus_data()
    {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("grouped thousands") << false << "1,000" << 1000;
        QTest::newRow("German grouping") << true << "1.000" << 1000;
        QTest::newRow("plain") << false << "250" << 250;
        QTest::newRow("above the range") << false << "99999" << 5000;
        QTest::newRow("no number") << false << "abc" << 1;
        QTest::newRow("misplaced separator") << false << "1,00" << 1;
    }
    void spinEditReadsOneNumberWhateverItsFocus()
    {
        QFETCH(bool, german);
        QFETCH(QString, typed);
        QFETCH(int, value);
        if (german)
            setRegional(test::germanRegional());
        auto* spin = new TSpinEdit(window.get());
        auto* other = new QPushButton(QStringLiteral("&OK"), window.get());
        window->layout()->addWidget(spin);
        window->layout()->addWidget(other);
        spin->setMinValue(1);
        spin->setMaxValue(5000);
        window->show();
        QApplication::setActiveWindow(window.get());
        spin->setFocus();
        spin->setText(typed);
        QCOMPARE(spin->Value(), value);
        other->setFocus();
        QCOMPARE(spin->Value(), value);
    }
};

ZZ_TEST_MAIN(TestGridEditing)
#include "test_grid_editing.moc"
