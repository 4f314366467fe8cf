#include "data/RowStore.h"

#include <algorithm>
#include <sqlite3.h>

#include "data/Errors.h"
#include "data/Field.h"
#include "data/HeldRows.h"
#include "data/TableSql.h"

namespace zz {

namespace {
constexpr int kMaxRun = 16;     // blocks read at once while reading on through the view
constexpr int kHeldLimit = 128; // blocks held before the held rows are dropped

bool g_directReading = true;
} // namespace

sqlite3* RowStore::directConnection() { return g_directReading ? Engine::sqliteHandle() : nullptr; }

RowStore::RowStore(const TableDef& table) : m_table(table) {}

RowStore::~RowStore() = default;

void RowStore::setDirectReading(bool enabled) { g_directReading = enabled; }

void RowStore::load(int linkIndex, const QVariant& link)
{
    m_ids.clear();
    dropBlocks();
    if (linkIndex >= 0 && !link.isValid()) {
        resizeBlocks(); // no link value: no row can hold it
        return;
    }
    const QString sql = identitiesSql(m_table, linkIndex);
    const QVariant bound = linkIndex >= 0 ? bindable(m_table.fields[size_t(linkIndex)].type, link) : QVariant();
    if (sqlite3* db = directConnection()) {
        sqlite3_stmt* st = m_idsStatement.prepare(db, sql.toUtf8(), m_table.name);
        const std::unique_ptr<sqlite3_stmt, SqliteStatementReset> resetAtEnd(st);
        if (linkIndex >= 0)
            sqliteBind(st, 1, bound);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            m_ids.push_back(sqlite3_column_int64(st, 0));
        if (rc != SQLITE_DONE) {
            m_ids.clear();
            resizeBlocks();
            throw EDBEngineError(engineErrorText(QString::fromUtf8(sqlite3_errmsg(db)), m_table.name));
        }
    } else {
        QSqlQuery q = prepareOrThrow(sql);
        q.setForwardOnly(true);
        if (linkIndex >= 0)
            q.addBindValue(bound);
        execOrThrow(q, m_table.name);
        while (q.next())
            m_ids.push_back(q.value(0).toLongLong());
    }
    resizeBlocks();
}

void RowStore::clear()
{
    m_ids.clear();
    dropBlocks();
    m_blocks.clear();
    m_pageQuery.reset();
    m_rowStatement.finalize();
    m_idsStatement.finalize();
}

void RowStore::resizeBlocks()
{
    m_blocks.resize(size_t((m_ids.size() + kBlock - 1) / kBlock));
    m_run = 1;
    m_nextBlock = m_priorBlock = -1;
}

qint64 RowStore::id(int position) const
{
    return position >= 0 && position < int(m_ids.size()) ? m_ids[size_t(position)] : 0;
}

int RowStore::position(qint64 id) const
{
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return it == m_ids.end() ? -1 : int(it - m_ids.begin());
}

QVariant RowStore::value(int position, int field) const
{
    if (position < 0 || position >= int(m_ids.size()))
        return {};
    const size_t b = size_t(position / kBlock);
    if (!m_blocks[b])
        fetchBlocks(int(b));
    return m_blocks[b]->value(size_t(position % kBlock) * m_table.fields.size() + size_t(field));
}

void RowStore::forget(int position)
{
    const size_t b = size_t(position / kBlock);
    if (position >= 0 && b < m_blocks.size() && m_blocks[b]) {
        m_blocks[b].reset();
        --m_heldBlocks;
    }
}

void RowStore::remove(int position)
{
    if (position < 0 || position >= int(m_ids.size()))
        return;
    m_ids.erase(m_ids.begin() + position);
    // The rows after it move up a place: the held blocks no longer match their positions.
    dropBlocks();
    resizeBlocks();
}

void RowStore::dropBlocks() const
{
    if (m_heldBlocks)
        for (auto& b : m_blocks)
            b.reset();
    m_heldBlocks = 0;
}

void RowStore::fetchBlocks(int block) const
{
    const int blocks = int(m_blocks.size());
    // Reading on in the same direction as the last fetch doubles the blocks read at once.
    int first = block, last = block;
    if (block == m_nextBlock) {
        m_run = std::min(m_run * 2, kMaxRun);
        last = std::min(blocks - 1, block + m_run - 1);
    } else if (block == m_priorBlock) {
        m_run = std::min(m_run * 2, kMaxRun);
        first = std::max(0, block - m_run + 1);
    } else {
        m_run = 1;
    }
    for (int b = block + 1; b <= last; ++b)
        if (m_blocks[size_t(b)]) {
            last = b - 1;
            break;
        }
    for (int b = block - 1; b >= first; --b)
        if (m_blocks[size_t(b)]) {
            first = b + 1;
            break;
        }
    if (m_heldBlocks + (last - first + 1) > kHeldLimit)
        dropBlocks();

    std::vector<std::unique_ptr<HeldBlock>> read;
    for (int b = first; b <= last; ++b) {
        read.push_back(std::make_unique<HeldBlock>());
        const int rows = std::min(int(m_ids.size()) - b * kBlock, kBlock);
        read.back()->cells.resize(size_t(rows) * m_table.fields.size());
    }
    if (sqlite3* db = directConnection())
        readRowsDirect(db, first, read);
    else
        readRowsThroughDriver(first, read);
    for (int b = first; b <= last; ++b)
        m_blocks[size_t(b)] = std::move(read[size_t(b - first)]);
    m_heldBlocks += last - first + 1;
    m_nextBlock = last + 1;
    m_priorBlock = first - 1;
}

void RowStore::readRowsDirect(sqlite3* db, int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const
{
    const int n = int(m_table.fields.size());
    if (m_rowSql.isEmpty())
        m_rowSql = rowsByIdentitySql(m_table, kBlock).toUtf8();
    sqlite3_stmt* raw = m_rowStatement.prepare(db, m_rowSql, m_table.name);
    // Reset whatever happens, so that the statement holds no read transaction between uses.
    const std::unique_ptr<sqlite3_stmt, SqliteStatementReset> resetAtEnd(raw);
    std::vector<FieldType> types;
    for (const FieldDef& f : m_table.fields)
        types.push_back(f.type);
    std::vector<std::pair<qint64, int>> where; // identity -> row of the block, sorted
    for (size_t k = 0; k < blocks.size(); ++k) {
        HeldBlock& block = *blocks[k];
        const int start = (firstBlock + int(k)) * kBlock;
        const int rows = int(block.cells.size()) / n;
        block.text.reserve(size_t(rows) * 64);
        sqlite3_reset(raw);
        where.clear();
        for (int i = 0; i < kBlock; ++i)
            sqlite3_bind_int64(raw, i + 1, m_ids[size_t(start + (i < rows ? i : 0))]);
        for (int i = 0; i < rows; ++i)
            where.emplace_back(m_ids[size_t(start + i)], i);
        std::sort(where.begin(), where.end());
        // The rows come in the engine's order of identities.
        auto next = where.begin();
        int rc;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(raw, n);
            if (next == where.end() || next->first != id)
                next = std::lower_bound(where.begin(), where.end(), std::make_pair(id, 0));
            if (next == where.end() || next->first != id)
                continue;
            HeldCell* row = block.cells.data() + size_t(next->second) * size_t(n);
            for (int i = 0; i < n; ++i)
                block.take(row[i], types[size_t(i)], sqlite3_column_value(raw, i));
            ++next;
        }
        if (rc != SQLITE_DONE)
            throw EDBEngineError(engineErrorText(QString::fromUtf8(sqlite3_errmsg(db)), m_table.name));
    }
}

void RowStore::readRowsThroughDriver(int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const
{
    const int n = int(m_table.fields.size());
    if (!m_pageQuery) {
        m_pageQuery = std::make_unique<QSqlQuery>(prepareOrThrow(rowsByIdentitySql(m_table, kBlock)));
        m_pageQuery->setForwardOnly(true);
    }
    QSqlQuery& q = *m_pageQuery;
    std::vector<std::pair<qint64, int>> where; // identity -> row of the block, sorted
    for (size_t k = 0; k < blocks.size(); ++k) {
        HeldBlock& block = *blocks[k];
        const int start = (firstBlock + int(k)) * kBlock;
        const int rows = int(block.cells.size()) / n;
        where.clear();
        for (int i = 0; i < kBlock; ++i)
            q.bindValue(i, m_ids[size_t(start + (i < rows ? i : 0))]);
        for (int i = 0; i < rows; ++i)
            where.emplace_back(m_ids[size_t(start + i)], i);
        std::sort(where.begin(), where.end());
        execOrThrow(q, m_table.name);
        while (q.next()) {
            const qint64 id = q.value(n).toLongLong();
            const auto it = std::lower_bound(where.begin(), where.end(), std::make_pair(id, 0));
            if (it == where.end() || it->first != id)
                continue;
            HeldCell* row = block.cells.data() + size_t(it->second) * size_t(n);
            for (int i = 0; i < n; ++i)
                block.hold(row[i], TField::normalise(m_table.fields[size_t(i)].type, q.value(i)));
        }
        q.finish();
    }
}

} // namespace zz
