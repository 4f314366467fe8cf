#include "data/Table.h"

#include <QSqlQuery>

#include "data/DataSource.h"
#include "data/Engine.h"
#include "data/Errors.h"

namespace zz {

TTable::TTable(const QString& name, const QString& tableName, QObject* parent)
    : TDataSet(name, parent), m_def(&zz::tableDef(tableName))
{
    defineFields(m_def->fields);
}

void TTable::setMasterSource(TDataSource* master, const QString& field)
{
    m_master = master;
    m_linkField = field;
    m_linkIndex = m_def->fieldIndex(field);
    connect(master, &TDataSource::rowChanged, this, &TTable::followMaster);
}

void TTable::Open()
{
    if (Active())
        return;
    // The engine refuses a table the database does not have.
    if (!Engine::database().tables().contains(m_def->name, Qt::CaseInsensitive))
        throw EDBEngineError(QStringLiteral("Table does not exist: %1").arg(m_def->fileName));
    setActive(true);
    m_state = DataSetState::Browse;
    load(0);
    emit stateChanged();
}

void TTable::Close()
{
    if (!Active())
        return;
    setActive(false);
    m_state = DataSetState::Inactive;
    setRows({});
    emit stateChanged();
}

void TTable::Refresh() { load(currentRowId()); }

qint64 TTable::currentRowId() const
{
    if (RecNo() < 0)
        return 0;
    return rows()[size_t(RecNo())].back().toLongLong();
}

void TTable::followMaster()
{
    if (Active())
        load(0);
}

void TTable::load(qint64 keepRowId)
{
    QStringList cols;
    for (const FieldDef& f : m_def->fields)
        cols << f.name;
    QString sql = QStringLiteral("SELECT %1, rowid FROM %2").arg(cols.join(QStringLiteral(", ")), m_def->name);
    QVariant linkValue;
    const bool detail = m_master && m_master->DataSet() && m_linkIndex >= 0;
    if (detail) {
        TField* masterField = m_master->DataSet()->FindField(m_linkField);
        linkValue = masterField ? masterField->Value() : QVariant();
        sql += QStringLiteral(" WHERE %1 = ?").arg(m_linkField);
    }
    if (!m_def->orderField.isEmpty())
        sql += QStringLiteral(" ORDER BY %1, rowid").arg(m_def->orderField);
    else
        sql += QStringLiteral(" ORDER BY rowid");

    std::vector<Row> loaded;
    if (!detail || linkValue.isValid()) {
        QSqlQuery q = prepareOrThrow(sql);
        q.setForwardOnly(true);
        if (detail)
            q.addBindValue(linkValue);
        execOrThrow(q, m_def->name);
        const int n = int(m_def->fields.size());
        while (q.next()) {
            Row r(size_t(n + 1));
            for (int i = 0; i < n; ++i)
                r[size_t(i)] = TField::normalise(m_def->fields[size_t(i)].type, q.value(i));
            r[size_t(n)] = q.value(n);
            loaded.push_back(std::move(r));
        }
    }
    int keep = 0;
    if (keepRowId) {
        for (size_t i = 0; i < loaded.size(); ++i)
            if (loaded[i].back().toLongLong() == keepRowId)
                keep = int(i);
    }
    setRows(std::move(loaded));
    if (keep)
        MoveTo(keep);
}

} // namespace zz
