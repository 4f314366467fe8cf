#include "data/QueryRows.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Field.h"

namespace zz {

QueryRows::QueryRows(std::vector<FieldType> types, std::vector<int> columns)
    : m_types(std::move(types)), m_columns(std::move(columns))
{
}

QueryRows::~QueryRows() { stop(); }

void QueryRows::readFrom(sqlite3* db, KeptStatement& statement, bool onRow)
{
    m_db = db;
    m_statement = &statement;
    m_onRow = onRow;
    m_complete = false;
}

HeldCell* QueryRows::appendRow(HeldBlock*& block)
{
    const size_t n = m_types.size();
    if (m_count % kBlock == 0) {
        m_blocks.push_back(std::make_unique<HeldBlock>());
        m_blocks.back()->cells.reserve(size_t(kBlock) * n);
    }
    block = m_blocks.back().get();
    block->cells.resize(block->cells.size() + n);
    ++m_count;
    return block->cells.data() + block->cells.size() - n;
}

int QueryRows::fetch(int rows)
{
    // A statement finalized under the result (its connection closed) has nothing more to give.
    sqlite3_stmt* st = m_complete || !m_statement ? nullptr : m_statement->get();
    if (!st) {
        m_complete = true;
        return 0;
    }
    int read = 0;
    while (read < rows) {
        if (!m_onRow) {
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) {
                stop();
                break;
            }
            if (rc != SQLITE_ROW) {
                const QString message = engineErrorText(QString::fromUtf8(sqlite3_errmsg(m_db)), QString());
                stop();
                throw EDBEngineError(message);
            }
        }
        m_onRow = false;
        HeldBlock* block = nullptr;
        HeldCell* row = appendRow(block);
        for (size_t i = 0; i < m_types.size(); ++i)
            if (m_columns[i] >= 0)
                block->take(row[i], m_types[i], sqlite3_column_value(st, m_columns[i]));
        ++read;
    }
    return read;
}

void QueryRows::fetchAll()
{
    while (!m_complete)
        fetch(4096);
}

void QueryRows::holdAll(QSqlQuery& query)
{
    std::vector<QVariant> columns(size_t(query.record().count()));
    while (query.next()) {
        for (size_t c = 0; c < columns.size(); ++c)
            columns[c] = query.value(int(c));
        append(columns);
    }
    m_complete = true;
}

void QueryRows::append(const std::vector<QVariant>& columns)
{
    HeldBlock* block = nullptr;
    HeldCell* row = appendRow(block);
    for (size_t i = 0; i < m_types.size(); ++i)
        if (m_columns[i] >= 0 && size_t(m_columns[i]) < columns.size())
            block->hold(row[i], TField::normalise(m_types[i], columns[size_t(m_columns[i])]));
}

QVariant QueryRows::value(int row, int field) const
{
    if (row < 0 || row >= m_count || field < 0 || field >= int(m_types.size()))
        return {};
    return m_blocks[size_t(row / kBlock)]->value(size_t(row % kBlock) * m_types.size() + size_t(field));
}

void QueryRows::stop()
{
    if (!m_complete && m_statement)
        if (sqlite3_stmt* st = m_statement->get())
            sqlite3_reset(st);
    m_complete = true;
    m_onRow = false;
}

} // namespace zz
