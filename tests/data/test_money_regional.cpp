// Money rounding, the line-discount arithmetic and formatting through the regional settings.
#include "data/Money.h"
#include "data/Regional.h"
#include "tests/support/TestSupport.h"

#include <cmath>
#include <limits>

using namespace zz;

class TestMoneyRegional : public QObject {
    Q_OBJECT
private slots:
    void moneyFromDoubleRoundsTheExactProduct_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("count");
        QTest::newRow("19.99") << 19.99 << qint64(199900);
        QTest::newRow("exactly 312.5 to even") << 0.03125 << qint64(312);
        QTest::newRow("exactly 937.5 to even") << 0.09375 << qint64(938);
        QTest::newRow("exactly -312.5 to even") << -0.03125 << qint64(-312);
        QTest::newRow("large") << 1234567.8912 << qint64(12345678912LL);
        // Stored values whose product with 10000 lies just off a half, while the product
        // computed in double lands on the half itself:
        // 5e-05 is 5.000000000000000240e-05, so 0.5000000000000000240 counts.
        QTest::newRow("just above 0.5") << 5e-05 << qint64(1);
        QTest::newRow("just above -0.5") << -5e-05 << qint64(-1);
        // 0.00025 is 2.500000000000000052e-04: above 2.5.
        QTest::newRow("just above 2.5") << 0.00025 << qint64(3);
        // 0.00035 is 3.499999999999999693e-04: below 3.5.
        QTest::newRow("just below 3.5") << 0.00035 << qint64(3);
        QTest::newRow("just below -3.5") << -0.00035 << qint64(-3);
        // 0.00015 is 1.499999999999999932e-04: below 1.5.
        QTest::newRow("just below 1.5") << 0.00015 << qint64(1);
        // 0.00085 lies below 8.5 and the next double above it, above 8.5.
        QTest::newRow("below 8.5") << 0.00085 << qint64(8);
        QTest::newRow("above 8.5") << std::nextafter(0.00085, 1.0) << qint64(9);
        // Large amounts: an exact half goes to even; 555555555.55555 lies below ...5555.5.
        QTest::newRow("large exact half") << 123456789.03125 << qint64(1234567890312LL);
        QTest::newRow("large, just below a half") << 555555555.55555 << qint64(5555555555555LL);
        QTest::newRow("large, just below a half, odd") << 9876543.21015 << qint64(98765432101LL);
    }
    void moneyFromDoubleRoundsTheExactProduct()
    {
        QFETCH(double, value);
        QFETCH(qint64, count);
        QCOMPARE(Money::fromDouble(value).count(), count);
    }

    void moneyOutOfRangeIsNoAmount()
    {
        QCOMPARE(Money::fromDouble(0.1).toDouble(), 0.1);
        QVERIFY(Money::fromDoubleChecked(922337203685477.0).has_value());
        QVERIFY(!Money::fromDoubleChecked(1e300).has_value());
        QVERIFY(!Money::fromDoubleChecked(-1e16).has_value());
        QVERIFY(!Money::fromDoubleChecked(std::numeric_limits<double>::quiet_NaN()).has_value());
        QVERIFY(!Money::fromDoubleChecked(std::numeric_limits<double>::infinity()).has_value());
        QCOMPARE(Money::fromDouble(1e300).count(), std::numeric_limits<std::int64_t>::max());
        QCOMPARE(Money::fromDouble(1e-300).count(), 0);
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

        setRegional(test::germanRegional());
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

    void currencyDecimalsComeFromTheCurrency()
    {
        // The yen has no minor unit, the Kuwaiti dinar three.
        setRegionalLocale(QLocale(QLocale::Japanese, QLocale::Japan));
        QCOMPARE(regional().currencyDecimals, 0);
        QCOMPARE(formatCurrency(1234.5), regional().currencySymbol + QStringLiteral("1,235"));
        setRegionalLocale(QLocale(QLocale::Arabic, QLocale::Kuwait));
        QCOMPARE(regional().currencyDecimals, 3);
        setRegionalLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QCOMPARE(regional().currencyDecimals, 2);
        setRegionalLocale(QLocale::c());
        QCOMPARE(regional().currencyDecimals, 2);

        RegionalSettings none;
        none.currencyDecimals = 0;
        setRegional(none);
        QCOMPARE(formatCurrency(2.5), QStringLiteral("$3"));
        QCOMPARE(formatCurrency(-1234.49), QStringLiteral("-$1,234"));
        none.currencyDecimals = 3;
        setRegional(none);
        QCOMPARE(formatCurrency(1.2346), QStringLiteral("$1.235"));
    }

    void aMoneyAmountRoundsItsExactCount()
    {
        // 1.0050 is a tie on the count, though the nearest double lies just below it: an
        // invoice line's total shows as the cent the e-invoice states for it.
        RegionalSettings us;
        setRegional(us);
        QCOMPARE(formatCurrency(Money::fromCount(10050)), QStringLiteral("$1.01"));
        QCOMPARE(formatCurrency(Money::fromCount(-10050)), QStringLiteral("-$1.01"));
        QCOMPARE(formatCurrency(Money::fromCount(10049)), QStringLiteral("$1.00"));
        QCOMPARE(formatCurrency(Money::fromCount(-49)), QStringLiteral("$0.00"));
        QCOMPARE(formatCurrency(Money::fromCount(12345678912345)), QStringLiteral("$1,234,567,891.23"));
        QCOMPARE(formatCurrency(Money::fromCount(std::numeric_limits<qint64>::min())), QStringLiteral("-$922,337,203,685,477.58"));
        QCOMPARE(formatCurrency(Money::fromCount(1000000)), formatCurrency(100.0));
        us.currencyDecimals = 0;
        setRegional(us);
        QCOMPARE(formatCurrency(Money::fromCount(25000)), QStringLiteral("$3"));
        us.currencyDecimals = 3;
        setRegional(us);
        QCOMPARE(formatCurrency(Money::fromCount(12345)), QStringLiteral("$1.235"));
        us.currencyDecimals = 5;
        setRegional(us);
        QCOMPARE(formatCurrency(Money::fromCount(12345)), QStringLiteral("$1.23450"));
        setRegional(test::germanRegional());
        QCOMPARE(formatCurrency(Money::fromCount(12345678900)), QStringLiteral("1.234.567,89 €"));
    }
};

ZZ_TEST_MAIN(TestMoneyRegional)
#include "test_money_regional.moc"
