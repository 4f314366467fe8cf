#pragma once
// The rows of an open named query: its result as the engine gives it, read on demand from the
// first row on and held from then on, so that a large result opens at once and is read only as
// far as it is looked at. Rows are read straight from the SQLite connection (the statement stays
// on its place in the result between reads) or, through the driver, all at once.
#include <QVariant>
#include <memory>
#include <vector>

#include "data/HeldRows.h"

class QSqlQuery;
struct sqlite3;

namespace zz {

class KeptStatement;

class QueryRows {
public:
    // The type of each field and the statement's column that holds it (-1: none, the field stays
    // empty).
    QueryRows(std::vector<FieldType> types, std::vector<int> columns);
    ~QueryRows();
    QueryRows(const QueryRows&) = delete;
    QueryRows& operator=(const QueryRows&) = delete;

    // Reads on demand from a statement of db that was run and stands before its first row, or on
    // it when onRow. The statement stays the caller's; it is reset when the result has been read
    // to its end or reading stops.
    void readFrom(sqlite3* db, KeptStatement& statement, bool onRow);
    // Holds every row of a driver's query at once.
    void holdAll(QSqlQuery& query);
    // Holds one more row, its values in the statement's column order.
    void append(const std::vector<QVariant>& columns);

    // The rows held so far.
    int size() const { return m_count; }
    // Whether the result has been read to its end.
    bool complete() const { return m_complete; }
    // Reads up to `rows` more rows; returns how many were read. Throws EDBEngineError (reading
    // then stops, with the rows read before).
    int fetch(int rows);
    void fetchAll();
    // A held value; invalid out of range.
    QVariant value(int row, int field) const;
    // Ends reading: the statement is reset and nothing more is read.
    void stop();

private:
    // The cells of a new row at the end.
    HeldCell* appendRow(HeldBlock*& block);

    std::vector<FieldType> m_types;
    std::vector<int> m_columns;
    std::vector<std::unique_ptr<HeldBlock>> m_blocks;
    int m_count = 0;
    bool m_complete = true;
    bool m_onRow = false;
    sqlite3* m_db = nullptr;
    KeptStatement* m_statement = nullptr;
};

} // namespace zz
