#include "data/HeldRows.h"

#include <limits>
#include <sqlite3.h>

#include "data/Field.h"

namespace zz {

namespace {
// The number written by n decimal digits; -1 when one of them is no digit.
int digits(const unsigned char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}
} // namespace

// A column as Qt's SQLite driver would give it.
QVariant sqliteDriverValue(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: return sqlite3_value_double(v);
    case SQLITE_BLOB: {
        const char* b = static_cast<const char*>(sqlite3_value_blob(v));
        return QByteArray(b, sqlite3_value_bytes(v));
    }
    default: {
        const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return QString::fromUtf8(t, sqlite3_value_bytes(v));
    }
    }
}

// Binds a value as Qt's SQLite driver would.
void sqliteBind(sqlite3_stmt* s, int i, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(s, i);
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(s, i, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(s, i, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray t = v.toString().toUtf8();
        sqlite3_bind_text(s, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

void SqliteStatementReset::operator()(sqlite3_stmt* s) const { sqlite3_reset(s); }

QVariant HeldBlock::value(size_t i) const
{
    const HeldCell& c = cells[i];
    switch (c.kind) {
    case HeldCell::Null: return {};
    case HeldCell::Text: return QString::fromUtf8(text.data() + c.at, qsizetype(c.size));
    case HeldCell::Int: return int(c.i);
    case HeldCell::Double: return c.d;
    case HeldCell::Date: return QDate::fromJulianDay(c.i);
    case HeldCell::Held: return held[c.at];
    }
    return {};
}

void HeldBlock::hold(HeldCell& c, const QVariant& v)
{
    if (!v.isValid())
        return;
    c.kind = HeldCell::Held;
    c.at = held.size();
    held.push_back(v);
}

void HeldBlock::take(HeldCell& c, FieldType type, sqlite3_value* v)
{
    const int kind = sqlite3_value_type(v);
    if (kind == SQLITE_NULL)
        return;
    switch (type) {
    case FieldType::Text:
        if (kind == SQLITE_TEXT) {
            const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
            c.kind = HeldCell::Text;
            c.size = quint32(sqlite3_value_bytes(v));
            c.at = text.size();
            text.append(t, c.size);
            return;
        }
        break;
    case FieldType::Integer:
    case FieldType::AutoInc:
        // Beyond 32 bits the value is held as it is (below), never cut.
        if (kind == SQLITE_INTEGER) {
            const qint64 n = sqlite3_value_int64(v);
            if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max()) {
                c.kind = HeldCell::Int;
                c.i = n;
                return;
            }
        }
        break;
    case FieldType::Float:
    case FieldType::Money:
        if (kind == SQLITE_FLOAT) {
            c.kind = HeldCell::Double;
            c.d = sqlite3_value_double(v);
            return;
        }
        if (kind == SQLITE_INTEGER) {
            // Whole numbers a double holds exactly; larger ones are held as they are.
            const qint64 n = sqlite3_value_int64(v);
            if (n >= -(qint64(1) << 53) && n <= (qint64(1) << 53)) {
                c.kind = HeldCell::Double;
                c.d = double(n);
                return;
            }
        }
        break;
    case FieldType::Date:
        if (kind == SQLITE_TEXT) {
            // 'YYYY-MM-DD', as the cursors write dates.
            const unsigned char* t = sqlite3_value_text(v);
            if (sqlite3_value_bytes(v) >= 10) {
                const int y = digits(t, 4), m = digits(t + 5, 2), d = digits(t + 8, 2);
                if (t[4] == '-' && t[7] == '-' && y > 0 && m >= 0 && d >= 0) {
                    const QDate date(y, m, d);
                    if (date.isValid()) {
                        c.kind = HeldCell::Date;
                        c.i = date.toJulianDay();
                        return;
                    }
                }
            }
        }
        break;
    case FieldType::Graphic:
        if (kind == SQLITE_BLOB) {
            const char* b = static_cast<const char*>(sqlite3_value_blob(v));
            if (const int n = sqlite3_value_bytes(v))
                hold(c, QByteArray(b, n));
            return;
        }
        break;
    }
    hold(c, TField::normalise(type, sqliteDriverValue(v)));
}

} // namespace zz
