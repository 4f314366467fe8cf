#include "data/DataSet.h"

#include "data/Errors.h"

namespace zz {

TDataSet::TDataSet(const QString& name, QObject* parent) : QObject(parent), m_name(name)
{
    setObjectName(name);
}

TDataSet::~TDataSet() = default;

TField* TDataSet::FindField(const QString& name) const
{
    for (const auto& f : m_fields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const
{
    if (TField* f = FindField(name))
        return f;
    throw EDatabaseError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
}

void TDataSet::defineFields(const std::vector<FieldDef>& defs)
{
    m_fields.clear();
    for (size_t i = 0; i < defs.size(); ++i)
        m_fields.push_back(std::make_unique<TField>(this, int(i), defs[i]));
}

void TDataSet::setRows(std::vector<Row> rows)
{
    m_rows = std::move(rows);
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    emit dataReset();
    emit rowChanged();
}

void TDataSet::setCurrent(int position, bool notify)
{
    const int n = int(m_rows.size());
    const int old = m_current;
    m_current = n == 0 ? -1 : std::clamp(position, 0, n - 1);
    if (notify && old != m_current)
        emit rowChanged();
}

void TDataSet::First()
{
    setCurrent(0);
    m_bof = true;
    m_eof = m_rows.empty();
}

void TDataSet::Next()
{
    if (m_rows.empty() || m_current >= int(m_rows.size()) - 1) {
        m_eof = true;
        return;
    }
    m_bof = false;
    setCurrent(m_current + 1);
}

void TDataSet::Prior()
{
    if (m_rows.empty() || m_current <= 0) {
        m_bof = true;
        return;
    }
    m_eof = false;
    setCurrent(m_current - 1);
}

void TDataSet::Last()
{
    setCurrent(int(m_rows.size()) - 1);
    m_eof = true;
    m_bof = m_rows.empty();
}

void TDataSet::MoveTo(int position)
{
    setCurrent(position);
    m_bof = m_current <= 0;
    m_eof = m_rows.empty();
}

QVariant TDataSet::fieldValue(int index) const
{
    if (m_current < 0 || m_current >= int(m_rows.size()))
        return {};
    const Row& r = m_rows[size_t(m_current)];
    return index >= 0 && index < int(r.size()) ? r[size_t(index)] : QVariant();
}

void TDataSet::setFieldValue(int index, const QVariant& value)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset (%1)").arg(m_name));
}

QVariant TDataSet::rowValue(int position, int index) const
{
    if (position < 0 || position >= int(m_rows.size()))
        return {};
    const Row& r = m_rows[size_t(position)];
    return index >= 0 && index < int(r.size()) ? r[size_t(index)] : QVariant();
}

} // namespace zz
