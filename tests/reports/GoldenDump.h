#pragma once
// Compares a generated document with its expected page dump in ZZ_EXPECTED_DIR. ZZ_REGENERATE=1
// rewrites the file and fails, so that a new dump is reviewed before a test passes against it.
#include <QFile>
#include <QtTest>

#include "reports/engine/ReportDocument.h"

namespace zz::test {

inline void compareWithExpected(const report::ReportDocument& doc, const QString& name)
{
    const QString path = QStringLiteral(ZZ_EXPECTED_DIR "/%1.txt").arg(name);
    const QString actual = doc.dump();
    if (qEnvironmentVariableIntValue("ZZ_REGENERATE") == 1) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(actual.toUtf8());
        QFAIL(qPrintable(QStringLiteral("%1 regenerated; review it and run again without ZZ_REGENERATE").arg(path)));
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(QStringLiteral("missing %1 (run with ZZ_REGENERATE=1)").arg(path)));
    const QStringList expected = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    const QStringList got = actual.split(QLatin1Char('\n'));
    for (int i = 0; i < qMax(expected.size(), got.size()); ++i)
        QCOMPARE(got.value(i), expected.value(i));
}

} // namespace zz::test
