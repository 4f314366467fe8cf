// The print preview of an invoice with its e-invoice (the book's invoices: test_einvoice_files):
// E-mail attaches the hybrid; the XRechnung command asks for a file named like the PDF; an
// e-invoice that is refused writes nothing and leaves the earlier file; documents without an
// e-invoice (the revenue report, the statement, a loaded report) are previewed as before.
#include <QAction>
#include <QDir>
#include <QTemporaryDir>

#include "data/Errors.h"
#include "reports/EInvoiceSource.h"
#include "reports/PreviewForm.h"
#include "reports/engine/PdfExport.h"
#include "tests/einvoice/InvoicePages.h"
#include "tests/einvoice/PdfReaders.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::test;

namespace {

class FakeEInvoice : public EInvoiceSource {
public:
    QStringList missing;
    QString refusal; // thrown by xml() when set
    mutable QList<einvoice::Profile> asked;

    QStringList missingDetails() const override { return missing; }
    QByteArray xml(einvoice::Profile profile) const override
    {
        asked.push_back(profile);
        if (!refusal.isEmpty())
            throw Exception(refusal);
        return sampleCii(profile == einvoice::Profile::XRechnung ? QStringLiteral("XRechnung buyer") : QStringLiteral("Factur-X buyer"));
    }
};

// The names of the files a PDF embeds, as pdfdetach lists them.
QStringList embedded(const QString& pdf)
{
    const ToolRun t = runTool(QStringLiteral("pdfdetach"), {QStringLiteral("-list"), pdf});
    QStringList names;
    for (const QString& line : QString::fromUtf8(t.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
        names << line.section(QLatin1String(": "), 1);
    return names;
}

QByteArray detached(const QString& pdf, const QString& folder)
{
    const QString out = folder + QStringLiteral("/detached.xml");
    QFile::remove(out);
    runTool(QStringLiteral("pdfdetach"), {QStringLiteral("-save"), QStringLiteral("1"), QStringLiteral("-o"), out, pdf});
    return fileBytes(out);
}

} // namespace

class TestEInvoicePreview : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    QString path(const QString& name) const { return m_folder->filePath(name); }

private slots:
    void init()
    {
        setRegional(RegionalSettings{});
        m_folder = std::make_unique<QTemporaryDir>(); // each test its own
    }

    void eMailAttachesTheHybrid()
    {
        ZZ_REQUIRE_PDF_READERS();
        // A mail program first on the PATH that keeps a copy of what it is handed.
        QTemporaryDir bin;
        QFile script(bin.filePath(QStringLiteral("xdg-email")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nwhile [ $# -gt 0 ]; do [ \"$1\" = --attach ] && cp \"$2\" \"$ZZ_MAILED.part\" && mv \"$ZZ_MAILED.part\" \"$ZZ_MAILED\"; shift; done\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + oldPath);
        qputenv("ZZ_MAILED", path(QStringLiteral("mailed.pdf")).toLocal8Bit());

        InvoicePages pages;
        FakeEInvoice source;
        RecordingSeam seam;
        seam.onPreview = [&](TPreviewForm& preview) { preview.sendByEmailAction()->trigger(); };
        previewReport(*pages.report, &source);
        qputenv("PATH", oldPath);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.lastText()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path(QStringLiteral("mailed.pdf"))), 10000);
        QCOMPARE(detached(path(QStringLiteral("mailed.pdf")), m_folder->path()), sampleCii(QStringLiteral("Factur-X buyer")));
    }

    void theXRechnungCommandWritesTheXmlNamedLikeThePdf()
    {
        InvoicePages pages;
        FakeEInvoice source;
        RecordingSeam seam;
        seam.fileAnswers = {path(QStringLiteral("Invoice 57.xml"))};
        seam.onPreview = [&](TPreviewForm& preview) { preview.saveXmlAction()->trigger(); };
        previewReport(*pages.report, &source);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.lastText()));
        QCOMPARE(seam.fileRequests.size(), 1);
        const FileDialogRequest& asked = seam.fileRequests.front();
        QVERIFY(asked.save);
        QCOMPARE(asked.caption, QStringLiteral("Save as XRechnung XML"));
        QCOMPARE(asked.filter, QStringLiteral("XML files (*.xml)"));
        QCOMPARE(QFileInfo(asked.directory).fileName(), QStringLiteral("Invoice 57.xml"));
        QCOMPARE(QFileInfo(asked.directory).path(), QFileInfo(proposedPdfPath(QStringLiteral("Invoice 57"))).path());
        QCOMPARE(source.asked, QList<einvoice::Profile>{einvoice::Profile::XRechnung});
        QCOMPARE(fileBytes(path(QStringLiteral("Invoice 57.xml"))), sampleCii(QStringLiteral("XRechnung buyer")));
    }

