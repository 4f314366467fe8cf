// Data-bound controls over a real cursor: the edit field's display/edit text, key filtering,
// Esc, conversion errors and the swallowed click; the editable grid's keys; the lookup box; the
// logo's stored form through the image control; the date and spin edits.
#include <QBuffer>
#include <QHeaderView>
#include <QImageWriter>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>
#include <QtEndian>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Logo.h"
#include "data/Regional.h"
#include "tests/support/TestSupport.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBImage.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/DateEdit.h"
#include "widgets/FocusGuard.h"
#include "widgets/SpinEdit.h"

using namespace zz;

namespace {
QByteArray bmpFile(const QImage& image)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, "BMP");
    w.write(image);
    return b.data();
}

QByteArray header(quint16 count, quint16 type, quint32 length)
{
    QByteArray h(8, '\0');
    auto* p = reinterpret_cast<uchar*>(h.data());
    qToLittleEndian<quint16>(count, p);
    qToLittleEndian<quint16>(type, p + 2);
    qToLittleEndian<quint32>(length, p + 4);
    return h;
}

// A list of many rows made up as they are read, counting the reads.
class ManyRows : public TDataSet {
public:
    explicit ManyRows(int rows) : TDataSet(QStringLiteral("ManyRows")), m_rows(rows)
    {
        defineFields({{QStringLiteral("Code"), FieldType::Integer}, {QStringLiteral("Name"), FieldType::Text, 40}});
        setActive(true);
        setCurrent(0, false);
    }
    int RecordCount() const override { return m_rows; }
    QVariant rowValue(int position, int index) const override
    {
        ++reads;
        if (position < 0 || position >= m_rows)
            return {};
        return index == 0 ? QVariant(position + 1) : QVariant(QStringLiteral("Customer %1").arg(position + 1, 6, 10, QLatin1Char('0')));
    }
    mutable int reads = 0;

private:
    int m_rows;
};
} // namespace

class TestDbControls : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<test::RecordingSeam> seam;
    std::unique_ptr<QWidget> window;

    void addProduct(const QString& code, const QString& description, double price)
    {
        dm->tblProduct->Insert();
        dm->tblProductProd_Code->SetAsString(code);
        dm->tblProductProd_Description->SetAsString(description);
        dm->tblProductProd_Price->SetAsFloat(price);
        dm->tblProduct->Post();
    }
    void activate()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
    }

