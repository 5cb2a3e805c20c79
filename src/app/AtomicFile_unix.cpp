// Linux and other Unix systems: an exclusive open(2), fsync(2) of the file and its folder, and
// rename(2), which replaces the target's name in one step.
#include "app/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray Native(const QString& strPath)
{
    return QFile::encodeName(strPath);
}

// The target's permissions and, where the system lets us (root saving a user's folder), its
// owner: a private file stays private, and the user can still change their own file.
void AdoptTarget(int fd, const QString& strTarget)
{
    struct stat st;
    if (::lstat(Native(strTarget).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    ::fchmod(fd, st.st_mode & 0777);
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Not ours to give away: the file stays the saver's, as a new file would be.
        }
    }
}

} // namespace

int CAtomicFile::CreateExclusive(const QString& strPath)
{
    // With O_EXCL any name that is there fails, a link included, even one that leads nowhere.
    const QByteArray path = Native(strPath);
    int fd = -1;
    do {
        fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int nError = errno;
        ::close(fd);
        ::unlink(path.constData());
        return nError;
    }
    m_nDevice = qint64(st.st_dev);
    m_nInode = qint64(st.st_ino);
    AdoptTarget(fd, m_strTarget);
    m_hFile = fd;
    return 0;
}

int CAtomicFile::WriteSome(const char* pData, qint64 nSize, qint64& nWritten)
{
    ssize_t n = -1;
    do {
        n = ::write(int(m_hFile), pData, size_t(nSize));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno;
    if (n == 0)
        return EIO;
    nWritten = n;
    return 0;
}

int CAtomicFile::SyncFile()
{
    return ::fsync(int(m_hFile)) == 0 ? 0 : errno;
}

int CAtomicFile::CloseFile()
{
    const int fd = int(m_hFile);
    m_hFile = -1;
    // After EINTR the descriptor is gone all the same on Linux; trying again could close another.
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

int CAtomicFile::CheckStillOurs() const
{
    struct stat st;
    if (::lstat(Native(m_strNew).constData(), &st) != 0)
        return errno;
    if (S_ISLNK(st.st_mode))
        return ELOOP;
    return S_ISREG(st.st_mode) && qint64(st.st_dev) == m_nDevice && qint64(st.st_ino) == m_nInode ? 0
                                                                                                  : EEXIST;
}

int CAtomicFile::RenameOverTarget()
{
    // While a descriptor of the replaced file is open, its blocks are freed at the close.
    if (m_bFreeOldAside && m_hOldFile == -1)
        m_hOldFile = ::open(Native(m_strTarget).constData(), O_RDONLY | O_CLOEXEC);
    return ::rename(Native(m_strNew).constData(), Native(m_strTarget).constData()) == 0 ? 0 : errno;
}

void CAtomicFile::ReleaseOldFile()
{
    if (m_hOldFile >= 0)
        std::thread([fd = int(m_hOldFile)] { ::close(fd); }).detach();
    m_hOldFile = -1;
}

void CAtomicFile::SyncFolder()
{
    // The rename lives in the folder: without this a power cut may bring the old file back.
    const int fd =
        ::open(Native(QFileInfo(m_strTarget).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool CAtomicFile::IsExistsError(int nSystemError)
{
    return nSystemError == EEXIST;
}

bool CAtomicFile::IsDiskFullError(int nSystemError)
{
    return nSystemError == ENOSPC || nSystemError == EDQUOT;
}

int CAtomicFile::DiskFullError()
{
    return ENOSPC;
}
