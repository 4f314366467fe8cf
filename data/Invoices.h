#pragma once
// Every change the program makes to an invoice: creating it under the company's counter, adding
// and deleting its lines, paying, cancelling, and moving every open invoice one age class on. Each
// runs as one transaction with the locks that keep two seats on the same book apart, works on the
// cursors and statements of the data module (DataModule1), and raises the data layer's errors with
// their own messages. The windows ask their questions and show their boxes; these do the work.
// Also the reading of one invoice with its lines, for whatever needs the invoice as stored.
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "data/Money.h"

namespace zz {

// Creates an invoice for the current customer of tblCustomer, dated `date`, with the order number
// and today's VAT rate, under the next number of the company row's counter, and raises the
// counter; the new invoice is tblInvoice's current row. The invoice and the raised counter land
// together in one transaction or not at all, and the counter is read under a lock on the company
// row, so that two seats never get the same number and none is skipped. A company row left being
// edited (its dialog closed by the frame) is posted with the raised counter and the changes typed
// into it; a counter typed there is the number the invoice gets. Returns the number; on failure
// the cursors show what the database holds, a company row that was being edited is still being
// edited as it was, and the error goes on.
int createInvoice(const QString& orderNo, const QDate& date);

// Adds a line to tblInvoice's current invoice: the product current in tblProduct, at its price as
// stored now (read under a lock on the product row, another seat's change included), `units` units and a whole-percent discount
// (the caller keeps it within 0 to 100); the discounted unit price follows the money rule
// (discountedPrice). The line is tblLine's current row; on failure it is dropped and nothing is
// stored.
void addInvoiceLine(int units, int discountPercent);

// Deletes the line with that number (qryDelLine); a number no line has deletes nothing.
void deleteInvoiceLine(int lineNumber);

// Marks the invoice with that number paid today (qryPayInv), in a transaction that waits for a
// run over the invoices another seat has going ("Advance All"), so that the two never interleave.
// An invoice already paid (it has a pay date) is left as it is; a cancelled one is refused with
// "Cannot pay a cancelled Invoice.". The state is read under the lock, so another seat's payment or
// cancellation since the caller looked is never overwritten.
void payInvoice(int number);

// Marks the invoice with that number cancelled (qryCancelInv), under the same lock as payInvoice,
// and records its credit note (dated today, with the reason, which may be empty) in the same
// transaction: the two land together or not at all. An invoice already cancelled is left as it
// is; a paid one is refused with "Cannot cancel a paid Invoice."; a reason that cannot be stored
// is refused before anything changes. Returns the credit note's number, 0 when nothing changed.
int cancelInvoice(int number, const QString& reason = QString());

// The number of the credit note of a cancelled invoice. A cancelled invoice without one (cancelled
// before the book kept credit notes) gets it now, dated today, under the same lock and counter as
// a cancellation. Refused with a message when there is no such invoice or it is not cancelled.
int creditNoteForCancelledInvoice(int number);

// Keeps every other seat from writing invoices until the running transaction ends, while they may
// still read them: a run over the unpaid invoices, a payment and a cancellation never interleave.
// On SQLite a write that changes nothing takes the book's write lock now.
void lockInvoiceWrites();

// Moves every invoice of the unpaid list (qryUnpaidInv's invoices: unpaid, not cancelled) one age
// class on, in the list's order, in one transaction that keeps other seats from writing invoices
// meanwhile; the invoices are read again under that lock, so that each steps on from its class now.
// An invoice holding none of the classes keeps what it holds. qryUnpaidInv itself is left on show
// as it was: the caller reloads it. On an error the invoices stepped before it keep their new
// class (on SQLite; a PostgreSQL server undoes the whole run), the rest keep their old one, the
// list stands on the invoice that failed, and the error goes on.
void advanceAllInvoices();

// One invoice as stored, with its lines in their order.
struct InvoiceLineRecord {
    int lineNumber = 0;
    QString productCode;
    QString description;     // the product's, empty when the product is gone
    int units = 0;
    int discountPercent = 0;
    Money price;             // Line_Price
    Money discountedPrice;   // Line_Discount_Price
    Money total;             // discountedPrice x units
};
struct InvoiceRecord {
    int number = 0;
    int customerCode = 0;
    QString orderNo;
    QDate date;
    QDate payDate;           // invalid while unpaid
    QString paid;            // "YES" / "NO" as stored
    QString cancelled;
    QString ageClass;        // Inv_Days
    double vatPercent = 0;
    std::vector<InvoiceLineRecord> lines;
    Money lineTotal;         // the lines' totals added up
};
// The invoice with that number; none when there is no such invoice. Throws EDBEngineError.
std::optional<InvoiceRecord> readInvoice(int number);

} // namespace zz
