#include "reports/engine/PrintOutput.h"

#include "data/Errors.h"
#include "reports/engine/PageRenderer.h"

#include <QPainter>
#include <QPrinter>

namespace zz::report {

void printReport(const ReportDocument& doc, QPrinter& printer)
{
    if (doc.pageCount() == 0)
        return;
    printer.setDocName(doc.jobName());
    printer.setCreator(QStringLiteral("Zuzevevur Creator"));
    printer.setFullPage(true);
    int from = 0, to = doc.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = qMax(0, printer.fromPage() - 1);
        to = qMin(to, printer.toPage() - 1);
    }
    if (from > to)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw Exception(QStringLiteral("The report could not be sent to the printer."));
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    for (int i = from; i <= to; ++i) {
        if (i > from && !printer.newPage()) {
            painter.end();
            throw Exception(QStringLiteral("The printer stopped after page %1 of the report.").arg(i));
        }
        paintPage(painter, doc, i, QRectF(0, 0, paper.width(), paper.height()));
    }
    if (!painter.end())
        throw Exception(QStringLiteral("The report could not be sent to the printer."));
}

} // namespace zz::report
