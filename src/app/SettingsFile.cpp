#include "app/SettingsFile.h"

#include <QFile>
#include <utility>

namespace {
void SplitKey(const QString& key, QString& group, QString& name)
{
    const qsizetype slash = key.lastIndexOf(u'/');
    group = slash < 0 ? QString() : key.left(slash);
    name = key.mid(slash + 1);
}

// "[name]" gives its name; anything else a null string.
QString GroupOf(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return QString();
    return QString::fromUtf8(t.mid(1, t.size() - 2).trimmed());
}
} // namespace

CSettingsFile::CSettingsFile(QString strPath) : m_strPath(std::move(strPath))
{
    QFile file(m_strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists())
            m_strReadError = file.errorString();
        return;
    }
    m_lines = file.readAll().split('\n');
    // The last line end does not begin another line.
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

qsizetype CSettingsFile::Find(const QString& group, const QString& name, qsizetype* pInsertAt) const
{
    QString current; // lines before the first header belong to no group
    qsizetype insertAt = group.isEmpty() ? 0 : -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArray& line = m_lines.at(i);
        const QString header = GroupOf(line);
        if (!header.isNull()) {
            current = header;
            if (current == group && insertAt < 0)
                insertAt = i + 1;
            continue;
        }
        if (current != group)
            continue;
        const QByteArray t = line.trimmed();
        if (!t.isEmpty())
            insertAt = i + 1;
        const qsizetype eq = t.indexOf('=');
        if (eq > 0 && !t.startsWith(';') && !t.startsWith('#') &&
            QString::fromUtf8(t.left(eq).trimmed()) == name)
            return i;
    }
    if (pInsertAt)
        *pInsertAt = insertAt;
    return -1;
}

QString CSettingsFile::Value(const QString& key) const
{
    QString group, name;
    SplitKey(key, group, name);
    const qsizetype i = Find(group, name, nullptr);
    if (i < 0)
        return QString();
    const QByteArray& line = m_lines.at(i);
    return QString::fromUtf8(line.mid(line.indexOf('=') + 1).trimmed());
}

void CSettingsFile::SetValue(const QString& key, const QString& value)
{
    QString group, name;
    SplitKey(key, group, name);
    qsizetype insertAt = -1;
    const qsizetype i = Find(group, name, &insertAt);
    const QByteArray line = name.toUtf8() + '=' + value.toUtf8();
    if (i >= 0) {
        m_lines[i] = line;
    } else if (insertAt >= 0) {
        m_lines.insert(insertAt, line);
    } else {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QByteArray();
        m_lines << '[' + group.toUtf8() + ']' << line;
    }
}

QByteArray CSettingsFile::Bytes() const
{
    QByteArray bytes;
    for (const QByteArray& line : m_lines)
        bytes += line + '\n';
    return bytes;
}

CAtomicFile::Result CSettingsFile::Save() const
{
    if (!m_strReadError.isEmpty())
        return {false, false, m_strReadError};
    return CAtomicFile::Replace(m_strPath, Bytes());
}
