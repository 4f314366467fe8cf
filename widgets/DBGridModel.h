#pragma once
// The data grid's columns and its model, which serves a cursor's rows to the grid's view.
#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>

#include "data/DataSource.h"

namespace zz {

struct TColumn {
    QString field;
    QString title;
    int width = 64;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor color; // cell background; invalid for the grid's own
};

// Serves the cursor's rows on demand (only the visible rows are ever read; a named query's result
// is read as far as the grid is scrolled).
class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDBGridModel(QObject* parent = nullptr);
    void setDataSource(TDataSource* source);
    TDataSource* dataSource() const { return m_source; }
    void setColumns(const QList<TColumn>& columns);
    const QList<TColumn>& columns() const { return m_columns; }
    void setEditable(bool editable) { m_editable = editable; }
    TField* columnField(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A result read on demand shows the rows read so far; scrolling to its end reads more.
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    void reset();
    // Rows read since the last count follow at the end.
    void rowsFetched();
    void rowValuesChanged(int row);

private:
    QPointer<TDataSource> m_source;
    QList<TColumn> m_columns;
    bool m_editable = false;
    int m_rows = 0;
};

} // namespace zz
