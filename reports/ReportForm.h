#pragma once
// A hidden window that holds one printed document's definition: created at start-up, never shown;
// callers set its masks and captions and preview it.
#include <memory>

#include "reports/engine/ReportDefinition.h"
#include "widgets/Form.h"

namespace zz {

class EInvoiceSource;

class TReportForm : public TForm {
    Q_OBJECT
public:
    report::Report& QuickRep() { return *m_report; }

    // Generates the document from its datasets as they stand and shows it in the print preview;
    // returns when the preview closes. Throws when the pages cannot be made. An invoice printout
    // hands in its e-invoice.
    void Preview(const EInvoiceSource* einvoice = nullptr);

protected:
    TReportForm(const QString& caption, const QString& name, QWidget* parent);
    // Takes the definition; returns the elements callers touch by name.
    void setReport(std::unique_ptr<report::Report> report);
    report::Element* element(const QString& name);

private:
    std::unique_ptr<report::Report> m_report;
};

} // namespace zz
