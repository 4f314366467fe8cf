// Report expressions: arithmetic kinds, SUM over rows, errors.
#include "data/Errors.h"
#include "data/Regional.h"
#include "reports/engine/Expression.h"
#include "tests/reports/FakeDataset.h"
#include "tests/support/TestSupport.h"

#include <limits>

using namespace zz;
using namespace zz::report;
using zz::test::FakeDataset;

namespace {
FakeDataset sample(QList<QVariantList> rows)
{
    return FakeDataset({{"Line_Units", FieldType::Integer},
                        {"Total", FieldType::Money},
                        {"Inv_VAT", FieldType::Float},
                        {"Cus_Name", FieldType::Text},
                        {"Inv_Date", FieldType::Date}},
                       std::move(rows));
}

// Runs SUM-bearing expression over every row as the generator does, returns its final value.
Value sumOver(const QString& text, FakeDataset& ds)
{
    auto e = Expression::compile(text, &ds);
    e->resetAggregates();
    EvalContext ctx;
    ctx.dataset = &ds;
    for (ds.first(); !ds.eof(); ds.next())
        e->updateAggregates(ctx);
    return e->evaluate(ctx);
}
} // namespace

class TestExpression : public QObject {
    Q_OBJECT
private slots:
    void init() { setRegional(RegionalSettings{}); }

    void arithmeticKinds()
    {
        FakeDataset ds = sample({{3, 19.99, 15.0, "Acme", QDate(2026, 3, 7)}});
        ds.first();
        EvalContext ctx;
        ctx.dataset = &ds;
        auto eval = [&](const QString& text) { return Expression::compile(text, &ds)->evaluate(ctx); };

        Value v = eval(QStringLiteral("1 + 2 * 3"));
        QCOMPARE(v.kind, ValueKind::Integer);
        QCOMPARE(v.i, 7);
        QCOMPARE(eval(QStringLiteral("(1+2)*3")).i, 9);
        QCOMPARE(eval(QStringLiteral("  2 +  3   ")).i, 5);
        v = eval(QStringLiteral("7 / 2"));
        QCOMPARE(v.kind, ValueKind::Double);
        QCOMPARE(v.d, 3.5);
        QCOMPARE(eval(QStringLiteral("4/2")).kind, ValueKind::Double);
        QCOMPARE(eval(QStringLiteral("2147483647 + 1")).i, std::numeric_limits<std::int32_t>::min());
        QCOMPARE(eval(QStringLiteral("2.5 * 2")).kind, ValueKind::Double);

        // Field names without regard to case; integer fields stay integers, money becomes double.
        v = eval(QStringLiteral("line_units * 2"));
        QCOMPARE(v.kind, ValueKind::Integer);
        QCOMPARE(v.i, 6);
        v = eval(QStringLiteral("Total * (Inv_VAT / 100)"));
        QCOMPARE(v.kind, ValueKind::Double);
        QCOMPARE(v.d, 19.99 * (15.0 / 100));
        v = eval(QStringLiteral("Total + (Total * (Inv_VAT / 100))"));
        QCOMPARE(v.d, 19.99 + 19.99 * (15.0 / 100));
        QCOMPARE(eval(QStringLiteral("Cus_Name")).s, QStringLiteral("Acme"));
        QCOMPARE(eval(QStringLiteral("Inv_Date")).s, QStringLiteral("3/7/2026"));
        QCOMPARE(eval(QStringLiteral("Cus_Name + 'X'")).s, QStringLiteral("AcmeX"));
    }

    void runtimeErrorsAreErrorValues()
    {
        FakeDataset ds = sample({{3, 19.99, 0.0, "Acme", QDate(2026, 3, 7)}});
        ds.first();
        EvalContext ctx;
        ctx.dataset = &ds;
        auto eval = [&](const QString& text) { return Expression::compile(text, &ds)->evaluate(ctx); };
        QCOMPARE(eval(QStringLiteral("Total / Inv_VAT")).kind, ValueKind::Error);
        QCOMPARE(eval(QStringLiteral("1 / 0")).kind, ValueKind::Error);
        QCOMPARE(eval(QStringLiteral("Cus_Name * 2")).kind, ValueKind::Error);
        QCOMPARE(eval(QStringLiteral("(Cus_Name * 2) + 1")).kind, ValueKind::Error);
        QVERIFY_THROWS_EXCEPTION(Exception, valueText(eval(QStringLiteral("1 / 0")), QString()));
        QCOMPARE(valueText(Value::boolean(true), QString()), QStringLiteral("True"));
        QCOMPARE(valueText(Value::boolean(false), QString()), QStringLiteral("False"));
        QCOMPARE(valueText(Value::string(QStringLiteral("as is")), QStringLiteral("0.00")), QStringLiteral("as is"));
    }

