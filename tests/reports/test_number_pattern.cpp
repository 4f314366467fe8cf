// Number patterns of report totals and field display formats, under two regional settings.
#include "data/Regional.h"
#include "data/NumberPattern.h"
#include "tests/support/TestSupport.h"

#include <limits>

using namespace zz;

namespace {
RegionalSettings usSettings()
{
    RegionalSettings s;
    s.currencySymbol = QStringLiteral("R");
    return s;
}
} // namespace

class TestNumberPattern : public QObject {
    Q_OBJECT
private slots:
    void init() { setRegional(usSettings()); }

    void paddedMaskGroupsLeadingZeros_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("us");
        QTest::addColumn<QString>("german");
        QTest::newRow("123.45") << 123.45 << "R 0,123.45" << "R 0.123,45";
        QTest::newRow("5") << 5.0 << "R 0,005.00" << "R 0.005,00";
        QTest::newRow("0.5") << 0.5 << "R 0,000.50" << "R 0.000,50";
        QTest::newRow("zero") << 0.0 << "R 0,000.00" << "R 0.000,00";
        QTest::newRow("850") << 850.0 << "R 0,850.00" << "R 0.850,00";
        QTest::newRow("five integer digits") << 12345.678 << "R 12,345.68" << "R 12.345,68";
        QTest::newRow("seven integer digits") << 1234567.891 << "R 1,234,567.89" << "R 1.234.567,89";
        QTest::newRow("negative before the symbol") << -5.0 << "-R 0,005.00" << "-R 0.005,00";
        QTest::newRow("rounds up into a new group") << 9999.995 << "R 10,000.00" << "R 10.000,00";
    }
    void paddedMaskGroupsLeadingZeros()
    {
        QFETCH(double, value);
        QFETCH(QString, us);
        QFETCH(QString, german);
        QCOMPARE(formatNumberPattern(QStringLiteral("R #,00#0.00"), value), us);
        setRegional(test::germanRegional());
        QCOMPARE(formatNumberPattern(QStringLiteral("R #,00#0.00"), value), german);
    }

    void currencyMaskOfTotals()
    {
        const QString mask = regional().currencySymbol + QStringLiteral(" #,#0.00");
        QCOMPARE(formatNumberPattern(mask, 1234.5), QStringLiteral("R 1,234.50"));
        QCOMPARE(formatNumberPattern(mask, 0.0), QStringLiteral("R 0.00"));
        QCOMPARE(formatNumberPattern(mask, 0), QStringLiteral("R 0.00")); // the empty SUM, an integer
        QCOMPARE(formatNumberPattern(mask, -1234.5), QStringLiteral("-R 1,234.50"));
        QCOMPARE(formatNumberPattern(mask, 0.07), QStringLiteral("R 0.07"));
        // A negative amount that rounds to nothing prints without a minus.
        QCOMPARE(formatNumberPattern(mask, -0.004), QStringLiteral("R 0.00"));
        QCOMPARE(formatNumberPattern(QStringLiteral("#,#0.00"), std::int64_t(1234567)), QStringLiteral("1,234,567.00"));
        QCOMPARE(formatNumberPattern(QStringLiteral("#,#0"), std::numeric_limits<std::int64_t>::min()),
                 QStringLiteral("-9,223,372,036,854,775,808"));
        // Without a comma there is no grouping.
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00"), 1234567.5), QStringLiteral("1234567.50"));
    }

    void halvesRoundAwayFromZeroOnTheDecimalExpansion_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.125 exact half") << "0.00" << 0.125 << "0.13";
        QTest::newRow("-0.125 exact half") << "0.00" << -0.125 << "-0.13";
        QTest::newRow("0.5 to one") << "0" << 0.5 << "1";
        QTest::newRow("2.5 to three") << "0" << 2.5 << "3";
        QTest::newRow("-2.5 to minus three") << "0" << -2.5 << "-3";
        // Stored just below the half: 2.67499999999999982, 1.00499999999999989, 0.0449999999999999983
        QTest::newRow("2.675 is below half") << "0.00" << 2.675 << "2.67";
        QTest::newRow("1.005 is below half") << "0.00" << 1.005 << "1.00";
        QTest::newRow("0.045 is below half") << "0.00" << 0.045 << "0.04";
        // 1.015 is stored as 1.01499999999999990230, 0.285 as 0.284999999999999975575
        QTest::newRow("1.015") << "0.00" << 1.015 << "1.01";
        QTest::newRow("0.285") << "0.00" << 0.285 << "0.28";
        // 8.345 is stored as 8.34500000000000063949: above the half
        QTest::newRow("8.345") << "0.00" << 8.345 << "8.35";
        // Below the half only from the 18th significant digit on (0.155 is stored as
        // 0.154999999999999998889...): seventeen digits would round them up.
        QTest::newRow("0.105") << "0.00" << 0.105 << "0.10";
        QTest::newRow("0.155") << "0.00" << 0.155 << "0.15";
        QTest::newRow("0.185") << "0.00" << 0.185 << "0.18";
        QTest::newRow("0.215") << "0.00" << 0.215 << "0.21";
        QTest::newRow("0.245") << "0.00" << 0.245 << "0.24";
        QTest::newRow("-0.155") << "#,#0.00" << -0.155 << "-0.15";
        QTest::newRow("carry through nines") << "#,#0.00" << 999999.999 << "1,000,000.00";
    }
    void halvesRoundAwayFromZeroOnTheDecimalExpansion()
    {
        QFETCH(QString, mask);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatNumberPattern(mask, value), expected);
    }

    void literalsPlaceholdersAndSections()
    {
        QCOMPARE(formatNumberPattern(QStringLiteral("#0 %"), 10), QStringLiteral("10 %"));
        QCOMPARE(formatNumberPattern(QStringLiteral("#0.00 %"), 15.0), QStringLiteral("15.00 %"));
        QCOMPARE(formatNumberPattern(QStringLiteral("#0.00%"), 7.125), QStringLiteral("7.13%"));
        QCOMPARE(formatNumberPattern(QStringLiteral("'#'0"), 5), QStringLiteral("#5"));
        QCOMPARE(formatNumberPattern(QStringLiteral("\"No. \"000"), 42), QStringLiteral("No. 042"));
        QCOMPARE(formatNumberPattern(QStringLiteral("#.##"), 1.0), QStringLiteral("1"));
        QCOMPARE(formatNumberPattern(QStringLiteral("#.##"), 1.5), QStringLiteral("1.5"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.0#"), 2.0), QStringLiteral("2.0"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.0#"), 2.257), QStringLiteral("2.26"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00;(0.00)"), -5.0), QStringLiteral("(5.00)"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00;(0.00)"), 5.0), QStringLiteral("5.00"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00;(0.00);nil"), 0.001), QStringLiteral("nil"));
        // A currency symbol holding a point changes the pattern: its point becomes the decimal point
        // and every placeholder after it a decimal place.
        QCOMPARE(formatNumberPattern(QStringLiteral("kr. #,#0.00"), 1234.5), QStringLiteral("kr1,234. 50000"));
        // A quoted semicolon is text.
        QCOMPARE(formatNumberPattern(QStringLiteral("0';'0"), 12), QStringLiteral("1;2"));
    }

    void scientificNotation()
    {
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00E+00"), 1234.5), QStringLiteral("1.23E+03"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00E+00"), 0.000123), QStringLiteral("1.23E-04"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00E+00"), -1234.5), QStringLiteral("-1.23E+03"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.0e-0"), 12345.0), QStringLiteral("1.2e4"));
        QCOMPARE(formatNumberPattern(QStringLiteral("0.00E+00"), 9.999), QStringLiteral("1.00E+01"));
        // An E without a sign is an ordinary character.
        QCOMPARE(formatNumberPattern(QStringLiteral("0E"), 3), QStringLiteral("3E"));
    }

    void emptyMaskGivesTheGeneralForm()
    {
        QCOMPARE(formatNumberPattern(QString(), 0.1), QStringLiteral("0.1"));
        QCOMPARE(formatNumberPattern(QString(), 1.0 / 3), QStringLiteral("0.333333333333333"));
        QCOMPARE(formatNumberPattern(QString(), 2.0 / 3), QStringLiteral("0.666666666666667"));
        QCOMPARE(formatNumberPattern(QString(), 100.0), QStringLiteral("100"));
        QCOMPARE(formatNumberPattern(QString(), -2.5), QStringLiteral("-2.5"));
        QCOMPARE(formatNumberPattern(QString(), 0.1 + 0.2), QStringLiteral("0.3"));
        QCOMPARE(formatNumberPattern(QString(), 1e20), QStringLiteral("1E20"));
        QCOMPARE(formatNumberPattern(QString(), 1.5e-7), QStringLiteral("1.5E-7"));
        QCOMPARE(formatNumberPattern(QString(), 123456789012345678.0), QStringLiteral("1.23456789012346E17"));
        // Up to fifteen integer digits print as plain digits, more in exponent form.
        QCOMPARE(formatNumberPattern(QString(), 123456789012345.0), QStringLiteral("123456789012345"));
        QCOMPARE(formatNumberPattern(QString(), 100000000000000.0), QStringLiteral("100000000000000"));
        QCOMPARE(formatNumberPattern(QString(), -999999999999999.0), QStringLiteral("-999999999999999"));
        QCOMPARE(formatNumberPattern(QString(), 1e15), QStringLiteral("1E15"));
        QCOMPARE(formatNumberPattern(QString(), 0.00001), QStringLiteral("0.00001"));
        QCOMPARE(formatNumberPattern(QString(), 0.000001), QStringLiteral("1E-6"));
        QCOMPARE(formatNumberPattern(QString(), 0.0), QStringLiteral("0"));
        QCOMPARE(formatNumberPattern(QString(), 42), QStringLiteral("42"));
        setRegional(test::germanRegional());
        QCOMPARE(formatNumberPattern(QString(), 1234.5), QStringLiteral("1234,5"));
    }
};

ZZ_TEST_MAIN(TestNumberPattern)
#include "test_number_pattern.moc"
