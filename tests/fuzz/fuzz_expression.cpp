// Report expressions: any text compiled against a dataset of every field type, with values that fit
// and values that do not; what compiles is summed over the rows, evaluated and printed.
#include "data/Errors.h"
#include "data/Regional.h"
#include "reports/engine/Expression.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/reports/FakeDataset.h"

using namespace zz;
using namespace zz::report;

namespace {
test::FakeDataset& dataset()
{
    static test::FakeDataset ds({{"Line_Units", FieldType::Integer},
                                 {"Line_Number", FieldType::AutoInc},
                                 {"Total", FieldType::Money},
                                 {"Inv_VAT", FieldType::Float},
                                 {"Cus_Name", FieldType::Text},
                                 {"Inv_Date", FieldType::Date},
                                 {"Com_Logo", FieldType::Graphic}},
                                {{3, 1, 19.99, 15.0, "Acme", QDate(2026, 3, 7), QByteArray("BM")},
                                 {std::numeric_limits<int>::max(), 2, -0.5, 0.0, "", QDate(), QVariant()},
                                 {qlonglong(9223372036854775807LL), 3, "abc", 1e308, "Zoë", "2024-02-30", QVariant()},
                                 {1001.5, 4, QVariant(), -1e-300, QVariant(), QDate(1, 1, 1), QVariant()}});
    return ds;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const auto maskLength = in.take<std::uint8_t>() % 16;
    const QString all = in.restAsText();
    const QString mask = all.left(maskLength);
    const QString text = all.mid(maskLength);
    test::FakeDataset& ds = dataset();
    try {
        auto e = Expression::compile(text, &ds);
        EvalContext ctx;
        ctx.dataset = &ds;
        ctx.pageNumber = 2;
        ctx.reportTitle = QStringLiteral("Title");
        e->resetAggregates();
        for (ds.first(); !ds.eof(); ds.next()) {
            e->updateAggregates(ctx);
            valueText(e->evaluate(ctx), mask);
        }
        valueText(e->evaluate(ctx), mask);
    } catch (const Exception&) {
        // A refused expression or an error value: both are reported to the user.
    }
    return 0;
}
