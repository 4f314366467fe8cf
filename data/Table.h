#pragma once
// A table cursor: an open, ordered view of one table with one current row, optionally following
// a master cursor through a link field.
#include "data/DataSet.h"
#include "data/Schema.h"

namespace zz {

class TDataSource;

enum class DataSetState { Inactive, Browse, Edit, Insert };

class TTable : public TDataSet {
    Q_OBJECT
public:
    // tableName is the file name the cursor opens under the alias ("Customer.DB").
    TTable(const QString& name, const QString& tableName, QObject* parent = nullptr);

    const TableDef& tableDef() const { return *m_def; }
    DataSetState State() const { return m_state; }

    // A detail cursor shows only the rows whose field equals the master's current value of it.
    void setMasterSource(TDataSource* master, const QString& field);
    TDataSource* MasterSource() const { return m_master; }

    // Opens the table; throws EDBEngineError if it is missing.
    void Open();
    void Close();
    // Re-reads the rows from the engine, keeping the current row where it still exists.
    void Refresh();

    // The engine's identity of the current row (0 when none).
    qint64 currentRowId() const;

private:
    void load(qint64 keepRowId);
    void followMaster();

    const TableDef* m_def;
    DataSetState m_state = DataSetState::Inactive;
    TDataSource* m_master = nullptr;
    QString m_linkField;
    int m_linkIndex = -1;
};

} // namespace zz
