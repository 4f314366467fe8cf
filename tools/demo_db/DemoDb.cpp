#include "tools/demo_db/DemoDb.h"

#include <QDate>
#include <QFileInfo>
#include <algorithm>
#include <random>
#include <sqlite3.h>

#include "data/Schema.h"

namespace zz::demo {

namespace {
struct Db {
    sqlite3* db = nullptr;
    QString error;
    ~Db() { if (db) sqlite3_close(db); }
    bool exec(const char* sql)
    {
        char* msg = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
            error = QString::fromUtf8(msg ? msg : "error");
            sqlite3_free(msg);
            return false;
        }
        return true;
    }
    sqlite3_stmt* prepare(const char* sql)
    {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
            error = QString::fromUtf8(sqlite3_errmsg(db));
        return s;
    }
    bool step(sqlite3_stmt* s)
    {
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        if (rc != SQLITE_DONE) {
            error = QString::fromUtf8(sqlite3_errmsg(db));
            return false;
        }
        return true;
    }
};

const char* const kSyllables[] = {"ka", "lo", "mi", "ra", "te", "vu", "zo", "ne", "shi", "ba", "do", "gu",
                                  "pe", "wa", "ri", "so", "fa", "ju", "ya", "xe"};
const char* const kKinds[] = {"Trading", "Holdings", "& Sons", "Supplies", "Works", "Partners", "Ltd", "Co"};

std::string word(std::mt19937& rng, int syllables)
{
    std::string s;
    for (int i = 0; i < syllables; ++i)
        s += kSyllables[rng() % 20];
    s[0] = char(std::toupper(s[0]));
    return s;
}

void bindText(sqlite3_stmt* s, int i, const std::string& t) { sqlite3_bind_text(s, i, t.c_str(), int(t.size()), SQLITE_TRANSIENT); }
} // namespace

QString writeDemoDatabase(const QString& path, const DemoSize& size, unsigned seed)
{
    if (QFileInfo::exists(path))
        return QStringLiteral("%1 already exists").arg(path);
    Db d;
    if (sqlite3_open_v2(path.toUtf8().constData(), &d.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return QStringLiteral("cannot create %1").arg(path);
    if (!d.exec("PRAGMA journal_mode=WAL") || !d.exec("BEGIN"))
        return d.error;
    for (const QString& sql : schemaSql())
        if (!d.exec(sql.toUtf8().constData()))
            return d.error;

    std::mt19937 rng(seed);
    sqlite3_stmt* cus = d.prepare("INSERT INTO Customer (Cus_Name, Cus_Address1, Cus_Address2, Cus_Address3, "
                                  "Cus_Email, Cus_Phone, Cus_Contact, Cus_VAT_No) VALUES (?,?,?,?,?,?,?,?)");
    for (int i = 0; i < size.customers; ++i) {
        const std::string name = word(rng, 2 + int(rng() % 3)) + " " + kKinds[rng() % 8];
        bindText(cus, 1, name);
        bindText(cus, 2, std::to_string(1 + rng() % 400) + " " + word(rng, 3) + " Street");
        bindText(cus, 3, word(rng, 2));
        bindText(cus, 4, std::to_string(1000 + rng() % 9000));
        bindText(cus, 5, "info@" + word(rng, 2) + ".example");
        bindText(cus, 6, "0" + std::to_string(100000000 + rng() % 899999999));
        bindText(cus, 7, word(rng, 2));
        bindText(cus, 8, std::to_string(4000000000u + rng() % 99999999));
        if (!d.step(cus))
            return d.error;
    }
    sqlite3_finalize(cus);

    sqlite3_stmt* prod = d.prepare("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES (?,?,?)");
    for (int i = 0; i < size.products; ++i) {
        bindText(prod, 1, "P" + std::to_string(100000 + i));
        bindText(prod, 2, word(rng, 3) + " " + word(rng, 2) + " " + std::to_string(rng() % 100));
        sqlite3_bind_double(prod, 3, double(rng() % 1000000) / 100.0);
        if (!d.step(prod))
            return d.error;
    }
    sqlite3_finalize(prod);

    sqlite3_stmt* inv = d.prepare("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_PayDate, Inv_Order_No, "
                                  "Inv_VAT, Inv_Paid, Inv_Days, Inv_Cancelled) VALUES (?,?,?,?,?,?,?,?,?)");
    const char* const ages[] = {"CURRENT", "30", "60", "90", "120", "120+"};
    const QDate start(2020, 1, 1);
    const int cancelled = 9 - std::clamp(size.openTenths, 0, 9);
    for (int i = 0; i < size.invoices; ++i) {
        const QDate date = start.addDays(qint64(rng() % 1800));
        // The tenths below `cancelled` are paid, `cancelled` is cancelled, the ones above are open.
        const int state = int(rng() % 10);
        const bool paid = state < cancelled, open = state > cancelled;
        sqlite3_bind_int(inv, 1, 1000 + i);
        sqlite3_bind_int(inv, 2, 1 + int(rng() % unsigned(std::max(1, size.customers))));
        bindText(inv, 3, date.toString(Qt::ISODate).toStdString());
        if (paid)
            bindText(inv, 4, date.addDays(qint64(rng() % 90)).toString(Qt::ISODate).toStdString());
        else
            sqlite3_bind_null(inv, 4);
        bindText(inv, 5, "PO" + std::to_string(rng() % 100000));
        sqlite3_bind_double(inv, 6, 15.0);
        bindText(inv, 7, paid ? "YES" : "NO");
        bindText(inv, 8, open ? ages[rng() % 6] : "CURRENT");
        bindText(inv, 9, !paid && !open ? "YES" : "NO");
        if (!d.step(inv))
            return d.error;
    }
    sqlite3_finalize(inv);

    sqlite3_stmt* line = d.prepare("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, "
                                   "Line_Discount_Price) VALUES (?,?,?,?,?,?)");
    for (int i = 0; i < size.lines; ++i) {
        const double price = double(rng() % 1000000) / 100.0;
        const int discount = int(rng() % 4) * 5;
        sqlite3_bind_int(line, 1, 1000 + int(rng() % unsigned(std::max(1, size.invoices))));
        bindText(line, 2, "P" + std::to_string(100000 + rng() % unsigned(std::max(1, size.products))));
        sqlite3_bind_int(line, 3, 1 + int(rng() % 20));
        sqlite3_bind_double(line, 4, price);
        sqlite3_bind_int(line, 5, discount);
        sqlite3_bind_double(line, 6, price * (100 - discount) / 100.0);
        if (!d.step(line))
            return d.error;
    }
    sqlite3_finalize(line);

    if (!d.exec("INSERT INTO Company (Com_Name, Com_Address1, Com_Address2, Com_Address3, Inv_Start_No) "
                "VALUES ('Demo Trading', '1 Main Road', 'Springfield', '1234', 400000)")
        || !d.exec("INSERT INTO VAT (VAT_Percentage) VALUES (15)") || !d.exec("COMMIT"))
        return d.error;
    return {};
}

} // namespace zz::demo
