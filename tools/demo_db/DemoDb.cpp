#include "tools/demo_db/DemoDb.h"

#include <QDate>
#include <QFileInfo>
#include <algorithm>
#include <random>
#include <sqlite3.h>

#include "data/EInvoiceDetails.h"
#include "data/Schema.h"

namespace zz::demo {

namespace {
struct Db {
    sqlite3* db = nullptr;
    QString error;
    // Statements an early return left open are finalized first: the connection closes only
    // without them.
    ~Db()
    {
        if (!db)
            return;
        while (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr))
            sqlite3_finalize(s);
        sqlite3_close(db);
    }
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

const char* const kGermanCities[] = {"Berlin", "Hamburg", "München", "Köln", "Frankfurt am Main", "Stuttgart", "Leipzig", "Dresden"};
const char* const kGermanCodes[] = {"10115", "20095", "80331", "50667", "60311", "70173", "04109", "01067"};
const char* const kSouthAfricanCities[] = {"Cape Town", "Johannesburg", "Durban", "Pretoria", "Gqeberha", "Bloemfontein"};
const char* const kSouthAfricanCodes[] = {"8001", "2001", "4001", "0002", "6001", "9301"};

// Customer i (from 0) of an e-invoicing book: the even ones in Germany, the odd ones in South Africa.
bool german(int i) { return i % 2 == 0; }

// The company's and customers' e-invoicing details, checked as the program checks them.
QString writeEInvoicing(Db& d, const QString& country, int customers)
{
    for (const QString& sql : eInvoicingSchemaSql())
        if (!d.exec(sql.toUtf8().constData()))
            return d.error;
    CompanyEInvoiceDetails c;
    c.country = country;
    c.paymentTermsDays = 30;
    c.currencyOverridden = true;
    if (country == QLatin1String("DE")) {
        c.vatId = QStringLiteral("DE123456789");
        c.taxNumber = QStringLiteral("30/123/45678");
        c.email = QStringLiteral("rechnung@demo-handel.example");
        c.iban = QStringLiteral("DE89370400440532013000");
        c.bic = QStringLiteral("COBADEFFXXX");
        c.paymentTermsText = QStringLiteral("Zahlbar innerhalb von 30 Tagen ohne Abzug");
        c.currency = QStringLiteral("EUR");
    } else {
        c.vatId = QStringLiteral("ZA4123456789");
        c.email = QStringLiteral("accounts@demo-trading.example");
        c.paymentTermsText = QStringLiteral("Payment within 30 days of the invoice date");
        c.currency = QStringLiteral("ZAR");
    }
    const QString problem = companyDetailsProblem(c);
    if (!problem.isEmpty())
        return problem;
    sqlite3_stmt* com = d.prepare("INSERT INTO CompanyEInvoicing (Com_Country, Com_VAT_Id, Com_Tax_No, Com_Email, Com_IBAN, "
                                  "Com_BIC, Com_Pay_Days, Com_Pay_Terms, Com_Currency, Com_Zero_VAT, Com_Exemption) "
                                  "VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    int i = 0;
    for (const QString& v : {c.country, c.vatId, c.taxNumber, c.email, c.iban, c.bic}) {
        ++i;
        if (v.isEmpty())
            sqlite3_bind_null(com, i);
        else
            bindText(com, i, v.toStdString());
    }
    sqlite3_bind_int(com, 7, c.paymentTermsDays);
    bindText(com, 8, c.paymentTermsText.toStdString());
    bindText(com, 9, c.currency.toStdString());
    bindText(com, 10, "Z");
    sqlite3_bind_null(com, 11);
    const bool written = d.step(com);
    sqlite3_finalize(com);
    if (!written)
        return d.error;

    sqlite3_stmt* cus = d.prepare("INSERT INTO CustomerEInvoicing (Cus_Code, Cus_Country, Cus_Buyer_Ref) VALUES (?,?,?)");
    for (int n = 0; n < customers; ++n) {
        // German public buyers are reached by their routing id; the others give an order reference.
        const std::string reference = german(n) ? "04011000-" + std::to_string(10000 + n % 90000) + "-" + std::to_string(10 + n % 90)
                                                : "BR-" + std::to_string(100000 + n);
        sqlite3_bind_int(cus, 1, n + 1);
        bindText(cus, 2, german(n) ? "DE" : "ZA");
        bindText(cus, 3, reference);
        if (!d.step(cus))
            return d.error;
    }
    sqlite3_finalize(cus);
    return {};
}
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
    const bool eInvoicing = !size.eInvoicing.isEmpty();
    if (eInvoicing && size.eInvoicing != QLatin1String("DE") && size.eInvoicing != QLatin1String("ZA"))
        return QStringLiteral("the e-invoicing company is in DE or ZA, not %1").arg(size.eInvoicing);
    for (int i = 0; i < size.customers; ++i) {
        const std::string name = word(rng, 2 + int(rng() % 3)) + " " + kKinds[rng() % 8];
        bindText(cus, 1, name);
        if (eInvoicing && german(i)) {
            const unsigned city = rng() % 8;
            bindText(cus, 2, word(rng, 3) + "straße " + std::to_string(1 + rng() % 400));
            bindText(cus, 3, kGermanCities[city]);
            bindText(cus, 4, kGermanCodes[city]);
        } else if (eInvoicing) {
            const unsigned city = rng() % 6;
            bindText(cus, 2, std::to_string(1 + rng() % 400) + " " + word(rng, 3) + " Street");
            bindText(cus, 3, kSouthAfricanCities[city]);
            bindText(cus, 4, kSouthAfricanCodes[city]);
        } else {
            bindText(cus, 2, std::to_string(1 + rng() % 400) + " " + word(rng, 3) + " Street");
            bindText(cus, 3, word(rng, 2));
            bindText(cus, 4, std::to_string(1000 + rng() % 9000));
        }
        bindText(cus, 5, "info@" + word(rng, 2) + ".example");
        bindText(cus, 6, "0" + std::to_string(100000000 + rng() % 899999999));
        bindText(cus, 7, word(rng, 2));
        if (eInvoicing && german(i))
            bindText(cus, 8, "DE" + std::to_string(100000000 + rng() % 899999999));
        else
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

    const char* company = "INSERT INTO Company (Com_Name, Com_Address1, Com_Address2, Com_Address3, Inv_Start_No) "
                          "VALUES ('Demo Trading', '1 Main Road', 'Springfield', '1234', 400000)";
    if (size.eInvoicing == QLatin1String("DE"))
        company = "INSERT INTO Company (Com_Name, Com_VAT_No, Com_Reg_No, Com_Tel, Com_Address1, Com_Address2, Com_Address3, "
                  "Inv_Start_No) VALUES ('Demo Handel GmbH', 'DE123456789', 'HRB 123456 B', '030 1234567', "
                  "'Hauptstraße 1', 'Berlin', '10115', 400000)";
    else if (size.eInvoicing == QLatin1String("ZA"))
        company = "INSERT INTO Company (Com_Name, Com_VAT_No, Com_Reg_No, Com_Tel, Com_Address1, Com_Address2, Com_Address3, "
                  "Inv_Start_No) VALUES ('Demo Trading (Pty) Ltd', '4123456789', '2015/123456/07', '021 123 4567', "
                  "'1 Main Road', 'Cape Town', '8001', 400000)";
    if (!d.exec(company) || !d.exec("INSERT INTO VAT (VAT_Percentage) VALUES (15)"))
        return d.error;
    if (eInvoicing) {
        const QString error = writeEInvoicing(d, size.eInvoicing, size.customers);
        if (!error.isEmpty())
            return error;
        // Every cancelled invoice has its credit note, numbered from 1 in the invoices' order and
        // dated a week after the invoice; the counter goes on after the last.
        for (const QString& sql : creditNoteSchemaSql())
            if (!d.exec(sql.toUtf8().constData()))
                return d.error;
        if (!d.exec("INSERT INTO CreditNote (CN_Number, Inv_Number, CN_Date, CN_Reason) "
                    "SELECT ROW_NUMBER() OVER (ORDER BY Inv_Number), Inv_Number, date(Inv_Date, '+7 days'), "
                    "'Cancelled at the customer''s request' FROM Invoice WHERE Inv_Cancelled = 'YES' ORDER BY Inv_Number")
            || !d.exec("INSERT INTO CreditNoteCounter (CN_Next_No) SELECT COUNT(*) + 1 FROM CreditNote"))
            return d.error;
    }
    if (!d.exec("COMMIT"))
        return d.error;
    return {};
}

} // namespace zz::demo
