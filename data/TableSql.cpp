#include "data/TableSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Field.h"

namespace zz {

namespace {
bool isAscii(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 127)
            return false;
    return true;
}

QString marks(int count)
{
    QStringList m;
    for (int i = 0; i < count; ++i)
        m << QStringLiteral("?");
    return m.join(QStringLiteral(", "));
}

// "<link> = ? AND " for a detail view, else nothing.
QString linkCondition(const TableDef& table, int linkIndex)
{
    return linkIndex >= 0 ? QStringLiteral("%1 = ? AND ").arg(table.fields[size_t(linkIndex)].name) : QString();
}

void bindLink(QSqlQuery& q, const TableDef& table, int linkIndex, const QVariant& link)
{
    if (linkIndex >= 0)
        q.addBindValue(bindable(table.fields[size_t(linkIndex)].type, link));
}

// Steps to the next row of a result; a row that cannot be read is an error, not the end.
bool nextRow(QSqlQuery& q, const QString& table)
{
    if (q.next())
        return true;
    if (q.lastError().isValid())
        throw EDBEngineError(engineErrorText(engineText(q.lastError()), table));
    return false;
}

// The row's values by field name, for the messages of a refused write.
QVariantMap named(const TableDef& table, const Row& values)
{
    QVariantMap m;
    for (size_t i = 0; i < table.fields.size() && i < values.size(); ++i)
        m.insert(table.fields[i].name, values[i]);
    return m;
}
} // namespace

QVariant bindable(FieldType type, const QVariant& v)
{
    if (!v.isValid())
        return {};
    if (type == FieldType::Date)
        return v.toDate().toString(Qt::ISODate);
    return v;
}

QString rowTitle(const TableDef& table, const Row& values)
{
    const QVariantMap v = named(table, values);
    auto text = [&](const char* field) { return v.value(QString::fromLatin1(field)).toString().trimmed(); };
    if (table.name == QLatin1String("Customer"))
        return QStringLiteral("the customer %1").arg(text("Cus_Name"));
    if (table.name == QLatin1String("Invoice"))
        return QStringLiteral("invoice %1").arg(text("Inv_Number"));
    if (table.name == QLatin1String("Product"))
        return QStringLiteral("the product %1 (%2)").arg(text("Prod_Description"), text("Prod_Code"));
    if (table.name == QLatin1String("Line"))
        return QStringLiteral("line %1 of invoice %2").arg(text("Line_Number"), text("Inv_Number"));
    if (table.name == QLatin1String("VAT"))
        return QStringLiteral("the VAT rate");
    return QStringLiteral("the company details");
}

QString orderByClause(const TableDef& table)
{
    return table.orderField.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                                      : QStringLiteral(" ORDER BY %1, rowid").arg(table.orderField);
}

QString identitiesSql(const TableDef& table, int linkIndex)
{
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(table.name);
    if (linkIndex >= 0)
        sql += QStringLiteral(" WHERE %1 = ?").arg(table.fields[size_t(linkIndex)].name);
    return sql + orderByClause(table);
}

QString rowsByIdentitySql(const TableDef& table, int count)
{
    QStringList cols;
    for (const FieldDef& f : table.fields)
        cols << f.name;
    return QStringLiteral("SELECT %1, rowid FROM %2 WHERE rowid IN (%3)")
        .arg(cols.join(QStringLiteral(", ")), table.name, marks(count));
}

qint64 insertRow(const TableDef& table, const Row& values)
{
    QStringList cols;
    QVariantList bound;
    for (size_t i = 0; i < table.fields.size(); ++i) {
        const FieldDef& f = table.fields[i];
        if (!values[i].isValid() || f.type == FieldType::AutoInc)
            continue;
        cols << f.name;
        bound << bindable(f.type, values[i]);
    }
    beforeWriting();
    QString sql = cols.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table.name)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table.name, cols.join(QStringLiteral(", ")), marks(int(cols.size())));
    // The server names the new row's identity itself; SQLite's driver knows the last one.
    const bool returning = openDialect() == SqlDialect::PostgreSQL;
    if (returning)
        sql += QStringLiteral(" RETURNING rowid");
    QSqlQuery q = prepareOrThrow(sql);
    for (const QVariant& v : bound)
        q.addBindValue(v);
    execOrThrow(q, table.name, named(table, values));
    if (returning) {
        if (!nextRow(q, table.name))
            throw EDBEngineError(engineErrorText(QStringLiteral("the new row has no identity"), table.name));
        return q.value(0).toLongLong();
    }
    return q.lastInsertId().toLongLong();
}

