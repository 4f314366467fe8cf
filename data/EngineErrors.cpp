#include "data/Engine.h"

#include <QRegularExpression>
#include <QStringList>

#include "data/Schema.h"

// The engine's errors in words a shop owner can read, for the embedded engine and a server alike.

namespace zz {

namespace {
// The field of the schema a server names in lower case; the name as it stands in messages.
QString schemaFieldName(const QString& lowered)
{
    for (const TableDef& t : schemaTables())
        for (const FieldDef& f : t.fields)
            if (f.name.compare(lowered, Qt::CaseInsensitive) == 0)
                return f.name;
    return lowered;
}
QString schemaTableName(const QString& lowered)
{
    for (const TableDef& t : schemaTables())
        if (t.name.compare(lowered, Qt::CaseInsensitive) == 0)
            return t.name;
    return lowered;
}
} // namespace

// A PostgreSQL server's refusals, in the same words as the embedded engine's; empty for others.
QString serverErrorText(const QString& text, const QVariantMap& values)
{
    // duplicate key value violates unique constraint "invoice_inv_number_key"
    static const QRegularExpression unique(QStringLiteral("unique constraint \"([a-z]+)_(\\w+)_key\""));
    if (const auto m = unique.match(text); m.hasMatch()) {
        const QString table = schemaTableName(m.captured(1));
        const QString field = schemaFieldName(m.captured(2));
        for (auto it = values.begin(); it != values.end(); ++it)
            if (it.key().compare(field, Qt::CaseInsensitive) == 0)
                return QStringLiteral("Key violation: the %1 table already has a row with %2 %3.").arg(table, field, it.value().toString());
        return QStringLiteral("Key violation: the %1 table already has a row with this %2.").arg(table, field);
    }
    // new row for relation "customer" violates check constraint "cus_name_fits"
    static const QRegularExpression check(QStringLiteral("violates check constraint \"(\\w+?)_fits\""));
    if (const auto m = check.match(text); m.hasMatch())
        return QStringLiteral("The value of %1 does not fit the field.").arg(schemaFieldName(m.captured(1)));
    // null value in column "cus_name" of relation "customer" violates not-null constraint
    static const QRegularExpression notNull(QStringLiteral("null value in column \"(\\w+)\".*not-null"));
    if (const auto m = notNull.match(text); m.hasMatch())
        return QStringLiteral("Field '%1' must have a value").arg(schemaFieldName(m.captured(1)));
    if (Engine::isConnectionLost(text)) {
        const QString book = Engine::bookName().isEmpty() ? QStringLiteral("database") : QStringLiteral("database %1").arg(Engine::bookName());
        return QStringLiteral("The connection to the %1 on the server was lost, so the last change was not saved. "
                              "Check the network and the server, then start the program again: nothing can be saved until then.").arg(book);
    }
    static const QRegularExpression missing(QStringLiteral("(relation|column) \"(?:\\w+\\.)?(\\w+)\" does not exist"));
    if (const auto m = missing.match(text); m.hasMatch()) {
        const QString book = Engine::bookName().isEmpty() ? QStringLiteral("database") : QStringLiteral("database %1").arg(Engine::bookName());
        return m.captured(1) == QLatin1String("relation")
            ? QStringLiteral("The table %1 is missing from the %2.").arg(schemaTableName(m.captured(2)), book)
            : QStringLiteral("The field %1 is missing from the %2.").arg(schemaFieldName(m.captured(2)), book);
    }
    return {};
}

namespace {
// Where the driver looks for the server the alias names: "server:5432", or the socket in a folder
// (libpq's own default folder when the alias names no host).
QString serverPlace(const AliasConfig& config)
{
    QString host = config.host;
    if (host.isEmpty())
        host = qEnvironmentVariable("PGHOST", QStringLiteral("/var/run/postgresql"));
    int port = config.port;
    if (port <= 0) {
        bool ok = false;
        port = qEnvironmentVariable("PGPORT").toInt(&ok);
        if (!ok || port <= 0)
            port = 5432;
    }
    if (host.startsWith(QLatin1Char('/')) || host.startsWith(QLatin1Char('@')))
        return QStringLiteral("the socket %1/.s.PGSQL.%2").arg(host).arg(port);
    if (host.contains(QLatin1Char(':')))
        return QStringLiteral("[%1]:%2").arg(host).arg(port); // an IPv6 address
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

QString withoutFullStop(QString text)
{
    text = text.trimmed();
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}
} // namespace

QString serverOpenErrorText(const AliasConfig& config, const QString& driverText)
{
    QString text = driverText.trimmed();
    if (const qsizetype end = text.indexOf(QLatin1Char('\n')); end > 0)
        text = text.left(end).trimmed();
    const QString place = serverPlace(config);
    // The server answered and refused: its own message follows its severity; a password it asked
    // for and the client does not have is the client library's.
    for (const QLatin1String answered : {QLatin1String("FATAL:"), QLatin1String("fe_sendauth:")}) {
        if (const qsizetype at = text.indexOf(answered); at >= 0)
            return QStringLiteral("The database server at %1 refused to open the database %2: %3.")
                .arg(place, config.database, withoutFullStop(text.mid(at + answered.size())));
    }
    // Nothing answered: the reason is what the attempt ended with ("Connection refused", "No such
    // file or directory", "Name or service not known").
    QString reason = text;
    if (const qsizetype at = text.lastIndexOf(QLatin1String("failed: ")); at >= 0)
        reason = text.mid(at + 8);
    else if (const qsizetype colon = text.lastIndexOf(QLatin1String(": ")); colon >= 0)
        reason = text.mid(colon + 2);
    reason = withoutFullStop(reason);
    if (reason.isEmpty())
        reason = QStringLiteral("no reason given");
    return QStringLiteral("The database server at %1 cannot be reached, so the database %2 cannot be opened: %3. "
                          "Check that the server is running and that this computer can reach it, then start the program again.")
        .arg(place, config.database, reason);
}

QString engineText(const QSqlError& error)
{
    QString own = error.databaseText().trimmed();
    // A server's message comes as "ERROR:  text" with more lines of detail: the text alone.
    static const QRegularExpression severity(QStringLiteral("^(?:ERROR|FATAL|PANIC):\\s+"));
    own.remove(severity);
    if (const qsizetype end = own.indexOf(QLatin1Char('\n')); end > 0)
        own = own.left(end).trimmed();
    return own.isEmpty() ? error.driverText().trimmed() : own;
}

bool Engine::isConnectionLost(const QString& text)
{
    static const char* const signs[] = {"server closed the connection", "no connection to the server", "terminating connection",
                                        "connection to server", "could not connect to server", "could not send data to server",
                                        "could not receive data from server", "Unable to send query", "Connection refused"};
    for (const char* sign : signs)
        if (text.contains(QLatin1String(sign), Qt::CaseInsensitive))
            return true;
    return false;
}

QString engineErrorText(const QString& driverText, const QString& table, const QVariantMap& values)
{
    // "UNIQUE constraint failed: Invoice.Inv_Number" -> a key violation naming table and key.
    static const QRegularExpression unique(QStringLiteral("UNIQUE constraint failed: (\\w+)\\.(\\w+)"));
    const auto m = unique.match(driverText);
    if (m.hasMatch()) {
        const QString field = m.captured(2);
        for (auto it = values.begin(); it != values.end(); ++it)
            if (it.key().compare(field, Qt::CaseInsensitive) == 0)
                return QStringLiteral("Key violation: the %1 table already has a row with %2 %3.")
                    .arg(m.captured(1), field, it.value().toString());
        return QStringLiteral("Key violation: the %1 table already has a row with this %2.").arg(m.captured(1), field);
    }
    // "CHECK constraint failed: length(Cus_Name) <= 50" -> the field is the first name in the
    // check that is neither a function nor a keyword.
    static const QRegularExpression check(QStringLiteral("CHECK constraint failed: (.*)"));
    const auto c = check.match(driverText);
    if (c.hasMatch()) {
        static const QRegularExpression name(QStringLiteral("([A-Za-z_]\\w*)\\s*(\\()?"));
        static const QStringList keywords = {QStringLiteral("IS"), QStringLiteral("NOT"), QStringLiteral("NULL"),
                                             QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("IN")};
        QString field = c.captured(1).trimmed();
        for (auto it = name.globalMatch(c.captured(1)); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(2).isEmpty() && !keywords.contains(m.captured(1), Qt::CaseInsensitive)) {
                field = m.captured(1);
                break;
            }
        }
        return QStringLiteral("The value of %1 does not fit the field.").arg(field);
    }
    static const QRegularExpression notNull(QStringLiteral("NOT NULL constraint failed: \\w+\\.(\\w+)"));
    if (const auto n = notNull.match(driverText); n.hasMatch())
        return QStringLiteral("Field '%1' must have a value").arg(n.captured(1));
    static const QRegularExpression noSuch(QStringLiteral("no such (table|column): (?:\\w+\\.)?(\\w+)"));
    if (const QString pg = serverErrorText(driverText, values); !pg.isEmpty())
        return pg;

