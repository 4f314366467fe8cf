#include "data/CreditNotes.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlQuery>

#include "data/Backup.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Field.h"
#include "data/Invoices.h"
#include "data/Schema.h"

namespace zz {

namespace {

const QString kCreditNote = QStringLiteral("CreditNote");
const QString kCounter = QStringLiteral("CreditNoteCounter");

std::function<void(const char*)>& probeSlot()
{
    static std::function<void(const char*)> probe;
    return probe;
}

// Whether the open book holds the credit notes' tables; throws the message when they are damaged.
bool tablesPresent()
{
    QString problem;
    switch (checkCreditNoteTables(Engine::database(), &problem)) {
    case OptionalTables::Absent: return false;
    case OptionalTables::Complete: return true;
    case OptionalTables::Damaged: break;
    }
    throw EDBEngineError(problem);
}

// Inside the running transaction: makes the tables when the book lacks them.
void makeTablesIfAbsent()
{
    if (tablesPresent())
        return;
    QSqlDatabase db = Engine::database();
    QSqlQuery q(db);
    for (const QString& sql : creditNoteSchemaSql(dialectOf(db)))
        if (!q.exec(sql))
            throw EDBEngineError(engineErrorText(engineText(q.lastError()), kCreditNote));
}

std::vector<CreditNoteRecord> select(const QString& where, const QVariant& value)
{
    std::vector<CreditNoteRecord> out;
    if (!tablesPresent())
        return out;
    QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT CN_Number, Inv_Number, CN_Date, CN_Reason FROM CreditNote %1 ORDER BY CN_Number").arg(where));
    q.setForwardOnly(true);
    if (value.isValid())
        q.addBindValue(value);
    execOrThrow(q, kCreditNote);
    while (q.next()) {
        CreditNoteRecord r;
        r.number = q.value(0).toInt();
        r.invoiceNumber = q.value(1).toInt();
        r.date = TField::normalise(FieldType::Date, q.value(2)).toDate();
        r.reason = q.value(3).toString();
        out.push_back(std::move(r));
    }
    return out;
}

std::optional<CreditNoteRecord> first(std::vector<CreditNoteRecord> rows)
{
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

// The counter as stored (the row's first), and the highest number given; both read in the running transaction.
std::optional<int> storedCounter()
{
    QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT CN_Next_No FROM CreditNoteCounter ORDER BY rowid"));
    q.setForwardOnly(true);
    execOrThrow(q, kCounter);
    if (!q.next() || q.value(0).isNull())
        return std::nullopt;
    return q.value(0).toInt();
}

int highestNumber()
{
    QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT MAX(CN_Number) FROM CreditNote"));
    q.setForwardOnly(true);
    execOrThrow(q, kCreditNote);
    return q.next() ? q.value(0).toInt() : 0;
}

void writeCounter(int next)
{
    QSqlQuery update = prepareOrThrow(QStringLiteral("UPDATE CreditNoteCounter SET CN_Next_No = ?"));
    update.addBindValue(next);
    execOrThrow(update, kCounter);
    if (update.numRowsAffected() > 0)
        return;
    QSqlQuery insert = prepareOrThrow(QStringLiteral("INSERT INTO CreditNoteCounter (CN_Next_No) VALUES (?)"));
    insert.addBindValue(next);
    execOrThrow(insert, kCounter);
}

} // namespace

void setCancelProbe(std::function<void(const char* step)> probe) { probeSlot() = std::move(probe); }

void cancelProbe(const char* step)
{
    if (probeSlot())
        probeSlot()(step);
}

QString creditNoteReasonProblem(const QString& reason)
{
    const int size = creditNoteTables()[0].fields[3].size;
    if (reason.size() > size)
        return QStringLiteral("The reason is too long: at most %1 characters, and it has %2.").arg(size).arg(reason.size());
    for (const QChar c : reason)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return QStringLiteral("The reason holds a line break or another control character; it must be one line of text.");
    return QString();
}

std::optional<CreditNoteRecord> creditNoteOfInvoice(int invoiceNumber)
{
    return first(select(QStringLiteral("WHERE Inv_Number = ?"), invoiceNumber));
}

std::optional<CreditNoteRecord> readCreditNote(int number)
{
    return first(select(QStringLiteral("WHERE CN_Number = ?"), number));
}

std::vector<CreditNoteRecord> allCreditNotes() { return select(QString(), QVariant()); }

int nextCreditNoteNumber()
{
    if (!tablesPresent())
        return 1;
    const std::optional<int> counter = storedCounter();
    // A counter that is missing or behind the numbers given goes on after the highest.
    return std::max(counter.value_or(1), highestNumber() + 1);
}

void backUpBeforeCreditNoteTables()
{
    QSqlDatabase db = Engine::database();
    if (db.driverName() != QLatin1String("QSQLITE") || tablesPresent())
        return; // a server's books are backed up with the server's own tools
    const QString book = db.databaseName();
    if (book.isEmpty() || book == QLatin1String(":memory:") || !QFileInfo(book).isFile())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    try {
        if (!backup::isDue(book, now))
            return;
        const QString written = backup::write(book, now);
        backup::rotate(book, backup::kKeep, written);
    } catch (const Exception& e) {
        // Another seat making its first credit note at the same moment may have written today's
        // backup meanwhile, under the same name: then the book has it.
        if (!backup::isDue(book, QDateTime::currentDateTime()))
            return;
        throw EBackupError(QStringLiteral("Nothing was changed. The credit notes need two new tables in the book, and the "
                                          "book is backed up before it gets them, but today's backup could not be written: %1")
                               .arg(e.message()));
    }
}

int recordCreditNoteLocked(int invoiceNumber, const QDate& date, const QString& reason)
{
    const QString problem = creditNoteReasonProblem(reason.trimmed());
    if (!problem.isEmpty())
        throw EDatabaseError(problem);
    makeTablesIfAbsent();
    const int number = std::max(storedCounter().value_or(1), highestNumber() + 1);
    QSqlQuery insert = prepareOrThrow(
        QStringLiteral("INSERT INTO CreditNote (CN_Number, Inv_Number, CN_Date, CN_Reason) VALUES (?, ?, ?, ?)"));
    insert.addBindValue(number);
    insert.addBindValue(invoiceNumber);
    insert.addBindValue(date.toString(Qt::ISODate));
    insert.addBindValue(reason.trimmed().isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(reason.trimmed()));
    execOrThrow(insert, kCreditNote);
    writeCounter(number + 1);
    return number;
}

namespace {
QString numberProblem(int number, int highest)
{
    if (number < 1)
        return QStringLiteral("The first credit note number is %1: give a whole number from 1 on.").arg(number);
    if (number <= highest)
        return QStringLiteral("The next credit note number cannot be %1: credit note %2 has been given already, so the next "
                              "is at least %3.")
            .arg(number)
            .arg(highest)
            .arg(highest + 1);
    return QString();
}
} // namespace

QString nextCreditNoteNumberProblem(int number) { return numberProblem(number, tablesPresent() ? highestNumber() : 0); }

void setNextCreditNoteNumber(int number)
{
    if (number < 1)
        throw EDatabaseError(numberProblem(number, 0));
    backUpBeforeCreditNoteTables();
    Engine::runInTransaction(
        [&] {
            // Under the lock a cancellation takes: no credit note is numbered meanwhile.
            lockInvoiceWrites();
            makeTablesIfAbsent();
            const QString problem = numberProblem(number, highestNumber());
            if (!problem.isEmpty())
                throw EDatabaseError(problem);
            writeCounter(number);
        },
        Engine::OnFailure::RollBack);
}

} // namespace zz