qint64 RowInserter::insert(const Row& values)
{
    quint64 present = 0;
    QStringList cols;
    for (size_t i = 0; i < m_table.fields.size() && i < 64; ++i)
        if (values[i].isValid() && m_table.fields[i].type != FieldType::AutoInc) {
            present |= quint64(1) << i;
            cols << m_table.fields[i].name;
        }
    if (cols.isEmpty() || m_table.fields.size() > 64)
        return insertRow(m_table, values);
    const bool returning = openDialect() == SqlDialect::PostgreSQL;
    auto it = m_statements.find(present);
    if (it == m_statements.end()) {
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(m_table.name, cols.join(QStringLiteral(", ")), marks(int(cols.size())));
        if (returning)
            sql += QStringLiteral(" RETURNING rowid");
        it = m_statements.insert(present, prepareOrThrow(sql));
    }
    QSqlQuery& q = *it;
    int at = 0;
    for (size_t i = 0; i < m_table.fields.size(); ++i)
        if (present & (quint64(1) << i))
            q.bindValue(at++, bindable(m_table.fields[i].type, values[i]));
    beforeWriting();
    execOrThrow(q, m_table.name, named(m_table, values));
    if (returning) {
        if (!nextRow(q, m_table.name))
            throw EDBEngineError(engineErrorText(QStringLiteral("the new row has no identity"), m_table.name));
        const qint64 id = q.value(0).toLongLong();
        q.finish();
        return id;
    }
    return q.lastInsertId().toLongLong();
}

