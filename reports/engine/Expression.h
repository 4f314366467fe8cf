#pragma once
// Report expressions: bare field names of the bound dataset (without regard to case), integer
// and double constants, quoted strings, + - * / and parentheses, and the aggregate SUM(x).
// The report-wide values PAGENUMBER, COLUMNNUMBER and REPORTTITLE are known too.
//
// Integers are 32 bits and wrap; an integer combined with a double is converted; division
// always yields a double. SUM keeps a running value per generation run: the first argument
// sets value and kind, later integers add as 32-bit integers, later doubles add in a double
// accumulator, a text argument turns the sum into an error; before any row it is integer 0.
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "reports/engine/ReportDataset.h"

namespace zz::report {

enum class ValueKind { Integer, Double, String, Boolean, Error };

struct Value {
    ValueKind kind = ValueKind::Integer;
    std::int32_t i = 0;
    double d = 0;
    bool b = false;
    QString s; // the text, or the error's message

    static Value integer(std::int32_t v) { Value r; r.kind = ValueKind::Integer; r.i = v; return r; }
    static Value real(double v) { Value r; r.kind = ValueKind::Double; r.d = v; return r; }
    static Value string(const QString& v) { Value r; r.kind = ValueKind::String; r.s = v.left(255); return r; }
    static Value boolean(bool v) { Value r; r.kind = ValueKind::Boolean; r.b = v; return r; }
    static Value error(const QString& message) { Value r; r.kind = ValueKind::Error; r.s = message; return r; }

    bool isNumber() const { return kind == ValueKind::Integer || kind == ValueKind::Double; }
    double toDouble() const { return kind == ValueKind::Integer ? i : d; }
};

// What an expression reads while it is evaluated.
struct EvalContext {
    ReportDataset* dataset = nullptr; // the bound dataset
    int pageNumber = 0;
    int columnNumber = 1;
    QString reportTitle;
};

class Expression {
public:
    // Parses the text; field names are resolved in `dataset` (may be nullptr: then every name
    // but the report-wide values is unknown). Throws zz::Exception on a syntax error or an
    // unknown name.
    static std::unique_ptr<Expression> compile(const QString& text, const ReportDataset* dataset);
    ~Expression();

    // Starts every SUM again from nothing.
    void resetAggregates();
    // Adds the current row to every SUM (their arguments are evaluated on the current row).
    void updateAggregates(const EvalContext& context);
    bool hasAggregates() const { return !m_sums.empty(); }
    Value evaluate(const EvalContext& context) const;
    const QString& text() const { return m_text; }

    struct Node;

private:
    Expression() = default;
    QString m_text;
    std::vector<std::unique_ptr<Node>> m_nodes; // m_nodes[root] is the top
    int m_root = -1;
    std::vector<int> m_sums;
    friend class Parser;
};

// The printed text of a value through a number mask; strings print unchanged, booleans as
// "True" or "False". An error value has no printed form: it throws zz::Exception.
QString valueText(const Value& value, const QString& mask);

} // namespace zz::report
