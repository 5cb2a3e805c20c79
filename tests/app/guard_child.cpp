// Takes the single-copy guard in the folder given, says so, and waits to be killed.
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    CSingleInstance guard(QString::fromLocal8Bit(argv[1]));
    if (!guard.Acquire())
        return 1;
    std::puts("held");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
