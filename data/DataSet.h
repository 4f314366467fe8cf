#pragma once
// What table cursors and named queries share: field objects, an ordered set of rows (kept by
// each kind in its own way) and one current row, walked with First, Next and an end test.
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "data/Field.h"

namespace zz {

using Row = std::vector<QVariant>;

class TDataSet : public QObject {
    Q_OBJECT
public:
    explicit TDataSet(const QString& name, QObject* parent = nullptr);
    ~TDataSet() override;

    const QString& Name() const { return m_name; }
    bool Active() const { return m_active; }

    const std::vector<std::unique_ptr<TField>>& Fields() const { return m_fields; }
    int FieldCount() const { return int(m_fields.size()); }
    // By name, without regard to case; nullptr when there is none.
    TField* FindField(const QString& name) const;
    // By name, without regard to case; throws EDatabaseError "Field 'X' not found".
    TField* FieldByName(const QString& name) const;

    // Every row of the view (a named query reads the rest of its result to count them).
    virtual int RecordCount() const { return 0; }
    // The rows read so far. A table holds its view at once; a named query reads its result on
    // demand, from the first rows on, so that a large result opens at once.
    virtual int FetchedCount() const { return RecordCount(); }
    // Reads more rows of the result; false when there were none left. Tells rowsFetched.
    virtual bool FetchMore() { return false; }
    // Whether every row has been read.
    virtual bool AllFetched() const { return true; }
    bool IsEmpty() const { return FetchedCount() == 0; }
    // The current row's position, 0-based; -1 on an empty view.
    int RecNo() const { return m_current; }
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }

    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual void Last();
    // Makes the row at a position current (clamped into the view).
    virtual void MoveTo(int position);

    // The current row's value of a field (the pending value while a row is being changed).
    virtual QVariant fieldValue(int index) const;
    // Writes a field of the current row; only cursors in edit or insert mode allow it.
    virtual void setFieldValue(int index, const QVariant& value);
    // A value of any row, for grids that show many rows at once.
    virtual QVariant rowValue(int position, int index) const;

    // While disabled, the bound controls hear nothing of the view (a walk over many rows does
    // not move a grid row by row); enabling tells them once that the view and its current row
    // may have changed. Calls nest.
    void DisableControls();
    void EnableControls();

signals:
    // The current row moved to another row (or the rows were reloaded).
    void rowChanged();
    // The rows of the view changed (opened, closed, re-read, a row added or removed).
    void dataReset();
    // More rows of the result were read; they follow the rows read before.
    void rowsFetched();
    // A field of the current row changed its value.
    void fieldChanged(int index);
    // The mode or the active state changed.
    void stateChanged();

protected:
    void defineFields(const std::vector<FieldDef>& defs);
    void clearFields() { m_fields.clear(); }
    void setActive(bool active) { m_active = active; }
    void setCurrent(int position, bool notify = true);
    // Sets the position and the end markers without notifying (for views that keep rows elsewhere).
    void setCursor(int current, bool bof, bool eof) { m_current = current; m_bof = bof; m_eof = eof; }

private:
    QString m_name;
    bool m_active = false;
    std::vector<std::unique_ptr<TField>> m_fields;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    int m_controlsDisabled = 0;
};

} // namespace zz