    void aRefusedEInvoiceWritesNothingAndLeavesTheOldFile()
    {
        // The details look complete, but the invoice cannot be written (its totals do not add up):
        // Save as PDF says why and does not fall back to a plain PDF under the invoice's name.
        InvoicePages pages;
        FakeEInvoice source;
        source.refusal = QStringLiteral("The e-invoice cannot be written: its VAT does not add up to the cent.");
        const QString target = path(QStringLiteral("Invoice 57.pdf"));
        report::saveFileWhole(target, "the earlier file");
        RecordingSeam seam;
        seam.fileAnswers = {target, path(QStringLiteral("no folder/Invoice 57.xml"))};
        seam.onPreview = [&](TPreviewForm& preview) {
            preview.savePdfAction()->trigger();
            source.refusal.clear();
            preview.saveXmlAction()->trigger();
        };
        previewReport(*pages.report, &source);
        QCOMPARE(seam.messages.size(), 2);
        QCOMPARE(seam.messages.at(0).text, QStringLiteral("The e-invoice cannot be written: its VAT does not add up to the cent."));
        QCOMPARE(fileBytes(target), QByteArray("the earlier file"));
        QVERIFY(seam.messages.at(1).text.startsWith(QStringLiteral("The file %1 cannot be written").arg(path(QStringLiteral("no folder/Invoice 57.xml")))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("no folder"))));
    }

    void otherDocumentsAndLoadedPagesHaveNoEInvoice()
    {
        ZZ_REQUIRE_PDF_READERS();
        InvoicePages pages;
        FakeEInvoice source;
        RecordingSeam seam;
        // Without an e-invoice (the revenue report, the statement): no command, no line.
        bool xmlShown = true;
        QString line = QStringLiteral("x");
        seam.onPreview = [&](TPreviewForm& preview) {
            xmlShown = preview.saveXmlAction()->isVisible();
            line = preview.eInvoiceText();
            preview.saveXml(); // even asked directly, nothing happens
        };
        previewReport(*pages.report);
        QVERIFY(!xmlShown);
        QCOMPARE(line, QString());
        QVERIFY(seam.messages.isEmpty() && seam.fileRequests.isEmpty());

        // Pages loaded from a saved report are no longer the invoice: the plain PDF, no XML.
        const QString saved = path(QStringLiteral("pages.zzr"));
        seam.fileAnswers = {saved, saved, path(QStringLiteral("loaded.pdf"))};
        seam.onPreview = [&](TPreviewForm& preview) {
            preview.saveReportAction()->trigger();
            preview.loadReportAction()->trigger();
            xmlShown = preview.saveXmlAction()->isVisible();
            line = preview.eInvoiceText();
            preview.savePdfAction()->trigger();
        };
        previewReport(*pages.report, &source);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.lastText()));
        QVERIFY(!xmlShown);
        QCOMPARE(line, QString());
        QVERIFY(source.asked.isEmpty());
        QCOMPARE(embedded(path(QStringLiteral("loaded.pdf"))), QStringList());
    }
};

ZZ_TEST_MAIN(TestEInvoicePreview)
#include "test_einvoice_preview.moc"
