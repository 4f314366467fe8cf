// The VAT and company dialogs, opened as the menu opens them (row in edit mode first): the
// percentage in its display pattern and the texts refused, the logo read from a bitmap file,
// refused files (a file too large for a logo by its size alone), Cancel and the clipboard cut.
#include <QtEndian>
#include <QBuffer>
#include <QClipboard>
#include <QImageWriter>

#include "admin/CompanyAdmin.h"
#include "admin/VAT.h"
#include "data/Logo.h"
#include "tests/admin/AdminTestUtil.h"
#include "tests/support/AllocationWatch.h"

using namespace zz;

class TestVatCompany : public QObject {
    Q_OBJECT
    test::AdminFixture fx;

    void open(TForm* dialog, TTable* row)
    {
        row->Edit();
        dialog->beginTestModal(); // as ShowModal: the activation handler runs before the window shows
        test::activate(dialog);
    }
    QString bitmapFile(const QString& name, QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = fx.home->path() + QLatin1Char('/') + name;
        QImageWriter(path, "BMP").write(image);
        return path;
    }
    static QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QVariant storedLogo() { return test::AdminFixture::stored("SELECT Com_Logo FROM Company"); }

private slots:
    void init()
    {
        fx.setUp();
        frmVAT = new TfrmVAT;
        frmAdminCompany = new TfrmAdminCompany;
        fx.dm->tblVAT->Edit();
        fx.dm->tblVATVAT_Percentage->SetAsFloat(15);
        fx.dm->tblVAT->Post();
    }
    void cleanup()
    {
        delete frmAdminCompany;
        delete frmVAT;
        frmAdminCompany = nullptr;
        frmVAT = nullptr;
        fx.tearDown();
    }

    void vatShowsItsPatternSelectedAndTypingReplacesIt()
    {
        open(frmVAT, fx.dm->tblVAT);
        QCOMPARE(frmVAT->DBEdit1->selectedText(), QStringLiteral("15.00%"));
        QTest::keyClicks(frmVAT->DBEdit1, "14");
        frmVAT->btnSave->click();
        QVERIFY(!frmVAT->isVisible());
        QCOMPARE(test::AdminFixture::stored("SELECT VAT_Percentage FROM VAT").toDouble(), 14.0);
        frmVAT->endTestModal();
        open(frmVAT, fx.dm->tblVAT);
        QTest::keyClicks(frmVAT->DBEdit1, "20");
        frmVAT->btnCancel->click();
        QCOMPARE(frmVAT->DBEdit1->text(), QStringLiteral("14.00%"));
        QCOMPARE(fx.dm->tblVAT->State(), DataSetState::Browse);
        frmVAT->endTestModal();
    }

