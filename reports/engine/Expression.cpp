#include "reports/engine/Expression.h"

#include <algorithm>

#include "data/Errors.h"
#include "data/FieldText.h"
#include "data/NumberPattern.h"

namespace zz::report {

namespace {
// The deepest nesting of an expression: far beyond any report's, far within the stack.
constexpr int kMaxDepth = 256;

enum class Op { IntConst, DoubleConst, StringConst, Field, PageNumber, ColumnNumber, ReportTitle, Neg, Add, Sub, Mul, Div, Sum };

std::int32_t wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v))); }

Value fieldValue(const ReportDataset* ds, int index, FieldType type, const QString& name)
{
    if (!ds || ds->isEmpty()) {
        // No row to read: the kind's empty value.
        switch (type) {
        case FieldType::Integer:
        case FieldType::AutoInc: return Value::integer(0);
        case FieldType::Float:
        case FieldType::Money: return Value::real(0);
        default: return Value::string(QString());
        }
    }
    // A stored value its field's type cannot hold (a fraction or a number beyond 32 bits in a
    // whole-number field, a text in a money field) is an error, never computed as another number.
    const QVariant v = exactFieldValue(type, ds->value(index));
    const auto foreign = [&](const char* what) {
        return Value::error(QStringLiteral("'%1' is not a valid %2 value for field '%3'")
                                .arg(fieldText(type, v, QString(), TextUse::Edit), QLatin1String(what), name));
    };
    switch (type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (v.isNull())
            return Value::integer(0);
        return v.typeId() == QMetaType::Int ? Value::integer(v.toInt()) : foreign("integer");
    case FieldType::Float:
    case FieldType::Money:
        if (v.isNull())
            return Value::real(0.0);
        return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong ? Value::real(v.toDouble())
                                                                                     : foreign("floating point");
    case FieldType::Text: return Value::string(v.toString());
    case FieldType::Date: return Value::string(fieldText(type, v, QString()));
    case FieldType::Graphic: break;
    }
    return Value::error(QStringLiteral("A picture field cannot be used in an expression"));
}

Value arithmetic(Op op, const Value& a, const Value& b)
{
    if (a.kind == ValueKind::Error)
        return a;
    if (b.kind == ValueKind::Error)
        return b;
    if (op == Op::Add && a.kind == ValueKind::String && b.kind == ValueKind::String)
        return Value::string(a.s + b.s);
    if (!a.isNumber() || !b.isNumber())
        return Value::error(QStringLiteral("Incompatible types in an expression"));
    const bool ints = a.kind == ValueKind::Integer && b.kind == ValueKind::Integer;
    switch (op) {
    case Op::Add: return ints ? Value::integer(wrap(std::int64_t(a.i) + b.i)) : Value::real(a.toDouble() + b.toDouble());
    case Op::Sub: return ints ? Value::integer(wrap(std::int64_t(a.i) - b.i)) : Value::real(a.toDouble() - b.toDouble());
    case Op::Mul: return ints ? Value::integer(wrap(std::int64_t(a.i) * b.i)) : Value::real(a.toDouble() * b.toDouble());
    case Op::Div:
        if (b.toDouble() == 0.0)
            return Value::error(QStringLiteral("Division by zero"));
        return Value::real(a.toDouble() / b.toDouble());
    default: break;
    }
    return Value::error(QStringLiteral("Invalid operation"));
}
} // namespace

struct Expression::Node {
    Op op = Op::IntConst;
    int a = -1, b = -1;
    Value constant;
    int depth = 1; // levels of the tree from this node down
    int field = -1;
    FieldType type = FieldType::Text;
    QString name; // the field's name as the expression writes it
    // SUM's running value
    bool started = false;
    Value sum;
};

namespace {
Expression::Node mk(Op op, int a = -1, int b = -1)
{
    Expression::Node n;
    n.op = op;
    n.a = a;
    n.b = b;
    return n;
}
} // namespace

class Parser {
public:
    Parser(Expression& e, const QString& text, const ReportDataset* ds) : m_e(e), m_text(text), m_ds(ds) {}

    int parseAll()
    {
        const int root = parseSum();
        skipBlanks();
        if (m_pos < m_text.size())
            fail(QStringLiteral("unexpected \"%1\"").arg(m_text.mid(m_pos)));
        return root;
    }

private:
    Expression& m_e;
    const QString& m_text;
    const ReportDataset* m_ds;
    int m_pos = 0;
    int m_sumDepth = 0;

    [[noreturn]] void fail(const QString& what) const
    {
        const QString shown = m_text.size() > 60 ? m_text.left(57) + QStringLiteral("...") : m_text;
        throw Exception(QStringLiteral("Error in the expression \"%1\": %2").arg(shown, what));
    }

