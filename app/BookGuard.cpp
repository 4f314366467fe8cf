#include "app/BookGuard.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "data/Backup.h"
#include "data/BookLock.h"
#include "data/Engine.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

namespace zz {

bool isSqliteBook(const AliasConfig& config) { return config.driver == QLatin1String("QSQLITE"); }

QString booksOpenElsewhereText(const QString& bookPath, const QString& holder)
{
    return QStringLiteral("The books %1 are already open in Zuzevevur Creator%2.")
        .arg(QDir::toNativeSeparators(bookPath), holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder));
}

bool lockBooksForLife(BookLock& lock)
{
    AliasConfig config;
    try {
        config = Engine::resolveAlias();
    } catch (const std::exception&) {
        return true; // opening the books says what is wrong with the alias
    }
    if (!isSqliteBook(config))
        return true;
    if (!QFileInfo::exists(config.database)) {
        if (!config.embeddedDefault)
            return true; // a named book that is missing: opening it says so
        QDir().mkpath(QFileInfo(config.database).absolutePath()); // the first start's folder
    }
    if (lock.lock(config.database) != BookLock::Outcome::HeldElsewhere)
        return true;
    messageBox(MessageRequest{
        MsgKind::Error, TApplication::title(),
        booksOpenElsewhereText(config.database, lock.holder())
            + QStringLiteral("\n\nOnly one program may work on the books at a time, so that neither overwrites the "
                             "other's work. Use the program that is open, or close it and start again."),
        MsgButtons::OK});
    return false;
}

QString backUpBooksIfDue()
{
    if (!Engine::isOpen())
        return QString();
    const QSqlDatabase db = Engine::database();
    if (db.driverName() != QLatin1String("QSQLITE"))
        return QString();
    const backup::StartupResult result = backup::backUpIfDue(db.databaseName(), QDateTime::currentDateTime());
    if (result.error.isEmpty())
        return QString();
    if (!result.written.isEmpty())
        return QStringLiteral("Today's backup of the books was made as %1, but: %2")
            .arg(QDir::toNativeSeparators(result.written), result.error);
    return QStringLiteral("The books could not be backed up today: %1\n\nThe books themselves are unchanged and the "
                          "program goes on; the backup is tried again at the next start.")
        .arg(result.error);
}

} // namespace zz
