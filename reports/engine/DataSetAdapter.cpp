#include "reports/engine/DataSetAdapter.h"

#include "data/DataSet.h"
#include "data/Logo.h"

namespace zz::report {

bool DataSetAdapter::isEmpty() const { return !m_dataSet->Active() || m_dataSet->IsEmpty(); }

void DataSetAdapter::first() { m_dataSet->First(); }

void DataSetAdapter::next() { m_dataSet->Next(); }

bool DataSetAdapter::eof() const { return !m_dataSet->Active() || m_dataSet->Eof(); }

int DataSetAdapter::fieldIndex(const QString& name) const
{
    const TField* f = m_dataSet->FindField(name);
    return f ? f->index() : -1;
}

FieldType DataSetAdapter::fieldType(int index) const
{
    if (index < 0 || index >= m_dataSet->FieldCount())
        return FieldType::Text;
    return m_dataSet->Fields()[size_t(index)]->DataType();
}

QVariant DataSetAdapter::value(int index) const
{
    if (index < 0 || index >= m_dataSet->FieldCount())
        return {};
    const QVariant v = m_dataSet->fieldValue(index);
    if (v.isValid() && m_dataSet->Fields()[size_t(index)]->DataType() == zz::FieldType::Graphic)
        return decodeLogo(v.toByteArray());
    return v;
}

QString DataSetAdapter::displayFormat(int index) const
{
    if (index < 0 || index >= m_dataSet->FieldCount())
        return {};
    return m_dataSet->Fields()[size_t(index)]->DisplayFormat();
}

int DataSetAdapter::recordCount() const { return m_dataSet->Active() ? m_dataSet->RecordCount() : -1; }

} // namespace zz::report
