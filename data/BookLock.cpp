#include "data/BookLock.h"

#include <QFileInfo>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace zz {

namespace {
QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

QString readHolder(int fd)
{
    char buffer[256];
    const ssize_t n = pread(fd, buffer, sizeof buffer - 1, 0);
    if (n <= 0)
        return QString();
    return QString::fromUtf8(buffer, int(n)).trimmed();
}
} // namespace

BookLock::~BookLock() { unlock(); }

BookLock::BookLock(BookLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_holder(std::move(other.m_holder)), m_error(std::move(other.m_error))
{
}

BookLock& BookLock::operator=(BookLock&& other) noexcept
{
    if (this != &other) {
        unlock();
        m_fd = std::exchange(other.m_fd, -1);
        m_holder = std::move(other.m_holder);
        m_error = std::move(other.m_error);
    }
    return *this;
}

QString BookLock::lockFilePath(const QString& bookPath)
{
    // The same book reached through a link locks the same file.
    const QFileInfo book(bookPath);
    const QString canonical = book.canonicalFilePath();
    return (canonical.isEmpty() ? book.absoluteFilePath() : canonical) + QStringLiteral(".lock");
}

BookLock::Outcome BookLock::lock(const QString& bookPath)
{
    unlock();
    m_holder.clear();
    m_error.clear();
    const QByteArray path = QFile::encodeName(lockFilePath(bookPath));
    // Never inherited by the programs this one starts (the mail program), which would otherwise
    // keep the books locked after this program has ended.
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC); // another user's lock file: locking needs no write
    if (fd < 0) {
        m_error = systemError(errno);
        return Outcome::Unlockable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        if (code == EWOULDBLOCK) {
            m_holder = readHolder(fd);
            ::close(fd);
            return Outcome::HeldElsewhere;
        }
        m_error = systemError(code);
        ::close(fd);
        return Outcome::Unlockable;
    }
    m_fd = fd;
    // Say who holds it, for the message a second start shows.
    const QByteArray who = QStringLiteral("process %1 on %2\n")
                               .arg(QString::number(::getpid()), QSysInfo::machineHostName())
                               .toUtf8();
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, who.constData(), who.size(), 0) == who.size())
        ::fsync(fd);
    return Outcome::Locked;
}

void BookLock::unlock()
{
    if (m_fd < 0)
        return;
    // The file stays: removing it could let two programs lock two different files of one name.
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace zz
