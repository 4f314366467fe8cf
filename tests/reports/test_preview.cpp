// The print preview: progress and paging while generating, commands and their enabled state,
// saving and loading through the file dialogs, closing during generation, re-entry.
#include "data/Errors.h"
#include "data/Regional.h"
#include "reports/PreviewForm.h"
#include "reports/engine/ReportGenerator.h"
#include "tests/reports/FakeDataset.h"
#include "tests/support/TestSupport.h"
#include "widgets/Form.h"

#include <QAction>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <stdexcept>

using namespace zz;
using namespace zz::report;
using zz::test::FakeDataset;

namespace {

FakeDataset revenueRows(int rows)
{
    FakeDataset ds({{"Inv_Number", FieldType::Integer}, {"Cus_Name", FieldType::Text}, {"Total", FieldType::Money}});
    for (int i = 0; i < rows; ++i)
        ds.rows.push_back({1000 + i, QStringLiteral("Customer %1").arg(i), 12.5 + i});
    return ds;
}

void buildRevenueShaped(Report& r, FakeDataset& ds)
{
    r.name = QStringLiteral("Revenue");
    r.dataset = &ds;
    r.addBand(BandKind::Title, 320).add(Element::label("QRLabel1", "Customer Revenue Report", 0, 63).points(18).bold().onBand());
    r.addBand(BandKind::ColumnHeader, 106, FrameAll).add(Element::label("QRLabel3", "Invoice Number", 42, 29).bold());
    Band& detail = r.addBand(BandKind::Detail, 48, FrameLeft | FrameRight);
    detail.add(Element::dataText("QRDBText1", "Inv_Number", 42, 0).fixedWidth(278));
    detail.add(Element::dataText("QRDBText2", "Cus_Name", 339, 0).fixedWidth(1251));
    detail.add(Element::dataText("QRDBText3", "Total", 1609, 0).fixedWidth(235));
    r.addBand(BandKind::Summary, 254, FrameAll).add(Element::expr("QRExpr1", "SUM(Total)", 1609, 21).fixedWidth(235));
}

// A window under the preview that counts its activations.
class UnderForm : public TForm {
public:
    int activations = 0;

protected:
    void FormActivate() override { ++activations; }
};

// A seam whose file dialog fails: first with a std::exception, then with something else.
class FailingFileSeam : public test::RecordingSeam {
public:
    int failures = 0;
    std::optional<QString> file(const FileDialogRequest&) override
    {
        if (failures++ == 0)
            throw std::runtime_error("The file dialog could not open");
        throw 7;
    }
};

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void init() { setRegional(RegionalSettings{}); }

    // An error escaping a preview command goes to the general error report inside the action's
    // slot; the preview goes on and closes as usual.
    void anErrorEscapingAPreviewCommandReachesTheGeneralErrorReport()
    {
        FakeDataset ds = revenueRows(80);
        Report r;
        buildRevenueShaped(r, ds);
        FailingFileSeam seam;
        int ready = 0;
        seam.onPreview = [&](TPreviewForm& form) {
            ++ready;
            form.saveReportAction()->trigger();
            form.loadReportAction()->trigger();
            form.nextAction()->trigger();
            QCOMPARE(form.currentPage(), 1);
        };
        previewReport(r);
        QCOMPARE(ready, 1);
        QCOMPARE(seam.failures, 2);
        QCOMPARE(seam.messages.size(), 2);
        for (const MessageRequest& m : seam.messages) {
            QCOMPARE(m.title, QStringLiteral("Zuzevevur Creator"));
            QCOMPARE(m.kind, MsgKind::Error);
            QCOMPARE(m.buttons, MsgButtons::OK);
        }
        QCOMPARE(seam.messages[0].text, QStringLiteral("The file dialog could not open."));
        QCOMPARE(seam.messages[1].text, QStringLiteral("Unknown error."));
    }

