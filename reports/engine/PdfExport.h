#pragma once
// Saves a generated report as a PDF file through libharu, embedding the same TrueType files
// the generator measured text with, so that every line breaks where it did on screen.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "reports/engine/ReportDocument.h"

namespace zz::report {

struct PdfOptions {
    // The ICC profile of the colours the pages are drawn in (device RGB), given as the file's
    // output intent: what an archival PDF (PDF/A) needs. Empty for an ordinary PDF.
    QString outputProfile;
    QString outputCondition; // the profile's name, e.g. "sRGB IEC61966-2.1"
    // The creation date written into the file; the current time when invalid.
    QDateTime created;
};

// The PDF file of all pages. Throws zz::Exception when it cannot be made.
QByteArray pdfData(const ReportDocument& doc, const PdfOptions& options = {});

// Writes all pages to `path` (replaced only when the whole file was written).
// Throws zz::Exception when the file cannot be written.
void savePdf(const ReportDocument& doc, const QString& path);

// Writes `data` to `path` whole or not at all: into a temporary file beside it, renamed over
// `path` once everything is written. Throws zz::Exception naming the file when it cannot.
void saveFileWhole(const QString& path, const QByteArray& data);

} // namespace zz::report
