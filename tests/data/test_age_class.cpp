// The one step of an open invoice's age class.
#include <QtTest>

#include "data/AgeClass.h"

using namespace zz;

class TestAgeClass : public QObject {
    Q_OBJECT
private slots:
    void eachClassStepsToTheNextAndTheLastStays()
    {
        QCOMPARE(ageClasses(), (QStringList{"CURRENT", "30", "60", "90", "120", "120+"}));
        const QStringList next = {"30", "60", "90", "120", "120+", "120+"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(nextAgeClass(ageClasses()[i]), std::optional<QString>(next[i]));
        // A new invoice reaches the last class after five steps and stays there.
        QString c = QStringLiteral("CURRENT");
        for (int run = 0; run < 6; ++run)
            c = *nextAgeClass(c);
        QCOMPARE(c, QStringLiteral("120+"));
    }

    void onlyTheExactTextsAreClasses()
    {
        for (const char* text : {"", "current", "Current", "CURRENT ", " 30", "30 ", "120 +", "150", "0", "120++"})
            QVERIFY2(!nextAgeClass(QString::fromLatin1(text)), text);
        QVERIFY(!nextAgeClass(QString()));
    }
};

QTEST_APPLESS_MAIN(TestAgeClass)
#include "test_age_class.moc"