    // Parsing and evaluating recurse once per level: the levels are limited so that no text,
    // however long, runs them out of stack.
    [[noreturn]] void tooDeep() const { fail(QStringLiteral("it is nested more than %1 levels deep").arg(kMaxDepth)); }

    int add(Expression::Node n)
    {
        int below = 0;
        for (int child : {n.a, n.b})
            if (child >= 0)
                below = std::max(below, m_e.m_nodes[size_t(child)]->depth);
        n.depth = below + 1;
        if (n.depth > kMaxDepth)
            tooDeep();
        m_e.m_nodes.push_back(std::make_unique<Expression::Node>(std::move(n)));
        return static_cast<int>(m_e.m_nodes.size()) - 1;
    }

    // Counts one level of nesting while a parenthesis, a sign or SUM's argument is parsed.
    struct Level {
        explicit Level(Parser& p) : parser(p)
        {
            if (++parser.m_nesting > kMaxDepth)
                parser.tooDeep();
        }
        ~Level() { --parser.m_nesting; }
        Parser& parser;
    };
    int m_nesting = 0;

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }

    bool take(QChar c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    int parseSum()
    {
        int left = parseProduct();
        for (;;) {
            if (take(QLatin1Char('+')))
                left = add(mk(Op::Add, left, parseProduct()));
            else if (take(QLatin1Char('-')))
                left = add(mk(Op::Sub, left, parseProduct()));
            else
                return left;
        }
    }

    int parseProduct()
    {
        int left = parseFactor();
        for (;;) {
            if (take(QLatin1Char('*')))
                left = add(mk(Op::Mul, left, parseFactor()));
            else if (take(QLatin1Char('/')))
                left = add(mk(Op::Div, left, parseFactor()));
            else
                return left;
        }
    }

    int parseFactor()
    {
        skipBlanks();
        if (m_pos >= m_text.size())
            fail(QStringLiteral("an operand is missing"));
        const QChar c = m_text.at(m_pos);
        const Level level(*this);
        if (take(QLatin1Char('-')))
            return add(mk(Op::Neg, parseFactor()));
        if (take(QLatin1Char('+')))
            return parseFactor();
        if (take(QLatin1Char('('))) {
            const int inner = parseSum();
            if (!take(QLatin1Char(')')))
                fail(QStringLiteral("\")\" expected"));
            return inner;
        }
        if (c.isDigit() || c == QLatin1Char('.'))
            return parseNumber();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = m_text.indexOf(c, m_pos + 1);
            if (end < 0)
                fail(QStringLiteral("unterminated text"));
            Expression::Node n = mk(Op::StringConst);
            n.constant = Value::string(m_text.mid(m_pos + 1, end - m_pos - 1));
            m_pos = end + 1;
            return add(std::move(n));
        }
        if (c.isLetter() || c == QLatin1Char('_'))
            return parseName();
        fail(QStringLiteral("unexpected \"%1\"").arg(c));
    }

    int parseNumber()
    {
        const int start = m_pos;
        bool point = false;
        while (m_pos < m_text.size() && (m_text.at(m_pos).isDigit() || (!point && m_text.at(m_pos) == QLatin1Char('.')))) {
            if (m_text.at(m_pos) == QLatin1Char('.'))
                point = true;
            ++m_pos;
        }
        const QString digits = m_text.mid(start, m_pos - start);
        Expression::Node n = mk(Op::IntConst);
        bool ok = false;
        if (!point) {
            const qlonglong v = digits.toLongLong(&ok);
            if (ok && v <= std::numeric_limits<std::int32_t>::max()) {
                n.constant = Value::integer(static_cast<std::int32_t>(v));
                return add(std::move(n));
            }
        }
        const double d = digits.toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("bad number \"%1\"").arg(digits));
        n.op = Op::DoubleConst;
        n.constant = Value::real(d);
        return add(std::move(n));
    }

    int parseName()
    {
        const int start = m_pos;
        while (m_pos < m_text.size() && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == QLatin1Char('_')))
            ++m_pos;
        const QString name = m_text.mid(start, m_pos - start);
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('(')) {
            if (name.compare(QLatin1String("SUM"), Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("unknown function %1").arg(name));
            if (m_sumDepth > 0)
                fail(QStringLiteral("SUM inside SUM"));
            ++m_pos;
            ++m_sumDepth;
            const int arg = parseSum();
            --m_sumDepth;
            if (!take(QLatin1Char(')')))
                fail(QStringLiteral("\")\" expected"));
            const int node = add(mk(Op::Sum, arg));
            m_e.m_sums.push_back(node);
            return node;
        }
        const int field = m_ds ? m_ds->fieldIndex(name) : -1;
        if (field >= 0) {
            Expression::Node n = mk(Op::Field);
            n.field = field;
            n.type = m_ds->fieldType(field);
            n.name = name;
            return add(std::move(n));
        }
        if (name.compare(QLatin1String("PAGENUMBER"), Qt::CaseInsensitive) == 0)
            return add(mk(Op::PageNumber));
        if (name.compare(QLatin1String("COLUMNNUMBER"), Qt::CaseInsensitive) == 0)
            return add(mk(Op::ColumnNumber));
        if (name.compare(QLatin1String("REPORTTITLE"), Qt::CaseInsensitive) == 0)
            return add(mk(Op::ReportTitle));
        fail(QStringLiteral("unknown field %1").arg(name));
    }
};

