#pragma once
// The boundary between a report and the rows it prints. The data module's named queries and
// table cursors are adapted to this interface; tests use in-memory datasets.
#include <QString>
#include <QVariant>

#include "data/FieldType.h"

namespace zz::report {

// Fields are typed as the data layer types them.
using zz::FieldType;

class ReportDataset {
public:
    virtual ~ReportDataset() = default;

    virtual bool isEmpty() const = 0;
    // Moves to the first row (eof() stays true on an empty dataset).
    virtual void first() = 0;
    // Moves to the next row. On the last row it sets eof() and stays on that row, so the row's
    // values remain readable (the summary band reads the last row).
    virtual void next() = 0;
    virtual bool eof() const = 0;

    // The index of a field, compared without regard to case; -1 if there is none.
    virtual int fieldIndex(const QString& name) const = 0;
    virtual FieldType fieldType(int index) const = 0;
    // The value of a field of the current row; a null QVariant is a NULL value.
    // Graphic fields deliver their raw bytes (QByteArray) or a QImage. May throw on a read error.
    virtual QVariant value(int index) const = 0;
    // The field's display format (a number pattern), empty when it has none.
    virtual QString displayFormat(int index) const = 0;

    // The number of rows when known cheaply (for the progress shown while generating); -1 if not.
    virtual int recordCount() const { return -1; }

    // How messages name the current row: `pattern` with the text of `keyField` for %1
    // ("invoice %1", "Inv_Number" gives "invoice 2002"). Rows are not named until this is set.
    void nameRows(const QString& pattern, const QString& keyField)
    {
        m_rowPattern = pattern;
        m_rowKey = keyField;
    }
    // The current row's name; empty when rows are not named or the key cannot be read.
    QString rowName() const
    {
        const int key = m_rowPattern.isEmpty() || isEmpty() ? -1 : fieldIndex(m_rowKey);
        if (key < 0)
            return {};
        try {
            return m_rowPattern.arg(value(key).toString());
        } catch (...) {
            return {};
        }
    }

private:
    QString m_rowPattern, m_rowKey;
};

} // namespace zz::report
