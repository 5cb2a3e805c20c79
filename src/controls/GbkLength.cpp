#include "controls/GbkLength.h"

int GbkLength(QStringView text)
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