std::unique_ptr<Expression> Expression::compile(const QString& text, const ReportDataset* dataset)
{
    std::unique_ptr<Expression> e(new Expression);
    e->m_text = text;
    Parser parser(*e, text, dataset);
    e->m_root = parser.parseAll();
    return e;
}

Expression::~Expression() = default;

void Expression::resetAggregates()
{
    for (int s : m_sums) {
        m_nodes[s]->started = false;
        m_nodes[s]->sum = Value::integer(0);
    }
}

namespace {
Value eval(const std::vector<std::unique_ptr<Expression::Node>>& nodes, int index, const EvalContext& ctx, bool insideSum)
{
    const Expression::Node& n = *nodes[index];
    switch (n.op) {
    case Op::IntConst:
    case Op::DoubleConst:
    case Op::StringConst: return n.constant;
    case Op::Field: return fieldValue(ctx.dataset, n.field, n.type, n.name);
    case Op::PageNumber: return Value::integer(ctx.pageNumber);
    case Op::ColumnNumber: return Value::integer(ctx.columnNumber);
    case Op::ReportTitle: return Value::string(ctx.reportTitle);
    case Op::Neg: {
        const Value v = eval(nodes, n.a, ctx, insideSum);
        if (v.kind == ValueKind::Integer)
            return Value::integer(wrap(-std::int64_t(v.i)));
        if (v.kind == ValueKind::Double)
            return Value::real(-v.d);
        if (v.kind == ValueKind::Error)
            return v;
        return Value::error(QStringLiteral("Incompatible types in an expression"));
    }
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div: return arithmetic(n.op, eval(nodes, n.a, ctx, insideSum), eval(nodes, n.b, ctx, insideSum));
    case Op::Sum:
        if (insideSum)
            return eval(nodes, n.a, ctx, true);
        return n.started ? n.sum : Value::integer(0);
    }
    return Value::error(QStringLiteral("Invalid expression"));
}
} // namespace

void Expression::updateAggregates(const EvalContext& context)
{
    for (int s : m_sums) {
        Node& n = *m_nodes[s];
        const Value arg = eval(m_nodes, n.a, context, true);
        const bool first = !n.started;
        n.started = true;
        if (!first && n.sum.kind == ValueKind::Error)
            continue; // an error stays: later numbers do not bring the sum back
        // The error names the row it arose in, where the dataset names its rows.
        const auto failed = [&](const QString& message) {
            const QString row = context.dataset ? context.dataset->rowName() : QString();
            n.sum = Value::error(row.isEmpty() ? message : QStringLiteral("%1 in %2").arg(message, row));
        };
        if (arg.kind == ValueKind::Error)
            failed(arg.s);
        else if (arg.kind == ValueKind::String)
            failed(QStringLiteral("SUM of a text value"));
        else if (!arg.isNumber())
            failed(QStringLiteral("Incompatible types in SUM"));
        else if (first)
            n.sum = arg; // the first value sets the value and its kind
        else if (n.sum.kind == ValueKind::Integer && arg.kind == ValueKind::Integer)
            n.sum = Value::integer(wrap(std::int64_t(n.sum.i) + arg.i));
        else
            n.sum = Value::real(n.sum.toDouble() + arg.toDouble());
    }
}

Value Expression::evaluate(const EvalContext& context) const { return eval(m_nodes, m_root, context, false); }

QString valueText(const Value& value, const QString& mask)
{
    switch (value.kind) {
    case ValueKind::Integer: return formatNumberPattern(mask, static_cast<std::int64_t>(value.i));
    case ValueKind::Double: return formatNumberPattern(mask, value.d);
    case ValueKind::String: return value.s;
    case ValueKind::Boolean: return value.b ? QStringLiteral("True") : QStringLiteral("False");
    case ValueKind::Error: break;
    }
    throw Exception(value.s);
}

} // namespace zz::report