    void generatesWithProgressThenOffersEveryCommand()
    {
        FakeDataset ds = revenueRows(300);
        Report r;
        buildRevenueShaped(r, ds);
        UnderForm under;
        under.beginTestModal();
        QCOMPARE(under.activations, 1);

        test::RecordingSeam seam;
        QStringList progress;
        QList<int> pagesSeen;
        bool printDisabledWhileGenerating = true;
        int opened = 0, ready = 0;
        seam.onPreviewOpened = [&](TPreviewForm& form) {
            ++opened;
            QCOMPARE(form.windowTitle(), QStringLiteral("Print Preview"));
            QVERIFY(form.windowState() & Qt::WindowMaximized);
            QVERIFY(!form.isModal());
            QObject::connect(&form, &TPreviewForm::progressChanged, &form, [&](const QString& text) {
                progress << text;
                pagesSeen << form.pageCount();
                printDisabledWhileGenerating = printDisabledWhileGenerating && form.isGenerating()
                    ? !form.printAction()->isEnabled() && !form.printerSetupAction()->isEnabled()
                    : printDisabledWhileGenerating;
                // A second preview of the same report while it generates returns at once.
                previewReport(r);
            });
        };
        seam.onPreview = [&](TPreviewForm& form) {
            ++ready;
            QCOMPARE(form.pageCount(), 6); // 47 rows on page 1, 54 on each further page
            QCOMPARE(form.currentPage(), 0);
            QCOMPARE(form.pageText(), QStringLiteral("Page 1 of 6"));
            QCOMPARE(form.progressText(), QString());
            QCOMPARE(form.zoom(), TPreviewForm::Zoom::Actual);
            QVERIFY(form.printAction()->isEnabled());
            QVERIFY(form.printerSetupAction()->isEnabled());
            QVERIFY(!form.firstAction()->isEnabled());
            QVERIFY(!form.previousAction()->isEnabled());
            QVERIFY(form.nextAction()->isEnabled());

            form.nextAction()->trigger();
            QCOMPARE(form.pageText(), QStringLiteral("Page 2 of 6"));
            form.lastAction()->trigger();
            QCOMPARE(form.pageText(), QStringLiteral("Page 6 of 6"));
            QVERIFY(!form.nextAction()->isEnabled());
            form.previousAction()->trigger();
            QCOMPARE(form.pageText(), QStringLiteral("Page 5 of 6"));
            form.firstAction()->trigger();
            QCOMPARE(form.pageText(), QStringLiteral("Page 1 of 6"));

            // The keys of the commands.
            QApplication::setActiveWindow(&form);
            QTest::keyClick(&form, Qt::Key_PageDown);
            QCOMPARE(form.currentPage(), 1);
            QTest::keyClick(&form, Qt::Key_End);
            QCOMPARE(form.currentPage(), 5);
            QTest::keyClick(&form, Qt::Key_PageUp);
            QCOMPARE(form.currentPage(), 4);
            QTest::keyClick(&form, Qt::Key_Home);
            QCOMPARE(form.currentPage(), 0);
            QTest::keyClick(&form, Qt::Key_PageDown, Qt::ControlModifier);
            QCOMPARE(form.currentPage(), 5);
            QTest::keyClick(&form, Qt::Key_PageUp, Qt::ControlModifier);
            QCOMPARE(form.currentPage(), 0);

            // Zooms: fit shows the whole page, width fills the window's width.
            form.zoomWidthAction()->trigger();
            const QScrollArea* scroll = form.findChild<QScrollArea*>();
            const int viewport = scroll->viewport()->width();
            QVERIFY(qAbs(form.scale() * form.document().pageWidth - viewport) < 30);
            form.zoomFitAction()->trigger();
            QVERIFY(form.scale() * form.document().pageHeight <= scroll->viewport()->height());
            form.zoomActualAction()->trigger();
            QCOMPARE(form.scale(), form.logicalDpiX() / 254.0);

            const QStringList hints = {"Zoom to fit", "100%", "Zoom to width", "First page", "Previous page", "Next page",
                                       "Last page", "Printer setup", "Print", "Save Report", "Load Report"};
            const QList<QAction*> actions = {form.zoomFitAction(), form.zoomActualAction(), form.zoomWidthAction(),
                                             form.firstAction(), form.previousAction(), form.nextAction(),
                                             form.lastAction(), form.printerSetupAction(), form.printAction(),
                                             form.saveReportAction(), form.loadReportAction()};
            for (int i = 0; i < hints.size(); ++i)
                QCOMPARE(actions[i]->toolTip(), hints[i]);
            QCOMPARE(form.closeButton()->text(), QStringLiteral("&Close"));
            if (qEnvironmentVariableIsSet("ZZ_GRAB_OUT"))
                form.grab().save(qEnvironmentVariable("ZZ_GRAB_OUT"));
        };
        previewReport(r);
        QCOMPARE(opened, 1);
        QCOMPARE(ready, 1);
        QVERIFY(printDisabledWhileGenerating);
        // Steps of at least 5 %, blank at the end; pages appeared while the rows were read.
        QVERIFY(progress.size() >= 3);
        QCOMPARE(progress.last(), QString());
        int previous = 0;
        for (const QString& p : progress.mid(0, progress.size() - 1)) {
            QVERIFY2(p.endsWith(QLatin1Char('%')), qPrintable(p));
            const int n = p.chopped(1).toInt();
            QVERIFY(n >= previous + 5 && n < 100 && n % 5 == 0);
            previous = n;
        }
        QVERIFY(pagesSeen.first() < 6);
        QCOMPARE(under.activations, 2); // the window under the preview is activated again
        QVERIFY(!r.isGenerating());
        under.endTestModal();
    }

    void closingDuringGenerationStopsIt()
    {
        FakeDataset ds = revenueRows(2000);
        Report r;
        buildRevenueShaped(r, ds);
        test::RecordingSeam seam;
        int ready = 0;
        seam.onPreviewOpened = [&](TPreviewForm& form) {
            QObject::connect(&form, &TPreviewForm::progressChanged, &form, [&form](const QString& text) {
                if (text == QStringLiteral("20%"))
                    form.closeButton()->click();
            });
        };
        seam.onPreview = [&](TPreviewForm&) { ++ready; };
        previewReport(r);
        QCOMPARE(ready, 0);
        QVERIFY(!ds.eof());
        QVERIFY(ds.row < 600);
        QVERIFY(!r.isGenerating());
        // The report can be previewed again at once.
        seam.onPreviewOpened = nullptr;
        previewReport(r);
        QCOMPARE(ready, 1);
        QVERIFY(ds.eof());
    }

