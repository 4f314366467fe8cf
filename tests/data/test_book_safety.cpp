// The owner's books: a book is checked before anything touches it and a refused one stays byte for
// byte as it was; a named book keeps its journal mode; a locked, read-only or damaged book is
// reported in one plain sentence, soon; the store refuses to delete a customer that has invoices
// or a product on invoices, in old books as in new ones.
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Schema.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using test::errorOf;

namespace {
// Writes a complete book with the program's schema in the given journal mode, then runs the
// extra statements (to damage it on purpose).
void makeBook(const QString& path, const QString& journal, const QStringList& extra = {})
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(journal)));
        QVERIFY(db.transaction());
        for (const QString& sql : schemaSql() + extra)
            QVERIFY2(q.exec(sql), qPrintable(sql + " -> " + q.lastError().text()));
        QVERIFY(db.commit());
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
}

QByteArray checksum(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QStringList filesBeside(const QString& path) { return QFileInfo(path).dir().entryList(QDir::Files, QDir::Name); }

// The journal mode a database file's header records: 1 rollback journal, 2 write-ahead log.
int headerJournalMode(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = f.read(20);
    return header.size() == 20 && header[18] == header[19] ? header[18] : -1;
}

void nameBook(const test::TempHome& home, const QString& path)
{
    QDir().mkpath(home.configDir() + "/Zuzevevur");
    QFile ini(home.configDir() + "/Zuzevevur/engine.ini");
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(("[Zuzevevur]\nDriver=QSQLITE\nDatabase=" + path + "\n").toUtf8());
}

QString openError()
{
    return errorOf([] { TDataModule1 dm; });
}

// A second program holding an exclusive lock on a book.
class OtherProgram {
public:
    explicit OtherProgram(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        db.open();
    }
    ~OtherProgram()
    {
        release();
        QSqlDatabase::database(QStringLiteral("other")).close();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    }
    bool lock() { return QSqlQuery(QSqlDatabase::database(QStringLiteral("other"))).exec(QStringLiteral("BEGIN EXCLUSIVE")); }
    void release() { QSqlQuery(QSqlDatabase::database(QStringLiteral("other"))).exec(QStringLiteral("ROLLBACK")); }
};

int g_busyCalls = 0;
} // namespace

class TestBookSafety : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    QString book;