void updateRow(const TableDef& table, qint64 id, const Row& values, const std::vector<bool>& changed, const Row& read)
{
    // Only the fields the user changed: a stored value nobody touched is never rewritten.
    QStringList sets;
    QVariantList bound;
    for (size_t i = 0; i < table.fields.size(); ++i) {
        const FieldDef& f = table.fields[i];
        if (!changed[i] || f.type == FieldType::AutoInc)
            continue;
        sets << QStringLiteral("%1 = ?").arg(f.name);
        bound << bindable(f.type, values[i]);
    }
    if (sets.isEmpty())
        return;
    // On a server, written only over the values the edit began from: a row another seat changed
    // or deleted in the meantime is left as that seat wrote it. Pictures are not compared (too
    // large to send back). A SQLite book is open in one program at a time, and may hold values
    // another program wrote that do not read back as stored (a fraction in a whole-number field):
    // there the row's identity alone says which row.
    const bool server = openDialect() == SqlDialect::PostgreSQL;
    QStringList where{QStringLiteral("rowid = ?")};
    QVariantList readBound;
    for (size_t i = 0; server && i < table.fields.size() && i < read.size(); ++i) {
        const FieldDef& f = table.fields[i];
        if (f.type == FieldType::Graphic)
            continue;
        where << QStringLiteral("%1 IS NOT DISTINCT FROM ?").arg(f.name);
        readBound << bindable(f.type, read[i]);
    }
    beforeWriting();
    QSqlQuery q = prepareOrThrow(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                     .arg(table.name, sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND "))));
    for (const QVariant& v : bound)
        q.addBindValue(v);
    q.addBindValue(id);
    for (const QVariant& v : readBound)
        q.addBindValue(v);
    execOrThrow(q, table.name, named(table, values));
    if (q.numRowsAffected() == 0) {
        QString title = rowTitle(table, read);
        title[0] = title[0].toUpper();
        throw EDBEngineError(QStringLiteral("%1 was changed or deleted by another user after you began to edit it, so your change "
                                            "was not saved. Cancel the edit to see it as it is now, then make your change again.")
                                 .arg(title));
    }
}

void lockRow(const TableDef& table, qint64 id)
{
    if (openDialect() != SqlDialect::PostgreSQL) {
        // SQLite locks the whole book for writing: a statement that writes nothing takes the lock
        // now, waiting for another program's write to end, before anything of the row is read.
        beforeWriting();
        QSqlQuery q = prepareOrThrow(QStringLiteral("UPDATE %1 SET rowid = rowid WHERE 0").arg(table.name));
        execOrThrow(q, table.name);
        return;
    }
    QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid FROM %1 WHERE rowid = ? FOR UPDATE").arg(table.name));
    q.setForwardOnly(true);
    q.addBindValue(id);
    execOrThrow(q, table.name);
}

void deleteRow(const TableDef& table, qint64 id)
{
    if (const DeleteRefusal* r = deleteRefusal(table)) {
        // Asked of every book: those made before the store refused such deletes itself have no
        // trigger to do it, and are not altered to get one.
        QStringList cols;
        for (const FieldDef& f : table.fields)
            cols << f.name;
        QSqlQuery used = prepareOrThrow(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ? AND EXISTS (SELECT 1 FROM %3 WHERE %3.%4 = %2.%5)")
                                            .arg(cols.join(QStringLiteral(", ")), table.name, r->byTable, r->byField, r->key));
        used.setForwardOnly(true);
        used.addBindValue(id);
        execOrThrow(used, table.name);
        if (nextRow(used, table.name)) {
            Row row;
            for (int i = 0; i < int(table.fields.size()); ++i)
                row.push_back(used.value(i));
            throw EDBEngineError(deleteRefusedText(table, named(table, row)));
        }
        used.finish();
    }
    beforeWriting();
    QSqlQuery q = prepareOrThrow(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table.name));
    q.addBindValue(id);
    execOrThrow(q, table.name);
}

qint64 findRow(const TableDef& table, const RowSearch& s)
{
    const FieldDef& field = table.fields[size_t(s.field)];
    const QString& col = field.name;
    const QString text = s.value.toString();
    const QString linkWhere = linkCondition(table, s.linkIndex);

    if (s.partial && s.noCase && field.type == FieldType::Text && col == table.orderField && isAscii(text)) {
        // The browse order compares names without regard to case: the first row at or after
        // the text is the first that can begin with it.
        QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3%1 >= ?%4 LIMIT 1")
                                         .arg(col, table.name, linkWhere, orderByClause(table)));
        q.setForwardOnly(true);
        bindLink(q, table, s.linkIndex, s.link);
        q.addBindValue(text);
        execOrThrow(q, table.name);
        if (nextRow(q, table.name) && q.value(1).toString().startsWith(text, Qt::CaseInsensitive))
            return q.value(0).toLongLong();
        return 0;
    }
    if (!s.partial && !s.noCase) {
        // Exact means exact: not through a column's collation that ignores case.
        // (PostgreSQL compares numbers and dates exactly anyway, and has no collation for them.)
        const bool pg = openDialect() == SqlDialect::PostgreSQL;
        const QString exact = !pg ? QStringLiteral(" COLLATE BINARY") : field.type == FieldType::Text ? QStringLiteral(" COLLATE \"C\"") : QString();
        QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid FROM %1 WHERE %2%3 = ?%4%5 LIMIT 1")
                                         .arg(table.name, linkWhere, col, exact, orderByClause(table)));
        q.setForwardOnly(true);
        bindLink(q, table, s.linkIndex, s.link);
        q.addBindValue(bindable(field.type, TField::normalise(field.type, s.value)));
        execOrThrow(q, table.name);
        return nextRow(q, table.name) ? q.value(0).toLongLong() : 0;
    }
    // Any other search compares the field's text row by row in browse order.
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(col, table.name);
    if (s.linkIndex >= 0)
        sql += QStringLiteral(" WHERE %1 = ?").arg(table.fields[size_t(s.linkIndex)].name);
    QSqlQuery q = prepareOrThrow(sql + orderByClause(table));
    q.setForwardOnly(true);
    bindLink(q, table, s.linkIndex, s.link);
    execOrThrow(q, table.name);
    const Qt::CaseSensitivity cs = s.noCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool date = field.type == FieldType::Date;
    const QString want = date && s.value.metaType().id() == QMetaType::QDate ? s.value.toDate().toString(Qt::ISODate) : text;
    while (nextRow(q, table.name)) {
        const QVariant v = TField::normalise(field.type, q.value(1));
        const QString have = date ? v.toDate().toString(Qt::ISODate) : v.toString();
        if (s.partial ? have.startsWith(want, cs) : have.compare(want, cs) == 0)
            return q.value(0).toLongLong();
    }
    return 0;
}

} // namespace zz
