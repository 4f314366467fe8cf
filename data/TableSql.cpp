#include "data/TableSql.h"

#include <QSqlQuery>
#include <QStringList>

#include "data/Engine.h"
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
    const QString sql = cols.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table.name)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table.name, cols.join(QStringLiteral(", ")), marks(int(cols.size())));
    QSqlQuery q = prepareOrThrow(sql);
    for (const QVariant& v : bound)
        q.addBindValue(v);
    execOrThrow(q, table.name, named(table, values));
    return q.lastInsertId().toLongLong();
}

void updateRow(const TableDef& table, qint64 id, const Row& values, const std::vector<bool>& changed)
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
    beforeWriting();
    QSqlQuery q = prepareOrThrow(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(table.name, sets.join(QStringLiteral(", "))));
    for (const QVariant& v : bound)
        q.addBindValue(v);
    q.addBindValue(id);
    execOrThrow(q, table.name, named(table, values));
}

void deleteRow(const TableDef& table, qint64 id)
{
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
        if (q.next() && q.value(1).toString().startsWith(text, Qt::CaseInsensitive))
            return q.value(0).toLongLong();
        return 0;
    }
    if (!s.partial && !s.noCase) {
        // Exact means exact: not through a column's collation that ignores case.
        QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid FROM %1 WHERE %2%3 = ? COLLATE BINARY%4 LIMIT 1")
                                         .arg(table.name, linkWhere, col, orderByClause(table)));
        q.setForwardOnly(true);
        bindLink(q, table, s.linkIndex, s.link);
        q.addBindValue(bindable(field.type, TField::normalise(field.type, s.value)));
        execOrThrow(q, table.name);
        return q.next() ? q.value(0).toLongLong() : 0;
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
    while (q.next()) {
        const QVariant v = TField::normalise(field.type, q.value(1));
        const QString have = date ? v.toDate().toString(Qt::ISODate) : v.toString();
        if (s.partial ? have.startsWith(want, cs) : have.compare(want, cs) == 0)
            return q.value(0).toLongLong();
    }
    return 0;
}

} // namespace zz
