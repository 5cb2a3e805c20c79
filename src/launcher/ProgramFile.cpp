#include "launcher/ProgramFile.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <limits>

namespace {

// GB18030 reads every GBK byte sequence as GBK does and can write any character a file name
// holds, where GBK would put '?' into a path and make it unusable. A Qt without the code page
// converters (no ICU) falls back to UTF-8 rather than losing the non-ASCII text altogether.
const char* CodecName()
{
    static const char* const name =
        QStringEncoder("GB18030").isValid() ? "GB18030" : (QStringEncoder("GBK").isValid() ? "GBK" : "UTF-8");
    return name;
}

QString Decode(QByteArrayView bytes)
{
    QStringDecoder decoder(CodecName(), QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray Encode(const QString& text)
{
    QStringEncoder encoder(CodecName(), QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QByteArrayView StripLineEnd(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\r' || line.back() == '\n'))
        line.chop(1);
    return line;
}

// Stripped again after decoding: a double-byte character cut off at the end of the line
// decodes to nothing and would uncover the carriage returns before it.
QString DecodePath(QByteArrayView bytes)
{
    QString path = Decode(StripLineEnd(bytes));
    while (path.endsWith(u'\r'))
        path.chop(1);
    return path;
}

} // namespace

namespace ProgramFile {

int ReadCount(QByteArrayView line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r')))
        ++i;
    bool bNegative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        bNegative = line[i++] == '-';
    qint64 nValue = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        nValue = qMin<qint64>(nValue * 10 + (line[i] - '0'), qint64(std::numeric_limits<int>::max()) + 1);
    if (bNegative)
        return int(qMax<qint64>(-nValue, std::numeric_limits<int>::min()));
    return int(qMin<qint64>(nValue, std::numeric_limits<int>::max()));
}

QList<Entry> Parse(QByteArrayView data)
{
    QList<QByteArrayView> lines;
    qsizetype nStart = 0;
    while (nStart < data.size()) {
        qsizetype nEnd = data.indexOf('\n', nStart);
        if (nEnd < 0)
            nEnd = data.size();
        lines.append(data.sliced(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    if (lines.isEmpty())
        return {};

    const qsizetype nPresent = lines.size() - 1;
    const qsizetype nCount = qMin<qsizetype>(ReadCount(StripLineEnd(lines.first())), nPresent + kMissingEntryBound);
    QList<Entry> entries;
    entries.reserve(qMax<qsizetype>(nCount, 0));
    for (qsizetype i = 0; i < nCount; ++i) {
        if (i >= nPresent) {
            entries.append(Entry{});
            continue;
        }
        const QByteArrayView line = lines.at(i + 1);
        const qsizetype nSplit = line.indexOf(';');
        if (nSplit < 0)
            entries.append({QString(), DecodePath(line)});
        else
            entries.append({Decode(line.first(nSplit)), DecodePath(line.sliced(nSplit + 1))});
    }
    return entries;
}

QByteArray Format(const QList<Entry>& entries)
{
    static constexpr char kLineEnd[] = "\r\r\n";
    QByteArray out = QByteArray::number(entries.size()) + kLineEnd;
    for (const Entry& entry : entries)
        out += Encode(entry.strName) + ';' + Encode(entry.strPath) + kLineEnd;
    return out;
}

} // namespace ProgramFile
