// Measures the invoicing windows on the large demonstration book (100,000 customers, 300,000
// invoices, 1,500,000 lines), each figure one user action end to end: opening the browser, a
// customer search near the end of the name order, the invoice grid following a customer move,
// opening the detail window on an invoice of 200 lines, and Create, Submit and Pay with their
// durable commits. A bare durable commit on the same connection is the baseline of the three
// writing actions. Usage: bench_invoicing [book] (default /tmp/zz_bench/large.db, written by
// tools/demo_db when missing); the book is copied, never changed.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "admin/CusAdmin.h"
#include "admin/NewCustomer.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "invoicing/InvDetail.h"
#include "invoicing/MainInvoice.h"
#include "invoicing/NewInvoice.h"
#include "tools/demo_db/DemoDb.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

using namespace zz;

namespace {
double ms(qint64 ns) { return double(ns) / 1e6; }

// Answers every question with Yes, as the user paying an invoice does.
class YesSeam : public DialogSeam {
public:
    MsgResult message(const MessageRequest& request) override
    {
        if (request.kind != MsgKind::Confirmation)
            std::fprintf(stderr, "unexpected box: %s\n", qPrintable(request.text));
        return request.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK;
    }
};

struct Figures {
    std::vector<double> runs;
    double median() const
    {
        std::vector<double> v = runs;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    double worst() const { return runs.empty() ? 0 : *std::max_element(runs.begin(), runs.end()); }
};

// Times one action as the user sees it: the action, then the events it queued (layout, paint).
double timed(const std::function<void()>& action)
{
    QElapsedTimer t;
    t.start();
    action();
    QCoreApplication::processEvents();
    return ms(t.nsecsElapsed());
}

void report(const char* what, const Figures& f, const char* goal, double baseline = 0)
{
    std::printf("%-58s median %8.2f ms, worst %8.2f ms over %2zu", what, f.median(), f.worst(), f.runs.size());
    if (baseline > 0)
        std::printf(", %.2f x the bare commit", f.median() / baseline);
    std::printf("  (goal %s)\n", goal);
}

void exec(const QString& sql)
{
    QSqlQuery q(Engine::database());
    if (!q.exec(sql))
        std::fprintf(stderr, "%s failed\n", qPrintable(sql));
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/zz_bench/large.db");
    if (!QFile::exists(source)) {
        QDir().mkpath(QFileInfo(source).absolutePath());
        const QString err = demo::writeDemoDatabase(source, demo::DemoSize{});
        if (!err.isEmpty()) {
            std::fprintf(stderr, "generator: %s\n", qPrintable(err));
            return 1;
        }
    }
    QTemporaryDir dir;
    const QString dataDir = dir.path() + "/data";
    QDir().mkpath(dataDir + "/Zuzevevur");
    qputenv("XDG_DATA_HOME", dataDir.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    const QString book = dataDir + "/Zuzevevur/Zuzevevur.db";
    if (!QFile::copy(source, book)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return 1;
    }
    YesSeam seam;
    setDialogSeam(&seam);

    QElapsedTimer t;
    t.start();
    auto* dm = new TDataModule1(&app);
    std::printf("data module with its six tables opened: %.1f ms\n", ms(t.nsecsElapsed()));
    // A customer near the end of the name order gets an invoice of 200 lines.
    TTable* cus = dm->tblCustomer;
    cus->MoveTo(cus->RecordCount() - 40);
    const QString far = dm->tblCustomerCus_Name->AsString();
    const QString code = dm->tblCustomerCus_Code->AsString();
    exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Order_No, Inv_VAT) VALUES (999999, " + code
         + ", '2026-01-05', 'BIG', 15)");
    exec("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, Line_Discount_Price) "
         "SELECT 999999, Prod_Code, 1, Prod_Price, 0, Prod_Price FROM Product LIMIT 200");
    cus->Refresh();
    dm->tblInvoice->Refresh();
    cus->First();

    t.restart();
    frmCusAdmin = new TfrmCusAdmin;
    frmNewCustomer = new TfrmNewCustomer;
    frmMainInvoice = new TfrmMainInvoice;
    frmNewInvoice = new TfrmNewInvoice;
    frmInvDetail = new TfrmInvDetail;
    std::printf("the five windows created (the product box lists 20000 products): %.1f ms\n", ms(t.nsecsElapsed()));

    // Opening the browser as the menu does: activation, then shown with its grids painted.
    Figures open;
    for (int i = 0; i < 7; ++i) {
        open.runs.push_back(timed([] {
            frmMainInvoice->beginTestModal();
            frmMainInvoice->show();
        }));
        frmMainInvoice->endTestModal();
        frmMainInvoice->hide();
        QCoreApplication::processEvents();
    }
    std::printf("opening the browser, first time: %.2f ms\n", open.runs.front());
    report("opening the browser", open, "< 300 ms");
    frmMainInvoice->beginTestModal();
    frmMainInvoice->show();
    QCoreApplication::processEvents();

    // Searches for prefixes of names near the end of the name order.
    Figures search;
    for (int i = 0; i < 21; ++i) {
        const QString name = cus->rowValue(cus->RecordCount() - 1 - i * 37, 1).toString();
        const QString prefix = name.left(4 + i % 4).toLower();
        cus->First();
        QCoreApplication::processEvents();
        frmMainInvoice->edtSearch->setText(prefix);
        search.runs.push_back(timed([] { frmMainInvoice->btnSearchClick(); }));
    }
    report("customer search near the end of the name order", search, "< 5 ms");

    // The invoice grid following one move of the customer (a click in the customer grid).
    Figures follow;
    cus->MoveTo(cus->RecordCount() / 2);
    QCoreApplication::processEvents();
    for (int i = 0; i < 41; ++i) {
        const int row = cus->RecNo() + 1;
        follow.runs.push_back(timed([&] { frmMainInvoice->DBGrid1->setCurrentIndex(frmMainInvoice->DBGrid1->model()->index(row, 0)); }));
    }
    report("invoice grid following a customer move", follow, "< 5 ms");

    // The detail window on the invoice of 200 lines.
    frmMainInvoice->edtSearch->setText(far);
    frmMainInvoice->btnSearchClick();
    dm->tblInvoice->Last();
    Figures detail;
    for (int i = 0; i < 7; ++i) {
        detail.runs.push_back(timed([] {
            frmMainInvoice->hideKeepingModal();
            frmInvDetail->beginTestModal();
            frmInvDetail->show();
        }));
        if (dm->qryInvDetail->RecordCount() != 200)
            std::fprintf(stderr, "the detail shows %d lines\n", dm->qryInvDetail->RecordCount());
        frmInvDetail->endTestModal();
        frmInvDetail->btnCloseClick();
        frmMainInvoice->showKeepingModal();
        QCoreApplication::processEvents();
    }
    report("opening the detail window on an invoice of 200 lines", detail, "-");

    // The baseline: a bare durable commit of one new row of a scratch table on the same
    // connection (a row rewritten unchanged would not even reach the disk).
    exec("CREATE TABLE BenchCommit (x INTEGER)");
    Figures commit;
    for (int i = 0; i < 21; ++i)
        commit.runs.push_back(timed([i] {
            Transaction tr;
            exec(QStringLiteral("INSERT INTO BenchCommit VALUES (%1)").arg(i));
            tr.commit();
        }));
    report("baseline: a bare durable commit", commit, "-");
    const double bare = commit.median();

    // Create, each in a fresh opening of the editor, then Submit lines into the last one.
    Figures create, submit, pay;
    std::vector<int> created;
    for (int i = 0; i < 15; ++i) {
        frmNewInvoice->beginTestModal();
        frmNewInvoice->show();
        frmNewInvoice->edtOrderNo->setText(QStringLiteral("BENCH %1").arg(i));
        create.runs.push_back(timed([] { frmNewInvoice->btnCreateInvClick(); }));
        created.push_back(frmNewInvoice->Label7->text().toInt());
        if (i + 1 < 15) {
            frmNewInvoice->endTestModal();
            frmNewInvoice->btnCloseClick();
        }
    }
    report("Create (invoice and counter, one commit)", create, "< 20 ms", bare);
    for (int i = 0; i < 21; ++i) {
        frmNewInvoice->edtDiscount->setText(QString::number(i * 5 % 101));
        frmNewInvoice->spnUnitCount->setValue(i + 1);
        submit.runs.push_back(timed([] { frmNewInvoice->btnSubmitClick(); }));
    }
    if (dm->qryInvDetail->RecordCount() != 21)
        std::fprintf(stderr, "the editor shows %d lines\n", dm->qryInvDetail->RecordCount());
    report("Submit (line and the lines grid reloaded)", submit, "< 20 ms", bare);
    frmNewInvoice->endTestModal();
    frmNewInvoice->btnCloseClick();

    // Pay each created invoice in the detail window (the question answered Yes).
    frmInvDetail->beginTestModal();
    frmInvDetail->show();
    QCoreApplication::processEvents();
    for (int number : created) {
        dm->tblInvoice->Locate("Inv_Number", number);
        QCoreApplication::processEvents();
        pay.runs.push_back(timed([] { frmInvDetail->btnPayInvoiceClick(); }));
    }
    report("Pay (statement and the invoices re-read)", pay, "< 20 ms", bare);
    QSqlQuery q(Engine::database());
    q.exec("SELECT count(*) FROM Invoice WHERE Inv_Order_No LIKE 'BENCH%' AND Inv_Paid = 'YES'");
    q.next();
    std::printf("invoices created and paid: %d of %zu\n", q.value(0).toInt(), created.size());
    frmInvDetail->endTestModal();

    delete frmInvDetail;
    delete frmNewInvoice;
    delete frmMainInvoice;
    delete frmNewCustomer;
    delete frmCusAdmin;
    delete dm;
    setDialogSeam(nullptr);
    return 0;
}
