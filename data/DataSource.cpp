#include "data/DataSource.h"

namespace zz {

TDataSource::TDataSource(const QString& name, TDataSet* dataSet, QObject* parent) : QObject(parent), m_dataSet(dataSet)
{
    setObjectName(name);
    connect(dataSet, &TDataSet::rowChanged, this, &TDataSource::rowChanged);
    connect(dataSet, &TDataSet::dataReset, this, &TDataSource::dataReset);
    connect(dataSet, &TDataSet::fieldChanged, this, &TDataSource::fieldChanged);
    connect(dataSet, &TDataSet::stateChanged, this, &TDataSource::stateChanged);
}

} // namespace zz
