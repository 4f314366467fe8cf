#pragma once
// An in-memory dataset for report tests: named, typed fields and rows of values.
#include <QList>
#include <QVariant>

#include "reports/engine/ReportDataset.h"

namespace zz::test {

class FakeDataset : public report::ReportDataset {
public:
    struct Field {
        QString name;
        report::FieldType type = report::FieldType::Text;
        QString displayFormat;
    };

    FakeDataset(QList<Field> fields, QList<QVariantList> rows = {}) : fields(std::move(fields)), rows(std::move(rows)) {}

    QList<Field> fields;
    QList<QVariantList> rows;
    int row = 0;
    bool atEnd = true;
    int moves = 0;       // first() and next() calls
    int failOnRow = -1;  // value() throws on this row

    bool isEmpty() const override { return rows.isEmpty(); }
    void first() override
    {
        ++moves;
        row = 0;
        atEnd = rows.isEmpty();
    }
    void next() override
    {
        ++moves;
        if (row + 1 < rows.size())
            ++row;
        else
            atEnd = true;
    }
    bool eof() const override { return atEnd; }
    int fieldIndex(const QString& name) const override
    {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    report::FieldType fieldType(int i) const override { return fields.at(i).type; }
    QVariant value(int i) const override
    {
        if (row == failOnRow)
            throw std::runtime_error("read error");
        if (rows.isEmpty())
            return {};
        return rows.at(row).value(i);
    }
    QString displayFormat(int i) const override { return fields.at(i).displayFormat; }
    int recordCount() const override { return rows.size(); }
};

} // namespace zz::test