    void storedValuesThatDoNotFitTheirFieldAreErrorsNotOtherNumbers()
    {
        FakeDataset ds = sample({{qlonglong(9223372036854775807LL), "abc", 1001.5, "A", "2024-02-30"},
                                 {1001.5, 19.99, qlonglong(5000000000LL), "B", QDate(2026, 3, 7)}});
        EvalContext ctx;
        ctx.dataset = &ds;
        auto eval = [&](const QString& text) { return Expression::compile(text, &ds)->evaluate(ctx); };
        ds.first();
        Value v = eval(QStringLiteral("Line_Units + 1"));
        QCOMPARE(v.kind, ValueKind::Error);
        QCOMPARE(v.s, QStringLiteral("'9223372036854775807' is not a valid integer value for field 'Line_Units'"));
        QCOMPARE(eval(QStringLiteral("Total")).s, QStringLiteral("'abc' is not a valid floating point value for field 'Total'"));
        QCOMPARE(eval(QStringLiteral("Inv_VAT")).d, 1001.5);
        QCOMPARE(eval(QStringLiteral("Inv_Date")).s, QStringLiteral("2024-02-30"));
        ds.next();
        QCOMPARE(eval(QStringLiteral("Line_Units")).s, QStringLiteral("'1001.5' is not a valid integer value for field 'Line_Units'"));
        QCOMPARE(eval(QStringLiteral("Inv_VAT")).d, 5000000000.0);
        QCOMPARE(sumOver(QStringLiteral("SUM(Line_Units)"), ds).kind, ValueKind::Error);
    }

    void deepNestingAndLongSumsAreRefusedWithAClearError()
    {
        FakeDataset ds = sample({{1, 1.0, 1.0, "A", QDate()}});
        ds.first();
        EvalContext ctx;
        ctx.dataset = &ds;
        // Within the limit every form works.
        const QString sum200 = QStringLiteral("1") + QStringLiteral("+1").repeated(199);
        QCOMPARE(Expression::compile(sum200, &ds)->evaluate(ctx).i, 200);
        const QString nested = QStringLiteral("(-").repeated(120) + "Line_Units" + QStringLiteral(")").repeated(120);
        QCOMPARE(Expression::compile(nested, &ds)->evaluate(ctx).i, 1);
        // Far beyond it, parsing stops with one message instead of running out of stack.
        for (const QString& text : {QStringLiteral("(").repeated(200000) + "1" + QStringLiteral(")").repeated(200000),
                                    QStringLiteral("-").repeated(200000) + "1",
                                    QStringLiteral("1") + QStringLiteral("+1").repeated(200000),
                                    QStringLiteral("SUM(") + QStringLiteral("Total*").repeated(200000) + "1)"}) {
            const QString error = test::errorOf([&] { Expression::compile(text, &ds); });
            QVERIFY2(error.endsWith(QStringLiteral("it is nested more than 256 levels deep")), qPrintable(error.right(80)));
            QVERIFY(error.size() < 200); // the message does not repeat a huge text
        }
    }

    void syntaxErrorsAndUnknownNamesAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unclosed SUM") << "SUM(Total";
        QTest::newRow("dangling operator") << "Total +";
        QTest::newRow("unknown field") << "SUM(Totl)";
        QTest::newRow("unknown function") << "AVG(Total)";
        QTest::newRow("nested SUM") << "SUM(SUM(Total))";
        QTest::newRow("trailing junk") << "Total Total";
        QTest::newRow("empty") << "";
    }
    void syntaxErrorsAndUnknownNamesAreRefused()
    {
        QFETCH(QString, text);
        FakeDataset ds = sample({});
        QVERIFY_THROWS_EXCEPTION(Exception, Expression::compile(text, &ds));
    }

    void sumKeepsTheKindOfItsFirstValue()
    {
        FakeDataset ds = sample({{2, 10.25, 15.0, "A", QDate()},
                                 {3, 0.1, 15.0, "B", QDate()},
                                 {5, 0.2, 15.0, "C", QDate()}});
        Value v = sumOver(QStringLiteral("SUM(Line_Units)"), ds);
        QCOMPARE(v.kind, ValueKind::Integer);
        QCOMPARE(v.i, 10);
        v = sumOver(QStringLiteral("SUM(Total)"), ds);
        QCOMPARE(v.kind, ValueKind::Double);
        QCOMPARE(v.d, (10.25 + 0.1) + 0.2); // no rounding while summing
        v = sumOver(QStringLiteral("SUM(Total * (Inv_VAT / 100))"), ds);
        QCOMPARE(v.d, (10.25 * 0.15 + 0.1 * 0.15) + 0.2 * 0.15);
        // A SUM inside a larger expression.
        v = sumOver(QStringLiteral("SUM(Line_Units) * 2 + 1"), ds);
        QCOMPARE(v.i, 21);
    }