    void errorWhileGeneratingLeavesAsException()
    {
        FakeDataset ds = revenueRows(3);
        Report r;
        buildRevenueShaped(r, ds);
        r.element("QRExpr1")->expression = QStringLiteral("SUM(Cus_Name)");
        UnderForm under;
        under.beginTestModal();
        test::RecordingSeam seam;
        int ready = 0;
        seam.onPreview = [&](TPreviewForm&) { ++ready; };
        QVERIFY_THROWS_EXCEPTION(Exception, previewReport(r));
        QCOMPARE(ready, 0);
        QVERIFY(!r.isGenerating());
        QCOMPARE(under.activations, 2);
        under.endTestModal();
    }

    void saveLoadAndPdfThroughTheDialogs()
    {
        FakeDataset ds = revenueRows(80);
        Report r;
        buildRevenueShaped(r, ds);
        test::RecordingSeam seam;
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("revenue.zzr"));
        const QString damaged = dir.filePath(QStringLiteral("damaged.zzr"));
        const QString pdf = dir.filePath(QStringLiteral("revenue.pdf"));
        seam.onPreview = [&](TPreviewForm& form) {
            const int pages = form.pageCount();
            const QString before = form.document().dump();
            seam.fileAnswers = {saved};
            form.saveReportAction()->trigger();
            QCOMPARE(seam.messages.size(), 0);
            QVERIFY(seam.fileRequests.last().save);

            QFile file(saved);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll();
            bytes[bytes.size() - 5] = char(bytes[bytes.size() - 5] ^ 0x10);
            QFile bad(damaged);
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(bytes);
            bad.close();

            form.nextAction()->trigger();
            seam.fileAnswers = {damaged};
            form.loadReportAction()->trigger();
            QCOMPARE(seam.messages.size(), 1);
            QCOMPARE(seam.messages.last().kind, MsgKind::Error);
            QCOMPARE(seam.messages.last().text, QStringLiteral("The file is not a saved report or it is damaged."));
            QCOMPARE(form.pageCount(), pages); // nothing changed
            QCOMPARE(form.currentPage(), 1);

            // Load into a fresh preview: the same pages.
            TPreviewForm other;
            seam.fileAnswers = {saved};
            other.loadReportAction()->trigger();
            QCOMPARE(seam.messages.size(), 1);
            QCOMPARE(other.pageCount(), pages);
            QCOMPARE(other.document().dump(), before);
            QCOMPARE(other.pageText(), QStringLiteral("Page 1 of %1").arg(pages));

            seam.fileAnswers = {pdf};
            form.savePdfAction()->trigger();
            QCOMPARE(seam.messages.size(), 1);
            QFile out(pdf);
            QVERIFY(out.open(QIODevice::ReadOnly));
            QVERIFY(out.readAll().startsWith("%PDF-"));

            // A cancelled dialog does nothing.
            seam.fileAnswers = {QString()};
            form.saveReportAction()->trigger();
            QCOMPARE(seam.messages.size(), 1);
        };
        previewReport(r);
    }

    void printing()
    {
        FakeDataset ds = revenueRows(80);
        Report r;
        buildRevenueShaped(r, ds);
        test::RecordingSeam seam;
        QTemporaryDir dir;
        seam.onPreview = [&](TPreviewForm& form) {
            if (QPrinterInfo::availablePrinters().isEmpty()) {
                form.printAction()->trigger();
                QCOMPARE(seam.messages.size(), 1);
                QCOMPARE(seam.messages.last().kind, MsgKind::Error);
                QVERIFY(seam.messages.last().text.startsWith(QStringLiteral("No printer is installed")));
            } else {
                // The print dialog offers every page; cancelled, nothing is printed.
                form.printAction()->trigger();
                QCOMPARE(seam.printerDialogs, QStringList{QStringLiteral("print 1-%1").arg(form.pageCount())});
            }
            // Every page goes to the printer in order.
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
            const QString keep = qEnvironmentVariable("ZZ_PRINT_OUT");
            form.printTo(printer);
            QFile out(dir.filePath(QStringLiteral("printed.pdf")));
            QVERIFY(out.open(QIODevice::ReadOnly));
            const QByteArray bytes = out.readAll();
            QVERIFY(bytes.startsWith("%PDF-"));
            QCOMPARE(int(bytes.count("/Type /Page\n")), form.pageCount());
            if (!keep.isEmpty())
                QFile::copy(dir.filePath(QStringLiteral("printed.pdf")), keep);
        };
        previewReport(r);
    }
};

ZZ_TEST_MAIN(TestPreview)
#include "test_preview.moc"
