#pragma once
// Lets a report read a cursor or a named query of the data module as its dataset.
#include "reports/engine/ReportDataset.h"

namespace zz {
class TDataSet;
}

namespace zz::report {

class DataSetAdapter : public ReportDataset {
public:
    explicit DataSetAdapter(TDataSet* dataSet) : m_dataSet(dataSet) {}

    bool isEmpty() const override;
    void first() override;
    void next() override;
    bool eof() const override;
    int fieldIndex(const QString& name) const override;
    FieldType fieldType(int index) const override;
    // Graphic fields deliver their picture (a QImage, null when there is none), decoded from the
    // stored form by the logo decoder.
    QVariant value(int index) const override;
    QString displayFormat(int index) const override;
    int recordCount() const override;

private:
    TDataSet* m_dataSet;
};

} // namespace zz::report
