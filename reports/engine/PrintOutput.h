#pragma once
// Sends a generated report to a printer: the same drawing as the preview, at the printer's
// resolution, with text written as text in embedded fonts (a page is a few kilobytes and its
// text can be searched), under the document's name as the print job's name.
#include "reports/engine/ReportDocument.h"

class QPrinter;

namespace zz::report {

// Prints the pages the printer's range asks for (all pages unless a page range is set), each
// on a full page, naming the job after the document. The caller sets up the printer (queue,
// copies, duplex, or a PDF output file). Throws zz::Exception when the printer cannot start.
void printReport(const ReportDocument& doc, QPrinter& printer);

} // namespace zz::report