    void vatTextStillCarryingThePercentSignIsRefused()
    {
        open(frmVAT, fx.dm->tblVAT);
        // Only the digits overtyped: "14.00%" is no number. The percent sign cannot be typed.
        QTest::keyClick(frmVAT->DBEdit1, Qt::Key_Home);
        QTest::keyClick(frmVAT->DBEdit1, Qt::Key_Delete);
        QTest::keyClick(frmVAT->DBEdit1, Qt::Key_Delete);
        QTest::keyClicks(frmVAT->DBEdit1, "14%");
        const QString refusal = QStringLiteral("'14.00%' is not a valid floating point value for field 'VAT_Percentage'");
        // A click on Save leaves the field first: refused there, and the click does not act.
        QTest::mouseClick(frmVAT->btnSave, Qt::LeftButton);
        QCOMPARE(fx.boxes(), QStringLiteral("Zuzevevur Creator: ") + refusal);
        QVERIFY(frmVAT->isVisible());
        QCOMPARE(frmVAT->DBEdit1->selectedText(), QStringLiteral("14.00%"));
        // The access key keeps the focus in the field: Save itself refuses the text.
        QTest::keyClick(frmVAT->DBEdit1, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(fx.boxes(), QStringLiteral("Error: ") + refusal);
        QCOMPARE(fx.dm->tblVAT->State(), DataSetState::Edit);
        // Emptied, the field is required; replaced whole by a number, it is stored.
        frmVAT->DBEdit1->selectAll();
        QTest::keyClick(frmVAT->DBEdit1, Qt::Key_Backspace);
        frmVAT->btnSave->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Error: Field 'VAT_Percentage' must have a value"));
        QTest::keyClicks(frmVAT->DBEdit1, "14");
        QTest::mouseClick(frmVAT->btnSave, Qt::LeftButton);
        QCOMPARE(test::AdminFixture::stored("SELECT VAT_Percentage FROM VAT").toDouble(), 14.0);
        frmVAT->endTestModal();
    }

    void aChosenLogoIsStoredBySaveAndDroppedByCancel()
    {
        open(frmAdminCompany, fx.dm->tblCompany); // an empty table: Save creates the row
        frmAdminCompany->btnLogo->click(); // the dialog closed without a choice
        QCOMPARE(fx.seam->fileRequests.value(0).filter, QStringLiteral("Bitmaps (*.bmp)"));
        QVERIFY(fx.seam->fileRequests.value(0).picturePreview);
        const QString red = bitmapFile(QStringLiteral("red.bmp"), QSize(6, 4));
        fx.seam->fileAnswers = {red};
        frmAdminCompany->btnLogo->click();
        QCOMPARE(frmAdminCompany->DBImage1->Picture().size(), QSize(6, 4));
        frmAdminCompany->btnSave->click();
        QVERIFY(!frmAdminCompany->isVisible());
        frmAdminCompany->endTestModal();
        QCOMPARE(storedLogo().toByteArray(), logoStoredForm(fileBytes(red)));

        open(frmAdminCompany, fx.dm->tblCompany);
        fx.seam->fileAnswers = {bitmapFile(QStringLiteral("small.bmp"), QSize(3, 3))};
        frmAdminCompany->btnLogo->click();
        QCOMPARE(frmAdminCompany->DBImage1->Picture().size(), QSize(3, 3));
        frmAdminCompany->btnCancel->click();
        QCOMPARE(storedLogo().toByteArray(), logoStoredForm(fileBytes(red)));
        QCOMPARE(frmAdminCompany->DBImage1->Picture().size(), QSize(6, 4));
        frmAdminCompany->endTestModal();

        // A file that is no bitmap, or cannot be opened, keeps the logo.
        open(frmAdminCompany, fx.dm->tblCompany);
        const QString notes = fx.home->path() + QStringLiteral("/notes.bmp");
        QFile f(notes);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("These are my notes, not a picture.\n") > 0);
        f.close();
        const QString missing = fx.home->path() + QStringLiteral("/missing.bmp");
        // A picture of another format is no bitmap either, whatever its name says.
        const QString png = fx.home->path() + QStringLiteral("/drawn.bmp");
        QImage drawn(4, 4, QImage::Format_RGB32);
        drawn.fill(Qt::green);
        QVERIFY(drawn.save(png, "PNG"));
        // A bitmap whose header claims 25 million pixels is too large for a logo.
        const QString huge = fx.home->path() + QStringLiteral("/huge.bmp");
        QFile h(huge);
        QVERIFY(h.open(QIODevice::WriteOnly));
        QByteArray header(54, '\0');
        header[0] = 'B', header[1] = 'M', header[10] = 54, header[14] = 40, header[26] = 1, header[28] = 24;
        qToLittleEndian<qint32>(5000, header.data() + 18);
        qToLittleEndian<qint32>(5000, header.data() + 22);
        h.write(header);
        h.close();
        fx.seam->fileAnswers = {notes, png, missing, huge};
        frmAdminCompany->btnLogo->click();
        frmAdminCompany->btnLogo->click();
        frmAdminCompany->btnLogo->click();
        frmAdminCompany->btnLogo->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Error: Bitmap image is not valid | Error: Bitmap image is not valid | "
                                            "Error: Cannot open file %1 | "
                                            "Error: The bitmap %2 is too large for a logo (at most 16 million pixels).")
                                 .arg(missing, huge));
        QCOMPARE(frmAdminCompany->DBImage1->Picture().size(), QSize(6, 4));
        QVERIFY(!fx.dm->tblCompany->Modified());

        // A file of a gigabyte (sparse: it takes no room on the disk) is refused by its size,
        // without being read into memory.
        fx.seam->clear();
        const QString gigabyte = fx.home->path() + QStringLiteral("/gigabyte.bmp");
        QFile g(gigabyte);
        QVERIFY(g.open(QIODevice::WriteOnly) && g.write(header) == header.size() && g.resize(qint64(1) << 30));
        g.close();
        fx.seam->fileAnswers = {gigabyte};
        if (test::allocationsWatched())
            QVERIFY(test::largestAllocation([] { frmAdminCompany->btnLogo->click(); }) < std::size_t(kMaxLogoFileBytes));
        else
            frmAdminCompany->btnLogo->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Error: The bitmap %1 is too large for a logo (at most 64 MB).").arg(gigabyte));
        QCOMPARE(frmAdminCompany->DBImage1->Picture().size(), QSize(6, 4));
        QVERIFY(!fx.dm->tblCompany->Modified());

        // Ctrl+X in the logo takes it to the clipboard; Save then stores no logo.
        frmAdminCompany->DBImage1->setFocus();
        QTest::keyClick(frmAdminCompany->DBImage1, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(6, 4));
        frmAdminCompany->btnSave->click();
        QVERIFY(storedLogo().isNull());
        frmAdminCompany->endTestModal();
    }
};

ZZ_TEST_MAIN(TestVatCompany)
#include "test_vat_company.moc"
