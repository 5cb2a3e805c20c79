// Saves config.ini over and over, flipping every flag, printing "ok <n>" after each, till killed.
#include "app/ConfigFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    for (int n = 1;; ++n) {
        const int v = n % 2;
        if (!ConfigFile::Write(path, ConfigFlags{v, v, v, v}))
            return 1;
        std::printf("ok %d\n", n);
        std::fflush(stdout);
    }
}
