#pragma once
// The sixteen named statements of the data module: their text line by line and their result fields.
#include <QStringList>
#include <vector>

#include "data/Schema.h"

namespace zz {

struct StatementDef {
    QString name;                  // component name, e.g. "qryInvDetail"
    QStringList lines;             // the statement as stored, one entry per line
    std::vector<FieldDef> fields;  // declared result fields in order; empty for none
    bool hasDataSource = false;    // a query with a data source of its own ("dat" + name without "qry")
    // The statement as the SQLite engine runs it, where the stored text would make it sort the
    // whole result before the first row (TQuery::setEngineSql); empty: as stored.
    QStringList engineLines = {};
};

// In the data module's creation order.
const std::vector<StatementDef>& statementDefs();

} // namespace zz
