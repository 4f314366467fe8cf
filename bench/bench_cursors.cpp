// Measures the table cursors on a large database: opening the customer cursor, a search near the
// end of the name order, the invoice and line cursors following one customer move, and reading
// every customer through the cursor against the same SELECT through the SQLite C API.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

#include "data/DataMod.h"
#include "tools/demo_db/DemoDb.h"

using namespace zz;

namespace {
double ms(qint64 ns) { return double(ns) / 1e6; }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString dataDir = dir.path() + "/data";
    QDir().mkpath(dataDir + "/Zuzevevur");
    qputenv("XDG_DATA_HOME", dataDir.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    const QString file = dataDir + "/Zuzevevur/Zuzevevur.db";

    QElapsedTimer t;
    t.start();
    const QString err = demo::writeDemoDatabase(file, demo::DemoSize{});
    if (!err.isEmpty()) {
        std::fprintf(stderr, "generator: %s\n", qPrintable(err));
        return 1;
    }
    std::printf("generate 100000 customers, 20000 products, 300000 invoices, 1500000 lines: %.0f ms\n", ms(t.nsecsElapsed()));

    TDataModule1 dm;
    TTable* cus = dm.tblCustomer;

    // Open, cold-ish and warm.
    for (int round = 0; round < 3; ++round) {
        cus->Close();
        t.restart();
        cus->Open();
        const double open = ms(t.nsecsElapsed());
        std::printf("open tblCustomer (%d rows), round %d: %.1f ms (goal < 300)\n", cus->RecordCount(), round + 1, open);
    }

    // A search near the end of the name order.
    const QString last = cus->rowValue(cus->RecordCount() - 3, 1).toString();
    const QString prefix = last.left(5).toLower();
    cus->First();
    t.restart();
    const bool found = cus->Locate("Cus_Name", prefix, LocateOption::PartialKey | LocateOption::CaseInsensitive);
    std::printf("locate '%s' near the end: %.2f ms, found=%d at row %d (goal < 5)\n", qPrintable(prefix),
                ms(t.nsecsElapsed()), found, cus->RecNo());

    // The invoice and line cursors following one move of the customer cursor.
    double worst = 0, total = 0;
    const int moves = 200;
    cus->MoveTo(cus->RecordCount() / 2);
    for (int i = 0; i < moves; ++i) {
        t.restart();
        cus->Next();
        // Reading the first invoice and line as a window would.
        (void)dm.tblInvoiceInv_Number->AsInteger();
        (void)dm.tblLineProd_Code->AsString();
        const double d = ms(t.nsecsElapsed());
        worst = std::max(worst, d);
        total += d;
    }
    std::printf("invoice+line cursors follow one customer move: mean %.3f ms, worst %.3f ms over %d moves (goal < 5)\n",
                total / moves, worst, moves);

    // Reading every customer in name order: through the cursor (first with the invoice and line
    // cursors following every move, then alone)...
    const int n = cus->FieldCount();
    qint64 chars = 0;
    t.restart();
    cus->First();
    for (int i = 0; i < 10000 && !cus->Eof(); ++i) {
        for (int f = 0; f < n; ++f)
            chars += cus->fieldValue(f).toString().size();
        cus->Next();
    }
    std::printf("read 10000 customers with the details following: %.1f ms\n", ms(t.nsecsElapsed()));
    dm.tblInvoice->setMasterSource(nullptr, QString());
    chars = 0;
    t.restart();
    cus->First();
    while (!cus->Eof()) {
        for (int f = 0; f < n; ++f)
            chars += cus->fieldValue(f).toString().size();
        cus->Next();
    }
    const double viaCursor = ms(t.nsecsElapsed());
    // ...and through the C API.
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Cus_Code, Cus_Name, Cus_Address1, Cus_Address2, Cus_Address3, Cus_Web_Address, Cus_Email, "
                       "Cus_Phone, Cus_Contact, Cus_VAT_No FROM Customer ORDER BY Cus_Name, rowid",
                       -1, &s, nullptr);
    qint64 chars2 = 0;
    t.restart();
    while (sqlite3_step(s) == SQLITE_ROW)
        for (int f = 0; f < n; ++f) {
            const unsigned char* v = sqlite3_column_text(s, f);
            chars2 += v ? QString::fromUtf8(reinterpret_cast<const char*>(v)).size() : 0;
        }
    const double viaC = ms(t.nsecsElapsed());
    sqlite3_finalize(s);
    sqlite3_close(db);
    std::printf("read all customers in name order: cursor %.1f ms, C API %.1f ms, ratio %.2f (goal < 2); chars %lld/%lld\n",
                viaCursor, viaC, viaCursor / viaC, chars, chars2);
    return 0;
}
