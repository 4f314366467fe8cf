#pragma once
// The rows of a table cursor's view: the engine's row identities in browse order, and the rows
// themselves, held in blocks of consecutive positions and read from the engine when first needed,
// so that a large table opens at once. Reading on through the view in one direction reads ever
// more blocks at a time. Rows are read straight from the SQLite connection when the driver runs on
// the same SQLite library (the default), else through the driver's statements; both give the same
// values.
#include <QByteArray>
#include <QSqlQuery>
#include <QVariant>
#include <memory>
#include <vector>

#include "data/Engine.h"
#include "data/Schema.h"

struct sqlite3;

namespace zz {

struct HeldBlock;

class RowStore {
public:
    explicit RowStore(const TableDef& table);
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    // Reads the identities of the view in browse order; a detail view (linkIndex >= 0) holds only
    // the rows whose link field equals `link`, none for a null link. Held rows are forgotten.
    // Throws EDBEngineError.
    void load(int linkIndex = -1, const QVariant& link = QVariant());
    // Forgets identities and rows and finalizes the statements (the cursor closes).
    void clear();

    int size() const { return int(m_ids.size()); }
    bool empty() const { return m_ids.empty(); }
    // The identity at a position; 0 out of range.
    qint64 id(int position) const;
    // The position of an identity; -1 when the view does not hold it.
    int position(qint64 id) const;
    // A stored value of the row at a position, read from the engine with the rows around it when
    // not yet held; invalid out of range.
    QVariant value(int position, int field) const;
    // The row at a position was rewritten: its values are read again when next needed.
    void forget(int position);
    // The row at a position was deleted: it leaves the view.
    void remove(int position);

    static void setDirectReading(bool enabled);
    // The connection that cursors read rows from directly; nullptr when they read through the
    // driver (switched off, or not the same SQLite library).
    static sqlite3* directConnection();

private:
    void fetchBlocks(int block) const;
    // Reads the rows of consecutive blocks, the first of them numbered firstBlock.
    void readRowsDirect(sqlite3* db, int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const;
    void readRowsThroughDriver(int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const;
    void dropBlocks() const;
    void resizeBlocks();

    const TableDef& m_table;
    std::vector<qint64> m_ids; // browse order
    // Held rows by block of positions; null while not held.
    mutable std::vector<std::unique_ptr<HeldBlock>> m_blocks;
    mutable int m_heldBlocks = 0;
    mutable int m_run = 1;         // blocks read by the last fetch
    mutable int m_nextBlock = -1;  // the block after the last fetch (reading forwards)
    mutable int m_priorBlock = -1; // the block before it (reading backwards)
    mutable QByteArray m_rowSql;
    mutable KeptStatement m_rowStatement;
    KeptStatement m_idsStatement;
    mutable std::unique_ptr<QSqlQuery> m_pageQuery;
};

} // namespace zz
