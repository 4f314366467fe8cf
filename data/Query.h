#pragma once
// A named SQL statement: closed or open, positional parameters that stay set while closed,
// and when open a read-only view of the rows as they were when it ran. The rows are read on
// demand (data/QueryRows.h); before anything writes to the database, the open results read the
// rest of their rows, so that what they show never changes until they are opened again. The
// statement is prepared once and kept, so that running it many times (in one transaction, see
// Engine::runInTransaction) costs only the run.
#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <memory>
#include <vector>

#include "data/DataSet.h"
#include "data/Engine.h"

namespace zz {

class QueryRows;

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
    ~TQuery() override;

    const QStringList& SQL() const { return m_sql; }
    QString sqlText() const { return m_sql.join(QLatin1Char('\n')); }
    bool hasDeclaredFields() const { return !m_declared.empty(); }
    // The statement as the SQLite engine runs it, where the stored text would make the engine
    // read the whole result before its first row: the same rows and columns, in the same order,
    // with the same parameters. Empty: the stored text.
    void setEngineSql(const QStringList& lines) { m_engineSql = lines.join(QLatin1Char('\n')); }
    QString engineSql() const { return m_engineSql.isEmpty() ? sqlText() : m_engineSql; }

    int ParamCount() const { return int(m_params.size()); }
    // Parameter n, first = 0, in the order they appear in the text.
    TParam& Params(int n);
    TParam& ParamByName(const QString& name);

    // Runs the statement with the parameters as set now; the rows stay as they were until closed.
    void Open();
    void Close();
    // Runs a statement without result.
    void ExecSQL();

    int RecordCount() const override;
    int FetchedCount() const override;
    bool FetchMore() override;
    bool AllFetched() const override;
    QVariant rowValue(int position, int index) const override;

private:
    void bindParams(QSqlQuery& q) const;
    void bindParams(sqlite3_stmt* st) const;
    void openDirect(sqlite3* db);
    void openThroughDriver();
    // Where each field's value stands among the statement's columns.
    std::vector<int> fieldColumns(const QStringList& columnNames) const;
    // Reads up to `rows` more rows (all with -1) and tells the controls; true when it read any.
    bool fetchRows(int rows) const;
    // Run before anything writes: every open result reads the rest of its rows.
    static void readOpenResultsToEnd();

    QStringList m_sql;
    QString m_engineSql;
    std::vector<FieldDef> m_declared;
    std::vector<TParam> m_params;
    KeptStatement m_statement;
    std::unique_ptr<QueryRows> m_rows;
    mutable int m_run = 0; // rows read by the last fetch on demand
};

} // namespace zz
