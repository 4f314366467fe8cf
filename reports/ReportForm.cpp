#include "reports/ReportForm.h"

#include "data/Errors.h"
#include "reports/PreviewForm.h"

namespace zz {

TReportForm::TReportForm(const QString& caption, const QString& name, QWidget* parent) : TForm(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
}

void TReportForm::setReport(std::unique_ptr<report::Report> report) { m_report = std::move(report); }

report::Element* TReportForm::element(const QString& name)
{
    report::Element* e = m_report->element(name);
    if (!e)
        throw Exception(QStringLiteral("The report %1 has no element %2").arg(m_report->name, name));
    return e;
}

void TReportForm::Preview(const EInvoiceSource* einvoice) { previewReport(*m_report, einvoice); }

} // namespace zz
