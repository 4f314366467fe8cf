#include "reports/PreviewForm.h"

#include "data/Errors.h"
#include "einvoice/FacturX.h"
#include "reports/EInvoiceSource.h"
#include "reports/engine/PageRenderer.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/PrintOutput.h"
#include "reports/engine/ReportGenerator.h"
#include "reports/SendByEmail.h"
#include "widgets/Dialogs.h"
#include "widgets/Form.h"
#include "widgets/Handlers.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace zz {

namespace {
constexpr int kPaperMargin = 12; // grey border around the page, in pixels
} // namespace

// The page on screen: white paper on a grey ground.
class TPreviewPage : public QWidget {
public:
    explicit TPreviewPage(TPreviewForm& form) : QWidget(nullptr), m_form(form)
    {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(128, 128, 128));
        setPalette(pal);
    }

    QSize paperSize() const
    {
        const auto& doc = m_form.document();
        return QSize(qRound(doc.pageWidth * m_form.scale()), qRound(doc.pageHeight * m_form.scale()));
    }

    QSize sizeHint() const override { return paperSize() + QSize(2 * kPaperMargin, 2 * kPaperMargin); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QSize paper = paperSize();
        const QRect target(qMax(kPaperMargin, (width() - paper.width()) / 2), kPaperMargin, paper.width(), paper.height());
        p.fillRect(target.translated(3, 3), QColor(64, 64, 64));
        p.fillRect(target, Qt::white);
        if (m_form.currentPage() < m_form.pageCount())
            report::paintPage(p, m_form.document(), m_form.currentPage(), target);
    }

private:
    TPreviewForm& m_form;
};

QString eInvoiceStatusText(const QStringList& missing)
{
    if (missing.isEmpty())
        return QStringLiteral("Save as PDF and E-mail write it as an e-invoice (Factur-X).");
    return QStringLiteral("No e-invoice, a plain PDF: missing %1.").arg(missing.join(QStringLiteral(", ")));
}

