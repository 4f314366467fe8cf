#include "exchange/Export.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Money.h"
#include "data/Schema.h"
#include "exchange/Csv.h"
#include "exchange/InvoiceAmounts.h"

namespace zz::exchange {

namespace {
// The rows of one statement, read straight from the SQLite connection where the book is a SQLite
// file (as the cursors read), through the driver otherwise.
class Rows {
public:
    Rows(const QString& sql, const QStringList& binds)
    {
        m_db = Engine::sqliteHandle();
        if (m_db) {
            const QByteArray text = sql.toUtf8();
            if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
                throw EDBEngineError(engineErrorText(QString::fromUtf8(sqlite3_errmsg(m_db)), QString()));
            for (int i = 0; i < binds.size(); ++i) {
                const QByteArray b = binds[i].toUtf8();
                sqlite3_bind_text(m_stmt, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            }
            return;
        }
        m_query = prepareOrThrow(sql);
        m_query.setForwardOnly(true);
        for (const QString& b : binds)
            m_query.addBindValue(b);
        execOrThrow(m_query);
    }
    ~Rows()
    {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
    }
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;

    bool next()
    {
        if (m_stmt) {
            const int rc = sqlite3_step(m_stmt);
            if (rc == SQLITE_ROW)
                return true;
            if (rc != SQLITE_DONE)
                throw EDBEngineError(engineErrorText(QString::fromUtf8(sqlite3_errmsg(m_db)), QString()));
            return false;
        }
        if (m_query.next())
            return true;
        if (m_query.lastError().isValid())
            throw EDBEngineError(engineErrorText(engineText(m_query.lastError()), QString()));
        return false;
    }
    bool isNull(int i) const
    {
        return m_stmt ? sqlite3_column_type(m_stmt, i) == SQLITE_NULL : m_query.value(i).isNull();
    }
    qint64 integer(int i) const { return m_stmt ? sqlite3_column_int64(m_stmt, i) : m_query.value(i).toLongLong(); }
    double real(int i) const { return m_stmt ? sqlite3_column_double(m_stmt, i) : m_query.value(i).toDouble(); }
    // A text field in UTF-8.
    QByteArray text(int i) const
    {
        if (m_stmt) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
            return p ? QByteArray(p, sqlite3_column_bytes(m_stmt, i)) : QByteArray();
        }
        const QVariant v = m_query.value(i);
        return v.isNull() ? QByteArray() : v.toString().toUtf8();
    }
    // A date as ISO 8601; the engines hold it as 'YYYY-MM-DD' text or as a date.
    QByteArray date(int i) const
    {
        if (m_stmt)
            return text(i);
        const QVariant v = m_query.value(i);
        if (v.isNull())
            return QByteArray();
        return v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate).toLatin1() : v.toString().toUtf8();
    }
    // An integer field as text; empty when null.
    QByteArray number(int i) const { return isNull(i) ? QByteArray() : QByteArray::number(integer(i)); }
    QByteArray money(int i) const { return isNull(i) ? QByteArray() : moneyText(Money::fromDouble(real(i))).toLatin1(); }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QSqlQuery m_query;
};

// The WHERE clause of a range; a range of pay dates reads the column named (credit notes go by
// their own dates, since a cancelled invoice is never paid).
QString rangeWhere(const ExportRange& range, QStringList& binds,
                   const QString& payDateColumn = QStringLiteral("B.Inv_PayDate"))
{
    if (range.kind == ExportRange::Kind::All)
        return QString();
    if (!range.from.isValid() || !range.to.isValid())
        throw Exception(QStringLiteral("Give both dates of the range."));
    binds << range.from.toString(Qt::ISODate) << range.to.toString(Qt::ISODate);
    return range.kind == ExportRange::Kind::InvoiceDates
        ? QStringLiteral(" WHERE B.Inv_Date >= ? AND B.Inv_Date <= ?")
        : QStringLiteral(" WHERE %1 >= ? AND %1 <= ?").arg(payDateColumn);
}

QByteArray stateOf(const QByteArray& paid, const QByteArray& cancelled, bool hasPayDate)
{
    if (cancelled == "YES")
        return QByteArrayLiteral("cancelled");
    if (paid == "YES" || hasPayDate)
        return QByteArrayLiteral("paid");
    return QByteArrayLiteral("open");
}

class Export {
public:
    Export(const QString& path, const ExportOptions& options, const ExportProgress& progress)
        : m_writer(path, ',', options.byteOrderMark), m_options(options), m_progress(progress)
    {
    }

    void record(const QStringList& fields)
    {
        QByteArrayList utf8;
        for (const QString& f : fields)
            utf8 << f.toUtf8();
        record(utf8);
    }
    void record(const QByteArrayList& fields)
    {
        m_writer.writeRecord(fields);
        if (m_progress && m_writer.records() % 5000 == 0 && !m_progress(m_writer.records() - 1))
            throw Exception(QStringLiteral("The export was stopped; no file was written."));
    }
    qint64 finish()
    {
        m_writer.commit();
        return m_writer.records() - 1;
    }

