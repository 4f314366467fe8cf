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

void TDataSet::setCurrent(int position, bool notify)
{
    const int n = FetchedCount();
    const int old = m_current;
    m_current = n == 0 ? -1 : std::clamp(position, 0, n - 1);
    if (notify && old != m_current)
        emit rowChanged();
}

void TDataSet::First()
{
    setCurrent(0);
    m_bof = true;
    m_eof = FetchedCount() == 0;
}

void TDataSet::Next()
{
    if (m_current >= FetchedCount() - 1 && !FetchMore()) {
        m_eof = true;
        return;
    }
    m_bof = false;
    setCurrent(m_current + 1);
}

void TDataSet::Prior()
{
    if (FetchedCount() == 0 || m_current <= 0) {
        m_bof = true;
        return;
    }
    m_eof = false;
    setCurrent(m_current - 1);
}

void TDataSet::Last()
{
    const int n = RecordCount(); // reads a result to its end
    setCurrent(n - 1);
    m_eof = true;
    m_bof = n == 0;
}

void TDataSet::MoveTo(int position)
{
    while (position >= FetchedCount() && FetchMore()) {
    }
    setCurrent(position);
    m_bof = m_current <= 0;
    m_eof = FetchedCount() == 0;
}

QVariant TDataSet::fieldValue(int index) const { return m_current < 0 ? QVariant() : rowValue(m_current, index); }

void TDataSet::setFieldValue(int index, const QVariant& value)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset (%1)").arg(m_name));
}

QVariant TDataSet::rowValue(int, int) const { return {}; }

void TDataSet::DisableControls()
{
    if (m_controlsDisabled++ == 0)
        blockSignals(true);
}

void TDataSet::EnableControls()
{
    if (m_controlsDisabled == 0 || --m_controlsDisabled > 0)
        return;
    blockSignals(false);
    emit dataReset();
    emit rowChanged();
}

} // namespace zz