private slots:
    void init()
    {
        home = std::make_unique<test::TempHome>();
        setRegional(RegionalSettings{});
        dm = std::make_unique<TDataModule1>();
        seam = std::make_unique<test::RecordingSeam>();
        window = std::make_unique<QWidget>();
        window->setLayout(new QVBoxLayout);
    }
    void cleanup()
    {
        window.reset();
        seam.reset();
        dm.reset();
        home.reset();
    }

    void editShowsDisplayTextOutsideAndEditTextInside()
    {
        addProduct("P1", "Bolt", 1234.5);
        auto* price = new TDBEdit(dm->datProduct, "Prod_Price", window.get());
        auto* code = new TDBEdit(dm->datProduct, "Prod_Code", window.get());
        window->layout()->addWidget(price);
        window->layout()->addWidget(code);
        QCOMPARE(price->text(), QStringLiteral("$1,234.50"));
        QCOMPARE(code->maxLength(), 20);
        activate();
        price->setFocus();
        QCOMPARE(price->text(), QStringLiteral("1234.5"));
        code->setFocus();
        QCOMPARE(price->text(), QStringLiteral("$1,234.50"));
        QCOMPARE(dm->tblProduct->State(), DataSetState::Browse);

        // A display format shows while editing too, the whole text selected on entry; a text
        // that still carries the pattern's percent sign is no number and is refused.
        dm->tblVAT->Edit();
        dm->tblVATVAT_Percentage->SetAsFloat(15);
        dm->tblVAT->Post();
        auto* vat = new TDBEdit(dm->datVAT, "VAT_Percentage", window.get());
        window->layout()->addWidget(vat);
        vat->show();
        vat->setFocus();
        QCOMPARE(vat->text(), QStringLiteral("15.00%"));
        QCOMPARE(vat->selectedText(), QStringLiteral("15.00%"));
        QTest::keyClick(vat, Qt::Key_Home);
        QTest::keyClicks(vat, "1");
        code->setFocus();
        QCOMPARE(seam->lastText(), QStringLiteral("'115.00%' is not a valid floating point value for field 'VAT_Percentage'")); // a quote sorts before the full stop
        QVERIFY(vat->hasFocus());
        QCOMPARE(vat->selectedText(), QStringLiteral("115.00%"));
        vat->selectAll();
        QTest::keyClicks(vat, "14");
        code->setFocus();
        QCOMPARE(dm->tblVAT->State(), DataSetState::Edit);
        dm->tblVAT->Post();
        QCOMPARE(dm->tblVATVAT_Percentage->AsFloat(), 14.0);
        QCOMPARE(vat->text(), QStringLiteral("14.00%"));
    }

    void keysAreFilteredByFieldType()
    {
        dm->tblLine->Close(); // a line needs no invoice for this test
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Line (Inv_Number, Prod_Code) VALUES (1, 'P')"));
        dm->tblLine->setMasterSource(nullptr, QString());
        dm->tblLine->Open();
        auto* units = new TDBEdit(dm->datLine, "Line_Units", window.get());
        auto* price = new TDBEdit(dm->datLine, "Line_Price", window.get());
        auto* vat = new TDBEdit(dm->datVAT, "VAT_Percentage", window.get());
        for (QWidget* w : {static_cast<QWidget*>(units), static_cast<QWidget*>(price), static_cast<QWidget*>(vat)})
            window->layout()->addWidget(w);
        activate();
        units->setFocus();
        QTest::keyClicks(units, "-1a2.,e+");
        QCOMPARE(units->text(), QStringLiteral("-12+"));
        price->setFocus(); // the integer text is refused: "-12+" is no number
        QCOMPARE(seam->lastText(), QStringLiteral("'-12+' is not a valid integer value for field 'Line_Units'"));
        QVERIFY(units->hasFocus());
        QCOMPARE(units->selectedText(), QStringLiteral("-12+"));
        units->setText(QString());
        QTest::keyClicks(units, "42");
        price->setFocus();
        QVERIFY(price->hasFocus());
        QCOMPARE(dm->tblLineLine_Units->AsInteger(), 42);

        QTest::keyClicks(price, "1x.5E,2");
        QCOMPARE(price->text(), QStringLiteral("1.5E2"));
        vat->setFocus();
        QCOMPARE(dm->tblLineLine_Price->AsFloat(), 150.0);
        // Money shows in the currency format once the focus has gone.
        QCOMPARE(price->text(), QStringLiteral("$150.00"));

        // Float field; the first typed change enters edit mode (here: insert on the empty table).
        QTest::keyClicks(vat, "7q.5");
        QCOMPARE(vat->text(), QStringLiteral("7.5"));
        QCOMPARE(dm->tblVAT->State(), DataSetState::Insert);
    }

    void escapeRestoresAndARefusedEditSwallowsTheButtonClick()
    {
        addProduct("P1", "Bolt", 2);
        auto* price = new TDBEdit(dm->datProduct, "Prod_Price", window.get());
        auto* button = new QPushButton("Save", window.get());
        window->layout()->addWidget(price);
        window->layout()->addWidget(button);
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&] { ++clicks; });
        activate();
        price->setFocus();
        QTest::keyClicks(price, "9");
        QCOMPARE(dm->tblProduct->State(), DataSetState::Edit);
        QTest::keyClick(price, Qt::Key_Escape);
        QCOMPARE(price->text(), QStringLiteral("2"));
        QCOMPARE(price->selectedText(), QStringLiteral("2"));

        price->setText(QString());
        QTest::keyClicks(price, "1e");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(seam->lastText(), QStringLiteral("'1e' is not a valid floating point value for field 'Prod_Price'"));
        QCOMPARE(clicks, 0);
        QVERIFY(price->hasFocus());
        QCOMPARE(price->selectedText(), QStringLiteral("1e"));
        QVERIFY(!focusGuardBlocksClick());
        // Once corrected the button acts again.
        price->setText("3");
        QTest::keyClicks(price, "0");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(dm->tblProductProd_Price->AsFloat(), 30.0);
    }

    void requiredFieldFocusLandsInItsControl()
    {
        auto* code = new TDBEdit(dm->datProduct, "Prod_Code", window.get());
        auto* description = new TDBEdit(dm->datProduct, "Prod_Description", window.get());
        auto* price = new TDBEdit(dm->datProduct, "Prod_Price", window.get());
        for (QWidget* w : {static_cast<QWidget*>(code), static_cast<QWidget*>(description), static_cast<QWidget*>(price)})
            window->layout()->addWidget(w);
        activate();
        dm->tblProduct->Insert();
        code->setFocus();
        QTest::keyClicks(code, "P9");
        price->setFocus();
        QTest::keyClicks(price, "5");
        // The typed price has not left its field; post takes it from the control.
        QVERIFY_THROWS_EXCEPTION(zz::Exception, dm->tblProduct->Post());
        QVERIFY(description->hasFocus());
        QCOMPARE(dm->tblProductProd_Price->AsFloat(), 5.0);
        QTest::keyClicks(description, "Nut");
        dm->tblProduct->Post();
        QCOMPARE(dm->tblProductProd_Description->AsString(), QStringLiteral("Nut"));
        QCOMPARE(dm->tblProductProd_Code->AsString(), QStringLiteral("P9"));
    }

    void gridFollowsTheCursorBothWays()
    {
        for (int i = 0; i < 5; ++i)
            addProduct(QString("P%1").arg(i), QString("Item %1").arg(i), i);
        auto* grid = new TDBGrid(window.get());
        grid->setColumns({{"Prod_Code", "Code", 60}, {"Prod_Price", "Price", 80, Qt::AlignRight | Qt::AlignVCenter}});
        grid->setDataSource(dm->datProduct);
        window->layout()->addWidget(grid);
        activate();
        QCOMPARE(grid->model()->rowCount(), 5);
        QCOMPARE(grid->model()->index(2, 1).data().toString(), QStringLiteral("$2.00"));
        dm->tblProduct->First();
        QCOMPARE(grid->currentIndex().row(), 0);
        dm->tblProduct->Locate("Prod_Description", "item 3", LocateOption::PartialKey | LocateOption::CaseInsensitive);
        QCOMPARE(grid->currentIndex().row(), 3);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QCOMPARE(dm->tblProductProd_Code->AsString(), QStringLiteral("P1"));
        // Read-only: typing changes nothing.
        grid->setFocus();
        QTest::keyClicks(grid, "x");
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(dm->tblProduct->State(), DataSetState::Browse);
    }

    void gridClicksAndDoubleClicks()
    {
        for (int i = 0; i < 3; ++i)
            addProduct(QString("P%1").arg(i), QString("Item %1").arg(i), i);
        auto* grid = new TDBGrid(window.get());
        grid->setColumns({{"Prod_Code", "Code", 60}, {"Prod_Description", "Description", 120}});
        grid->setDataSource(dm->datProduct);
        grid->setMinimumHeight(200);
        window->layout()->addWidget(grid);
        activate();
        dm->tblProduct->First();

        QStringList clicks; // the clicked column with the row current when the signal came
        int doubleClicks = 0;
        connect(grid, &TDBGrid::CellClick, this,
                [&](int column) { clicks << QString("%1@%2").arg(column).arg(dm->tblProductProd_Code->AsString()); });
        connect(grid, &TDBGrid::DblClick, this, [&] { ++doubleClicks; });
        const auto cellAt = [&](int row, int column) { return grid->visualRect(grid->model()->index(row, column)).center(); };

        // A click makes its row current before the cell click is told.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellAt(2, 1));
        QCOMPARE(clicks, QStringList{"1@P2"});
        // Keys, the right button and the empty space below the rows send no cell click.
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(dm->tblProductProd_Code->AsString(), QStringLiteral("P1"));
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cellAt(0, 0));
        const QPoint below(10, grid->viewport()->height() - 5);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(doubleClicks, 0);

        // A double-click anywhere: on a row, below the rows, on a title, in a grid without rows.
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellAt(0, 0));
        QCOMPARE(doubleClicks, 1);
        QCOMPARE(dm->tblProductProd_Code->AsString(), QStringLiteral("P0"));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(doubleClicks, 2);
        QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QCOMPARE(doubleClicks, 3);
        dm->qryInvDetail->Close();
        grid->setDataSource(dm->datInvDetail);
        QCOMPARE(grid->model()->rowCount(), 0);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(doubleClicks, 4);
    }

    void editableGridKeys()
    {
        addProduct("A", "Alpha", 1);
        addProduct("B", "Beta", 2);
        auto* grid = new TDBGrid(window.get());
        grid->setColumns({{"Prod_Code", "Code", 60}, {"Prod_Description", "Description", 120}, {"Prod_Price", "Price", 80}});
        grid->setReadOnly(false);
        grid->setDataSource(dm->datProduct);
        window->layout()->addWidget(grid);
        activate();
        grid->setFocus();
        dm->tblProduct->First();

        // Typing starts editing; Esc restores the cell, a second Esc drops the row's change.
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QTest::keyClick(grid, Qt::Key_F2);
        QCOMPARE(dm->tblProduct->State(), DataSetState::Edit);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != grid);
        QTest::keyClicks(editor, "X");
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(dm->tblProduct->State(), DataSetState::Edit);
        QCOMPARE(dm->tblProductProd_Description->AsString(), QStringLiteral("Alpha"));
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(dm->tblProduct->State(), DataSetState::Browse);

        // Editing a cell and leaving the row posts.
        QTest::keyClick(grid, Qt::Key_F2);
        editor = QApplication::focusWidget();
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, "2");
        QTest::keyClick(editor, Qt::Key_Return);
        grid->setCurrentIndex(grid->model()->index(1, 1));
        QCOMPARE(dm->tblProduct->State(), DataSetState::Browse);
        QSqlQuery q(Engine::database());
        q.exec("SELECT count(*) FROM Product WHERE Prod_Description = 'Alpha2'");
        QVERIFY(q.next() && q.value(0).toInt() == 1);

        // Down on the last row appends; a second Down on the untouched new row does nothing.
        QCOMPARE(dm->tblProduct->RecNo(), 1);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(dm->tblProduct->State(), DataSetState::Insert);
        QCOMPARE(dm->tblProduct->RecNo(), 2);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(dm->tblProduct->RecordCount(), 3);
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(dm->tblProduct->RecordCount(), 2);

        // Insert inserts before the current row; a failed post from the grid is reported.
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(dm->tblProduct->State(), DataSetState::Insert);
        QCOMPARE(grid->currentIndex().row(), 1);
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), "C");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCOMPARE(seam->lastText(), QStringLiteral("Field 'Prod_Description' must have a value."));
        QCOMPARE(dm->tblProduct->State(), DataSetState::Insert);
        QCOMPARE(grid->currentIndex().row(), dm->tblProduct->RecNo());
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(dm->tblProduct->State(), DataSetState::Browse);

        // Ctrl+Delete asks; Cancel keeps the row, OK deletes it.
        seam->clear();
        seam->answers = {MsgResult::Cancel, MsgResult::OK};
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(seam->messages.size(), 1);
        QCOMPARE(seam->messages[0].text, QStringLiteral("Delete record?"));
        QCOMPARE(seam->messages[0].buttons, MsgButtons::OKCancel);
        QCOMPARE(seam->messages[0].kind, MsgKind::Confirmation);
        QCOMPARE(dm->tblProduct->RecordCount(), 2);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(dm->tblProduct->RecordCount(), 1);
    }

    void lookupLocatesTheChosenKey()
    {
        addProduct("A1", "Apple", 1);
        addProduct("B1", "Banana", 2);
        addProduct("C1", "Cherry", 3);
        auto* box = new TDBLookupComboBox(window.get());
        box->setListSource(dm->datProduct);
        box->setListField("Prod_Description");
        box->setKeyField("Prod_Code");
        window->layout()->addWidget(box);
        activate();
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->currentIndex(), -1);
        box->setFocus();
        QTest::keyClicks(box, "b");
        QCOMPARE(box->currentText(), QStringLiteral("Banana"));
        QCOMPARE(dm->tblProductProd_Code->AsString(), QStringLiteral("B1"));
        box->setCurrentIndex(2);
        emit box->activated(2);
        QCOMPARE(dm->tblProductProd_Code->AsString(), QStringLiteral("C1"));
        // Moving the list cursor by other means leaves the box as it was.
        dm->tblProduct->First();
        QCOMPARE(box->currentText(), QStringLiteral("Cherry"));
        QCOMPARE(box->KeyValue().toString(), QStringLiteral("C1"));
    }

    // A list of a hundred thousand entries opens, and drops down, reading only what it shows.
    void lookupReadsOnlyTheEntriesItShows()
    {
        ManyRows rows(100000);
        TDataSource source(QStringLiteral("datMany"), &rows);
        auto* box = new TDBLookupComboBox(window.get());
        box->setListField("Name");
        box->setKeyField("Code");
        box->setListSource(&source);
        box->setKeyValue(1);
        window->layout()->addWidget(box);
        activate();
        QVERIFY2(rows.reads < 1000, qPrintable(QString::number(rows.reads)));
        QCOMPARE(box->count(), 100000);
        QCOMPARE(box->currentText(), QStringLiteral("Customer 000001"));
        QCOMPARE(box->itemText(54320), QStringLiteral("Customer 054321"));
        QCOMPARE(box->itemData(54320).toInt(), 54321);
        rows.reads = 0;
        box->showPopup();
        QVERIFY2(rows.reads < 1000, qPrintable(QString::number(rows.reads)));
        box->hidePopup();
        // A key far down the list is found and shown.
        box->setKeyValue(99999);
        QCOMPARE(box->currentIndex(), 99998);
        QCOMPARE(box->currentText(), QStringLiteral("Customer 099999"));
        box->setListSource(nullptr);
        QCOMPARE(box->count(), 0);
    }

    void logoStoredFormBothWays_data()
    {
        QImage img(5, 3, QImage::Format_RGB32);
        img.fill(Qt::red);
        const QByteArray bmp = bmpFile(img);
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("readable");
        QTest::newRow("valid header") << header(1, 0x0100, quint32(bmp.size())) + bmp << true;
        QTest::newRow("no header") << bmp << true;
        QTest::newRow("wrong count") << header(2, 0x0100, quint32(bmp.size())) + bmp << false;
        QTest::newRow("wrong type") << header(1, 0x0101, quint32(bmp.size())) + bmp << false;
        QTest::newRow("wrong length") << header(1, 0x0100, quint32(bmp.size() + 1)) + bmp << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("not a bitmap") << header(1, 0x0100, 4) + QByteArray("GIF8") << false;
    }
    void logoStoredFormBothWays()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, readable);
        dm->tblCompany->Edit();
        dm->tblCompanyCom_Name->SetAsString("Us");
        dm->tblCompany->Post();
        QSqlQuery q(Engine::database());
        q.prepare("UPDATE Company SET Com_Logo = ?");
        q.addBindValue(stored.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(stored));
        QVERIFY(q.exec());
        dm->tblCompany->Refresh();

        auto* image = new TDBImage(window.get());
        image->bind(dm->datCompany, "Com_Logo");
        window->layout()->addWidget(image);
        QCOMPARE(!image->Picture().isNull(), readable);
        if (readable)
            QCOMPARE(image->Picture().size(), QSize(5, 3));

        // A picture put in is written by the next post in the stored form and reads back.
        QImage blue(4, 4, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        image->setPicture(blue);
        QCOMPARE(dm->tblCompany->State(), DataSetState::Edit);
        QVERIFY(dm->tblCompany->Modified());
        dm->tblCompany->Post();
        q.exec("SELECT Com_Logo FROM Company");
        QVERIFY(q.next());
        const QByteArray written = q.value(0).toByteArray();
        QCOMPARE(written.left(8), header(1, 0x0100, quint32(written.size() - 8)));
        QVERIFY(written.mid(8).startsWith("BM"));
        dm->tblCompany->Refresh();
        QCOMPARE(image->Picture().pixelColor(1, 1), QColor(Qt::blue));

        // Cut clears the picture and puts it on the clipboard; paste brings it back.
        activate();
        image->setFocus();
        QTest::keyClick(image, Qt::Key_Delete, Qt::ShiftModifier);
        QVERIFY(image->Picture().isNull());
        dm->tblCompany->Post();
        QVERIFY(dm->tblCompanyCom_Logo->IsNull());
        QTest::keyClick(image, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(image->Picture().size(), QSize(4, 4));
    }

    void dateAndSpinEditsReadUnreadableTextAsTheirDefaults()
    {
        TDateEdit date;
        date.setDate(QDate(2024, 2, 29));
        QCOMPARE(date.text(), QStringLiteral("2/29/2024"));
        QCOMPARE(date.Date(), QDate(2024, 2, 29));
        date.setText("31/31/2024");
        QCOMPARE(date.Date(), zeroDate());
        date.setText(QString());
        QCOMPARE(date.Date(), QDate(1899, 12, 30));

        TSpinEdit spin;
        spin.setMinValue(1);
        spin.setMaxValue(12);
        spin.setValue(5);
        QCOMPARE(spin.Value(), 5);
        spin.setText("abc");
        QCOMPARE(spin.Value(), 1);
        spin.setText("99");
        QCOMPARE(spin.Value(), 12);
    }
};

ZZ_TEST_MAIN(TestDbControls)
#include "test_dbcontrols.moc"