TPreviewForm::TPreviewForm(report::Report* report, QWidget* parent, const EInvoiceSource* einvoice)
    : QMainWindow(parent, Qt::Window), m_report(report), m_einvoice(einvoice)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(report && !report->title.isEmpty() ? report->title : QStringLiteral("Print Preview"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (report) {
        m_doc.pageWidth = report->pageWidth;
        m_doc.pageHeight = report->pageHeight;
    }

    QToolBar* bar = addToolBar(QStringLiteral("Preview"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto command = [this, bar](const QString& text, const QString& hint, QStyle::StandardPixmap icon,
                               QList<QKeySequence> keys, auto slot) {
        QAction* a = bar->addAction(text);
        if (icon != QStyle::SP_CustomBase)
            a->setIcon(style()->standardIcon(icon));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        if (!keys.isEmpty()) {
            a->setShortcuts(keys);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        connect(a, &QAction::triggered, this, zz::command(slot));
        return a;
    };
    m_zoomFit = command(QStringLiteral("Fit"), QStringLiteral("Zoom to fit"), QStyle::SP_CustomBase, {},
                        [this] { setZoom(Zoom::Fit); });
    m_zoomActual = command(QStringLiteral("100%"), QStringLiteral("100%"), QStyle::SP_CustomBase, {},
                           [this] { setZoom(Zoom::Actual); });
    m_zoomWidth = command(QStringLiteral("Width"), QStringLiteral("Zoom to width"), QStyle::SP_CustomBase, {},
                          [this] { setZoom(Zoom::Width); });
    bar->addSeparator();
    m_first = command(QStringLiteral("First"), QStringLiteral("First page"), QStyle::SP_MediaSkipBackward,
                      {QKeySequence(Qt::Key_Home), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, [this] { showPage(0); });
    m_previous = command(QStringLiteral("Previous"), QStringLiteral("Previous page"), QStyle::SP_MediaSeekBackward,
                         {QKeySequence(Qt::Key_PageUp)}, [this] { showPage(m_page - 1); });
    m_next = command(QStringLiteral("Next"), QStringLiteral("Next page"), QStyle::SP_MediaSeekForward,
                     {QKeySequence(Qt::Key_PageDown)}, [this] { showPage(m_page + 1); });
    m_last = command(QStringLiteral("Last"), QStringLiteral("Last page"), QStyle::SP_MediaSkipForward,
                     {QKeySequence(Qt::Key_End), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
                     [this] { showPage(pageCount() - 1); });
    bar->addSeparator();
    m_setup = command(QStringLiteral("Setup"), QStringLiteral("Printer setup"), QStyle::SP_FileDialogDetailedView, {},
                      [this] { printerSetup(); });
    m_print = command(QStringLiteral("Print"), QStringLiteral("Print"), QStyle::SP_CustomBase, {}, [this] { print(); });
    bar->addSeparator();
    m_save = command(QStringLiteral("Save"), QStringLiteral("Save Report"), QStyle::SP_DialogSaveButton, {},
                     [this] { saveReport(); });
    m_load = command(QStringLiteral("Load"), QStringLiteral("Load Report"), QStyle::SP_DialogOpenButton, {},
                     [this] { loadReport(); });
    m_pdf = command(QStringLiteral("PDF"), QStringLiteral("Save as PDF"), QStyle::SP_FileIcon, {},
                    [this] { saveAsPdf(); });
    m_xml = command(QStringLiteral("XML"), QStringLiteral("Save as XRechnung XML"), QStyle::SP_FileIcon, {},
                    [this] { saveXml(); });
    m_xml->setVisible(m_einvoice != nullptr);
    m_mailHint = mailUnavailableHint();
    m_mail = command(QStringLiteral("E-mail"),
                     m_mailHint.isEmpty() ? QStringLiteral("Send by e-mail") : QStringLiteral("Send by e-mail: ") + m_mailHint,
                     QStyle::SP_CustomBase, {}, [this] { sendByEmail(); });
    bar->addSeparator();
    m_close = new QPushButton(QStringLiteral("&Close"), bar);
    m_close->setObjectName(QStringLiteral("btnClose"));
    bar->addWidget(m_close);
    connect(m_close, &QPushButton::clicked, this, zz::command(this, &QWidget::close));
    auto* escape = new QAction(this);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, this, zz::command(this, &QWidget::close));
    addAction(escape);

    m_view = new TPreviewPage(*this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(m_scroll);

    m_progressLabel = new QLabel(this);
    m_progressLabel->setMinimumWidth(60);
    m_pageLabel = new QLabel(this);
    statusBar()->addWidget(m_progressLabel);
    // The e-invoice's line takes the rest of the bar; a long list of missing details is cut at
    // the window's edge (its tooltip holds it whole) rather than pushing the page number away.
    m_einvoiceLabel = new QLabel(this);
    m_einvoiceLabel->setObjectName(QStringLiteral("lblEInvoice"));
    m_einvoiceLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(m_pageLabel);
    statusBar()->addWidget(m_einvoiceLabel, 1);
    updateEInvoiceStatus();
    applyZoom();
    updateCommands();
    updateStatus();
}

TPreviewForm::~TPreviewForm() = default;

double TPreviewForm::scale() const
{
    const double actual = logicalDpiX() / 254.0;
    if (m_zoom == Zoom::Actual || !m_scroll)
        return actual;
    const QSize area = m_scroll->viewport()->size() - QSize(2 * kPaperMargin, 2 * kPaperMargin);
    const double byWidth = double(qMax(area.width(), 50)) / m_doc.pageWidth;
    if (m_zoom == Zoom::Width)
        return byWidth;
    return qMin(byWidth, double(qMax(area.height(), 50)) / m_doc.pageHeight);
}

void TPreviewForm::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    applyZoom();
}

void TPreviewForm::applyZoom()
{
    if (!m_view)
        return;
    m_view->resize(qMax(m_view->sizeHint().width(), m_scroll->viewport()->width()), m_view->sizeHint().height());
    m_view->update();
}

void TPreviewForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyZoom();
}

void TPreviewForm::showPage(int index)
{
    if (pageCount() == 0)
        return;
    index = qBound(0, index, pageCount() - 1);
    if (index != m_page) {
        m_page = index;
        m_scroll->verticalScrollBar()->setValue(0);
    }
    m_view->update();
    updateCommands();
    updateStatus();
}

QString TPreviewForm::progressText() const { return m_progressLabel->text(); }
QString TPreviewForm::pageText() const { return m_pageLabel->text(); }

void TPreviewForm::updateStatus()
{
    m_pageLabel->setText(pageCount() > 0 ? QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(pageCount()) : QString());
}

void TPreviewForm::updateCommands()
{
    const bool pages = pageCount() > 0;
    m_first->setEnabled(pages && m_page > 0);
    m_previous->setEnabled(pages && m_page > 0);
    m_next->setEnabled(pages && m_page < pageCount() - 1);
    m_last->setEnabled(pages && m_page < pageCount() - 1);
    m_setup->setEnabled(!m_generating);
    m_print->setEnabled(!m_generating && pages);
    // The pages cannot be saved or replaced while they are still being made.
    m_save->setEnabled(!m_generating && pages);
    m_pdf->setEnabled(!m_generating && pages);
    m_mail->setEnabled(!m_generating && pages && m_mailHint.isEmpty());
    m_xml->setVisible(m_einvoice != nullptr);
    m_xml->setEnabled(!m_generating && pages && m_einvoice);
    m_load->setEnabled(!m_generating);
}

void TPreviewForm::beginGeneration()
{
    m_generating = true;
    m_page = 0;
    setProgress(0);
    updateCommands();
    updateStatus();
}

void TPreviewForm::setProgress(int percent)
{
    m_progress = percent;
    const QString text = (percent <= 0 || percent >= 100) ? QString() : QStringLiteral("%1%").arg(percent);
    if (text != m_progressLabel->text()) {
        m_progressLabel->setText(text);
        emit progressChanged(text);
    }
}

void TPreviewForm::pagesChanged()
{
    updateCommands();
    updateStatus();
    if (m_page >= pageCount() - 2)
        m_view->update(); // the page on screen may still be growing
}

void TPreviewForm::endGeneration()
{
    m_generating = false;
    setProgress(100);
    updateCommands();
    updateStatus();
    m_view->update();
}

void TPreviewForm::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && !m_closed) {
        m_closed = true;
        emit closed();
    }
}

static QPrinter& ensurePrinter(std::unique_ptr<QPrinter>& printer, const report::Report* report)
{
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageOrientation(QPageLayout::Portrait);
        printer->setFullPage(true);
        if (report) {
            printer->setCopyCount(report->printer.copies);
            printer->setDuplex(report->printer.duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
        }
    }
    return *printer;
}

void TPreviewForm::printerSetup()
{
    if (m_generating)
        return;
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        showError(QStringLiteral("No printer is installed. Install a printer to print reports."));
        return;
    }
    // The settings chosen stay with this preview's printer.
    printerSetupDialog(ensurePrinter(m_printer, m_report));
}

void TPreviewForm::print()
{
    if (m_generating || pageCount() == 0)
        return;
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        showError(QStringLiteral("No printer is installed. Install a printer to print reports."));
        return;
    }
    QPrinter& printer = ensurePrinter(m_printer, m_report);
    if (!printDialog(printer, 1, pageCount()))
        return;
    printTo(printer);
}

