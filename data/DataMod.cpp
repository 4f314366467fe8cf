#include "data/DataMod.h"

#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Statements.h"

namespace zz {

TDataModule1* DataModule1 = nullptr;

TTable* TDataModule1::makeTable(const QString& name, const QString& file)
{
    auto* t = new TTable(name, file, this);
    m_components.insert(name, t);
    return t;
}

TDataSource* TDataModule1::makeSource(const QString& name, TDataSet* dataSet)
{
    auto* s = new TDataSource(name, dataSet, this);
    m_components.insert(name, s);
    return s;
}

TDataModule1::TDataModule1(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DataModule1"));
    Engine::open();

    // Components in creation order.
    tblCustomer = makeTable(QStringLiteral("tblCustomer"), QStringLiteral("Customer.DB"));
    tblInvoice = makeTable(QStringLiteral("tblInvoice"), QStringLiteral("Invoice.DB"));
    tblProduct = makeTable(QStringLiteral("tblProduct"), QStringLiteral("Product.db"));
    tblCompany = makeTable(QStringLiteral("tblCompany"), QStringLiteral("Company.db"));
    tblVAT = makeTable(QStringLiteral("tblVAT"), QStringLiteral("VAT.db"));
    datCustomer = makeSource(QStringLiteral("datCustomer"), tblCustomer);
    datInvoice = makeSource(QStringLiteral("datInvoice"), tblInvoice);
    tblLine = makeTable(QStringLiteral("tblLine"), QStringLiteral("Line.DB"));
    datLine = makeSource(QStringLiteral("datLine"), tblLine);
    datProduct = makeSource(QStringLiteral("datProduct"), tblProduct);
    datCompany = makeSource(QStringLiteral("datCompany"), tblCompany);
    datVAT = makeSource(QStringLiteral("datVAT"), tblVAT);
    tblInvoice->setMasterSource(datCustomer, QStringLiteral("Cus_Code"));
    tblLine->setMasterSource(datInvoice, QStringLiteral("Inv_Number"));

    for (const StatementDef& def : statementDefs()) {
        auto* q = new TQuery(def.name, def.lines, def.fields, this);
        if (!def.engineLines.isEmpty())
            q->setEngineSql(def.engineLines);
        m_components.insert(def.name, q);
        m_queries.push_back(q);
        if (def.hasDataSource)
            makeSource(QStringLiteral("dat") + def.name.mid(3), q);
    }
    auto query = [this](const char* name) { return static_cast<TQuery*>(m_components.value(QLatin1String(name))); };
    auto source = [this](const char* name) { return static_cast<TDataSource*>(m_components.value(QLatin1String(name))); };
    qryInvDetail = query("qryInvDetail");
    qryDelLine = query("qryDelLine");
    qryPayInv = query("qryPayInv");
    qryCancelInv = query("qryCancelInv");
    qryInvReport = query("qryInvReport");
    qryUnpaidInv = query("qryUnpaidInv");
    qryAdvancePeriod = query("qryAdvancePeriod");
    qryCancelledInv = query("qryCancelledInv");
    qryReportRevenue = query("qryReportRevenue");
    qryStatementDetail = query("qryStatementDetail");
    qryStatCurrent = query("qryStatCurrent");
    qryStat30 = query("qryStat30");
    qryStat60 = query("qryStat60");
    qryStat90 = query("qryStat90");
    qryStat120 = query("qryStat120");
    qryStat120Plus = query("qryStat120Plus");
    datInvDetail = source("datInvDetail");
    datInvReport = source("datInvReport");
    datUnpaidInv = source("datUnpaidInv");
    datCancelledInv = source("datCancelledInv");
    datReportRevenue = source("datReportRevenue");
    datStatementDetail = source("datStatementDetail");
    datStatCurrent = source("datStatCurrent");
    datStat30 = source("datStat30");
    datStat60 = source("datStat60");
    datStat90 = source("datStat90");
    datStat120 = source("datStat120");
    datStat120Plus = source("datStat120Plus");

    // Persistent fields: the component's field of that name.
#define ZZ_FIELD(component, field)                                                   \
    component##field = static_cast<TDataSet*>(m_components.value(QStringLiteral(#component)))->FieldByName(QStringLiteral(#field)); \
    m_fields.insert(QStringLiteral(#component #field), component##field);
#include "data/DataModFields.inc"
#undef ZZ_FIELD

    // The six tables open at load, in this order.
    try {
        for (TTable* t : {tblCustomer, tblInvoice, tblProduct, tblCompany, tblVAT, tblLine})
            t->Open();
    } catch (...) {
        Engine::close();
        throw;
    }
    DataModule1 = this;
}

TDataModule1::~TDataModule1()
{
    if (DataModule1 == this)
        DataModule1 = nullptr;
    for (TQuery* q : m_queries)
        q->Close();
    for (TTable* t : tables())
        t->Close();
    Engine::close();
}

QObject* TDataModule1::component(const QString& name) const { return m_components.value(name); }

TField* TDataModule1::persistentField(const QString& name) const { return m_fields.value(name); }

} // namespace zz
