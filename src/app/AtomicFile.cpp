#include "app/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

const QString kNewFileMark = QStringLiteral(".kestrum-");
constexpr int kSuffixLength = 6;
qint64 g_nRoomForTests = -1;

bool IsSuffixChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

QString RandomSuffix()
{
    static const char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString suffix;
    for (int i = 0; i < kSuffixLength; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)]);
    return suffix;
}

} // namespace

CAtomicFile::CAtomicFile(const QString& strTarget) : m_strTarget(strTarget) {}

CAtomicFile::~CAtomicFile()
{
    Discard();
    ReleaseOldFile();
}

bool CAtomicFile::Open()
{
    // Another save racing this one draws another name; a name somebody planted is skipped.
    for (int nTry = 0; nTry < 100; ++nTry) {
        if (OpenAs(m_strTarget + kNewFileMark + RandomSuffix()))
            return true;
        if (!IsExistsError(m_nLastError))
            return false;
    }
    return false;
}

bool CAtomicFile::OpenAs(const QString& strPath)
{
    Discard();
    m_result = {};
    m_strNew = strPath;
    if (const int nError = CreateExclusive(strPath)) {
        m_strNew.clear();
        return Fail(nError);
    }
    m_bOwnsNewFile = true;
    return true;
}

bool CAtomicFile::Write(const QByteArray& bytes)
{
    if (m_hFile == -1)
        return m_result.bOk = false;
    const char* pData = bytes.constData();
    qint64 nLeft = bytes.size();
    while (nLeft > 0) {
        const qint64 nChunk = g_nRoomForTests < 0 ? nLeft : qMin(nLeft, g_nRoomForTests);
        if (nChunk == 0)
            return Fail(DiskFullError());
        qint64 nWritten = 0;
        if (const int nError = WriteSome(pData, nChunk, nWritten))
            return Fail(nError);
        if (g_nRoomForTests >= 0)
            g_nRoomForTests -= nWritten;
        pData += nWritten;
        nLeft -= nWritten;
    }
    return true;
}

bool CAtomicFile::Flush()
{
    if (m_hFile == -1)
        return m_result.bOk = false;
    if (const int nError = SyncFile())
        return Fail(nError);
    return true;
}

bool CAtomicFile::Commit()
{
    if (m_hFile == -1)
        return m_result.bOk = false;
    // Closing may report a write the system had put off (on a network folder, say); only a
    // file that is whole on the disk may take the target's place.
    int nError = SyncFile();
    if (const int nCloseError = CloseFile(); !nError)
        nError = nCloseError;
    if (!nError)
        nError = CheckStillOurs();
    if (!nError)
        nError = RenameOverTarget();
    if (nError)
        return Fail(nError);
    m_bOwnsNewFile = false;
    SyncFolder();
    return true;
}

void CAtomicFile::Discard()
{
    Close();
    if (m_bOwnsNewFile)
        QFile::remove(m_strNew); // a link put in its place goes, never what it points to
    m_bOwnsNewFile = false;
}

void CAtomicFile::Close()
{
    if (m_hFile != -1)
        CloseFile();
}

bool CAtomicFile::Fail(int nSystemError)
{
    m_nLastError = nSystemError;
    m_result.bOk = false;
    m_result.bDiskFull = IsDiskFullError(nSystemError);
    m_result.strError = qt_error_string(nSystemError);
    Discard();
    return false;
}

CAtomicFile::Result CAtomicFile::Replace(const QString& strTarget, const QByteArray& bytes)
{
    CAtomicFile file(strTarget);
    if (file.Open() && file.Write(bytes))
        file.Commit();
    return file.LastResult();
}

bool CAtomicFile::IsNewFileName(const QString& strFileName, const QString& strTargetName)
{
    const QString strPrefix = strTargetName + kNewFileMark;
    if (strFileName.size() != strPrefix.size() + kSuffixLength || !strFileName.startsWith(strPrefix))
        return false;
    for (qsizetype i = strPrefix.size(); i < strFileName.size(); ++i) {
        if (!IsSuffixChar(strFileName[i]))
            return false;
    }
    return true;
}

QString CAtomicFile::FailureText(const QString& strMessage, const Result& result)
{
    return result.bDiskFull ? strMessage + QStringLiteral("\r\n磁盘空间已满") : strMessage;
}

void CAtomicFile::SetRoomForTests(qint64 nBytes)
{
    g_nRoomForTests = nBytes;
}
