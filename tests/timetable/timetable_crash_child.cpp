// Saves the crash test's timetable versions one after another into the folder it is given until
// it is killed, printing "ok <n>" (flushed) after version n has been saved.
#include "TimetableVersions.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 1;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int n = 1; n < 1000000; ++n) {
        if (!TimetableVersion(folder, n).Save())
            return 4;
        std::printf("ok %d\n", n);
        std::fflush(stdout);
    }
    return 0;
}