    if (isDeleteRefusedText(driverText))
        return driverText.trimmed();
    // The book's state, in words: the engine's own texts (SQLite's, stable across its versions).
    const QString book = Engine::bookName().isEmpty() ? QStringLiteral("database") : QStringLiteral("database %1").arg(Engine::bookName());
    const QString text = driverText.trimmed();
    // SQLite's own words only: "database is locked", "database table is locked", "database schema
    // is locked"; a trigger's message that happens to say "locked" is the book's own text.
    static const QRegularExpression locked(QStringLiteral("^database (table |schema )?is locked"));
    if (locked.match(text).hasMatch())
        return QStringLiteral("The %1 is locked by another program; try again in a moment.").arg(book);
    if (text.contains(QLatin1String("readonly database")) || text.contains(QLatin1String("read-only")))
        return QStringLiteral("The %1 is read-only, so no change could be saved.").arg(book);
    if (text.contains(QLatin1String("not a database")))
        return Engine::bookName().isEmpty() ? QStringLiteral("The file is not a database.")
                                          : QStringLiteral("The file %1 is not a database.").arg(Engine::bookName());
    if (text.contains(QLatin1String("malformed")) || text.contains(QLatin1String("corrupt")))
        return QStringLiteral("The %1 is damaged.").arg(book);
    if (text.contains(QLatin1String("disk is full")))
        return QStringLiteral("The disk holding the %1 is full, so the change was not saved.").arg(book);
    if (text.contains(QLatin1String("I/O error")))
        return QStringLiteral("The %1 could not be read or written because of a disk error.").arg(book);
    if (text.contains(QLatin1String("unable to open")))
        return QStringLiteral("The %1 cannot be opened.").arg(book);
    if (const auto n = noSuch.match(text); n.hasMatch())
        return n.captured(1) == QLatin1String("table")
            ? QStringLiteral("The table %1 is missing from the %2.").arg(n.captured(2), book)
            : QStringLiteral("The field %1 is missing from the %2.").arg(n.captured(2), book);
    QString sentence = text;
    while (sentence.endsWith(QLatin1Char('.')))
        sentence.chop(1);
    if (!table.isEmpty())
        return QStringLiteral("The table %1 of the %2 could not be read or written: %3.").arg(table, book, sentence);
    return QStringLiteral("The %1 reported an error: %2.").arg(book, sentence);
}

} // namespace zz
