#pragma once
// Saves a generated report as a PDF file through libharu, embedding the same TrueType files
// the generator measured text with, so that every line breaks where it did on screen.
#include <QString>

#include "reports/engine/ReportDocument.h"

namespace zz::report {

// Writes all pages to `path` (replaced only when the whole file was written).
// Throws zz::Exception when the file cannot be written.
void savePdf(const ReportDocument& doc, const QString& path);

} // namespace zz::report
