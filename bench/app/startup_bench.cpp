// Measures the time from starting a process to its first painted window, for Kestrum and for
// three bare Qt programs (an empty dialog; a dialog with a month calendar and a list; the same
// with Chinese texts in the same fonts), taking turns so that all see the same machine state.
//
//   bench_startup [runs]        (default 15; QT_QPA_PLATFORM is passed through, offscreen if unset)
//
// Each program prints "first-paint <time>" when its window is first
// painted (microseconds of the monotonic clock); the same clock read here just before the
// start gives the start-up time.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double RunOnce(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    const long long before = std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return -1;
    const QByteArray out = process.readAllStandardOutput();
    const qsizetype at = out.indexOf("first-paint ");
    if (at < 0)
        return -1;
    const qint64 painted = out.mid(at + 12).trimmed().split('\n').first().toLongLong();
    return double(painted - before) / 1000.0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString bin = QCoreApplication::applicationDirPath();

    QTemporaryDir scratch;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A runtime folder of our own keeps a running copy of the program out of the way.
    const QString runtime = scratch.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("KESTRUM_REPORT_FIRST_PAINT"), QStringLiteral("1"));
    const QString data = scratch.filePath(QStringLiteral("data"));

    // The first run creates the data folder; later runs start on it as a user does every day.
    RunOnce(bin + QStringLiteral("/Kestrum"), {QStringLiteral("--data-dir"), data}, env);

    std::vector<double> kestrum, bare, planner, chinese;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(RunOnce(bin + QStringLiteral("/bench_bare_dialog"), {}, env));
        planner.push_back(RunOnce(bin + QStringLiteral("/bench_bare_planner"), {}, env));
        chinese.push_back(RunOnce(bin + QStringLiteral("/bench_bare_cjk_planner"), {}, env));
        kestrum.push_back(RunOnce(bin + QStringLiteral("/Kestrum"), {QStringLiteral("--data-dir"), data}, env));
    }
    for (const auto* times : {&kestrum, &bare, &planner, &chinese}) {
        if (std::count(times->begin(), times->end(), -1.0)) {
            std::fprintf(stderr, "a run did not report its first paint\n");
            return 1;
        }
    }
    const double k = Median(kestrum), b = Median(bare), p = Median(planner), c = Median(chinese);
    std::printf("platform %s, %d runs each (median)\n",
                qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"))), runs);
    std::printf("bare Qt dialog              %7.1f ms\n", b);
    std::printf("bare dialog, calendar, list %7.1f ms\n", p);
    std::printf("the same in Chinese, CJK    %7.1f ms\n", c);
    std::printf("Kestrum                     %7.1f ms\n", k);
    std::printf("Kestrum / bare dialog       %7.2f\n", k / b);
    std::printf("Kestrum / calendar and list %7.2f\n", k / p);
    std::printf("Kestrum / the same, Chinese %7.2f\n", k / c);
    return 0;
}
