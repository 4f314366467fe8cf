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
        return FieldType::Unknown;
    switch (m_dataSet->Fields()[size_t(index)]->DataType()) {
    case zz::FieldType::Text: return FieldType::String;
    case zz::FieldType::Integer:
    case zz::FieldType::AutoInc: return FieldType::Integer;
    case zz::FieldType::Float: return FieldType::Float;
    case zz::FieldType::Money: return FieldType::Currency;
    case zz::FieldType::Date: return FieldType::Date;
    case zz::FieldType::Graphic: return FieldType::Graphic;
    }
    return FieldType::Unknown;
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
