#include "data/Query.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlField>
#include <QSqlRecord>
#include <sqlite3.h>

#include "data/Errors.h"
#include "data/HeldRows.h"
#include "data/QueryRows.h"
#include "data/RowStore.h"

namespace zz {

namespace {
// The open queries whose results are not yet read to their end.
std::vector<TQuery*>& reading()
{
    static std::vector<TQuery*> open;
    return open;
}

constexpr int kMaxRun = 4096; // rows read at once while reading on through a result

// The type of a column no result field declares: what its first value holds, else what the
// column is declared as in its table, else text.
FieldType undeclaredType(sqlite3_stmt* st, int column, bool onRow)
{
    if (onRow) {
        switch (sqlite3_column_type(st, column)) {
        case SQLITE_INTEGER: return FieldType::Integer;
        case SQLITE_FLOAT: return FieldType::Float;
        case SQLITE_TEXT: return FieldType::Text;
        default: break;
        }
    }
    const QString declared = QString::fromUtf8(sqlite3_column_decltype(st, column)).toUpper();
    if (declared.contains(QLatin1String("INT")))
        return FieldType::Integer;
    if (declared.contains(QLatin1String("REAL")) || declared.contains(QLatin1String("FLOA")) || declared.contains(QLatin1String("DOUB")))
        return FieldType::Float;
    return FieldType::Text;
}

bool sqliteDriver() { return Engine::database().driverName() == QLatin1String("QSQLITE"); }

QVariant boundValue(const TParam& p)
{
    // Dates are stored as 'YYYY-MM-DD'.
    if (p.type == ParamType::Date && p.value.isValid())
        return p.value.toDate().toString(Qt::ISODate);
    return p.value;
}
} // namespace

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
    setBeforeWriting(&TQuery::readOpenResultsToEnd);
}

TQuery::~TQuery()
{
    std::erase(reading(), this);
    m_rows.reset();
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
    for (size_t i = 0; i < m_params.size(); ++i)
        q.bindValue(int(i), boundValue(m_params[i]));
}

void TQuery::bindParams(sqlite3_stmt* st) const
{
    sqlite3_clear_bindings(st);
    // By position; a name the text repeats is one parameter to the engine, bound by its name.
    const bool byPosition = sqlite3_bind_parameter_count(st) == int(m_params.size());
    for (size_t i = 0; i < m_params.size(); ++i) {
        const int at = byPosition ? int(i) + 1
                                  : sqlite3_bind_parameter_index(st, (QLatin1Char(':') + m_params[i].name).toUtf8().constData());
        if (at > 0)
            sqliteBind(st, at, boundValue(m_params[i]));
    }
}

std::vector<int> TQuery::fieldColumns(const QStringList& columnNames) const
{
    std::vector<int> column;
    for (const auto& f : Fields()) {
        int at = -1;
        for (int c = 0; c < columnNames.size() && at < 0; ++c)
            if (columnNames[c].compare(f->FieldName(), Qt::CaseInsensitive) == 0)
                at = c;
        column.push_back(at);
    }
    return column;
}

void TQuery::openDirect(sqlite3* db)
{
    sqlite3_stmt* st = m_statement.prepare(db, engineSql().toUtf8());
    sqlite3_reset(st);
    bindParams(st);
    QStringList names;
    for (int c = 0; c < sqlite3_column_count(st); ++c)
        names << QString::fromUtf8(sqlite3_column_name(st, c));

    bool onRow = false, empty = false;
    if (m_declared.empty()) {
        // Undeclared result: one field per column, typed by the first row.
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            const QString message = engineErrorText(QString::fromUtf8(sqlite3_errmsg(db)), QString());
            sqlite3_reset(st);
            throw EDBEngineError(message);
        }
        onRow = rc == SQLITE_ROW;
        empty = !onRow;
        std::vector<FieldDef> defs;
        for (int c = 0; c < names.size(); ++c) {
            FieldDef d;
            d.name = names[c];
            d.type = undeclaredType(st, c, onRow);
            defs.push_back(d);
        }
        defineFields(defs);
        if (empty)
            sqlite3_reset(st);
    }
    std::vector<FieldType> types;
    for (const auto& f : Fields())
        types.push_back(f->DataType());
    auto rows = std::make_unique<QueryRows>(std::move(types), fieldColumns(names));
    if (!empty)
        rows->readFrom(db, m_statement, onRow);
    // The first rows at once: whether the result is empty is known as soon as it opens.
    rows->fetch(kBlock);
    m_rows = std::move(rows);
}

