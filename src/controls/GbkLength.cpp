#include "controls/GbkLength.h"

#include <QStringEncoder>

namespace {

// The rule of thumb where no code page converter is at hand: ASCII one byte, a character
// outside the Basic Multilingual Plane one ('?'), every other character two.
int EstimatedGbkLength(QStringView text)
{
    int nBytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.unicode() < 0x80) {
            ++nBytes;
        } else if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++nBytes;
            ++i;
        } else if (ch.isSurrogate()) {
            ++nBytes;
        } else {
            nBytes += 2;
        }
    }
    return nBytes;
}

} // namespace

int GbkLength(QStringView text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return EstimatedGbkLength(text);
    // A lone surrogate is stored as '?' like any character the code page lacks; the converter
    // would drop it.
    QString whole = text.toString();
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (whole[i].isHighSurrogate() && i + 1 < whole.size() && whole[i + 1].isLowSurrogate())
            ++i;
        else if (whole[i].isSurrogate())
            whole[i] = u'?';
    }
    const QByteArray bytes = encoder.encode(whole);
    return int(bytes.size());
}
