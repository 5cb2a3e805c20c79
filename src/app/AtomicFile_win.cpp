// Windows: CreateFile with CREATE_NEW, FlushFileBuffers, and MoveFileEx with write-through,
// which replaces the target's name in one step.
#include "app/AtomicFile.h"

#include <QDir>
#include <windows.h>

namespace {

std::wstring Native(const QString& strPath)
{
    return QDir::toNativeSeparators(strPath).toStdWString();
}

HANDLE Handle(qintptr hFile)
{
    return reinterpret_cast<HANDLE>(hFile);
}

} // namespace

int CAtomicFile::CreateExclusive(const QString& strPath)
{
    // CREATE_NEW fails on any name that is there, a link included. The file is shared: the
    // database engine writes a compacted copy into it by its name.
    const HANDLE hFile = CreateFileW(Native(strPath).c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return int(GetLastError());
    m_hFile = reinterpret_cast<qintptr>(hFile);
    return 0;
}

int CAtomicFile::WriteSome(const char* pData, qint64 nSize, qint64& nWritten)
{
    DWORD nDone = 0;
    const DWORD nAsked = DWORD(qMin<qint64>(nSize, 1 << 30));
    if (!WriteFile(Handle(m_hFile), pData, nAsked, &nDone, nullptr))
        return int(GetLastError());
    if (nDone == 0)
        return ERROR_WRITE_FAULT;
    nWritten = nDone;
    return 0;
}

int CAtomicFile::SyncFile()
{
    return FlushFileBuffers(Handle(m_hFile)) ? 0 : int(GetLastError());
}

int CAtomicFile::CloseFile()
{
    const HANDLE hFile = Handle(m_hFile);
    m_hFile = -1;
    return CloseHandle(hFile) ? 0 : int(GetLastError());
}

int CAtomicFile::CheckStillOurs() const
{
    const DWORD nAttributes = GetFileAttributesW(Native(m_strNew).c_str());
    if (nAttributes == INVALID_FILE_ATTRIBUTES)
        return int(GetLastError());
    return nAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY) ? ERROR_FILE_EXISTS : 0;
}

int CAtomicFile::RenameOverTarget()
{
    // A file held open cannot be replaced here: FreeOldFileAside changes nothing.
    return MoveFileExW(Native(m_strNew).c_str(), Native(m_strTarget).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : int(GetLastError());
}

void CAtomicFile::SyncFolder() {} // the rename was written through

void CAtomicFile::ReleaseOldFile() {}

bool CAtomicFile::IsExistsError(int nSystemError)
{
    return nSystemError == ERROR_FILE_EXISTS || nSystemError == ERROR_ALREADY_EXISTS;
}

bool CAtomicFile::IsDiskFullError(int nSystemError)
{
    return nSystemError == ERROR_DISK_FULL || nSystemError == ERROR_HANDLE_DISK_FULL;
}

int CAtomicFile::DiskFullError()
{
    return ERROR_DISK_FULL;
}
