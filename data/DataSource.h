#pragma once
// A data source connects one cursor to any number of data-bound controls and detail cursors.
// Controls connect to its signals to follow the cursor, and register a data link through which
// the cursor asks them for their typed values, moves the focus to a field's control and scrolls
// grids.
#include <QObject>
#include <QPointer>
#include <vector>

#include "data/DataSet.h"

namespace zz {

class TField;

// What a cursor asks of the controls bound to it. Calls run directly (not through the event
// loop), so an error raised here reaches the operation that asked.
class TDataLink {
public:
    virtual ~TDataLink() = default;
    // Write the typed, not yet written text into the field (may throw a conversion error).
    virtual void updateRecord() {}
    // Take the focus if this control shows the field; true when it did.
    virtual bool focusField(TField* field) { return false; }
    // Grids: show the current row in the middle of the visible rows.
    virtual void scrollCurrentToMiddle() {}
};

class TDataSource : public QObject {
    Q_OBJECT
public:
    TDataSource(const QString& name, TDataSet* dataSet, QObject* parent = nullptr);
    ~TDataSource() override;
    TDataSet* DataSet() const { return m_dataSet; }

    void addLink(TDataLink* link);
    void removeLink(TDataLink* link);
    const std::vector<TDataLink*>& links() const { return m_links; }

    // Called by the cursor.
    void updateRecord();
    bool focusField(TField* field);
    void scrollCurrentToMiddle();

signals:
    // The current row moved to another row, or its values were re-read.
    void rowChanged();
    // The rows of the view changed (opened, closed, re-read, a row added or removed).
    void dataReset();
    // More rows of a result read on demand follow the rows read before.
    void rowsFetched();
    void fieldChanged(int index);
    // The mode (browse, edit, insert) or the active state changed.
    void stateChanged();

private:
    QPointer<TDataSet> m_dataSet;
    std::vector<TDataLink*> m_links;
};

} // namespace zz