private slots:
    void init()
    {
        home = std::make_unique<test::TempHome>();
        QDir().mkpath(home->path() + "/books");
        book = home->path() + "/books/books.db";
    }
    void cleanup()
    {
        Engine::close();
        chmod(QFile::encodeName(home->path() + "/books").constData(), 0700);
        home.reset();
    }

    void aRefusedBookStaysByteForByte_data()
    {
        QTest::addColumn<QString>("journal");
        QTest::addColumn<QStringList>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("no VAT table, rollback journal")
            << "DELETE" << QStringList{"DROP TABLE VAT"} << "Table does not exist: VAT.db (the table VAT is missing from the database %1)";
        QTest::newRow("a field missing from the lines, write-ahead log")
            << "WAL" << QStringList{"DROP INDEX Line_Inv_Number", "ALTER TABLE Line DROP COLUMN Line_Discount_Price"}
            << "Field does not exist: Line_Discount_Price (the table Line of the database %1 has no field Line_Discount_Price)";
        QTest::newRow("a field missing from the company row")
            << "DELETE" << QStringList{"ALTER TABLE Company DROP COLUMN Com_Members"}
            << "Field does not exist: Com_Members (the table Company of the database %1 has no field Com_Members)";
    }
    void aRefusedBookStaysByteForByte()
    {
        QFETCH(QString, journal);
        QFETCH(QStringList, damage);
        QFETCH(QString, message);
        makeBook(book, journal, damage);
        const QByteArray before = checksum(book);
        const int mode = headerJournalMode(book);
        nameBook(*home, book);
        QCOMPARE(openError(), message.arg(book));
        QVERIFY(!Engine::isOpen());
        QCOMPARE(checksum(book), before);
        QCOMPARE(headerJournalMode(book), mode);
        QCOMPARE(filesBeside(book), QStringList{"books.db"});
    }

    void anEmptyOrForeignFileIsNotTurnedIntoABook()
    {
        nameBook(*home, book);
        { QFile f(book); QVERIFY(f.open(QIODevice::WriteOnly)); }
        QCOMPARE(openError(), QStringLiteral("Table does not exist: Customer.DB (the table Customer is missing from the database %1)").arg(book));
        QCOMPARE(QFileInfo(book).size(), 0);
        QCOMPARE(filesBeside(book), QStringList{"books.db"});

        { QFile f(book); QVERIFY(f.open(QIODevice::WriteOnly)); f.write(QByteArray(5000, 'x')); }
        const QByteArray before = checksum(book);
        QCOMPARE(openError(), QStringLiteral("The file %1 is not a database.").arg(book));
        QCOMPARE(checksum(book), before);
    }

    void aNamedBookKeepsItsJournalModeAndTheDefaultUsesALog()
    {
        makeBook(book, "DELETE");
        nameBook(*home, book);
        {
            TDataModule1 dm;
            dm.tblCustomer->Insert();
            dm.tblCustomerCus_Name->SetAsString(QStringLiteral("Acme"));
            dm.tblCustomer->Post();
        }
        QCOMPARE(headerJournalMode(book), 1);
        QCOMPARE(filesBeside(book), QStringList{"books.db"});
        QFile::remove(home->configDir() + "/Zuzevevur/engine.ini");
        {
            TDataModule1 dm;
            QCOMPARE(test::storedValue("PRAGMA journal_mode").toString(), QStringLiteral("wal"));
        }
        // The named book holds what was posted.
        nameBook(*home, book);
        TDataModule1 dm;
        QCOMPARE(dm.tblCustomerCus_Name->AsString(), QStringLiteral("Acme"));
    }

    void aLockedBookIsReportedPlainlyAndSoon()
    {
        makeBook(book, "DELETE");
        nameBook(*home, book);
        const int wait = Engine::busyWait();
        Engine::setBusyWait(300);
        const auto notifier = Engine::setBusyNotifier([] { ++g_busyCalls; });
        g_busyCalls = 0;
        const QString locked = QStringLiteral("The database %1 is locked by another program; try again in a moment.").arg(book);
        {
            OtherProgram other(book);
            QVERIFY(other.lock());
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(openError(), locked);
            QVERIFY2(timer.elapsed() >= 250 && timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
            QVERIFY(g_busyCalls >= 1);
            QCOMPARE(checksum(book).isEmpty(), false);

            // Locked while the program works: the save fails with the same sentence and the row
            // stays pending.
            other.release();
            TDataModule1 dm;
            dm.tblCustomer->Insert();
            dm.tblCustomerCus_Name->SetAsString(QStringLiteral("Acme"));
            QVERIFY(other.lock());
            g_busyCalls = 0;
            QCOMPARE(errorOf([&] { dm.tblCustomer->Post(); }), locked);
            QCOMPARE(dm.tblCustomer->State(), DataSetState::Insert);
            QCOMPARE(g_busyCalls, 1);
            other.release();
            dm.tblCustomer->Post();
            QCOMPARE(dm.tblCustomer->RecordCount(), 1);
        }
        Engine::setBusyNotifier(notifier);
        Engine::setBusyWait(wait);
    }

    void aReadOnlyBookIsRefusedBeforeItIsUsed()
    {
        if (geteuid() == 0)
            QSKIP("Running as root, which writes read-only files, and unable to switch to another user.");
        makeBook(book, "DELETE");
        nameBook(*home, book);
        const QByteArray before = checksum(book);
        QVERIFY(chmod(QFile::encodeName(book).constData(), 0444) == 0);
        QCOMPARE(openError(), QStringLiteral("The database %1 is read-only, so no change could be saved; "
                                             "make it writable and start the program again.").arg(book));
        QVERIFY(chmod(QFile::encodeName(book).constData(), 0644) == 0);
        // The engine writes its journal beside the book: a folder that cannot be written is no good.
        const QString folder = QFileInfo(book).absolutePath();
        QVERIFY(chmod(QFile::encodeName(folder).constData(), 0555) == 0);
        QCOMPARE(openError(), QStringLiteral("The folder %1 holding the database %2 is read-only, so no change could be saved; "
                                             "make it writable and start the program again.").arg(folder, book));
        QVERIFY(chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QCOMPARE(checksum(book), before);
        QVERIFY(openError().isEmpty());
    }

    void aDamagedBookIsReportedAsSuch()
    {
        QStringList rows;
        for (int i = 0; i < 3000; ++i)
            rows << QStringLiteral("INSERT INTO Customer (Cus_Name, Cus_Address1) VALUES ('Customer %1', '%2')").arg(i).arg(QString(40, 'a'));
        makeBook(book, "DELETE", rows);
        {
            // Garbage over pages in the middle of the customer table.
            QFile f(book);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(f.size() / 2));
            f.write(QByteArray(3 * 4096, '\xA5'));
        }
        nameBook(*home, book);
        const QString error = errorOf([] {
            TDataModule1 dm;
            for (dm.tblCustomer->First(); !dm.tblCustomer->Eof(); dm.tblCustomer->Next())
                dm.tblCustomerCus_Address1->AsString();
        });
        QCOMPARE(error, QStringLiteral("The database %1 is damaged.").arg(book));
    }

    void customersWithInvoicesAndProductsOnInvoicesAreNotDeleted_data()
    {
        QTest::addColumn<bool>("oldBook");
        QTest::newRow("a new book, refused by the store") << false;
        QTest::newRow("a book made before the store refused, left unaltered") << true;
    }
    void customersWithInvoicesAndProductsOnInvoicesAreNotDeleted()
    {
        QFETCH(bool, oldBook);
        makeBook(book, "DELETE", {"INSERT INTO Customer (Cus_Name) VALUES ('Acme Ltd'), ('Idle')",
                                  "INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Paid) VALUES (1, 1, '2026-01-05', 'YES')",
                                  "INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (2, 99, '2026-01-06')",
                                  "INSERT INTO Product VALUES ('B7', 'Bolt', 0.5), ('N1', 'Nut', 0.1)",
                                  "INSERT INTO Line (Inv_Number, Prod_Code, Line_Units) VALUES (1, 'B7', 3)"});
        if (oldBook) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
            db.setDatabaseName(book);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("DROP TRIGGER Customer_Delete_Refused"));
            QVERIFY(QSqlQuery(db).exec("DROP TRIGGER Product_Delete_Refused"));
            db.close();
        }
        if (oldBook)
            QSqlDatabase::removeDatabase(QStringLiteral("old"));
        nameBook(*home, book);
        const QString triggersBefore = oldBook ? "0" : "2";
        TDataModule1 dm;
        QCOMPARE(dm.tblCustomerCus_Name->AsString(), QStringLiteral("Acme Ltd"));
        QCOMPARE(errorOf([&] { dm.tblCustomer->Delete(); }), QStringLiteral("The customer Acme Ltd has invoices and cannot be deleted."));
        QCOMPARE(dm.tblCustomer->RecordCount(), 2);
        QCOMPARE(dm.tblCustomerCus_Name->AsString(), QStringLiteral("Acme Ltd"));
        QCOMPARE(errorOf([&] { dm.tblProduct->Delete(); }), QStringLiteral("The product Bolt (B7) is used on invoices and cannot be deleted."));
        QCOMPARE(dm.tblProduct->RecordCount(), 2);

        // Rows nothing refers to go; an invoice whose customer is gone is no obstacle.
        dm.tblCustomer->Last();
        dm.tblCustomer->Delete();
        dm.tblProduct->Last();
        dm.tblProduct->Delete();
        QCOMPARE(test::storedValue("SELECT group_concat(Cus_Name) FROM Customer").toString(), QStringLiteral("Acme Ltd"));
        QCOMPARE(test::storedValue("SELECT group_concat(Prod_Code) FROM Product").toString(), QStringLiteral("B7"));
        QCOMPARE(test::storedValue("SELECT count(*) FROM Invoice").toInt(), 2);
        QCOMPARE(test::storedValue("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'").toString(), triggersBefore);
    }
};

int main(int argc, char** argv)
{
    // Read-only files are only read-only to a user other than root: switch to one when started as
    // root and allowed to.
    if (geteuid() == 0) {
        const gid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            qWarning("Cannot switch to another user than root.");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zz::TApplication app(argc, argv);
    TestBookSafety tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_book_safety.moc"
