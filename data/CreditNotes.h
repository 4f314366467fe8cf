#pragma once
// The credit notes: the document that takes a cancelled invoice back. Each cancelled invoice has
// exactly one, recorded in the same transaction as the cancellation (cancelInvoice), numbered from
// a gapless counter of its own that is read and raised under the same lock that keeps two seats'
// cancellations apart. They live in tables of their own (creditNoteTables), made in a book at its
// first credit note, or when the user first sets where their numbers start.
#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace zz {

struct CreditNoteRecord {
    int number = 0;        // CN_Number
    int invoiceNumber = 0; // the invoice it takes back
    QDate date;
    QString reason;        // empty when the user gave none
};

// The credit note of that invoice; none when it has none (or the book has no credit notes yet).
std::optional<CreditNoteRecord> creditNoteOfInvoice(int invoiceNumber);
// The credit note with that number; none when there is none.
std::optional<CreditNoteRecord> readCreditNote(int number);
// Every credit note, by number.
std::vector<CreditNoteRecord> allCreditNotes();

// The number the next credit note gets: the counter's, 1 when the book has none yet.
int nextCreditNoteNumber();
// Sets the number the next credit note gets. Refused with a message, changing nothing, when it is
// below 1 or not above the highest credit note number already given (a number is never given
// twice). Makes the tables when the book lacks them (after the day's backup of a local book).
void setNextCreditNoteNumber(int number);
// The check setNextCreditNoteNumber makes, as the book stands now: empty when sound, else the message.
QString nextCreditNoteNumberProblem(int number);

// Checks a reason as it is stored: empty when sound, else one sentence.
QString creditNoteReasonProblem(const QString& reason);

// For cancelInvoice, inside its transaction and under its lock on the invoices: records the credit
// note of that invoice, dated `date`, under the counter's next number, and raises the counter.
// Makes the tables first when the book lacks them. Returns the number.
int recordCreditNoteLocked(int invoiceNumber, const QDate& date, const QString& reason);
// Before a transaction that may make the tables: today's backup of a local book that lacks them.
void backUpBeforeCreditNoteTables();

// For tests: called inside cancelInvoice's transaction after each of its steps ("cancelled" once
// the invoice is marked, "recorded" once its credit note is written); a test throws from it to
// see that a cancellation failing half-way leaves neither. None is set in the program.
void setCancelProbe(std::function<void(const char* step)> probe);
void cancelProbe(const char* step);

} // namespace zz
