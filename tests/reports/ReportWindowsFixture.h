#pragma once
// The report windows and dialogs over a fresh book per test, with every preview they open
// recorded (its pages and name) and closed at once.
#include <QStringList>

#include "invoicing/EnterInvNumber.h"
#include "reports/CustomerPicker.h"
#include "reports/DatePicker.h"
#include "reports/PreviewForm.h"
#include "reports/ReportInv.h"
#include "reports/ReportRevenue.h"
#include "reports/ReportStatement.h"
#include "tests/admin/AdminTestUtil.h"
#include "tests/reports/DocumentBook.h"

namespace zz::test {

struct ShownPreview {
    QString name;
    report::ReportDocument doc;

    // The texts an element printed, on every page.
    QStringList texts(const QString& tag) const
    {
        QStringList out;
        for (const report::Page& page : doc.pages)
            for (const report::PageItem& it : page.items)
                if (it.kind == report::ItemKind::Text && doc.tags.value(it.tag) == tag)
                    out << it.text;
        return out;
    }
    bool shows(const QString& text) const
    {
        for (const report::Page& page : doc.pages)
            for (const report::PageItem& it : page.items)
                if (it.kind == report::ItemKind::Text && it.text == text)
                    return true;
        return false;
    }
};

struct ReportWindowsFixture : AdminFixture {
    QList<ShownPreview> previews;
    // Runs inside each preview, once its pages are made (before it closes).
    std::function<void(TPreviewForm&)> inPreview;
    int acme = 0, beta = 0;

    void setUp()
    {
        AdminFixture::setUp();
        setRegional(southAfricanRegional());
        frmReportInv = new TfrmReportInv;
        frmReportRevenue = new TfrmReportRevenue;
        frmReportStatement = new TfrmReportStatement;
        frmInvNumber = new TfrmInvNumber;
        frmDatePicker = new TfrmDatePicker;
        frmCustomerPicker = new TfrmCustomerPicker;
        seam->onPreview = [this](TPreviewForm& preview) {
            previews << ShownPreview{preview.documentName(), preview.document()};
            if (inPreview)
                inPreview(preview);
        };
        DocumentBook book{*dm};
        book.company();
        acme = book.customer(QStringLiteral("Acme Holdings"));
        beta = book.customer(QStringLiteral("Beta Bakery"), QStringLiteral("Sipho"));
        book.product(QStringLiteral("P1"), QStringLiteral("Widget, blue"), 19.99);
        book.product(QStringLiteral("P2"), QStringLiteral("Gadget"), 850);
        book.invoice({1001, acme, QDate(2026, 1, 15)});
        book.line(1001, "P1", 3, 19.99, 15, 16.9915);
        book.line(1001, "P2", 1, 850, 0, 850);
        book.invoice({1002, beta, QDate(2026, 1, 16), 15, "NO", {}, "YES"}); // cancelled
        book.line(1002, "P2", 2, 850, 0, 850);
        book.invoice({1003, beta, QDate(2026, 1, 17), 15, "YES", QDate::currentDate()}); // paid today
        book.line(1003, "P2", 1, 850, 0, 850);
        book.invoice({1004, beta, QDate(2026, 1, 18), 15, "NO", {}, "NO", "60"});
        book.line(1004, "P1", 1, 19.99, 0, 19.99);
        book.refresh();
    }
    void tearDown()
    {
        for (TForm* w : std::initializer_list<TForm*>{frmCustomerPicker, frmDatePicker, frmInvNumber, frmReportStatement,
                                                      frmReportRevenue, frmReportInv}) {
            w->endTestModal();
            delete w;
        }
        frmCustomerPicker = nullptr;
        frmDatePicker = nullptr;
        frmInvNumber = nullptr;
        frmReportStatement = nullptr;
        frmReportRevenue = nullptr;
        frmReportInv = nullptr;
        previews.clear();
        inPreview = {};
        AdminFixture::tearDown();
        setRegional(RegionalSettings{});
    }
};

} // namespace zz::test
