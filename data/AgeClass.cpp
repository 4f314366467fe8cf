#include "data/AgeClass.h"

namespace zz {

const QStringList& ageClasses()
{
    static const QStringList classes = {QStringLiteral("CURRENT"), QStringLiteral("30"), QStringLiteral("60"),
                                        QStringLiteral("90"), QStringLiteral("120"), QStringLiteral("120+")};
    return classes;
}

std::optional<QString> nextAgeClass(const QString& ageClass)
{
    const QStringList& classes = ageClasses();
    const qsizetype at = classes.indexOf(ageClass); // exact: case and length count
    if (at < 0)
        return std::nullopt;
    return classes[std::min(at + 1, classes.size() - 1)];
}

} // namespace zz
