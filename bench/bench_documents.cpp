// The three printed documents on the large demonstration book, as the user runs them: from
// pressing Print to the first page on screen and to the last page made, for an invoice of 20 lines
// and one of 2,000 lines; the revenue report over a whole year of pay dates (the query, the
// generation alone in pages per second, and the preview); the statement of a customer with 5,000
// open invoices. Prints medians; asserts nothing.
//
//   bench_documents [demo book] [runs]
// The demo book (default /tmp/zz_bench/demo.db) is written by the demo_db tool's code when it does
// not exist and is never changed: the runs work on a copy, to which the long invoices and the
// customer with many open invoices are added, and whose indexes are made those of a new book. As a
// baseline, the revenue query also runs with the lines indexed by invoice number alone.
#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "reports/CustomerPicker.h"
#include "reports/DatePicker.h"
#include "reports/PreviewForm.h"
#include "reports/PrintInvoice.h"
#include "reports/ReportInv.h"
#include "reports/ReportRevenue.h"
#include "reports/ReportStatement.h"
#include "reports/engine/ReportGenerator.h"
#include "tools/demo_db/DemoDb.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollArea>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace zz;

namespace {

constexpr int kShortInvoice = 9000001;
constexpr int kLongInvoice = 9000002;
constexpr int kFirstStatementInvoice = 9100000;
constexpr int kOpenInvoices = 5000;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double ms(qint64 ns) { return double(ns) / 1e6; }

// Times a preview: when it opened, when its first page was on screen (painted with a page in
// it), and when all its pages were made. Closes it at once.
class TimingSeam : public DialogSeam {
public:
    QElapsedTimer clock;
    double opened = 0, firstPage = 0, ready = 0;
    int pages = 0;
    QString error;

    void start()
    {
        opened = firstPage = ready = 0;
        pages = 0;
        error.clear();
        clock.start();
    }
    MsgResult message(const MessageRequest& request) override
    {
        error = request.text;
        return MsgResult::OK;
    }
    void previewOpened(TPreviewForm& form) override
    {
        opened = ms(clock.nsecsElapsed());
        m_form = &form;
        if (auto* area = form.findChild<QScrollArea*>())
            area->widget()->installEventFilter(&m_filter);
    }
    bool previewReady(TPreviewForm& form) override
    {
        ready = ms(clock.nsecsElapsed());
        pages = form.pageCount();
        if (firstPage == 0) // made before the window had a chance to paint: paint now
            form.findChild<QScrollArea*>()->widget()->repaint();
        m_form = nullptr;
        return true;
    }

private:
    struct Filter : QObject {
        TimingSeam* seam;
        explicit Filter(TimingSeam* s) : seam(s) {}
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::Paint || seam->firstPage != 0 || !seam->m_form || seam->m_form->pageCount() == 0)
                return false;
            static_cast<QWidget*>(watched)->removeEventFilter(this);
            QCoreApplication::sendEvent(watched, event); // paint, then take the time
            seam->firstPage = ms(seam->clock.nsecsElapsed());
            return true;
        }
    } m_filter{this};
    TPreviewForm* m_form = nullptr;
};

