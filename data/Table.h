#pragma once
// A table cursor: an open, ordered view of one table with one current row, the modes browse,
// edit and insert, and optionally a master cursor it follows through a link field.
//
// The view holds only the engine's row identities in browse order; the rows themselves are
// fetched in blocks when a control or the program reads them, so that a large table opens at once.
// Reading on through the view fetches ever more blocks at a time.
#include <QByteArray>
#include <QFlags>
#include <QSqlQuery>
#include <memory>
#include <vector>

#include "data/DataSet.h"
#include "data/Engine.h"
#include "data/Schema.h"

namespace zz {

struct HeldBlock;

class TDataSource;

enum class DataSetState { Inactive, Browse, Edit, Insert };

enum class LocateOption { CaseInsensitive = 0x1, PartialKey = 0x2 };
Q_DECLARE_FLAGS(LocateOptions, LocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(LocateOptions)

class TTable : public TDataSet {
    Q_OBJECT
public:
    // tableName is the file name the cursor opens under the alias ("Customer.DB").
    TTable(const QString& name, const QString& tableName, QObject* parent = nullptr);
    ~TTable() override;

    const TableDef& tableDef() const { return *m_def; }
    DataSetState State() const { return m_state; }
    // Set by the first change of a field value in edit or insert mode.
    bool Modified() const { return m_modified; }

    // A detail cursor shows only the rows whose field equals the master's current value of it.
    void setMasterSource(TDataSource* master, const QString& field);
    TDataSource* MasterSource() const { return m_master; }

    // Opens the table; throws EDBEngineError if it is missing.
    void Open();
    void Close();

    // Leaves edit or insert mode: takes the values from the bound controls, then posts if the row
    // was modified and cancels if not. Detail cursors leave theirs first. Nothing in browse mode.
    void CheckBrowseMode();
    // Places a blank row before the current one (Append: after the last) and enters insert mode.
    void Insert();
    void Append();
    // Puts the current row into edit mode; on an empty view inserts instead.
    void Edit();
    // Writes the pending row; throws "Field 'X' must have a value" or the engine's error.
    void Post();
    // Drops the pending change.
    void Cancel();
    // Deletes the current row (cancels a pending new row instead).
    void Delete();
    // Re-reads the rows from the engine, keeping the current row where it still exists.
    void Refresh();
    // Makes the first row in browse order that matches current; false (and no move) without one.
    bool Locate(const QString& fieldName, const QVariant& value, LocateOptions options = {});
    // Asks the bound controls to write their typed text into the pending row.
    void UpdateRecord();

    int RecordCount() const override;
    void First() override;
    void Next() override;
    void Prior() override;
    void Last() override;
    void MoveTo(int position) override;
    QVariant fieldValue(int index) const override;
    void setFieldValue(int index, const QVariant& value) override;
    QVariant rowValue(int position, int index) const override;

    // The engine's identity of the current row (0 when none or when it is a new row).
    qint64 currentRowId() const;

    // Registered by the data sources over this cursor.
    void addSource(TDataSource* source);
    void removeSource(TDataSource* source);

    // Whether cursors on a SQLite database read rows straight from its connection (the default)
    // rather than through the driver's statements; both give the same values.
    static void setDirectReading(bool enabled);

private:
    bool pending() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }
    void checkActive() const;
    // The identity at a position of the view (0 for the pending new row or out of range).
    qint64 idAt(int position) const;
    // A stored value of the row at a position of the identities, read from the engine with the
    // rows around it when not yet held; invalid when out of range.
    QVariant storedValue(int idIndex, int index) const;
    void fetchBlocks(int block) const;
    // Reads the rows of consecutive blocks, the first of them numbered firstBlock.
    void readRowsDirect(sqlite3* db, int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const;
    void readRowsThroughDriver(int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const;
    // Forgets the held rows (all, or the block holding one position).
    void dropBlocks() const;
    void dropBlockOf(int idIndex);
    // Re-reads the identities; keeps keepId current, else the row at fallback (clamped).
    void loadIds(qint64 keepId, int fallback);
    QVariant masterValue() const;
    void followMaster();
    // After the current row changed: details follow, controls are told.
    void moved();
    void setState(DataSetState s);
    void insertAt(int position);
    QString orderBy() const;

    const TableDef* m_def;
    DataSetState m_state = DataSetState::Inactive;
    bool m_modified = false;
    TDataSource* m_master = nullptr;
    QString m_linkField;
    int m_linkIndex = -1;
    std::vector<TTable*> m_details;
    std::vector<TDataSource*> m_sources;

    std::vector<qint64> m_ids;   // browse order
    Row m_pending;               // the row being edited or inserted
    int m_insertPos = -1;        // where the pending new row stands in the view
    // Held rows by block of positions; null while not held.
    mutable std::vector<std::unique_ptr<HeldBlock>> m_blocks;
    mutable int m_heldBlocks = 0;
    mutable int m_run = 1;          // blocks read by the last fetch
    mutable int m_nextBlock = -1;   // the block after the last fetch (reading forwards)
    mutable int m_priorBlock = -1;  // the block before it (reading backwards)
    mutable QByteArray m_rowSql;
    mutable KeptStatement m_rowStatement;
    KeptStatement m_idsStatement;
    mutable std::unique_ptr<QSqlQuery> m_pageQuery;
};

} // namespace zz
