#pragma once

#include <QByteArray>
#include <QFile>
#include <QtEndian>

/// The whole file; "<unreadable>" when it cannot be opened, which no file of the program holds.
inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
           file.flush();
}

/// A silent sound of \a nMs ms (8000 Hz mono 8 bits), an "INFO" chunk first when \a bInfoFirst.
inline QByteArray WaveBytes(int nMs, bool bInfoFirst = false)
{
    const auto le = [](quint32 v, int nBytes) {
        QByteArray b(4, 0);
        qToLittleEndian(v, b.data());
        return b.left(nBytes);
    };
    const auto le32 = [&le](quint32 v) { return le(v, 4); };
    const auto le16 = [&le](quint32 v) { return le(v, 2); };
    const quint32 nData = quint32(nMs) * 8;
    const QByteArray info = bInfoFirst ? "LIST" + le32(4) + "INFO" : QByteArray();
    return "RIFF" + le32(quint32(4 + info.size() + 24 + 8) + nData) + "WAVE" + info + "fmt " + le32(16) +
           le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) + le16(8) + "data" + le32(nData) +
           QByteArray(qsizetype(nData), '\x80');
}
