// Saves config.ini over and over, flipping every flag each time, until it is killed.
#include "app/ConfigFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    for (int i = 0;; ++i) {
        const int v = i % 2;
        if (!ConfigFile::Write(path, ConfigFlags{v, v, v, v}))
            return 1;
        if (i == 0) {
            std::puts("writing");
            std::fflush(stdout);
        }
    }
}