    void customers()
    {
        record(exportColumns(ExportWhat::Customers));
        Rows rows(QStringLiteral("SELECT Cus_Code, Cus_Name, Cus_Address1, Cus_Address2, Cus_Address3, Cus_Web_Address, "
                                 "Cus_Email, Cus_Phone, Cus_Contact, Cus_VAT_No FROM Customer ORDER BY Cus_Name, Cus_Code"),
                  {});
        QByteArrayList f;
        while (rows.next()) {
            f.clear();
            f << rows.number(0);
            for (int i = 1; i < 10; ++i)
                f << rows.text(i);
            record(f);
        }
    }

    void products()
    {
        record(exportColumns(ExportWhat::Products));
        Rows rows(QStringLiteral("SELECT Prod_Code, Prod_Description, Prod_Price FROM Product ORDER BY Prod_Code"), {});
        while (rows.next())
            record(QByteArrayList{rows.text(0), rows.text(1), rows.money(2)});
    }

    void invoices()
    {
        record(exportColumns(ExportWhat::Invoices));
        QStringList binds;
        const QString where = rangeWhere(m_options.range, binds);
        // One row per line (one with empty line fields for an invoice without lines), in invoice
        // and line order: the lines are added up in the order the printout adds them.
        Rows rows(QStringLiteral("SELECT B.Inv_Number, B.Inv_Date, B.Cus_Code, A.Cus_Name, B.Inv_Order_No, B.Inv_VAT, "
                                 "B.Inv_Paid, B.Inv_PayDate, B.Inv_Cancelled, B.Inv_Days, C.Line_Units, "
                                 "C.Line_Discount_Price, C.Line_Number "
                                 "FROM Invoice B LEFT JOIN Customer A ON A.Cus_Code = B.Cus_Code "
                                 "LEFT JOIN Line C ON C.Inv_Number = B.Inv_Number")
                      + where + QStringLiteral(" ORDER BY B.Inv_Number, C.Line_Number"),
                  binds);
        bool have = false;
        qint64 number = 0;
        QByteArrayList head;
        InvoiceSums sums;
        double rate = 0;
        const auto flush = [&] {
            if (!have)
                return;
            // Number, date, customer code and name, order number, then the amounts.
            QByteArrayList f = head.mid(0, 5);
            f << centsText(sums.net()).toLatin1() << numberText(rate).toLatin1() << centsText(sums.vat()).toLatin1()
              << centsText(sums.total()).toLatin1();
            f << head.mid(5);
            f << exactText(sums.net()).toLatin1() << exactText(sums.vat()).toLatin1() << exactText(sums.total()).toLatin1();
            record(f);
        };
        while (rows.next()) {
            const qint64 n = rows.integer(0);
            if (!have || n != number) {
                flush();
                have = true;
                number = n;
                sums.clear();
                rate = rows.isNull(5) ? 0 : rows.real(5);
                const QByteArray payDate = rows.date(7);
                head = QByteArrayList{rows.number(0), rows.date(1), rows.number(2), rows.text(3), rows.text(4),
                                      stateOf(rows.text(6), rows.text(8), !payDate.isEmpty()), payDate, rows.text(9)};
            }
            if (!rows.isNull(12))
                sums.addLine(int(rows.integer(10)), rows.real(11), rate);
        }
        flush();
    }

    void lines()
    {
        record(exportColumns(ExportWhat::Lines));
        QStringList binds;
        const QString where = rangeWhere(m_options.range, binds);
        // In the order the lines were entered, which is invoice by invoice: the line table is read
        // straight through, with no sort.
        Rows rows(QStringLiteral("SELECT C.Inv_Number, B.Inv_Date, C.Line_Number, C.Prod_Code, D.Prod_Description, "
                                 "C.Line_Units, C.Line_Price, C.Line_Discount, C.Line_Discount_Price "
                                 "FROM Invoice B JOIN Line C ON C.Inv_Number = B.Inv_Number "
                                 "LEFT JOIN Product D ON D.Prod_Code = C.Prod_Code")
                      + where + QStringLiteral(" ORDER BY C.Line_Number"),
                  binds);
        QByteArrayList f;
        while (rows.next()) {
            f.clear();
            f << rows.number(0) << rows.date(1) << rows.number(2) << rows.text(3) << rows.text(4) << rows.number(5)
              << rows.money(6) << rows.number(7) << rows.money(8);
            const double net = rows.real(8) * double(rows.integer(5));
            f << (rows.isNull(8) ? QByteArray() : moneyText(Money::fromDouble(net)).toLatin1());
            record(f);
        }
    }

