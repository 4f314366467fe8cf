#pragma once
// A table cursor: an open, ordered view of one table with one current row, the modes browse,
// edit and insert, and optionally a master cursor it follows through a link field. This unit holds
// the cursor's rules; the rows of the view are kept by a RowStore (data/RowStore.h) and the
// statements it runs are written by data/TableSql.h.
#include <QFlags>
#include <memory>
#include <optional>
#include <vector>

#include "data/DataSet.h"
#include "data/Schema.h"

namespace zz {

class RowStore;
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
    // Inside a transaction: locks the current row against other seats' writes until the
    // transaction ends, and reads its values again, so that what is written next starts from the
    // row as it now stands (the invoice counter of the company row). A row being edited keeps the
    // values typed into it (the bound controls' text included) and takes the stored value of every
    // field not changed since the edit began: posted, it writes the typed changes over the row as
    // it now stands. A new row not yet written, or an empty view, has nothing stored to lock.
    void LockCurrentRow();
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
    // Which row of the master a detail view was read for: the master's row and its link value.
    struct MasterRow {
        qint64 row = -1;
        QVariant link;
        bool operator==(const MasterRow& o) const { return row == o.row && link == o.link && link.isValid() == o.link.isValid(); }
    };

    bool pending() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }
    bool isDetail() const { return m_master && m_linkIndex >= 0; }
    void checkActive() const;
    // The identity at a position of the view (0 for the pending new row or out of range).
    qint64 idAt(int position) const;
    // A stored value of the row at a position of the stored rows (the pending new row not counted).
    QVariant storedValue(int storedPosition, int index) const;
    // Re-reads the identities; keeps keepId current, else the row at fallback (clamped).
    void loadIds(qint64 keepId, int fallback);
    MasterRow masterRow() const;
    QVariant masterValue() const { return masterRow().link; }
    // Follows the master to its current row: only when that row is another than the one the view
    // was read for.
    void followMaster();
    // After the current row changed: details follow, controls are told.
    void moved();
    void setState(DataSetState s);
    void insertAt(int position);

    const TableDef* m_def;
    DataSetState m_state = DataSetState::Inactive;
    bool m_modified = false;
    TDataSource* m_master = nullptr;
    QString m_linkField;
    int m_linkIndex = -1;
    std::optional<MasterRow> m_followed; // the master's row the view was read for
    std::vector<TTable*> m_details;
    std::vector<TDataSource*> m_sources;

    std::unique_ptr<RowStore> m_rows; // the stored rows in browse order
    Row m_pending;                    // the row being edited or inserted
    Row m_editBase;                   // the stored values the pending edit began from
    int m_insertPos = -1;             // where the pending new row stands in the view
    bool m_rereadOnCancel = false;    // a refused edit: Cancel reads the rows again
};

} // namespace zz