    void sumOfIntegersWrapsAt32Bits()
    {
        FakeDataset ds = sample({{std::numeric_limits<std::int32_t>::max(), 0.0, 0.0, "A", QDate()}, {1, 0.0, 0.0, "B", QDate()}});
        const Value v = sumOver(QStringLiteral("SUM(Line_Units)"), ds);
        QCOMPARE(v.kind, ValueKind::Integer);
        QCOMPARE(v.i, std::numeric_limits<std::int32_t>::min());
    }

    void sumOfTextIsAnError()
    {
        FakeDataset ds = sample({{1, 1.0, 0.0, "A", QDate()}, {1, 1.0, 0.0, "B", QDate()}});
        QCOMPARE(sumOver(QStringLiteral("SUM(Cus_Name)"), ds).kind, ValueKind::Error);
        // An error in one row stays: later numbers do not bring the sum back.
        FakeDataset mixed = sample({{1, 1.0, 15.0, "A", QDate()}, {1, 1.0, 0.0, "B", QDate()}, {1, 1.0, 15.0, "C", QDate()}});
        QCOMPARE(sumOver(QStringLiteral("SUM(Total / Inv_VAT)"), mixed).kind, ValueKind::Error);
    }

    void sumOfTextIsAnErrorFromItsFirstValueOn()
    {
        // One row: the text is the first value, and still no sum.
        FakeDataset one = sample({{1, 1.0, 0.0, "A", QDate()}});
        Value v = sumOver(QStringLiteral("SUM(Cus_Name)"), one);
        QCOMPARE(v.kind, ValueKind::Error);
        QVERIFY_THROWS_EXCEPTION(Exception, valueText(v, QStringLiteral("0.00")));

        // A total reset when it prints starts again from nothing: a text then is its first value.
        auto e = Expression::compile(QStringLiteral("SUM(Cus_Name)"), &one);
        EvalContext ctx;
        ctx.dataset = &one;
        one.first();
        e->updateAggregates(ctx);
        QCOMPARE(e->evaluate(ctx).kind, ValueKind::Error);
        e->resetAggregates();
        QCOMPARE(e->evaluate(ctx).kind, ValueKind::Integer);
        e->updateAggregates(ctx);
        QCOMPARE(e->evaluate(ctx).kind, ValueKind::Error);
    }

    void unaryMinusKeepsTheKind()
    {
        FakeDataset ds = sample({{3, 2.5, 15.0, "Acme", QDate()}, {std::numeric_limits<std::int32_t>::min(), 0.0, 0.0, "B", QDate()}});
        ds.first();
        EvalContext ctx;
        ctx.dataset = &ds;
        auto eval = [&](const QString& text) { return Expression::compile(text, &ds)->evaluate(ctx); };
        Value v = eval(QStringLiteral("-Line_Units"));
        QCOMPARE(v.kind, ValueKind::Integer);
        QCOMPARE(v.i, -3);
        QCOMPARE(eval(QStringLiteral("-Line_Units * 2")).i, -6);
        QCOMPARE(eval(QStringLiteral("- -Line_Units")).i, 3);
        QCOMPARE(eval(QStringLiteral("-Total")).d, -2.5);
        QCOMPARE(eval(QStringLiteral("-Cus_Name")).kind, ValueKind::Error);
        ds.next();
        // The smallest integer has no opposite in 32 bits: it wraps onto itself.
        QCOMPARE(eval(QStringLiteral("-Line_Units")).i, std::numeric_limits<std::int32_t>::min());
        // -3 + (the smallest integer) wraps to the top of the range.
        v = sumOver(QStringLiteral("SUM(-Line_Units)"), ds);
        QCOMPARE(v.kind, ValueKind::Integer);
        QCOMPARE(v.i, std::numeric_limits<std::int32_t>::max() - 2);
    }

    void emptySumIsIntegerZeroAndResetStartsAgain()
    {
        FakeDataset empty = sample({});
        Value v = sumOver(QStringLiteral("SUM(Total)"), empty);
        QCOMPARE(v.kind, ValueKind::Integer);
        QCOMPARE(v.i, 0);
        setRegional(RegionalSettings{});
        QCOMPARE(valueText(v, QStringLiteral("$ #,#0.00")), QStringLiteral("$ 0.00"));

        FakeDataset ds = sample({{1, 2.5, 0.0, "A", QDate()}});
        auto e = Expression::compile(QStringLiteral("SUM(Total)"), &ds);
        EvalContext ctx;
        ctx.dataset = &ds;
        ds.first();
        e->updateAggregates(ctx);
        e->updateAggregates(ctx);
        QCOMPARE(e->evaluate(ctx).d, 5.0);
        e->resetAggregates();
        QCOMPARE(e->evaluate(ctx).kind, ValueKind::Integer);
        e->updateAggregates(ctx);
        QCOMPARE(e->evaluate(ctx).d, 2.5);
    }
};

ZZ_TEST_MAIN(TestExpression)
#include "test_expression.moc"
