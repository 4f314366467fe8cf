#pragma once
// A named SQL statement: closed or open, positional parameters that stay set while closed,
// and when open a read-only snapshot of the rows as they were when it ran.
#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <vector>

#include "data/DataSet.h"

namespace zz {

enum class ParamType { Integer, Text, Date };

struct TParam {
    QString name;
    ParamType type = ParamType::Integer;
    QVariant value; // int, QString or QDate; invalid when never set

    void SetAsInteger(int v) { type = ParamType::Integer; value = v; }
    void SetAsString(const QString& v) { type = ParamType::Text; value = v; }
    // Keeps the date only: a time of day passed with it is dropped.
    void SetAsDate(const QDate& v) { type = ParamType::Date; value = v; }
    void SetAsDateTime(const QDateTime& v) { SetAsDate(v.date()); }
};

class TQuery : public TDataSet {
    Q_OBJECT
public:
    // sqlLines are joined by line breaks. resultFields are the declared result fields, in their
    // order; with none declared, the fields follow the statement's columns.
    TQuery(const QString& name, const QStringList& sqlLines, std::vector<FieldDef> resultFields = {},
           QObject* parent = nullptr);

    const QStringList& SQL() const { return m_sql; }
    QString sqlText() const { return m_sql.join(QLatin1Char('\n')); }
    bool hasDeclaredFields() const { return !m_declared.empty(); }

    int ParamCount() const { return int(m_params.size()); }
    // Parameter n, first = 0, in the order they appear in the text.
    TParam& Params(int n);
    TParam& ParamByName(const QString& name);

    // Runs the statement with the parameters as set now; the rows stay as they were until closed.
    void Open();
    void Close();
    // Runs a statement without result.
    void ExecSQL();

private:
    void bindParams(QSqlQuery& q) const;

    QStringList m_sql;
    std::vector<FieldDef> m_declared;
    std::vector<TParam> m_params;
};

} // namespace zz
