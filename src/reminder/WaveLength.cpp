#include "reminder/WaveLength.h"

#include <QFile>
#include <QtEndian>

int WaveLengthMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return 0;
    quint32 byteRate = 0;
    // Walk the chunks: "fmt " carries the byte rate, "data" the length of the sound.
    for (;;) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            return 0;
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("fmt ")) {
            const QByteArray fmt = file.read(size + (size & 1));
            if (fmt.size() < 12)
                return 0;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
        } else if (chunk.startsWith("data")) {
            if (byteRate == 0)
                return 0;
            return int(qint64(size) * 1000 / byteRate);
        } else if (!file.seek(file.pos() + size + (size & 1))) {
            return 0;
        }
    }
}
