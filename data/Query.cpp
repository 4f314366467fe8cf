#include "data/Query.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlField>
#include <QSqlRecord>

#include "data/Engine.h"
#include "data/Errors.h"

namespace zz {

TQuery::TQuery(const QString& name, const QStringList& sqlLines, std::vector<FieldDef> resultFields, QObject* parent)
    : TDataSet(name, parent), m_sql(sqlLines), m_declared(std::move(resultFields))
{
    // Parameters are the ":name" markers in order of appearance (quoted text holds none here).
    static const QRegularExpression marker(QStringLiteral(":([A-Za-z_][A-Za-z0-9_]*)"));
    auto it = marker.globalMatch(sqlText());
    while (it.hasNext())
        m_params.push_back(TParam{it.next().captured(1), ParamType::Integer, QVariant()});
    if (!m_declared.empty())
        defineFields(m_declared);
}

TParam& TQuery::Params(int n)
{
    if (n < 0 || n >= int(m_params.size()))
        throw EDatabaseError(QStringLiteral("%1: parameter index %2 out of range").arg(Name()).arg(n));
    return m_params[size_t(n)];
}

TParam& TQuery::ParamByName(const QString& name)
{
    for (TParam& p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p;
    throw EDatabaseError(QStringLiteral("%1: Parameter '%2' not found").arg(Name(), name));
}

void TQuery::bindParams(QSqlQuery& q) const
{
    for (size_t i = 0; i < m_params.size(); ++i) {
        const TParam& p = m_params[i];
        QVariant v = p.value;
        if (p.type == ParamType::Date && v.isValid())
            v = v.toDate().toString(Qt::ISODate); // dates are stored as 'YYYY-MM-DD'
        q.bindValue(int(i), v);
    }
}

void TQuery::Open()
{
    if (Active())
        return;
    QSqlQuery q = prepareOrThrow(sqlText());
    q.setForwardOnly(true);
    bindParams(q);
    execOrThrow(q);

    const QSqlRecord rec = q.record();
    if (m_declared.empty()) {
        // Undeclared result: one field per column, typed by what the values hold.
        std::vector<FieldDef> defs;
        for (int c = 0; c < rec.count(); ++c) {
            FieldDef d;
            d.name = rec.fieldName(c);
            d.type = FieldType::Text; // until a value tells otherwise
            defs.push_back(d);
        }
        defineFields(defs);
    }
    // Where each field's value sits in the statement's columns.
    std::vector<int> column;
    for (const auto& f : Fields())
        column.push_back(rec.indexOf(f->FieldName()));

    std::vector<Row> rows;
    std::vector<bool> typedByValue(Fields().size(), m_declared.empty());
    while (q.next()) {
        Row r(Fields().size());
        for (size_t i = 0; i < r.size(); ++i) {
            if (column[i] < 0)
                continue;
            const QVariant v = q.value(column[i]);
            if (v.isNull())
                continue;
            if (typedByValue[i]) {
                // An undeclared column takes its type from its first value.
                const int t = v.metaType().id();
                if (t == QMetaType::Double)
                    Fields()[i]->setDataType(FieldType::Float);
                else if (t == QMetaType::Int || t == QMetaType::LongLong)
                    Fields()[i]->setDataType(FieldType::Integer);
                typedByValue[i] = false;
            }
            r[i] = TField::normalise(Fields()[i]->DataType(), v);
        }
        rows.push_back(std::move(r));
    }
    // A row that cannot be read ends the walk early: that is an error, not the end of the rows.
    if (q.lastError().isValid())
        throw EDBEngineError(engineErrorText(engineText(q.lastError()), QString()));
    setActive(true);
    setRows(std::move(rows));
    emit stateChanged();
}

void TQuery::Close()
{
    if (!Active())
        return;
    setActive(false);
    setRows({});
    emit stateChanged();
}

void TQuery::ExecSQL()
{
    QSqlQuery q = prepareOrThrow(sqlText());
    bindParams(q);
    execOrThrow(q);
}

} // namespace zz
