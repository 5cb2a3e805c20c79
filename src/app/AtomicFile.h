#pragma once

#include <QByteArray>
#include <QString>

/// Replaces a file of the data folder whole, so that the file holds the old content or the new
/// one, never a mix, a truncated file or nothing, whatever happens on the way: a crash, a kill,
/// a full disk.
///
/// The new content goes into a file that this class makes itself in the target's folder: under
/// a name no other file has ("<target's name>.kestrum-" and six letters or digits, see
/// IsNewFileName) or one the caller gives, created exclusively, so that an existing file or a
/// link of that name is never opened. Every write and the sync to the disk are checked; only
/// then is the file renamed over the target. The rename replaces a link of the target's name
/// instead of writing where it points. On any failure the new file is removed and the target
/// is left as it was.
class CAtomicFile
{
public:
    /// How a step went.
    struct Result
    {
        bool bOk = true;
        bool bDiskFull = false; ///< no room left on the disk (or in the user's quota)
        QString strError;       ///< the system's text for what failed
        explicit operator bool() const { return bOk; }
    };

    explicit CAtomicFile(const QString& strTarget);
    /// Removes a new file that was not renamed over the target.
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    /// Makes the new file beside the target under a name of its own, with the permissions of the
    /// target file where there is one, else those the user's umask gives a new file.
    bool Open();
    /// Makes the new file under \a strPath, in the target's folder, which must not exist yet:
    /// a file, folder or link of that name makes this fail.
    bool OpenAs(const QString& strPath);
    /// Appends \a bytes to the new file.
    bool Write(const QByteArray& bytes);
    /// Syncs the new file to the disk now, so that Commit's own sync has little left to do: it
    /// may run on another thread while this one reads the new file through its name, never
    /// beside another call on this object. A failure is reported as Write's are.
    bool Flush();
    /// Syncs the new file to the disk and renames it over the target. (The new file has had the
    /// target file's permissions from the start: a private file stays private.) What was written
    /// into the new file under its name by someone else (the database engine) is committed with
    /// it; a new file that is no longer the one made here (replaced by a link, say) is refused.
    bool Commit();
    /// Leaves the freeing of the replaced file's disk space to a thread of its own, once this
    /// object ends, where the system allows it: the blocks of a large file take tens of
    /// milliseconds to free, otherwise inside Commit's rename.
    void FreeOldFileAside() { m_bFreeOldAside = true; }
    /// Removes the new file; the target is untouched.
    void Discard();

    QString NewFilePath() const { return m_strNew; }
    /// What the last step did; after a failure, why.
    const Result& LastResult() const { return m_result; }

    /// Open, Write and Commit in one: replaces \a strTarget with a file holding \a bytes.
    static Result Replace(const QString& strTarget, const QByteArray& bytes);

    /// True when \a strFileName is a name Open gives a new file for a target named
    /// \a strTargetName: what an interrupted replacement may have left.
    static bool IsNewFileName(const QString& strFileName, const QString& strTargetName);

    /// \a strMessage, with the line "磁盘空间已满" added when \a result failed for want of room,
    /// the one cause the user can put right alone.
    static QString FailureText(const QString& strMessage, const Result& result);

    /// Tests: the disk takes only \a nBytes more of what Write writes, then reports itself full,
    /// as a nearly full disk does. -1 lifts the limit.
    static void SetRoomForTests(qint64 nBytes);

private:
    bool Fail(int nSystemError);
    void Close();

    // The system's side, in AtomicFile_unix.cpp and AtomicFile_win.cpp. Each returns 0 or the
    // system's error code.
    int CreateExclusive(const QString& strPath);
    int WriteSome(const char* pData, qint64 nSize, qint64& nWritten);
    int SyncFile();
    int CheckStillOurs() const;
    int CloseFile();
    int RenameOverTarget();
    void SyncFolder();
    void ReleaseOldFile();
    static bool IsExistsError(int nSystemError);
    static bool IsDiskFullError(int nSystemError);
    static int DiskFullError();

    QString m_strTarget;
    QString m_strNew;
    qintptr m_hFile = -1;
    bool m_bOwnsNewFile = false;
    bool m_bFreeOldAside = false;
    qintptr m_hOldFile = -1; ///< the replaced file, held open (see FreeOldFileAside)
    qint64 m_nDevice = -1; ///< identity of the new file, where the system has one
    qint64 m_nInode = -1;
    int m_nLastError = 0;
    Result m_result;
};
