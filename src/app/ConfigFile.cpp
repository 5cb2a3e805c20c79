#include "app/ConfigFile.h"

#include "app/AtomicFile.h"

#include <QFile>
#include <cctype>

namespace ConfigFile {

int FlagOfLine(const QByteArray& line)
{
    QByteArray value = line.mid(line.lastIndexOf('=') + 1);
    // Trailing blanks (and the CR of a Windows line end) never count.
    while (!value.isEmpty() && std::isspace(static_cast<unsigned char>(value.back())))
        value.chop(1);

    // atoi: leading blanks, an optional sign, then digits up to the first non-digit.
    qsizetype i = 0;
    while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i])))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        negative = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > 1000) // far past 1; no need to follow an absurd number to its end
            return 0;
    }
    return (!negative && n == 1) ? 1 : 0;
}

bool Read(const QString& path, ConfigFlags& flags)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    int* const fields[] = {&flags.m_bAutorun, &flags.m_bShowSplash, &flags.m_bStartMinimized, &flags.m_bTopmost};
    for (int* field : fields) {
        const QByteArray line = file.atEnd() ? QByteArray() : file.readLine();
        *field = FlagOfLine(line);
    }
    return true;
}

QByteArray Format(const ConfigFlags& flags)
{
    auto line = [](const char* key, int value) -> QByteArray {
        return QByteArray(key) + '=' + (value == 1 ? '1' : '0') + "\r\n";
    };
    return line("autorun", flags.m_bAutorun) + line("showscreen", flags.m_bShowSplash) +
           line("deskshort", flags.m_bStartMinimized) + line("topmost", flags.m_bTopmost);
}

CAtomicFile::Result Write(const QString& path, const ConfigFlags& flags)
{
    return CAtomicFile::Replace(path, Format(flags));
}

} // namespace ConfigFile
