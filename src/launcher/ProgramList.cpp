#include "launcher/ProgramList.h"

#include "app/Launcher.h"

#include <QFile>
#include <QFileInfo>

CProgramList::CProgramList(const QString& strFile, IconFunction iconOf)
    : m_strFile(strFile), m_iconOf(std::move(iconOf))
{
    Load();
}

CProgramList::~CProgramList() = default;

bool CProgramList::Load()
{
    m_nCount = 0;
    m_names.clear();
    m_paths.clear();
    m_icons.clear();
    m_nLeftOut = 0;
    // A pipe or a device put in the file's place would hold the window up without end.
    QFile file(m_strFile);
    if (!QFileInfo(m_strFile).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    // One byte more than is used tells whether the file goes on past it.
    const QByteArray data = file.read(ProgramFile::kMaxFileBytes + 1);
    const bool bCut = data.size() > ProgramFile::kMaxFileBytes;
    ProgramFile::Contents contents =
        ProgramFile::Parse(QByteArrayView(data).first(qMin(data.size(), ProgramFile::kMaxFileBytes)), bCut);
    m_names.reserve(contents.entries.size());
    m_paths.reserve(contents.entries.size());
    m_icons.reserve(contents.entries.size());
    for (const ProgramFile::Entry& entry : std::as_const(contents.entries))
        Append(entry.strName, entry.strPath);
    m_nLeftOut = contents.nLeftOut;
    return true;
}

CAtomicFile::Result CProgramList::Save()
{
    QList<ProgramFile::Entry> entries;
    entries.reserve(m_nCount);
    for (int i = 0; i < m_nCount; ++i)
        entries.append({m_names.at(i), m_paths.at(i)});
    return CAtomicFile::Replace(m_strFile, ProgramFile::Format(entries));
}

void CProgramList::Append(const QString& strName, const QString& strPath)
{
    m_names.append(strName);
    m_paths.append(strPath);
    m_icons.append(std::nullopt);
    ++m_nCount;
}

QIcon CProgramList::GetIcon(int nIndex) const
{
    std::optional<QIcon>& icon = m_icons[nIndex];
    if (!icon)
        icon = m_iconOf ? m_iconOf(m_paths.at(nIndex)) : QIcon();
    return *icon;
}

CAtomicFile::Result CProgramList::Add(const QString& strName, const QString& strPath)
{
    Append(strName, strPath);
    return Save();
}

CAtomicFile::Result CProgramList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return {};
    m_names.removeAt(nIndex);
    m_paths.removeAt(nIndex);
    m_icons.removeAt(nIndex);
    --m_nCount;
    return Save();
}

CAtomicFile::Result CProgramList::Update(int nIndex, const QString& strName, const QString& strPath)
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return {};
    m_names[nIndex] = strName;
    if (m_paths.at(nIndex) != strPath) {
        m_paths[nIndex] = strPath;
        m_icons[nIndex].reset();
    }
    return Save();
}

CAtomicFile::Result CProgramList::Swap(int nFirst)
{
    m_names.swapItemsAt(nFirst, nFirst + 1);
    m_paths.swapItemsAt(nFirst, nFirst + 1);
    m_icons.swapItemsAt(nFirst, nFirst + 1);
    return Save();
}

CAtomicFile::Result CProgramList::MoveUp(int nIndex)
{
    if (nIndex < 1 || nIndex >= m_nCount)
        return {};
    return Swap(nIndex - 1);
}

CAtomicFile::Result CProgramList::MoveDown(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nCount - 1)
        return {};
    return Swap(nIndex);
}

QString CProgramList::PathTip(const QString& strPath)
{
    QString tip;
    tip.reserve(strPath.size() + strPath.size() / 8);
    int nSeparators = 0;
    for (const QChar ch : strPath) {
        if ((ch == u'\\' || ch == u'/') && ++nSeparators % 3 == 0)
            tip += u'\n';
        tip += ch;
    }
    return tip;
}

bool CProgramList::Start(const QString& strPath)
{
    // The shell refuses a path with nothing behind it; the desktop's opener would start and
    // only then find out, too late to say so here.
    const QFileInfo info(strPath);
    if (strPath.isEmpty() || !info.exists())
        return false;
    IProgramLauncher& launcher = Launcher::get();
    if (info.isFile() && info.isExecutable())
        return launcher.StartDetached(info.absoluteFilePath(), {});
    return launcher.OpenWithDesktop(info.absoluteFilePath());
}
