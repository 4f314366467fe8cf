#pragma once
// What start-up does for the safety of a SQLite book before and after the data module opens it:
// one program per book, and a backup a day. Books on a database server have neither here (the
// server keeps several seats apart and is backed up with its own tools).
#include <QString>

namespace zz {

struct AliasConfig;
class BookLock;

bool isSqliteBook(const AliasConfig& config);

// "The books <path> are already open in Zuzevevur Creator (process 1234 on host)."
QString booksOpenElsewhereText(const QString& bookPath, const QString& holder);

// Takes the lock of the books the alias names, held by lock for the program's life. When another
// program has them open, says so in an error box and returns false: the program must end. Anything
// else (a server alias, an alias that does not resolve, a book whose folder takes no lock file)
// returns true, and opening the books then reports what is wrong with them.
bool lockBooksForLife(BookLock& lock);

// Backs the books up when a backup is due, keeping the last ones. Returns the warning to show the
// user when the backup failed, or nothing; never throws.
QString backUpBooksIfDue();

} // namespace zz
