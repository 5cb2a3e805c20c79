// Runs the crash test's store operations, printing "ok <n>" after each success, till killed.
#include "CrashScript.h"
#include "app/ErrorReporter.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {
class ExitOnError final : public IErrorReporter
{
public:
    void ReportError(const QString& text) override
    {
        std::fprintf(stderr, "store error: %s\n", qUtf8Printable(text));
        std::exit(3);
    }
    void ReportMessage(const QString& text, const QString&, Kind) override { ReportError(text); }
};
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ExitOnError reporter;
    CDataStore store(&reporter);
    if (argc < 3 || !store.Connect(QString::fromLocal8Bit(argv[1])))
        return 1;
    const QList<CrashScript::Op> ops = CrashScript::Build(std::atoi(argv[2]));
    for (qsizetype i = 0; i < ops.size(); ++i) {
        if (!CrashScript::Run(store, ops[i]))
            return 4;
        std::printf("ok %lld\n", static_cast<long long>(i + 1));
        std::fflush(stdout);
    }
    return 0;
}
