#pragma once
// Generation: runs a report definition over its bound dataset into a device-independent
// document, page by page.
//
//   title band once at the top of page 1; column header band at the top of every page (not
//   when the dataset is empty); one detail band per row (one blank detail band when empty);
//   the summary band after the last row; the page footer at the foot of every page, the last
//   one included. A band that does not fit above the footer area starts a new page.
#include <QString>

#include "reports/engine/ReportDefinition.h"
#include "reports/engine/ReportDocument.h"

namespace zz::report {

// Told about the run as it goes; keepGoing() runs between detail rows and may let window
// messages run. Returning false stops the run.
class GenerationObserver {
public:
    virtual ~GenerationObserver() = default;
    virtual void pageStarted(int pageCount) {}
    // The share of rows done, in steps of 5 (0, 5, ..., 100); only when the row count is known.
    virtual void progress(int percent) {}
    virtual bool keepGoing() { return true; }
};

enum class GenerationResult { Completed, Stopped };

// Generates `report` into `document` (cleared first). Throws zz::Exception when the dataset
// cannot be read or an expression cannot be evaluated. While it runs, report.isGenerating().
GenerationResult generateReport(Report& report, ReportDocument& document, GenerationObserver* observer = nullptr);

// The text a data field prints for the current row of its dataset: its display text by the
// data layer's one rule (data/FieldText.h).
QString fieldDisplayText(const ReportDataset& dataset, int field);

// Reads a picture field's value: a QImage as it is, bytes through the logo decoder (graphic
// header and bitmap), or failing that as a picture of any format Qt reads.
QImage decodeStoredPicture(const QVariant& value);

} // namespace zz::report
