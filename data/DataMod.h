#pragma once
// The data module: every table cursor, data source and named statement of the program, by the
// names the windows use. One instance, DataModule1, created at start-up after the main window.
#include <QHash>
#include <QObject>

#include "data/DataSource.h"
#include "data/Query.h"
#include "data/Table.h"

namespace zz {

class TDataModule1 : public QObject {
    Q_OBJECT
public:
    // Opens the alias and the six tables in their order; throws when any of them cannot be opened.
    explicit TDataModule1(QObject* parent = nullptr);
    ~TDataModule1() override;

    // Table cursors.
    TTable* tblCustomer = nullptr;
    TTable* tblInvoice = nullptr;
    TTable* tblProduct = nullptr;
    TTable* tblCompany = nullptr;
    TTable* tblVAT = nullptr;
    TTable* tblLine = nullptr;

    // Data sources.
    TDataSource* datCustomer = nullptr;
    TDataSource* datInvoice = nullptr;
    TDataSource* datLine = nullptr;
    TDataSource* datProduct = nullptr;
    TDataSource* datCompany = nullptr;
    TDataSource* datVAT = nullptr;
    TDataSource* datInvDetail = nullptr;
    TDataSource* datInvReport = nullptr;
    TDataSource* datUnpaidInv = nullptr;
    TDataSource* datCancelledInv = nullptr;
    TDataSource* datReportRevenue = nullptr;
    TDataSource* datStatementDetail = nullptr;
    TDataSource* datStatCurrent = nullptr;
    TDataSource* datStat30 = nullptr;
    TDataSource* datStat60 = nullptr;
    TDataSource* datStat90 = nullptr;
    TDataSource* datStat120 = nullptr;
    TDataSource* datStat120Plus = nullptr;

    // Named statements.
    TQuery* qryInvDetail = nullptr;
    TQuery* qryDelLine = nullptr;
    TQuery* qryPayInv = nullptr;
    TQuery* qryCancelInv = nullptr;
    TQuery* qryInvReport = nullptr;
    TQuery* qryUnpaidInv = nullptr;
    TQuery* qryAdvancePeriod = nullptr;
    TQuery* qryCancelledInv = nullptr;
    TQuery* qryReportRevenue = nullptr;
    TQuery* qryStatementDetail = nullptr;
    TQuery* qryStatCurrent = nullptr;
    TQuery* qryStat30 = nullptr;
    TQuery* qryStat60 = nullptr;
    TQuery* qryStat90 = nullptr;
    TQuery* qryStat120 = nullptr;
    TQuery* qryStat120Plus = nullptr;

    // Persistent fields, e.g. tblInvoiceInv_Number, qryUnpaidInvInv_Number.
#define ZZ_FIELD(component, field) TField* component##field = nullptr;
#include "data/DataModFields.inc"
#undef ZZ_FIELD

    // Any component by its name ("tblCustomer", "datInvoice", "qryPayInv"); nullptr when none.
    QObject* component(const QString& name) const;
    // A persistent field by its component name ("tblCompanyCom_Logo"); nullptr when none.
    TField* persistentField(const QString& name) const;
    // The statements in creation order.
    const QList<TQuery*>& queries() const { return m_queries; }
    QList<TTable*> tables() const { return {tblCustomer, tblInvoice, tblProduct, tblCompany, tblVAT, tblLine}; }

private:
    TTable* makeTable(const QString& name, const QString& file);
    TDataSource* makeSource(const QString& name, TDataSet* dataSet);

    QHash<QString, QObject*> m_components;
    QHash<QString, TField*> m_fields;
    QList<TQuery*> m_queries;
};

// The one instance, set while it exists.
extern TDataModule1* DataModule1;

} // namespace zz
