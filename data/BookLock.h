#pragma once
// One program per book: a lock file beside a SQLite book, locked for as long as its holder lives.
// The operating system lets go of the lock when the holder ends, however it ends, so a program
// that crashed never leaves its books locked.
#include <QString>

namespace zz {

class BookLock {
public:
    BookLock() = default;
    ~BookLock();
    BookLock(BookLock&& other) noexcept;
    BookLock& operator=(BookLock&& other) noexcept;
    BookLock(const BookLock&) = delete;
    BookLock& operator=(const BookLock&) = delete;

    enum class Outcome {
        Locked,     // this object holds the lock now
        HeldElsewhere, // another program holds it
        Unlockable  // no lock file can be made beside the book (a folder we may not write into)
    };

    // Tries to take the lock of the book at bookPath, without waiting.
    Outcome lock(const QString& bookPath);
    void unlock();
    bool isLocked() const { return m_fd >= 0; }

    // Who holds the lock, as the holder wrote it ("process 1234 on host"); empty when unknown.
    // Filled when lock() found the books held elsewhere.
    QString holder() const { return m_holder; }
    // Why lock() could not make the lock file (Unlockable).
    QString error() const { return m_error; }

    // The lock file of a book: the book's file name with ".lock" appended, in the same folder.
    static QString lockFilePath(const QString& bookPath);

private:
    int m_fd = -1;
    QString m_holder;
    QString m_error;
};

} // namespace zz
