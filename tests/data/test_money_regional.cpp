// Money rounding, the line-discount arithmetic and formatting through the regional settings.
#include "data/Money.h"
#include "data/Regional.h"
#include "tests/support/TestSupport.h"

using namespace zz;

class TestMoneyRegional : public QObject {
    Q_OBJECT
private slots:
    void moneyFromDoubleRoundsTiesToEven()
    {
        QCOMPARE(Money::fromDouble(19.99).count(), 199900);
        QCOMPARE(Money::fromDouble(-0.00005).count(), 0);       // -0.5 count -> 0 (even)
        QCOMPARE(Money::fromDouble(0.03125).count(), 312);      // exactly 312.5 -> 312
        QCOMPARE(Money::fromDouble(0.09375).count(), 938);      // exactly 937.5 -> 938
        QCOMPARE(Money::fromDouble(0.00015).count(), 1);        // 1.4999999... in double
        QCOMPARE(Money::fromDouble(1234567.8912).count(), 12345678912LL);
        QCOMPARE(Money::fromDouble(0.1).toDouble(), 0.1);
    }

    void discountedPrice_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<int>("discount");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("19.99 less 15%") << 19.99 << 15 << qint64(169915);
        QTest::newRow("half to even down") << 0.0005 << 50 << qint64(2);
        QTest::newRow("half to even up") << 0.0003 << 50 << qint64(2);
        QTest::newRow("no discount keeps price") << 123.4567 << 0 << qint64(1234567);
        QTest::newRow("full discount is zero") << 99.99 << 100 << qint64(0);
        QTest::newRow("one third off 10") << 10.0 << 33 << qint64(67000);
        QTest::newRow("large price") << 999999.9999 << 7 << qint64(9299999999LL);
    }
    void discountedPrice()
    {
        QFETCH(double, price);
        QFETCH(int, discount);
        QFETCH(qint64, expected);
        QCOMPARE(zz::discountedPrice(Money::fromDouble(price), discount).count(), expected);
    }

    void currencyAndDatesFollowTheRegion()
    {
        RegionalSettings us;
        setRegional(us);
        QCOMPARE(formatCurrency(1234.5), QStringLiteral("$1,234.50"));
        QCOMPARE(formatCurrency(-3.0), QStringLiteral("-$3.00"));
        QCOMPARE(formatCurrency(0.005), QStringLiteral("$0.01"));   // half away from zero
        QCOMPARE(formatCurrency(-0.001), QStringLiteral("$0.00")); // no minus on a zero text
        QCOMPARE(formatCurrency(10.125), QStringLiteral("$10.13"));  // an exact half goes away from zero, as in totals
        QCOMPARE(formatShortDate(QDate(2026, 3, 7)), QStringLiteral("3/7/2026"));
        QCOMPARE(parseShortDate(QStringLiteral("3/7/2026")), QDate(2026, 3, 7));
        QVERIFY(!parseShortDate(QStringLiteral("31/31/2026")).isValid());
        QCOMPARE(formatShortDate(QDate()), QString());

        RegionalSettings de;
        de.currencySymbol = QStringLiteral("€");
        de.currencyFormat = 3;
        de.decimalSeparator = QLatin1Char(',');
        de.thousandSeparator = QLatin1Char('.');
        de.shortDateFormat = QStringLiteral("dd.MM.yyyy");
        setRegional(de);
        QCOMPARE(formatCurrency(1234567.891), QStringLiteral("1.234.567,89 €"));
        QCOMPARE(formatCurrency(-0.5), QStringLiteral("-0,50 €"));
        QCOMPARE(formatShortDate(QDate(2026, 3, 7)), QStringLiteral("07.03.2026"));
        QCOMPARE(parseShortDate(QStringLiteral("7.3.2026")), QDate(2026, 3, 7));
    }

    void settingsComeFromTheLocale()
    {
        setRegionalLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QCOMPARE(regional().currencySymbol, QStringLiteral("£"));
        QCOMPARE(regional().decimalSeparator, QLatin1Char('.'));
        QCOMPARE(formatCurrency(12.5), QStringLiteral("£12.50"));
        QCOMPARE(formatShortDate(QDate(2026, 12, 9)), QStringLiteral("09/12/2026"));

        setRegionalLocale(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(regional().decimalSeparator, QLatin1Char(','));
        QCOMPARE(regional().thousandSeparator, QLatin1Char('.'));
        QCOMPARE(formatCurrency(1000.0), QStringLiteral("1.000,00 €"));
    }
};

ZZ_TEST_MAIN(TestMoneyRegional)
#include "test_money_regional.moc"
