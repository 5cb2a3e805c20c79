#pragma once

#include "app/AtomicFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

/// A small tmpfs over \a folder, to be filled to the last byte; without the right to mount, WhyNot.
class FullDisk
{
public:
    explicit FullDisk(const QString& folder, const char* size = "256k") : m_folder(QFile::encodeName(folder))
    {
        m_bMounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                             QByteArray(QByteArray("size=") + size).constData()) == 0;
        if (!m_bMounted)
            m_strWhyNot = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~FullDisk()
    {
        if (m_bMounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool IsMounted() const { return m_bMounted; }
    QString WhyNot() const { return QStringLiteral("cannot mount a tmpfs here (%1)").arg(m_strWhyNot); }
    static QString FillerName() { return QStringLiteral("filler"); }

    /// Writes whole pages into a filler file until the disk takes no more.
    bool Fill() const
    {
        const int fd = ::open(FillerPath().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray page(4096, 'f');
        while (::write(fd, page.constData(), size_t(page.size())) == page.size()) {
        }
        const bool bFull = errno == ENOSPC;
        ::close(fd);
        return bFull;
    }
    bool Free() const { return ::unlink(FillerPath().constData()) == 0; }

private:
    QByteArray FillerPath() const { return m_folder + QByteArray("/") + QFile::encodeName(FillerName()); }

    QByteArray m_folder;
    bool m_bMounted = false;
    QString m_strWhyNot;
};

/// Only \a nBytes more of the files the program replaces, while it lives: a full disk anywhere.
class InjectedFullDisk
{
public:
    explicit InjectedFullDisk(qint64 nBytes = 0) { CAtomicFile::SetRoomForTests(nBytes); }
    ~InjectedFullDisk() { CAtomicFile::SetRoomForTests(-1); }
    InjectedFullDisk(const InjectedFullDisk&) = delete;
    InjectedFullDisk& operator=(const InjectedFullDisk&) = delete;
};