    // One row per credit note, with the amounts of the invoice it takes back as that invoice's row
    // gives them. A book without credit notes gives the header alone.
    void creditNotes()
    {
        record(exportColumns(ExportWhat::CreditNotes));
        QString problem;
        switch (checkCreditNoteTables(Engine::database(), &problem)) {
        case OptionalTables::Absent: return;
        case OptionalTables::Damaged: throw Exception(problem);
        case OptionalTables::Complete: break;
        }
        QStringList binds;
        const QString where = rangeWhere(m_options.range, binds, QStringLiteral("E.CN_Date"));
        Rows rows(QStringLiteral("SELECT E.CN_Number, E.CN_Date, E.Inv_Number, B.Inv_Date, B.Cus_Code, A.Cus_Name, "
                                 "E.CN_Reason, B.Inv_VAT, C.Line_Units, C.Line_Discount_Price, C.Line_Number "
                                 "FROM CreditNote E LEFT JOIN Invoice B ON B.Inv_Number = E.Inv_Number "
                                 "LEFT JOIN Customer A ON A.Cus_Code = B.Cus_Code "
                                 "LEFT JOIN Line C ON C.Inv_Number = E.Inv_Number")
                      + where + QStringLiteral(" ORDER BY E.CN_Number, C.Line_Number"),
                  binds);
        bool have = false;
        qint64 number = 0;
        QByteArrayList head;
        InvoiceSums sums;
        double rate = 0;
        const auto flush = [&] {
            if (!have)
                return;
            QByteArrayList f = head;
            f << centsText(sums.net()).toLatin1() << numberText(rate).toLatin1() << centsText(sums.vat()).toLatin1()
              << centsText(sums.total()).toLatin1();
            record(f);
        };
        while (rows.next()) {
            const qint64 n = rows.integer(0);
            if (!have || n != number) {
                flush();
                have = true;
                number = n;
                sums.clear();
                rate = rows.isNull(7) ? 0 : rows.real(7);
                head = QByteArrayList{rows.number(0), rows.date(1), rows.number(2), rows.date(3),
                                      rows.number(4), rows.text(5), rows.text(6)};
            }
            if (!rows.isNull(10))
                sums.addLine(int(rows.integer(8)), rows.real(9), rate);
        }
        flush();
    }

private:
    CsvWriter m_writer;
    ExportOptions m_options;
    ExportProgress m_progress;
};
} // namespace

std::optional<ExportWhat> exportWhatFromName(const QString& name)
{
    for (ExportWhat w : {ExportWhat::Customers, ExportWhat::Products, ExportWhat::Invoices, ExportWhat::Lines,
                          ExportWhat::CreditNotes})
        if (exportWhatName(w) == name)
            return w;
    return std::nullopt;
}

QString exportWhatName(ExportWhat what)
{
    switch (what) {
    case ExportWhat::Customers: return QStringLiteral("customers");
    case ExportWhat::Products: return QStringLiteral("products");
    case ExportWhat::Invoices: return QStringLiteral("invoices");
    case ExportWhat::Lines: return QStringLiteral("lines");
    case ExportWhat::CreditNotes: return QStringLiteral("creditnotes");
    }
    return QString();
}

QStringList exportColumns(ExportWhat what)
{
    switch (what) {
    case ExportWhat::Customers:
        return {"Cus_Code",  "Cus_Name",  "Cus_Address1", "Cus_Address2", "Cus_Address3",
                "Cus_Web_Address", "Cus_Email", "Cus_Phone", "Cus_Contact", "Cus_VAT_No"};
    case ExportWhat::Products: return {"Prod_Code", "Prod_Description", "Prod_Price"};
    case ExportWhat::Invoices:
        // Net, VAT and Total as the printed invoice shows them (rounded to cents); the _Exact
        // columns unrounded, so that sums over many invoices come out as the reports' totals.
        return {"Inv_Number", "Inv_Date",  "Cus_Code",    "Cus_Name",  "Inv_Order_No", "Net",       "Inv_VAT", "VAT",
                "Total",      "State",     "Inv_PayDate", "Inv_Days",  "Net_Exact",    "VAT_Exact", "Total_Exact"};
    case ExportWhat::Lines:
        return {"Inv_Number",    "Inv_Date",   "Line_Number",   "Prod_Code",           "Prod_Description",
                "Line_Units",    "Line_Price", "Line_Discount", "Line_Discount_Price", "Net"};
    case ExportWhat::CreditNotes:
        // The amounts are those of the invoice taken back, as its own row gives them.
        return {"CN_Number", "CN_Date", "Inv_Number", "Inv_Date", "Cus_Code", "Cus_Name", "CN_Reason",
                "Net",       "Inv_VAT", "VAT",        "Total"};
    }
    return {};
}

qint64 exportCsv(ExportWhat what, const QString& path, const ExportOptions& options, const ExportProgress& progress)
{
    Export e(path, options, progress);
    switch (what) {
    case ExportWhat::Customers: e.customers(); break;
    case ExportWhat::Products: e.products(); break;
    case ExportWhat::Invoices: e.invoices(); break;
    case ExportWhat::Lines: e.lines(); break;
    case ExportWhat::CreditNotes: e.creditNotes(); break;
    }
    return e.finish();
}

} // namespace zz::exchange