// Runs statements on the book past the data module, in one transaction.
QString onTheBook(const QString& path, const std::function<void(const std::function<void(const QString&, const QVariantList&)>&)>& work)
{
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(path);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery q(db);
        auto run = [&](const QString& sql, const QVariantList& values = {}) {
            if (!error.isEmpty())
                return;
            q.prepare(sql);
            for (const QVariant& v : values)
                q.addBindValue(v);
            if (!q.exec())
                error = q.lastError().text();
        };
        run(QStringLiteral("BEGIN"));
        work(run);
        run(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return error;
}

// The lines' index as a new book has it (schemaSql), or by invoice number alone.
QString indexLines(const QString& path, bool asNewBook)
{
    QString definition = QStringLiteral("CREATE INDEX Line_Inv_Number ON Line (Inv_Number)");
    if (asNewBook)
        for (const QString& sql : schemaSql())
            if (sql.contains(QStringLiteral(" Line_Inv_Number ")))
                definition = sql;
    return onTheBook(path, [&](const auto& run) {
        run(QStringLiteral("DROP INDEX IF EXISTS Line_Inv_Number"), {});
        run(definition, {});
    });
}

QString addBenchRows(const QString& path)
{
    return onTheBook(path, [](const auto& run) {
        const QString invoice = QStringLiteral(
            "INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Order_No, Inv_VAT, Inv_Paid, Inv_Days, Inv_Cancelled) "
            "VALUES (?, ?, '2025-06-01', 'PO-BENCH', 15, 'NO', ?, 'NO')");
        const QString line = QStringLiteral("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, "
                                            "Line_Discount_Price) VALUES (?, ?, ?, 99.5, 10, 89.55)");
        run(invoice, {kShortInvoice, 1, QStringLiteral("CURRENT")});
        for (int i = 0; i < 20; ++i)
            run(line, {kShortInvoice, QStringLiteral("P%1").arg(100000 + i), 1 + i % 7});
        run(invoice, {kLongInvoice, 1, QStringLiteral("CURRENT")});
        for (int i = 0; i < 2000; ++i)
            run(line, {kLongInvoice, QStringLiteral("P%1").arg(100000 + i % 1000), 1 + i % 7});
        run(QStringLiteral("INSERT INTO Customer (Cus_Name, Cus_Address1, Cus_Phone, Cus_Contact) "
                           "VALUES ('Aaa Bench Statement Customer', '1 Bench Road', '011 000 0000', 'Bench')"),
            {});
        const QString classes[] = {"CURRENT", "30", "60", "90", "120", "120+"};
        for (int i = 0; i < kOpenInvoices; ++i) {
            run(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Order_No, Inv_VAT, Inv_Paid, Inv_Days, "
                               "Inv_Cancelled) VALUES (?, (SELECT max(Cus_Code) FROM Customer), '2025-05-01', 'PO', 15, 'NO', ?, 'NO')"),
                {kFirstStatementInvoice + i, classes[i % 6]});
            run(line, {kFirstStatementInvoice + i, QStringLiteral("P%1").arg(100000 + i % 1000), 1 + i % 3});
            run(line, {kFirstStatementInvoice + i, QStringLiteral("P%1").arg(101000 + i % 1000), 2});
        }
    });
}

struct Figures {
    std::vector<double> opened, firstPage, ready;
    int pages = 0;
};

Figures timePreviews(TimingSeam& seam, int runs, const std::function<void()>& press)
{
    Figures f;
    for (int i = 0; i < runs; ++i) {
        seam.start();
        press();
        if (!seam.error.isEmpty()) {
            std::fprintf(stderr, "error: %s\n", qPrintable(seam.error));
            std::exit(1);
        }
        f.opened.push_back(seam.opened);
        f.firstPage.push_back(seam.firstPage);
        f.ready.push_back(seam.ready);
        f.pages = seam.pages;
    }
    return f;
}

