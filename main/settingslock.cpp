// SPDX-License-Identifier: MIT
#include "main/settingslock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLockFile>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace settings {
namespace {

// How long a write waits while other copies of the program write the file.
constexpr int kLockWaitMs = 2000;

// Where only Qt's lock file is at hand: a lock file older than this was left
// by a copy that hung or died on another machine; a write holds the lock for a
// few milliseconds. (A lock left by a dead process on this machine is
// recognised by its process id at once.)
constexpr int kStaleLockMs = 10000;

// Pause between two attempts at a lock held by another copy.
constexpr unsigned long kLockRetryMs = 1;

// The lock on "Config.ini.lock" that a write holds: the kernel's lock on that
// file. The kernel drops it when its holder ends, however it ends, so no lock
// is ever left stale, and taking it writes nothing to disk. The holder removes
// the file when done; a copy that opened the file before that and then gets
// the lock finds the name gone or taken by a newer file, and tries again.
class KernelLock
{
public:
    enum class Result { Held, Busy, Unsupported, Failed };

    explicit KernelLock(const QString &path) : m_path(QFile::encodeName(path)) {}
    ~KernelLock()
    {
        if (m_fd >= 0) {
            ::unlink(m_path.constData());
            ::close(m_fd);
        }
    }
    KernelLock(const KernelLock &) = delete;
    KernelLock &operator=(const KernelLock &) = delete;

    Result tryLock()
    {
        // NOTE: never through a symbolic link: the lock file is ours alone.
        // Opened for reading only, which is all the kernel's lock needs, so a
        // lock file left by another user (root, say) does not lock us out.
        constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW;
        int fd = ::open(m_path.constData(), kFlags | O_CREAT | O_EXCL, 0666);
        const bool created = fd >= 0;
        if (!created && errno == EEXIST)
            fd = ::open(m_path.constData(), kFlags);
        if (fd < 0) {
            m_error = errno;
            return errno == ENOENT ? Result::Busy : Result::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = m_error = errno;
            if (error == EWOULDBLOCK || error == EINTR) {
                ::close(fd);
                return Result::Busy;
            }
            // No kernel lock can be held here: the name is left to Qt's lock file.
            if (created)
                ::unlink(m_path.constData());
            ::close(fd);
            return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL ? Result::Unsupported
                                                                             : Result::Failed;
        }
        struct stat opened = {};
        struct stat named = {};
        if (::fstat(fd, &opened) == 0 && ::lstat(m_path.constData(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            m_fd = fd;
            return Result::Held;
        }
        ::close(fd);
        return Result::Busy; // the holder before removed the file meanwhile
    }

    /// The system's error of the last attempt that failed.
    int lastError() const { return m_error; }

private:
    QByteArray m_path;
    int m_fd = -1;
    int m_error = 0;
};

// NOTE: a write holds the lock for about a millisecond, so a busy lock is
// tried again every millisecond until the deadline. Where the file system
// keeps no kernel locks, Qt's lock file (which records its owner) stands in.
int AcquireLock(KernelLock &lock, QLockFile &fallback)
{
    const QDeadlineTimer deadline(kLockWaitMs);
    for (;;) {
        switch (lock.tryLock()) {
        case KernelLock::Result::Held:
            return 0;
        case KernelLock::Result::Failed:
            return lock.lastError() != 0 ? lock.lastError() : EIO;
        case KernelLock::Result::Unsupported:
            fallback.setStaleLockTime(kStaleLockMs);
            while (!fallback.tryLock(0)) {
                if (fallback.error() != QLockFile::LockFailedError)
                    return fallback.error() == QLockFile::PermissionError ? EACCES : EIO;
                if (deadline.hasExpired())
                    return ETIMEDOUT;
                QThread::msleep(kLockRetryMs);
            }
            return 0;
        case KernelLock::Result::Busy:
            break;
        }
        if (deadline.hasExpired())
            return ETIMEDOUT;
        QThread::msleep(kLockRetryMs);
    }
}

} // namespace

struct SettingsFileLock::Parts
{
    explicit Parts(const QString &path) : kernel(path), fallback(path) {}
    KernelLock kernel;
    QLockFile fallback;
};

SettingsFileLock::SettingsFileLock(const QString &lockPath)
    : m_parts(std::make_unique<Parts>(lockPath))
{
}

SettingsFileLock::~SettingsFileLock() = default;

int SettingsFileLock::acquire()
{
    return AcquireLock(m_parts->kernel, m_parts->fallback);
}

} // namespace settings
