// Backups of a book: a sound copy of the committed state while the books are open with pending
// work, the day's rule and the names, keeping the last thirty, a failing folder, and restoring
// (a healthy book saved first, a damaged one moved aside unchanged, a bad backup refused).
#include <QSqlError>
#include <QSqlQuery>

#include "data/Backup.h"
#include "data/BookLock.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "tests/support/TestSupport.h"

#include <fcntl.h>
#include <unistd.h>

using namespace zz;

namespace {

const QDateTime kMorning(QDate(2026, 3, 14), QTime(9, 30, 5));

// A connection of its own to a database file, past the engine.
class Raw {
public:
    explicit Raw(const QString& path, bool readOnly = true) : m_name(QStringLiteral("raw%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.open();
    }
    ~Raw()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    QString value(const QString& sql) const
    {
        QSqlQuery q(db());
        if (!q.exec(sql))
            return QStringLiteral("error: ") + q.lastError().text();
        return q.next() ? q.value(0).toString() : QString();
    }
    QStringList column(const QString& sql) const
    {
        QStringList out;
        QSqlQuery q(db());
        q.exec(sql);
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

private:
    QString m_name;
    static inline int s_count = 0;
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A book with the six tables and the given customers, closed again.
void makeBook(const QString& path, const QStringList& customers)
{
    {
        AliasConfig c{QStringLiteral("Zuzevevur"), QStringLiteral("QSQLITE"), path};
        c.embeddedDefault = true;
        Engine::open(c);
        QSqlQuery q(Engine::database());
        for (const QString& name : customers)
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Customer (Cus_Name) VALUES ('%1')").arg(name)));
    }
    Engine::close();
}

QStringList namesIn(const QString& path) { return Raw(path).column(QStringLiteral("SELECT Cus_Name FROM Customer ORDER BY Cus_Name")); }

QStringList fileNames(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void init() { setRegional(RegionalSettings{}); }

    void copyWhileTheBooksAreOpenHoldsTheCommittedStateOnly_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("page copy") << int(backup::Method::PageCopy);
        QTest::newRow("vacuum into") << int(backup::Method::VacuumInto);
        QTest::newRow("automatic") << int(backup::Method::Automatic);
    }
    void copyWhileTheBooksAreOpenHoldsTheCommittedStateOnly()
    {
        QFETCH(int, method);
        test::TempHome home;
        TDataModule1 dm;
        const QString book = Engine::database().databaseName();
        for (const QString& name : {QStringLiteral("Anna"), QStringLiteral("Bert")}) {
            dm.tblCustomer->Insert();
            dm.tblCustomerCus_Name->SetAsString(name);
            dm.tblCustomer->Post();
        }
        // A pending edit in a window, and another program in the middle of a transaction.
        dm.tblCustomer->First();
        dm.tblCustomer->Edit();
        dm.tblCustomerCus_Name->SetAsString(QStringLiteral("Pending"));
        Raw other(book, false);
        QSqlQuery busy(other.db());
        QVERIFY(busy.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(busy.exec(QStringLiteral("INSERT INTO Customer (Cus_Name) VALUES ('Uncommitted')")));

        const QString copy = backup::write(book, kMorning, backup::Method(method));
        QVERIFY(busy.exec(QStringLiteral("ROLLBACK")));

        QCOMPARE(QFileInfo(copy).fileName(), QStringLiteral("Zuzevevur-2026-03-14-093005.db"));
        QCOMPARE(QFileInfo(copy).absolutePath(), QFileInfo(book).absolutePath() + QStringLiteral("/backups"));
        {
            Raw check(copy);
            QCOMPARE(check.value(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
            // One self-contained file.
            QCOMPARE(check.value(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("delete"));
            QCOMPARE(check.column(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'")).size(), 6);
        }
        QCOMPARE(namesIn(copy), QStringList({"Anna", "Bert"}));
        QCOMPARE(fileNames(backup::folderFor(book)), QStringList{QFileInfo(copy).fileName()});

        // The window's edit goes on and is stored as usual.
        QCOMPARE(dm.tblCustomer->State(), DataSetState::Edit);
        dm.tblCustomer->Post();
        QCOMPARE(test::storedValue(QStringLiteral("SELECT count(*) FROM Customer WHERE Cus_Name = 'Pending'")).toInt(), 1);
    }

    void aBackupIsDueOncePerDayAndNamesTellBooksApart()
    {
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna")});
        QVERIFY(backup::isDue(book, kMorning));
        QCOMPARE(backup::backUpIfDue(book, kMorning).written, backup::folderFor(book) + QStringLiteral("/shop-2026-03-14-093005.db"));
        // Later that day nothing is due, however close to midnight.
        QVERIFY(!backup::isDue(book, QDateTime(kMorning.date(), QTime(23, 59, 59))));
        const backup::StartupResult again = backup::backUpIfDue(book, QDateTime(kMorning.date(), QTime(18, 0)));
        QVERIFY(again.written.isEmpty() && again.error.isEmpty());
        // The next day, and on a clock set back to an earlier day.
        QVERIFY(backup::isDue(book, QDateTime(kMorning.date().addDays(1), QTime(0, 0, 1))));
        QVERIFY(backup::isDue(book, kMorning.addDays(-3)));

        // A second backup in the same second gets a name of its own, listed as the newer one.
        const QString second = backup::write(book, kMorning);
        QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("shop-2026-03-14-093005-2.db"));
        QCOMPARE(backup::list(book).first().path, second);

        // Other books' backups, damaged books moved aside and other files are not this book's.
        const QString folder = backup::folderFor(book);
        for (const char* other : {"shop2-2026-03-20-100000.db", "shop-2026-03-20-100000.sqlite", "shop-2026-03-20-100000-damaged.db",
                                  "notes.txt", "shop-2026-13-45-999999.db"})
            writeFile(folder + QLatin1Char('/') + QLatin1String(other), "x");
        QCOMPARE(backup::list(book).size(), 2);
        QVERIFY(!backup::isDue(book, QDateTime(kMorning.date(), QTime(20, 0))));
    }

    void rotationKeepsTheLastThirtyAndNothingElseGoes()
    {
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna")});
        const QString folder = backup::folderFor(book);
        QDir().mkpath(folder);
        // Thirty backups of earlier days (their contents do not matter to the rotation).
        for (int day = 1; day <= 30; ++day)
            writeFile(folder + QLatin1Char('/') + backup::fileNameFor(book, QDateTime(QDate(2026, 2, day > 28 ? 28 : day), QTime(8, day))), "old");
        writeFile(folder + QStringLiteral("/shop-2026-01-01-080000-damaged.db"), "keep");
        writeFile(folder + QStringLiteral("/other-2026-01-01-080000.db"), "keep");
        const QString oldest = folder + QLatin1Char('/') + backup::fileNameFor(book, QDateTime(QDate(2026, 2, 1), QTime(8, 1)));

        const backup::StartupResult result = backup::backUpIfDue(book, kMorning);
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.removed, QStringList{oldest});
        QCOMPARE(backup::list(book).size(), backup::kKeep);
        QCOMPARE(backup::list(book).first().path, result.written);
        QVERIFY(!QFileInfo::exists(oldest));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/shop-2026-01-01-080000-damaged.db")));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/other-2026-01-01-080000.db")));

        // With the clock set back, the backup just made has the oldest name of all; it stays.
        const backup::StartupResult setBack = backup::backUpIfDue(book, QDateTime(QDate(2025, 6, 1), QTime(12, 0)));
        QVERIFY2(setBack.error.isEmpty(), qPrintable(setBack.error));
        QVERIFY(QFileInfo::exists(setBack.written));
        QCOMPARE(setBack.removed.size(), 1);
        QCOMPARE(backup::list(book).size(), backup::kKeep);
        QCOMPARE(backup::list(book).last().path, setBack.written);
    }

    void aFolderThatTakesNoBackupFailsWithAReasonAndLeavesTheBookAlone_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("a file in the folder's place") << false;
    }
    void aFolderThatTakesNoBackupFailsWithAReasonAndLeavesTheBookAlone()
    {
        QFETCH(bool, readOnlyFolder);
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna")});
        const QString folder = backup::folderFor(book);
        if (readOnlyFolder) {
            QDir().mkpath(folder);
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            if (::access(QFile::encodeName(folder).constData(), W_OK) == 0) {
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("this user writes into read-only folders (root); the file case covers the failure");
            }
        } else {
            writeFile(folder, "not a folder");
        }
        const QByteArray before = test::fileBytes(book);

        const backup::StartupResult result = backup::backUpIfDue(book, kMorning);
        QVERIFY(result.written.isEmpty());
        QVERIFY2(result.error.contains(QDir::toNativeSeparators(folder)), qPrintable(result.error));
        QCOMPARE(test::fileBytes(book), before);
        QVERIFY(QDir(home.path()).entryList({QStringLiteral("*.part")}, QDir::Files).isEmpty());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void whatAnInterruptedBackupLeftIsCleared()
    {
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna")});
        const QString folder = backup::folderFor(book);
        QDir().mkpath(folder);
        const QString stale = folder + QStringLiteral("/shop-2026-03-13-170000.db.part");
        const QString foreign = folder + QStringLiteral("/other-2026-03-13-170000.db.part");
        writeFile(stale, "half");
        writeFile(foreign, "half");
        backup::write(book, kMorning);
        QVERIFY(!QFileInfo::exists(stale));
        QVERIFY(QFileInfo::exists(foreign));
        QCOMPARE(backup::list(book).size(), 1);
    }

    void restoringSavesTheBookThenPutsTheBackupInItsPlace()
    {
        test::TempHome home;
        TDataModule1* dm = new TDataModule1;
        const QString book = Engine::database().databaseName();
        dm->tblCustomer->Insert();
        dm->tblCustomerCus_Name->SetAsString(QStringLiteral("Anna"));
        dm->tblCustomer->Post();
        const QString saved = backup::write(book, kMorning);
        dm->tblCustomer->Insert();
        dm->tblCustomerCus_Name->SetAsString(QStringLiteral("Bert"));
        dm->tblCustomer->Post();
        delete dm;
        Engine::close();

        const backup::RestoreResult result = backup::restore(saved, book, kMorning.addSecs(3600));
        QCOMPARE(namesIn(book), QStringList{"Anna"});
        QCOMPARE(namesIn(result.savedBook), QStringList({"Anna", "Bert"}));
        QVERIFY(result.movedAside.isEmpty());
        // The book keeps its write-ahead log and opens as the books again.
        QCOMPARE(Raw(book).value(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
        TDataModule1 again;
        QCOMPARE(again.tblCustomer->RecordCount(), 1);
    }

    void aBadBackupIsRefusedAndTheBookStaysByteForByte_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("no database") << "garbage" << "cannot be";
        QTest::newRow("other tables") << "foreign" << "it has no table Customer";
        QTest::newRow("damaged") << "damaged" << "failed SQLite's check";
        QTest::newRow("missing") << "missing" << "does not exist";
        QTest::newRow("the book itself") << "self" << "is the books themselves";
    }
    void aBadBackupIsRefusedAndTheBookStaysByteForByte()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna")});
        QString file = home.path() + QStringLiteral("/chosen.db");
        if (kind == QLatin1String("garbage")) {
            writeFile(file, QByteArray(8192, 'x'));
        } else if (kind == QLatin1String("foreign")) {
            Raw other(file, false);
            other.value(QStringLiteral("CREATE TABLE Notes (Text TEXT)"));
        } else if (kind == QLatin1String("damaged")) {
            makeBook(file, {QStringLiteral("Bert")});
            QByteArray bytes = test::fileBytes(file);
            // Overwrite the second page (a table's root) with noise, keeping the header sound.
            for (int i = 4096 + 16; i < 8192 && i < bytes.size(); ++i)
                bytes[i] = char(i * 7);
            writeFile(file, bytes);
        } else if (kind == QLatin1String("self")) {
            file = book;
        }
        const QByteArray before = test::fileBytes(book);

        const QString error = test::errorOf([&] { backup::restore(file, book, kMorning); });
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(test::fileBytes(book), before);
        QVERIFY(backup::list(book).isEmpty()); // nothing was even saved
    }

    void aDamagedBookIsMovedAsideUnchangedAndAMissingOneCreated()
    {
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna")});
        const QString saved = backup::write(book, kMorning);
        const QByteArray damaged = QByteArray("SQLite format 3") + QByteArray(5000, '\xff');
        writeFile(book, damaged);
        writeFile(book + QStringLiteral("-journal"), "a journal");

        const QString aside = backup::folderFor(book) + QStringLiteral("/shop-2026-03-15-093005-damaged.db");
        QStringList expected{aside};
        for (const char* suffix : {"-wal", "-shm", "-journal"})
            if (QFileInfo::exists(book + QLatin1String(suffix)))
                expected << aside + QLatin1String(suffix);

        const backup::RestoreResult result = backup::restore(saved, book, kMorning.addDays(1));
        QVERIFY(result.savedBook.isEmpty());
        QCOMPARE(result.movedAside, expected);
        QCOMPARE(test::fileBytes(aside), damaged);
        QCOMPARE(test::fileBytes(aside + QStringLiteral("-journal")), QByteArray("a journal"));
        QVERIFY(!QFileInfo::exists(book + QStringLiteral("-journal")));
        QCOMPARE(namesIn(book), QStringList{"Anna"});
        QCOMPARE(backup::list(book).size(), 1); // what was moved aside is no backup to rotate

        // A lost book comes back from the backup folder alone.
        QVERIFY(QFile::remove(book));
        const backup::RestoreResult fresh = backup::restore(saved, book, kMorning.addDays(2));
        QVERIFY(fresh.savedBook.isEmpty() && fresh.movedAside.isEmpty());
        QCOMPARE(namesIn(book), QStringList{"Anna"});
        QCOMPARE(Raw(book).value(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        QVERIFY(QDir(home.path()).entryList({QStringLiteral("*.restoring")}, QDir::Files).isEmpty());
    }

    // Rows that break the book's own checks (a name longer than its field, a date that is no date) are the book as it is: they are backed up and restored like any
    // other, and the book counts as sound when it is saved before a restore.
    void aBookWhoseRowsBreakItsChecksIsBackedUpAsItIs()
    {
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna")});
        const QString longName = QString(80, QLatin1Char('N'));
        {
            Raw raw(book, false);
            QCOMPARE(raw.value(QStringLiteral("PRAGMA ignore_check_constraints=ON")), QString());
            QCOMPARE(raw.value(QStringLiteral("UPDATE Customer SET Cus_Name = '%1'").arg(longName)), QString());
            QCOMPARE(raw.value(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (99, 1, 'yesterday')")),
                     QString());
            QCOMPARE(raw.value(QStringLiteral("PRAGMA ignore_check_constraints=OFF")), QString());
            QVERIFY(raw.value(QStringLiteral("PRAGMA integrity_check")) != QLatin1String("ok"));
        }
        const QByteArray before = test::fileBytes(book);

        const backup::StartupResult first = backup::backUpIfDue(book, kMorning);
        QVERIFY2(first.error.isEmpty(), qPrintable(first.error));
        QCOMPARE(namesIn(first.written), QStringList{longName});
        QCOMPARE(Raw(first.written).value(QStringLiteral("SELECT Inv_Date FROM Invoice WHERE Inv_Number = 99")),
                 QStringLiteral("yesterday"));
        QCOMPARE(test::fileBytes(book), before);
        // The next start has nothing to say.
        const backup::StartupResult next = backup::backUpIfDue(book, kMorning.addSecs(60));
        QVERIFY(next.written.isEmpty() && next.error.isEmpty());

        // Through the engine's open connection as well.
        AliasConfig c{QStringLiteral("Zuzevevur"), QStringLiteral("QSQLITE"), book};
        c.embeddedDefault = true;
        Engine::open(c);
        QString vacuumed;
        const QString vacuumError = test::errorOf([&] { vacuumed = backup::write(book, kMorning.addDays(1), backup::Method::VacuumInto); });
        Engine::close();
        QVERIFY2(vacuumError.isEmpty(), qPrintable(vacuumError));
        QCOMPARE(namesIn(vacuumed), QStringList{longName});

        // Restored, with the book as it stood saved first rather than moved aside as damaged.
        backup::RestoreResult result;
        const QString restoreError = test::errorOf([&] { result = backup::restore(first.written, book, kMorning.addDays(2)); });
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
        QVERIFY(result.movedAside.isEmpty());
        QCOMPARE(namesIn(result.savedBook), QStringList{longName});
        QCOMPARE(namesIn(book), QStringList{longName});
    }

    // A copy counts only when it holds what the books held: the same tables, indexes and triggers
    // with the same definitions, and as many rows in every table.
    void aCopyThatDiffersFromTheBooksIsRefused_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("a row fewer") << "DELETE FROM Customer WHERE Cus_Name = 'Bert'"
                                     << "holds 1 rows of the table Customer, the books 2";
        QTest::newRow("an index missing") << "DROP INDEX Cus_Name" << "lacks the index Cus_Name of the books";
        QTest::newRow("a table more") << "CREATE TABLE Notes (Text TEXT)" << "holds the table Notes, which the books do not";
    }
    void aCopyThatDiffersFromTheBooksIsRefused()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {QStringLiteral("Anna"), QStringLiteral("Bert")});
        const QString copy = backup::write(book, kMorning);
        const backup::Contents books = backup::contentsOf(book);
        backup::checkSameContents(copy, books);
        {
            Raw raw(copy, false);
            QCOMPARE(raw.value(change), QString());
        }
        const QString error = test::errorOf([&] { backup::checkSameContents(copy, books); });
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(copy)), qPrintable(error));
    }

    void oneLockPerBookHeldUntilReleased()
    {
        test::TempHome home;
        const QString book = home.path() + QStringLiteral("/shop.db");
        makeBook(book, {});
        BookLock first;
        QCOMPARE(first.lock(book), BookLock::Outcome::Locked);
        QCOMPARE(BookLock::lockFilePath(book), book + QStringLiteral(".lock"));

        // The same book through a link is the same book.
        const QString link = home.path() + QStringLiteral("/link.db");
        QVERIFY(QFile::link(book, link));
        BookLock second;
        QCOMPARE(second.lock(link), BookLock::Outcome::HeldElsewhere);
        QCOMPARE(second.holder(), QStringLiteral("process %1 on %2").arg(QCoreApplication::applicationPid()).arg(QSysInfo::machineHostName()));
        QVERIFY(!second.isLocked());

        // The programs this one starts do not inherit the lock.
        int fd = -1;
        for (const QFileInfo& entry : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files))
            if (entry.symLinkTarget() == book + QStringLiteral(".lock"))
                fd = entry.fileName().toInt();
        QVERIFY(fd >= 0);
        QVERIFY(::fcntl(fd, F_GETFD) & FD_CLOEXEC);

        first.unlock();
        QCOMPARE(second.lock(book), BookLock::Outcome::Locked);
        BookLock nowhere;
        QCOMPARE(nowhere.lock(home.path() + QStringLiteral("/no/such/folder/shop.db")), BookLock::Outcome::Unlockable);
        QVERIFY(!nowhere.error().isEmpty());
    }
};

ZZ_TEST_MAIN(TestBackup)
#include "test_backup.moc"
