#include "tools/zzbook/BookCopy.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <cmath>

#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Field.h"
#include "data/Schema.h"
#include "data/TableSql.h"

namespace zz::book {

namespace {
const QString kSource = QStringLiteral("zzbook_source");
const QString kTarget = QStringLiteral("zzbook_target");
constexpr int kRowsPerInsert = 500;

[[noreturn]] void fail(const QString& message) { throw EDBEngineError(message); }

QString errorText(const QSqlError& e) { return engineText(e); }

bool isPg(const QSqlDatabase& db) { return dialectOf(db) == SqlDialect::PostgreSQL; }

// A connection that closes and is removed when it goes.
class Connection {
public:
    Connection(const BookLocation& where, const QString& name, bool source) : m_name(name)
    {
        if (!QSqlDatabase::isDriverAvailable(where.driver))
            fail(QStringLiteral("The database driver %1 is not installed.").arg(where.driver));
        if (where.driver == QLatin1String("QSQLITE") && source && !QFileInfo::exists(where.database))
            fail(QStringLiteral("The book %1 does not exist.").arg(where.database));
        QSqlDatabase db = QSqlDatabase::addDatabase(where.driver, name);
        db.setDatabaseName(where.database);
        if (where.driver == QLatin1String("QPSQL")) {
            if (!where.host.isEmpty()) db.setHostName(where.host);
            if (where.port > 0) db.setPort(where.port);
            if (!where.user.isEmpty()) db.setUserName(where.user);
        } else if (source) {
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        }
        if (!db.open()) {
            const QString why = errorText(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            fail(QStringLiteral("Cannot open %1: %2").arg(where.display(), why));
        }
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

QSqlQuery run(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        fail(QStringLiteral("%1\n  (%2)").arg(errorText(q.lastError()), sql.left(200)));
    return q;
}

// The tables a database holds, past the engine's own.
QStringList userTables(const QSqlDatabase& db)
{
    QStringList out;
    for (const QString& t : db.tables(QSql::Tables))
        if (!t.startsWith(QLatin1String("sqlite_")))
            out << t;
    return out;
}

void refuseNonEmpty(const QSqlDatabase& db, const BookLocation& where)
{
    const QStringList tables = userTables(db);
    if (!tables.isEmpty())
        fail(QStringLiteral("%1 already holds tables (%2). The book tool writes only into an empty database, so that "
                            "nothing kept there is overwritten or mixed with another book; name a new, empty one.")
                 .arg(where.display(), tables.join(QStringLiteral(", "))));
}

void makeTables(const QSqlDatabase& db)
{
    QSqlDatabase target = db;
    createSchema(target);
}

// The last number an auto-numbered field handed out, as the engine's counter holds it (which may
// be above the highest row left); 0 when none.
qint64 counterOf(const QSqlDatabase& db, const TableDef& t, const FieldDef& f)
{
    QSqlQuery q(db);
    if (isPg(db)) {
        if (q.exec(QStringLiteral("SELECT pg_sequence_last_value(pg_get_serial_sequence('%1', '%2'))")
                       .arg(t.name.toLower(), f.name.toLower()))
            && q.next())
            return q.value(0).toLongLong();
        return 0;
    }
    if (q.exec(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = '%1'").arg(t.name)) && q.next())
        return q.value(0).toLongLong();
    return 0;
}

void setCounter(const QSqlDatabase& db, const TableDef& t, const FieldDef& f, qint64 last)
{
    if (last <= 0)
        return;
    if (isPg(db)) {
        run(db, QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), %3)").arg(t.name.toLower(), f.name.toLower()).arg(last));
        return;
    }
    run(db, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = '%1'").arg(t.name));
    run(db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('%1', %2)").arg(t.name).arg(last));
}

// A value as the target's driver writes it into statement text (quoted and escaped by the driver).
QString literal(const QSqlDatabase& db, FieldType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    QSqlField field(QString(), value.metaType());
    field.setValue(value);
    Q_UNUSED(type);
    return db.driver()->formatValue(field);
}

void copyTable(const QSqlDatabase& from, const QSqlDatabase& to, const TableDef& t)
{
    QStringList cols;
    for (const FieldDef& f : t.fields)
        cols << f.name;
    const QString list = cols.join(QStringLiteral(", "));
    // The rows in the order they were written, so that the tables without a browse order show
    // them as before.
    QSqlQuery read = run(from, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(list, t.name));
    const int n = int(t.fields.size());
    if (isPg(to)) {
        // Many rows per statement: one round trip to the server each.
        QStringList rows;
        auto flush = [&] {
            if (rows.isEmpty())
                return;
            run(to, QStringLiteral("INSERT INTO %1 (%2) VALUES %3").arg(t.name, list, rows.join(QStringLiteral(",\n"))));
            rows.clear();
        };
        while (read.next()) {
            QStringList values;
            for (int i = 0; i < n; ++i) {
                const FieldDef& f = t.fields[size_t(i)];
                values << literal(to, f.type, TField::normalise(f.type, read.value(i)));
            }
            rows << QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')');
            if (rows.size() >= kRowsPerInsert)
                flush();
        }
        flush();
    } else {
        QStringList marks;
        for (int i = 0; i < n; ++i)
            marks << QStringLiteral("?");
        QSqlQuery write(to);
        if (!write.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(t.name, list, marks.join(QStringLiteral(", ")))))
            fail(errorText(write.lastError()));
        while (read.next()) {
            for (int i = 0; i < n; ++i) {
                const FieldDef& f = t.fields[size_t(i)];
                write.bindValue(i, bindable(f.type, TField::normalise(f.type, read.value(i))));
            }
            if (!write.exec())
                fail(QStringLiteral("Cannot copy a row of %1: %2").arg(t.name, errorText(write.lastError())));
        }
    }
    if (read.lastError().isValid())
        fail(QStringLiteral("Cannot read the table %1: %2").arg(t.name, errorText(read.lastError())));
}

// The figures a table is checked by: its rows, the sums of its number fields, the count of its
// dates and the total length of its texts and pictures.
QList<QPair<QString, QVariant>> figures(const QSqlDatabase& db, const TableDef& t)
{
    QStringList exprs{QStringLiteral("COUNT(*)")};
    QStringList names{QStringLiteral("rows")};
    for (const FieldDef& f : t.fields) {
        if (isNumericType(f.type)) {
            exprs << QStringLiteral("SUM(%1)").arg(f.name);
            names << QStringLiteral("sum of %1").arg(f.name);
        } else if (f.type == FieldType::Date) {
            exprs << QStringLiteral("COUNT(%1)").arg(f.name);
            names << QStringLiteral("dates in %1").arg(f.name);
        } else {
            exprs << QStringLiteral("SUM(length(%1))").arg(f.name);
            names << QStringLiteral("length of %1").arg(f.name);
        }
    }
    QSqlQuery q = run(db, QStringLiteral("SELECT %1 FROM %2").arg(exprs.join(QStringLiteral(", ")), t.name));
    QList<QPair<QString, QVariant>> out;
    if (!q.next())
        fail(QStringLiteral("Cannot count the rows of %1.").arg(t.name));
    for (int i = 0; i < names.size(); ++i)
        out << qMakePair(names[i], q.value(i));
    return out;
}

// A figure as printed: a sum over no values is none.
QString shown(const QVariant& v) { return v.isNull() ? QStringLiteral("none") : v.toString(); }

bool sameFigure(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    const double x = a.toDouble(), y = b.toDouble();
    // Sums of fractions may differ in their last digits with the order they are added in.
    return x == y || std::fabs(x - y) <= 1e-9 * std::max(std::fabs(x), std::fabs(y));
}
} // namespace

QString BookLocation::display() const
{
    if (driver == QLatin1String("QSQLITE"))
        return QStringLiteral("the SQLite book %1").arg(database);
    QString where = host.isEmpty() ? QStringLiteral("this computer") : host;
    if (port > 0)
        where += QStringLiteral(":%1").arg(port);
    return QStringLiteral("the PostgreSQL database %1 on %2").arg(database, where);
}

BookLocation parseLocation(const QString& text)
{
    BookLocation b;
    if (text.startsWith(QLatin1String("postgresql:")) || text.startsWith(QLatin1String("postgres:"))) {
        const QUrl url(text);
        if (!url.isValid())
            fail(QStringLiteral("%1 is no PostgreSQL address (postgresql://user@host:port/database).").arg(text));
        b.driver = QStringLiteral("QPSQL");
        b.database = url.path().mid(1);
        b.host = url.host();
        b.port = url.port(-1);
        b.user = url.userName();
        const QUrlQuery query(url);
        if (query.hasQueryItem(QStringLiteral("host")))
            b.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
        if (query.hasQueryItem(QStringLiteral("user")))
            b.user = query.queryItemValue(QStringLiteral("user"), QUrl::FullyDecoded);
        if (!url.password().isEmpty())
            fail(QStringLiteral("Give no password in the address; keep it in ~/.pgpass."));
        if (b.database.isEmpty() || b.database.contains(QLatin1Char('/')))
            fail(QStringLiteral("%1 names no database (postgresql://user@host:port/database).").arg(text));
        return b;
    }
    if (text.trimmed().isEmpty())
        fail(QStringLiteral("No book is named."));
    b.driver = QStringLiteral("QSQLITE");
    b.database = text;
    return b;
}

void createBook(const BookLocation& target)
{
    Connection to(target, kTarget, false);
    refuseNonEmpty(to.db(), target);
    makeTables(to.db());
}

std::vector<TableCheck> copyBook(const BookLocation& source, const BookLocation& target,
                                 const std::function<void(const QString&)>& progress)
{
    Connection from(source, kSource, true);
    checkSchema(from.db());
    // The e-invoicing details go along when the book has them; a damaged part of them is not
    // copied half: the copy stops before it writes anything, saying what is wrong.
    QString problem;
    const OptionalTables optional = checkEInvoicingTables(from.db(), &problem);
    if (optional == OptionalTables::Damaged)
        fail(problem);
    const OptionalTables credit = checkCreditNoteTables(from.db(), &problem);
    if (credit == OptionalTables::Damaged)
        fail(problem);
    std::vector<TableDef> tables = schemaTables();
    if (optional == OptionalTables::Complete)
        tables.insert(tables.end(), eInvoicingTables().begin(), eInvoicingTables().end());
    if (credit == OptionalTables::Complete)
        tables.insert(tables.end(), creditNoteTables().begin(), creditNoteTables().end());

    Connection to(target, kTarget, false);
    refuseNonEmpty(to.db(), target);
    makeTables(to.db());

    QSqlDatabase out = to.db();
    if (!out.transaction())
        fail(errorText(out.lastError()));
    try {
        if (optional == OptionalTables::Complete)
            for (const QString& sql : eInvoicingSchemaSql(dialectOf(out)))
                run(out, sql);
        if (credit == OptionalTables::Complete)
            for (const QString& sql : creditNoteSchemaSql(dialectOf(out)))
                run(out, sql);
        for (const TableDef& t : tables) {
            if (progress)
                progress(QStringLiteral("Copying %1").arg(t.name));
            copyTable(from.db(), out, t);
            for (const FieldDef& f : t.fields) {
                if (f.type != FieldType::AutoInc)
                    continue;
                QSqlQuery max = run(out, QStringLiteral("SELECT MAX(%1) FROM %2").arg(f.name, t.name));
                const qint64 highest = max.next() ? max.value(0).toLongLong() : 0;
                setCounter(out, t, f, std::max(highest, counterOf(from.db(), t, f)));
            }
        }
        if (!out.commit())
            fail(errorText(out.lastError()));
    } catch (...) {
        out.rollback();
        throw;
    }

    std::vector<TableCheck> checks;
    bool allSame = true;
    for (const TableDef& t : tables) {
        const auto a = figures(from.db(), t);
        const auto b = figures(to.db(), t);
        TableCheck c;
        c.table = t.name;
        c.sourceRows = a[0].second.toLongLong();
        c.targetRows = b[0].second.toLongLong();
        for (int i = 0; i < a.size(); ++i) {
            const bool same = sameFigure(a[i].second, b[i].second);
            c.same = c.same && same;
            if (i > 0)
                c.sums << QStringLiteral("%1 %2 %3 %4").arg(a[i].first, shown(a[i].second), same ? QStringLiteral("=") : QStringLiteral("<>"),
                                                            shown(b[i].second));
        }
        allSame = allSame && c.same;
        checks.push_back(c);
    }
    if (!allSame) {
        QStringList differ;
        for (const TableCheck& c : checks)
            if (!c.same)
                differ << c.table;
        fail(QStringLiteral("The copy in %1 does not match the book it was copied from (%2); it is left as it is for a look. "
                            "Do not use it: delete it and copy again.")
                 .arg(target.display(), differ.join(QStringLiteral(", "))));
    }
    return checks;
}

} // namespace zz::book
