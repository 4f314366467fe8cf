#pragma once
// The age classes of an open invoice (Inv_Days) in their order, and the one step by which
// "&Advance All" moves an invoice on: CURRENT, 30, 60, 90, 120, 120+, where the last class stays.
// A class is a label kept on the invoice, never worked out from its dates.
#include <QString>
#include <QStringList>
#include <optional>

namespace zz {

// "CURRENT", "30", "60", "90", "120", "120+".
const QStringList& ageClasses();

// The class that follows, the texts compared exactly (letter case and length count); none for a
// text that is no class, which is then left as it is.
std::optional<QString> nextAgeClass(const QString& ageClass);

} // namespace zz