void TPreviewForm::printTo(QPrinter& printer)
{
    try {
        const WaitCursor busy;
        report::printReport(m_doc, printer);
    } catch (...) {
        showError(errorMessage(std::current_exception()));
    }
}

void TPreviewForm::saveReport()
{
    if (m_generating || pageCount() == 0)
        return;
    FileDialogRequest request;
    request.caption = QStringLiteral("Save Report");
    request.filter = QStringLiteral("Saved reports (*.zzr)");
    request.defaultSuffix = QStringLiteral("zzr");
    request.save = true;
    const auto path = fileDialog(request);
    if (!path)
        return;
    try {
        QFile file(*path);
        if (!file.open(QIODevice::WriteOnly))
            throw Exception(QStringLiteral("The file %1 cannot be written: %2").arg(*path, file.errorString()));
        m_doc.save(file);
    } catch (...) {
        showError(errorMessage(std::current_exception()));
    }
}

void TPreviewForm::loadReport()
{
    if (m_generating)
        return;
    FileDialogRequest request;
    request.caption = QStringLiteral("Load Report");
    request.filter = QStringLiteral("Saved reports (*.zzr);;All files (*)");
    const auto path = fileDialog(request);
    if (!path)
        return;
    try {
        QFile file(*path);
        if (!file.open(QIODevice::ReadOnly))
            throw Exception(QStringLiteral("The file %1 cannot be read: %2").arg(*path, file.errorString()));
        report::ReportDocument loaded = report::ReportDocument::load(file);
        m_doc = std::move(loaded);
        // Pages loaded from a file are no longer the invoice the e-invoice was made for.
        m_einvoice = nullptr;
        updateEInvoiceStatus();
        m_page = 0;
        applyZoom();
        updateCommands();
        updateStatus();
    } catch (...) {
        showError(errorMessage(std::current_exception()));
    }
}

