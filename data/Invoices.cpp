#include "data/Invoices.h"

#include <QDateTime>
#include <QSqlQuery>

#include "data/AgeClass.h"
#include "data/CreditNotes.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Statements.h"
#include "data/TableSql.h"

namespace zz {

namespace {
const QString kInvoice = QStringLiteral("Invoice");
void lockInvoices() { lockInvoiceWrites(); }
} // namespace

void lockInvoiceWrites()
{
    if (openDialect() == SqlDialect::PostgreSQL)
        Engine::lockTableForWriting(kInvoice);
    else
        lockRow(tableDef(kInvoice), 0);
}

namespace {

// How an invoice stands, as stored.
struct InvoiceState {
    bool exists = false;
    bool paid = false;         // it has a pay date
    bool notCancelled = false; // its mark is exactly "NO"
};

InvoiceState stateOf(int number)
{
    QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT Inv_PayDate, Inv_Cancelled FROM Invoice WHERE Inv_Number = ?"));
    q.setForwardOnly(true);
    q.addBindValue(number);
    execOrThrow(q, kInvoice);
    InvoiceState s;
    if (!q.next())
        return s;
    s.exists = true;
    s.paid = TField::normalise(FieldType::Date, q.value(0)).isValid();
    s.notCancelled = q.value(1).toString() == QLatin1String("NO");
    return s;
}

// A pending row's values, field by field.
Row pendingValues(const TTable* table)
{
    Row row;
    for (int i = 0; i < table->FieldCount(); ++i)
        row.push_back(table->fieldValue(i));
    return row;
}

// Puts a row that was being edited back as it was: still pending when its post failed, or, when
// it was posted in a transaction that did not land, read again and edited anew with the same values.
void restorePending(TTable* table, const Row& values)
{
    if (table->State() == DataSetState::Browse) {
        table->Refresh();
        table->Edit(); // on an empty view a new row, as it was
    }
    for (int i = 0; i < table->FieldCount() && size_t(i) < values.size(); ++i) {
        if (table->Fields()[size_t(i)]->ReadOnly())
            continue;
        const QVariant now = table->fieldValue(i);
        if (now != values[size_t(i)] || now.isValid() != values[size_t(i)].isValid())
            table->setFieldValue(i, values[size_t(i)]);
    }
}

struct StoredProduct {
    QVariant code;
    Money price;
};

// The product current in the cursor, with its price as it is stored now and as it stays until the
// running transaction ends (the row locked against other seats' writes). The cursor itself is not
// read again: the product box lists every product and would read them all. A product another seat
// has deleted meanwhile gives the cursor's values.
StoredProduct lockedProduct(TTable* products)
{
    StoredProduct p{products->FieldByName(QStringLiteral("Prod_Code"))->Value(),
                    products->FieldByName(QStringLiteral("Prod_Price"))->AsMoney()};
    const qint64 id = products->currentRowId();
    if (!id)
        return p;
    lockRow(products->tableDef(), id);
    QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT Prod_Code, Prod_Price FROM Product WHERE rowid = ?"));
    q.setForwardOnly(true);
    q.addBindValue(id);
    execOrThrow(q, QStringLiteral("Product"));
    if (q.next()) {
        p.code = q.value(0);
        // A price that does not read as a number keeps the cursor's reading of it.
        bool isNumber = false;
        const double price = q.value(1).toDouble(&isNumber);
        if (isNumber && !q.value(1).isNull())
            p.price = Money::fromDouble(price);
    }
    return p;
}

const StatementDef& statementDef(const QString& name)
{
    for (const StatementDef& def : statementDefs())
        if (def.name == name)
            return def;
    throw EDatabaseError(QStringLiteral("Statement %1 not found").arg(name));
}

// The unpaid list's invoices as they stand now, by number and class, in the list's order: the
// list's own statement (as the engine runs it) with only the two columns a step needs.
std::vector<std::pair<int, QString>> unpaidInvoicesNow()
{
    const StatementDef& def = statementDef(QStringLiteral("qryUnpaidInv"));
    const bool sqlite = openDialect() == SqlDialect::SQLite;
    QStringList sql{QStringLiteral("SELECT B.Inv_Number, B.Inv_Days")};
    bool from = false;
    for (const QString& line : sqlite && !def.engineLines.isEmpty() ? def.engineLines : def.lines) {
        from = from || line.trimmed().startsWith(QLatin1String("FROM "));
        if (from)
            sql << line;
    }
    QSqlQuery q = prepareOrThrow(sql.join(QLatin1Char('\n')));
    q.setForwardOnly(true);
    execOrThrow(q, kInvoice);
    std::vector<std::pair<int, QString>> rows;
    while (q.next())
        rows.emplace_back(q.value(0).toInt(), q.value(1).toString());
    if (q.lastError().isValid())
        throw EDBEngineError(engineErrorText(engineText(q.lastError()), kInvoice));
    return rows;
}

// Makes the row of the list holding that invoice current; nothing when the list does not hold it.
void showInvoice(TQuery* list, int number)
{
    if (!list->Active())
        return;
    const int numberField = list->FieldByName(QStringLiteral("Inv_Number"))->index();
    for (int r = 0; r < list->FetchedCount(); ++r)
        if (list->rowValue(r, numberField).toInt() == number) {
            list->MoveTo(r);
            return;
        }
}
} // namespace

int createInvoice(const QString& orderNo, const QDate& date)
{
    TDataModule1* dm = DataModule1;
    TTable* company = dm->tblCompany;
    // The company dialog closed by its frame leaves the row being edited: Create goes on with it,
    // and posts what was typed there together with the raised counter.
    const bool companyPending = company->State() == DataSetState::Edit || company->State() == DataSetState::Insert;
    Row typed; // the pending company row as it was before Create changed it
    // An invoice stored with the counter left behind would leave the counter on a number already used.
    Transaction transaction;
    bool invoiceWritten = false;
    try {
        // Another seat creating an invoice at the same moment waits here until this one is
        // stored, then reads the counter this one raised.
        company->LockCurrentRow();
        if (companyPending)
            typed = pendingValues(company);
        dm->tblInvoice->Insert(); // the link fills in the current customer's code
        company->Edit();
        // An empty counter (no company row yet) starts at 1: 0 is the number the windows use
        // for "no invoice", which no invoice may carry.
        const int number = dm->tblCompanyInv_Start_No->IsNull() ? 1 : dm->tblCompanyInv_Start_No->AsInteger();
        dm->tblInvoiceInv_Number->SetAsInteger(number);
        dm->tblInvoiceInv_Order_No->SetValue(orderNo);
        dm->tblInvoiceInv_Date->SetAsDate(date);
        dm->tblInvoiceInv_VAT->SetValue(dm->tblVATVAT_Percentage->Value());
        dm->tblCompanyInv_Start_No->SetAsInteger(number + 1);
        dm->tblInvoice->Post();
        invoiceWritten = true;
        company->Post();
        transaction.commit();
        return number;
    } catch (...) {
        // The transaction ends first: a server refuses every statement after a failed one, and
        // the cursors read again as they cancel.
        transaction.rollback();
        // Only what Create started is cancelled: the user's pending company row is not Create's to drop.
        if (!companyPending)
            company->Cancel();
        dm->tblInvoice->Cancel();
        if (invoiceWritten) {
            // The rows the cursors wrote are gone again: they show what the database holds.
            dm->tblInvoice->Refresh();
            if (!companyPending)
                company->Refresh();
        }
        if (!typed.empty())
            restorePending(company, typed);
        throw;
    }
}

void addInvoiceLine(int units, int discountPercent)
{
    TDataModule1* dm = DataModule1;
    Transaction transaction;
    bool written = false;
    try {
        const StoredProduct product = lockedProduct(dm->tblProduct);
        const Money price = product.price;
        dm->tblLine->Insert(); // the link fills in the invoice's number
        dm->tblLineProd_Code->SetValue(product.code);
        dm->tblLineLine_Units->SetAsInteger(units);
        dm->tblLineLine_Discount->SetAsInteger(discountPercent);
        dm->tblLineLine_Price->SetAsMoney(price);
        dm->tblLineLine_Discount_Price->SetAsMoney(discountedPrice(price, discountPercent));
        dm->tblLine->Post();
        written = true;
        transaction.commit();
    } catch (...) {
        transaction.rollback();
        dm->tblLine->Cancel();
        if (written)
            dm->tblLine->Refresh();
        throw;
    }
}

void deleteInvoiceLine(int lineNumber)
{
    TQuery* del = DataModule1->qryDelLine;
    Engine::runInTransaction(
        [&] {
            del->Close();
            del->Params(0).SetAsInteger(lineNumber);
            del->ExecSQL();
        },
        Engine::OnFailure::RollBack);
}

void payInvoice(int number)
{
    TQuery* pay = DataModule1->qryPayInv;
    Engine::runInTransaction(
        [&] {
            lockInvoices();
            const InvoiceState state = stateOf(number);
            if (!state.exists || state.paid)
                return;
            if (!state.notCancelled)
                throw EDatabaseError(QStringLiteral("Cannot pay a cancelled Invoice."));
            pay->Close();
            pay->Params(0).SetAsDateTime(QDateTime::currentDateTime()); // the date only
            pay->Params(1).SetAsInteger(number);
            pay->ExecSQL();
        },
        Engine::OnFailure::RollBack);
}

int cancelInvoice(int number, const QString& reason)
{
    TQuery* cancel = DataModule1->qryCancelInv;
    const QString problem = creditNoteReasonProblem(reason.trimmed());
    if (!problem.isEmpty())
        throw EDatabaseError(problem);
    backUpBeforeCreditNoteTables();
    int creditNote = 0;
    Engine::runInTransaction(
        [&] {
            lockInvoices();
            const InvoiceState state = stateOf(number);
            if (!state.exists || !state.notCancelled)
                return;
            if (state.paid)
                throw EDatabaseError(QStringLiteral("Cannot cancel a paid Invoice."));
            cancel->Close();
            cancel->Params(0).SetAsInteger(number);
            cancel->ExecSQL();
            cancelProbe("cancelled");
            // The credit note lands with the cancellation or not at all.
            creditNote = recordCreditNoteLocked(number, QDate::currentDate(), reason);
            cancelProbe("recorded");
        },
        Engine::OnFailure::RollBack);
    return creditNote;
}

int creditNoteForCancelledInvoice(int number)
{
    if (const std::optional<CreditNoteRecord> note = creditNoteOfInvoice(number))
        return note->number;
    backUpBeforeCreditNoteTables();
    int creditNote = 0;
    Engine::runInTransaction(
        [&] {
            lockInvoices();
            const InvoiceState state = stateOf(number);
            if (!state.exists)
                throw EDatabaseError(QStringLiteral("There is no invoice %1.").arg(number));
            if (state.notCancelled)
                throw EDatabaseError(QStringLiteral("Invoice %1 is not cancelled; only a cancelled invoice has a credit note.").arg(number));
            // Another seat may have given it one since the look above.
            if (const std::optional<CreditNoteRecord> note = creditNoteOfInvoice(number))
                creditNote = note->number;
            else
                creditNote = recordCreditNoteLocked(number, QDate::currentDate(), QString());
        },
        Engine::OnFailure::RollBack);
    return creditNote;
}

void advanceAllInvoices()
{
    TDataModule1& dm = *DataModule1;
    TQuery* advance = dm.qryAdvancePeriod;
    int failing = 0;
    try {
        // One transaction, so that a crash half-way leaves no invoice stepped and the run costs one
        // durable commit; an error commits the invoices stepped before it.
        Engine::runInTransaction(
            [&] {
                // Another seat's run, or a payment, waits until this one is done. The invoices are
                // read again under the lock, by a statement of their own: the list on show stays
                // as it was whatever happens here.
                lockInvoices();
                for (const auto& [number, ageClass] : unpaidInvoicesNow()) {
                    // An invoice with no class of the six has no next one: it keeps what it holds.
                    const std::optional<QString> next = nextAgeClass(ageClass);
                    if (!next)
                        continue;
                    failing = number;
                    advance->Close();
                    advance->Params(1).SetAsInteger(number);
                    advance->Params(0).SetAsString(*next);
                    advance->ExecSQL();
                    failing = 0;
                }
            },
            Engine::OnFailure::KeepDone);
    } catch (...) {
        if (failing)
            showInvoice(dm.qryUnpaidInv, failing); // the grid shows the invoice that failed
        throw;
    }
}

std::optional<InvoiceRecord> readInvoice(int number)
{
    QSqlQuery head = prepareOrThrow(QStringLiteral("SELECT Inv_Number, Cus_Code, Inv_Order_No, Inv_Date, Inv_PayDate, Inv_Paid, "
                                                   "Inv_Cancelled, Inv_Days, Inv_VAT FROM Invoice WHERE Inv_Number = ?"));
    head.setForwardOnly(true);
    head.addBindValue(number);
    execOrThrow(head, kInvoice);
    if (!head.next())
        return std::nullopt;
    InvoiceRecord inv;
    inv.number = head.value(0).toInt();
    inv.customerCode = head.value(1).toInt();
    inv.orderNo = head.value(2).toString();
    inv.date = TField::normalise(FieldType::Date, head.value(3)).toDate();
    inv.payDate = TField::normalise(FieldType::Date, head.value(4)).toDate();
    inv.paid = head.value(5).toString();
    inv.cancelled = head.value(6).toString();
    inv.ageClass = head.value(7).toString();
    inv.vatPercent = head.value(8).toDouble();
    head.finish();

    // The lines as the lines query shows them, a line whose product is gone included.
    QSqlQuery lines = prepareOrThrow(QStringLiteral(
        "SELECT B.Line_Number, B.Prod_Code, A.Prod_Description, B.Line_Units, B.Line_Discount, B.Line_Price, "
        "B.Line_Discount_Price, B.Line_Discount_Price * B.Line_Units FROM Line B LEFT JOIN Product A ON (A.Prod_Code = B.Prod_Code) "
        "WHERE B.Inv_Number = ? ORDER BY B.Line_Number"));
    lines.setForwardOnly(true);
    lines.addBindValue(number);
    execOrThrow(lines, QStringLiteral("Line"));
    while (lines.next()) {
        InvoiceLineRecord l;
        l.lineNumber = lines.value(0).toInt();
        l.productCode = lines.value(1).toString();
        l.description = lines.value(2).toString();
        l.units = lines.value(3).toInt();
        l.discountPercent = lines.value(4).toInt();
        l.price = Money::fromDouble(lines.value(5).toDouble());
        l.discountedPrice = Money::fromDouble(lines.value(6).toDouble());
        l.total = Money::fromDouble(lines.value(7).toDouble());
        inv.lineTotal = inv.lineTotal + l.total;
        inv.lines.push_back(std::move(l));
    }
    if (lines.lastError().isValid())
        throw EDBEngineError(engineErrorText(engineText(lines.lastError()), QStringLiteral("Line")));
    return inv;
}

} // namespace zz