void print(const char* what, const Figures& f)
{
    std::printf("%-34s %6d pages  window %7.1f ms  first page on screen %7.1f ms  all pages %8.1f ms\n", what, f.pages,
                median(f.opened), median(f.firstPage), median(f.ready));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString source = args.value(1, QStringLiteral("/tmp/zz_bench/demo.db"));
    const int runs = std::max(1, args.value(2, QStringLiteral("5")).toInt());

    if (!QFile::exists(source)) {
        QDir().mkpath(QFileInfo(source).absolutePath());
        std::printf("writing the demonstration book %s ...\n", qPrintable(source));
        std::fflush(stdout);
        const QString err = demo::writeDemoDatabase(source, demo::DemoSize{});
        if (!err.isEmpty()) {
            std::fprintf(stderr, "demo book: %s\n", qPrintable(err));
            return 1;
        }
    }
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    QDir().mkpath(home.path() + "/data/Zuzevevur");
    const QString book = home.path() + "/data/Zuzevevur/Zuzevevur.db";
    if (!QFile::copy(source, book)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return 1;
    }
    if (const QString err = addBenchRows(book) + indexLines(book, true); !err.isEmpty()) {
        std::fprintf(stderr, "bench rows: %s\n", qPrintable(err));
        return 1;
    }

    TDataModule1 dm;
    frmReportInv = new TfrmReportInv;
    frmReportRevenue = new TfrmReportRevenue;
    frmReportStatement = new TfrmReportStatement;
    frmDatePicker = new TfrmDatePicker;
    QElapsedTimer made;
    made.start();
    frmCustomerPicker = new TfrmCustomerPicker; // its list holds every customer while it shows
    const double pickerMade = ms(made.nsecsElapsed());
    made.restart();
    dm.tblCustomer->Refresh(); // with the picker hidden
    const double pickerRefreshed = ms(made.nsecsElapsed());
    made.restart();
    frmCustomerPicker->show();
    const double pickerShown = ms(made.nsecsElapsed());
    frmCustomerPicker->hide();
    TimingSeam seam;
    setDialogSeam(&seam);
    std::printf("book: %s, %d runs each, medians\n\n", qPrintable(source), runs);
    std::printf("customer picker over %d customers: made in %.1f ms, customers re-read while it is hidden in %.1f ms, "
                "shown with its list in %.1f ms\n\n",
                dm.tblCustomer->RecordCount(), pickerMade, pickerRefreshed, pickerShown);

    // The invoice: Print to the first page on screen.
    const Figures shortInvoice = timePreviews(seam, runs, [] { printInvoice(kShortInvoice); });
    const Figures longInvoice = timePreviews(seam, runs, [] { printInvoice(kLongInvoice); });
    print("invoice of 20 lines", shortInvoice);
    print("invoice of 2,000 lines", longInvoice);
    std::printf("  first page, 2,000 lines against 20 lines: %.2fx\n\n",
                median(longInvoice.firstPage) / std::max(0.001, median(shortInvoice.firstPage)));

    // The revenue report over 2023: the query, the generation alone, and the dialog's OK.
    auto revenueQuery = [&dm] {
        QElapsedTimer t;
        t.start();
        TQuery* q = dm.qryReportRevenue;
        q->Close();
        q->Params(0).SetAsDate(QDate(2023, 1, 1));
        q->Params(1).SetAsDate(QDate(2023, 12, 31));
        q->Open();
        return ms(t.nsecsElapsed());
    };
    std::vector<double> narrowQuery;
    if (const QString err = indexLines(book, false); !err.isEmpty()) {
        std::fprintf(stderr, "index: %s\n", qPrintable(err));
        return 1;
    }
    for (int i = 0; i < runs; ++i)
        narrowQuery.push_back(revenueQuery());
    if (const QString err = indexLines(book, true); !err.isEmpty()) {
        std::fprintf(stderr, "index: %s\n", qPrintable(err));
        return 1;
    }
    std::vector<double> query, generation;
    int rows = 0, pages = 0;
    for (int i = 0; i < runs; ++i) {
        query.push_back(revenueQuery());
        QElapsedTimer t;
        rows = dm.qryReportRevenue->RecordCount();
        report::ReportDocument doc;
        t.start();
        report::generateReport(frmReportRevenue->QuickRep(), doc);
        generation.push_back(ms(t.nsecsElapsed()));
        pages = doc.pageCount();
    }
    std::printf("revenue report over 2023: %d invoices, %d pages\n", rows, pages);
    std::printf("  query %.1f ms (lines indexed by invoice number alone: %.1f ms, %.2fx); generation alone %.1f ms, "
                "%.0f pages per second\n",
                median(query), median(narrowQuery), median(narrowQuery) / std::max(0.001, median(query)),
                median(generation), pages / (median(generation) / 1000));
    frmDatePicker->DateEdit1->setDate(QDate(2023, 1, 1));
    frmDatePicker->DateEdit2->setDate(QDate(2023, 12, 31));
    const Figures revenue = timePreviews(seam, runs, [] { frmDatePicker->btnOKClick(); });
    print("  OK in the date picker", revenue);
    std::printf("  the preview's share: all pages %.2fx the query and generation alone\n\n",
                median(revenue.ready) / (median(query) + median(generation)));

    // The statement of the customer with 5,000 open invoices.
    dm.tblCustomer->First(); // its name sorts first
    const int code = dm.tblCustomerCus_Code->AsInteger();
    std::vector<double> statementQueries, statementGeneration;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        for (TQuery* q : {dm.qryStatementDetail, dm.qryStatCurrent, dm.qryStat30, dm.qryStat60, dm.qryStat90,
                          dm.qryStat120, dm.qryStat120Plus}) {
            q->Close();
            q->Params(0).SetAsInteger(code);
            q->Open();
        }
        statementQueries.push_back(ms(t.nsecsElapsed()));
        report::ReportDocument doc;
        t.restart();
        report::generateReport(frmReportStatement->QuickRep(), doc);
        statementGeneration.push_back(ms(t.nsecsElapsed()));
        pages = doc.pageCount();
    }
    std::printf("statement of %s: %d open invoices, %d pages\n", qPrintable(dm.tblCustomerCus_Name->AsString()),
                dm.qryStatementDetail->RecordCount(), pages);
    std::printf("  seven queries %.1f ms; generation alone %.1f ms, %.0f pages per second\n", median(statementQueries),
                median(statementGeneration), pages / (median(statementGeneration) / 1000));
    const Figures statement = timePreviews(seam, runs, [&] {
        dm.tblCustomer->First();
        frmCustomerPicker->btnOKClick();
    });
    print("  OK in the customer picker", statement);

    setDialogSeam(nullptr);
    delete frmCustomerPicker;
    delete frmDatePicker;
    delete frmReportStatement;
    delete frmReportRevenue;
    delete frmReportInv;
    return 0;
}
