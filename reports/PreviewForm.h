#pragma once
// The print preview: shows a report's pages while they are generated and afterwards, and
// prints, saves and loads them. Not modal; previewReport() returns when it closes.
#include <QMainWindow>
#include <QPrinter>
#include <functional>
#include <memory>

#include "reports/engine/ReportDefinition.h"
#include "reports/engine/ReportDocument.h"

class QAction;
class QLabel;
class QPushButton;
class QScrollArea;

namespace zz {

class EInvoiceSource;
class TPreviewPage;

class TPreviewForm : public QMainWindow {
    Q_OBJECT
public:
    enum class Zoom { Fit, Actual, Width };

    // `einvoice`, when given, is the e-invoice of the invoice shown (it must outlive the window).
    explicit TPreviewForm(report::Report* report = nullptr, QWidget* parent = nullptr,
                          const EInvoiceSource* einvoice = nullptr);
    ~TPreviewForm() override;

    report::ReportDocument& document() { return m_doc; }
    // The name of the document shown: the print job's name and the saved PDF's title.
    QString documentName() const { return m_doc.jobName(); }
    const report::Report* report() const { return m_report; }

    int currentPage() const { return m_page; } // 0-based
    int pageCount() const { return m_doc.pageCount(); }
    void showPage(int index);
    Zoom zoom() const { return m_zoom; }
    void setZoom(Zoom zoom);
    // Screen pixels per tenth of a millimetre at the current zoom.
    double scale() const;

    bool isGenerating() const { return m_generating; }
    bool isClosed() const { return m_closed; }
    QString progressText() const;
    QString pageText() const;

    // The commands (the toolbar's buttons and keys).
    QAction* zoomFitAction() const { return m_zoomFit; }
    QAction* zoomActualAction() const { return m_zoomActual; }
    QAction* zoomWidthAction() const { return m_zoomWidth; }
    QAction* firstAction() const { return m_first; }
    QAction* previousAction() const { return m_previous; }
    QAction* nextAction() const { return m_next; }
    QAction* lastAction() const { return m_last; }
    QAction* printerSetupAction() const { return m_setup; }
    QAction* printAction() const { return m_print; }
    QAction* saveReportAction() const { return m_save; }
    QAction* loadReportAction() const { return m_load; }
    QAction* savePdfAction() const { return m_pdf; }
    QAction* sendByEmailAction() const { return m_mail; }
    // Saves the XRechnung XML of the invoice shown; only on invoice printouts.
    QAction* saveXmlAction() const { return m_xml; }
    // The line about the e-invoice (empty when the document is no invoice).
    QString eInvoiceText() const;
    bool offersEInvoice() const { return m_einvoice != nullptr; }
    QPushButton* closeButton() const { return m_close; }

    void printerSetup();
    void print();
    void saveReport();
    void loadReport();
    // Saves the pages as PDF: for an invoice whose e-invoicing details are complete the Factur-X
    // hybrid, else the plain PDF.
    void saveAsPdf();
    // Writes the invoice's XRechnung XML alone, named like the PDF ("Invoice 57.xml"); refuses with
    // one message naming what is missing before asking for the file.
    void saveXml();
    // Saves the pages as PDF and opens a new message of the user's mail program with the file
    // attached; not offered when the desktop's mail command is missing.
    void sendByEmail();
    // Sends the pages to a printer set up by the caller (all, or the printer's page range);
    // shows an error box when the printer cannot take them.
    void printTo(QPrinter& printer);

    // Driven by previewReport while the report is generated.
    void beginGeneration();
    void setProgress(int percent);
    void pagesChanged();
    void endGeneration();

signals:
    void progressChanged(const QString& text);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateCommands();
    void updateStatus();
    void applyZoom();
    void updateEInvoiceStatus();
    // The PDF file's bytes as Save as PDF and E-mail write them.
    QByteArray pdfBytes() const;

    report::Report* m_report = nullptr;
    report::ReportDocument m_doc;
    std::unique_ptr<QPrinter> m_printer;
    int m_page = 0;
    Zoom m_zoom = Zoom::Actual;
    int m_progress = 0;
    bool m_generating = false;
    bool m_closed = false;

    QScrollArea* m_scroll = nullptr;
    TPreviewPage* m_view = nullptr;
    QLabel* m_progressLabel = nullptr;
    QLabel* m_pageLabel = nullptr;
    QAction *m_zoomFit, *m_zoomActual, *m_zoomWidth, *m_first, *m_previous, *m_next, *m_last, *m_setup, *m_print,
        *m_save, *m_load, *m_pdf, *m_mail, *m_xml;
    const EInvoiceSource* m_einvoice = nullptr;
    QLabel* m_einvoiceLabel = nullptr;
    QString m_mailHint; // why sending by e-mail is not offered; empty when it is
    QPushButton* m_close = nullptr;
};

// Where Save as PDF proposes to save a document: the user's documents folder (the home folder
// when there is none), the document's name with the characters a file name cannot hold replaced,
// ".pdf" ("Invoice 57.pdf").
QString proposedPdfPath(const QString& documentName);

// Generates the report's pages from its bound dataset as it stands and shows them in the
// print preview; returns when the user closes the window, then runs the activation handler of
// the window under it again. Returns at once, doing nothing, while the same report is still
// generating. An error while generating closes the preview and leaves as an exception. The
// dialog seam is told when the preview opens and may act in the user's place once the pages are
// made (widgets/Dialogs.h). An invoice printout hands in its e-invoice.
void previewReport(report::Report& report, const EInvoiceSource* einvoice = nullptr);

} // namespace zz