void TQuery::openThroughDriver()
{
    QSqlQuery q = prepareOrThrow(sqliteDriver() ? engineSql() : sqlText());
    q.setForwardOnly(true);
    bindParams(q);
    execOrThrow(q);
    const QSqlRecord rec = q.record();
    QStringList names;
    for (int c = 0; c < rec.count(); ++c)
        names << rec.fieldName(c);
    std::vector<std::vector<QVariant>> undeclaredRows;
    if (m_declared.empty()) {
        // Undeclared result: one field per column, typed by its first value.
        std::vector<FieldDef> defs(size_t(rec.count()));
        std::vector<bool> typed(defs.size(), false);
        while (q.next()) {
            std::vector<QVariant> row(defs.size());
            for (size_t c = 0; c < defs.size(); ++c) {
                row[c] = q.value(int(c));
                if (typed[c] || row[c].isNull())
                    continue;
                const int t = row[c].metaType().id();
                defs[c].type = t == QMetaType::Double ? FieldType::Float
                    : t == QMetaType::Int || t == QMetaType::LongLong ? FieldType::Integer
                                                                      : FieldType::Text;
                typed[c] = true;
            }
            undeclaredRows.push_back(std::move(row));
        }
        for (size_t c = 0; c < defs.size(); ++c)
            defs[c].name = names[int(c)];
        defineFields(defs);
    }
    std::vector<FieldType> types;
    for (const auto& f : Fields())
        types.push_back(f->DataType());
    auto rows = std::make_unique<QueryRows>(std::move(types), fieldColumns(names));
    if (m_declared.empty()) {
        for (const auto& row : undeclaredRows)
            rows->append(row);
    } else {
        rows->holdAll(q);
    }
    m_rows = std::move(rows);
}

void TQuery::Open()
{
    if (Active())
        return;
    if (sqlite3* db = RowStore::directConnection())
        openDirect(db);
    else
        openThroughDriver();
    m_run = 0;
    if (!m_rows->complete())
        reading().push_back(this);
    setActive(true);
    const bool empty = m_rows->size() == 0;
    setCursor(empty ? -1 : 0, true, empty);
    emit dataReset();
    emit rowChanged();
    emit stateChanged();
}

void TQuery::Close()
{
    if (!Active())
        return;
    std::erase(reading(), this);
    m_rows.reset(); // reading stops
    setActive(false);
    setCursor(-1, true, true);
    emit dataReset();
    emit rowChanged();
    emit stateChanged();
}

bool TQuery::fetchRows(int rows) const
{
    if (!m_rows || m_rows->complete())
        return false;
    const int before = m_rows->size();
    auto told = [&] {
        if (m_rows->complete())
            std::erase(reading(), const_cast<TQuery*>(this));
        if (m_rows->size() == before)
            return false;
        emit const_cast<TQuery*>(this)->rowsFetched();
        return true;
    };
    try {
        if (rows < 0)
            m_rows->fetchAll();
        else
            m_rows->fetch(rows);
    } catch (...) {
        told();
        throw;
    }
    return told();
}

void TQuery::readOpenResultsToEnd()
{
    const std::vector<TQuery*> open = reading();
    for (TQuery* q : open)
        q->fetchRows(-1);
}

int TQuery::RecordCount() const
{
    fetchRows(-1);
    return FetchedCount();
}

int TQuery::FetchedCount() const { return m_rows ? m_rows->size() : 0; }

bool TQuery::FetchMore()
{
    // Reading on through the result reads ever more rows at a time.
    m_run = m_run == 0 ? kBlock : std::min(m_run * 2, kMaxRun);
    return fetchRows(m_run);
}

bool TQuery::AllFetched() const { return !m_rows || m_rows->complete(); }

QVariant TQuery::rowValue(int position, int index) const
{
    if (!m_rows || position < 0)
        return {};
    if (position >= m_rows->size())
        fetchRows(position - m_rows->size() + 1);
    return m_rows->value(position, index);
}

void TQuery::ExecSQL()
{
    beforeWriting();
    if (sqlite3* db = RowStore::directConnection()) {
        sqlite3_stmt* st = m_statement.prepare(db, engineSql().toUtf8());
        const std::unique_ptr<sqlite3_stmt, SqliteStatementReset> resetAtEnd(st);
        sqlite3_reset(st);
        bindParams(st);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            throw EDBEngineError(engineErrorText(QString::fromUtf8(sqlite3_errmsg(db)), QString()));
        return;
    }
    QSqlQuery q = prepareOrThrow(sqliteDriver() ? engineSql() : sqlText());
    bindParams(q);
    execOrThrow(q);
}

} // namespace zz
