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

Contents Parse(QByteArrayView data, bool bCut)
{
    // Lines are looked at one by one, so that a huge file costs no list of all its lines.
    qsizetype nPos = 0;
    const auto nextLine = [&](QByteArrayView& line) {
        if (nPos >= data.size())
            return false;
        qsizetype nEnd = data.indexOf('\n', nPos);
        if (nEnd < 0) {
            if (bCut)
                return false; // the file goes on past what was read: this is no whole line
            nEnd = data.size();
        }
        line = data.sliced(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        return true;
    };

    Contents contents;
    QByteArrayView line;
    if (!nextLine(line))
        return contents;
    const qsizetype nPromised = qMax(ReadCount(StripLineEnd(line)), 0);
    qsizetype nLines = 0;
    for (; nLines < nPromised && nextLine(line); ++nLines) {
        if (contents.entries.size() >= kMaxEntries) {
            ++contents.nLeftOut;
            continue;
        }
        const qsizetype nSplit = line.indexOf(';');
        const QByteArrayView name = nSplit < 0 ? QByteArrayView() : line.first(nSplit);
        const QByteArrayView path = nSplit < 0 ? line : line.sliced(nSplit + 1);
        // No character takes more than four bytes: a longer one is left out undecoded.
        if (name.size() > 4 * kMaxNameLength || StripLineEnd(path).size() > 4 * kMaxPathLength) {
            ++contents.nLeftOut;
            continue;
        }
        Entry entry{Decode(name), DecodePath(path)};
        if (entry.strName.size() > kMaxNameLength || entry.strPath.size() > kMaxPathLength)
            ++contents.nLeftOut;
        else
            contents.entries.append(std::move(entry));
    }
    if (bCut) {
        contents.nLeftOut += nPromised - nLines;
    } else {
        const qsizetype nMissing = qMin<qsizetype>(nPromised - nLines, kMissingEntryBound);
        for (qsizetype i = 0; i < nMissing && contents.entries.size() < kMaxEntries; ++i)
            contents.entries.append(Entry{});
    }
    return contents;
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
