#include "data/DataSource.h"

#include <algorithm>

#include "data/Table.h"

namespace zz {

TDataSource::TDataSource(const QString& name, TDataSet* dataSet, QObject* parent) : QObject(parent), m_dataSet(dataSet)
{
    setObjectName(name);
    connect(dataSet, &TDataSet::rowChanged, this, &TDataSource::rowChanged);
    connect(dataSet, &TDataSet::dataReset, this, &TDataSource::dataReset);
    connect(dataSet, &TDataSet::rowsFetched, this, &TDataSource::rowsFetched);
    connect(dataSet, &TDataSet::fieldChanged, this, &TDataSource::fieldChanged);
    connect(dataSet, &TDataSet::stateChanged, this, &TDataSource::stateChanged);
    if (auto* table = qobject_cast<TTable*>(dataSet))
        table->addSource(this);
}

TDataSource::~TDataSource()
{
    if (auto* table = qobject_cast<TTable*>(m_dataSet.data()))
        table->removeSource(this);
}

void TDataSource::addLink(TDataLink* link)
{
    if (std::find(m_links.begin(), m_links.end(), link) == m_links.end())
        m_links.push_back(link);
}

void TDataSource::removeLink(TDataLink* link) { std::erase(m_links, link); }

void TDataSource::updateRecord()
{
    // A copy: a control may unregister while it writes.
    const auto links = m_links;
    for (TDataLink* l : links)
        l->updateRecord();
}

bool TDataSource::focusField(TField* field)
{
    for (TDataLink* l : m_links)
        if (l->focusField(field))
            return true;
    return false;
}

void TDataSource::scrollCurrentToMiddle()
{
    for (TDataLink* l : m_links)
        l->scrollCurrentToMiddle();
}

} // namespace zz