QString proposedPdfPath(const QString& documentName)
{
    // Without the characters a file name cannot hold (or that other systems refuse).
    QString name = documentName;
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")), QStringLiteral("-"));
    name = name.trimmed();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("Report"));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void TPreviewForm::saveAsPdf()
{
    if (m_generating || pageCount() == 0)
        return;
    FileDialogRequest request;
    request.caption = QStringLiteral("Save as PDF");
    request.filter = QStringLiteral("PDF files (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    request.directory = proposedPdfPath(m_doc.jobName());
    request.save = true;
    const auto path = fileDialog(request);
    if (!path)
        return;
    try {
        const WaitCursor busy;
        report::saveFileWhole(*path, pdfBytes());
    } catch (...) {
        showError(errorMessage(std::current_exception()));
    }
}

void TPreviewForm::sendByEmail()
{
    if (m_generating || pageCount() == 0 || !m_mailHint.isEmpty())
        return;
    try {
        const QString file = [this] {
            const WaitCursor busy;
            return zz::sendByEmail(m_doc, [this] { return pdfBytes(); });
        }();
        statusBar()->showMessage(QStringLiteral("%1 is handed to the mail program.").arg(QFileInfo(file).fileName()), 10000);
    } catch (...) {
        showError(errorMessage(std::current_exception()));
    }
}

QString TPreviewForm::eInvoiceText() const { return m_einvoiceLabel->text(); }

void TPreviewForm::updateEInvoiceStatus()
{
    m_einvoiceLabel->setText(m_einvoice ? eInvoiceStatusText(m_einvoice->missingDetails()) : QString());
    m_einvoiceLabel->setToolTip(m_einvoiceLabel->text());
    m_einvoiceLabel->setVisible(m_einvoice != nullptr);
    m_xml->setVisible(m_einvoice != nullptr);
}

QByteArray TPreviewForm::pdfBytes() const
{
    // The details are asked again: the line shown may be older than the last change.
    if (m_einvoice && m_einvoice->missingDetails().isEmpty())
        return einvoice::hybridPdf(m_doc, m_einvoice->xml(einvoice::Profile::EN16931));
    return report::pdfData(m_doc);
}

void TPreviewForm::saveXml()
{
    if (m_generating || pageCount() == 0 || !m_einvoice)
        return;
    QByteArray xml;
    try {
        xml = [this] {
            const WaitCursor busy;
            return m_einvoice->xml(einvoice::Profile::XRechnung);
        }();
    } catch (...) {
        showError(errorMessage(std::current_exception()));
        return;
    }
    FileDialogRequest request;
    request.caption = QStringLiteral("Save as XRechnung XML");
    request.filter = QStringLiteral("XML files (*.xml)");
    request.defaultSuffix = QStringLiteral("xml");
    QString proposed = proposedPdfPath(m_doc.jobName());
    proposed.chop(4);
    request.directory = proposed + QStringLiteral(".xml");
    request.save = true;
    const auto path = fileDialog(request);
    if (!path)
        return;
    try {
        report::saveFileWhole(*path, xml);
    } catch (...) {
        showError(errorMessage(std::current_exception()));
    }
}

namespace {
// Lets the preview window work while the pages are made: window messages run between detail
// rows (at most every few milliseconds, so that generation stays fast).
class PreviewObserver : public report::GenerationObserver {
public:
    explicit PreviewObserver(TPreviewForm& form) : m_form(form) { m_clock.start(); }
    void pageStarted(int) override { m_form.pagesChanged(); }
    void progress(int percent) override { m_form.setProgress(percent); }
    bool keepGoing() override
    {
        if (m_clock.elapsed() >= 20) {
            QCoreApplication::processEvents();
            m_clock.restart();
        }
        return !m_form.isClosed();
    }

private:
    TPreviewForm& m_form;
    QElapsedTimer m_clock;
};
} // namespace

void previewReport(report::Report& report, const EInvoiceSource* einvoice)
{
    if (report.isGenerating())
        return;
    // A window of its own, but one that belongs to the modal window it is opened from (the dialog
    // or list whose handler waits for it): a window that modal window does not own would take no
    // input while it runs.
    auto form = std::make_unique<TPreviewForm>(&report, QApplication::activeModalWidget(), einvoice);
    form->showMaximized();
    if (DialogSeam* seam = dialogSeam())
        seam->previewOpened(*form);
    form->beginGeneration();
    QCoreApplication::processEvents();
    PreviewObserver observer(*form);
    try {
        report::generateReport(report, form->document(), &observer);
    } catch (...) {
        form->close();
        form.reset();
        TForm::reactivateTop();
        throw;
    }
    form->endGeneration();
    if (!form->isClosed()) {
        DialogSeam* seam = dialogSeam();
        if (!seam || !seam->previewReady(*form)) {
            QEventLoop loop;
            QObject::connect(form.get(), &TPreviewForm::closed, &loop, &QEventLoop::quit);
            if (!form->isClosed())
                loop.exec();
        }
    }
    form->close();
    form.reset();
    TForm::reactivateTop();
}

} // namespace zz
