// Opening the program list with 200 entries until it is first painted, against a plain dialog
// with a QListWidget showing the same 200 names with the same QFileIconProvider icons, in the
// same run. The two alternate, several rounds; the figures are the medians.
//
// With "missing N", the list holds N entries whose files do not exist (a list carried over from
// another computer, or a damaged file): the time until first painted and the peak memory while
// opening, medians over the rounds.
//
//     bench_launcher [rounds]              (offscreen platform unless QT_QPA_PLATFORM says otherwise)
//     bench_launcher missing N [rounds]
#include "BenchTiming.h"
#include "app/Appearance.h"
#include "app/DataFolder.h"
#include "app/PlannerContext.h"
#include "controls/Messages.h"
#include "launcher/ProgramFile.h"
#include "launcher/ProgramList.h"
#include "launcher/ProgramListDlg.h"
#include "store/DataStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileIconProvider>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
using namespace BenchTiming;

/// Answers the boxes the list shows while it opens, so that no round waits for a person.
class CountingAnswers final : public Messages::Handler
{
public:
    Messages::Answer Respond(const Messages::Request&) override
    {
        ++m_nShown;
        return QMessageBox::Ok;
    }
    int m_nShown = 0;
};

/// Notes when the watched widget has been painted.
class PaintWatch : public QObject
{
public:
    bool m_bPainted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_bPainted = true;
        return QObject::eventFilter(watched, event);
    }
};

/// Shows \a dialog and runs events until \a viewport was painted; the time since \a timer started.
double UntilPainted(QDialog& dialog, QWidget* viewport, const QElapsedTimer& timer)
{
    PaintWatch watch;
    viewport->installEventFilter(&watch);
    dialog.show();
    while (!watch.m_bPainted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = Ms(timer);
    viewport->removeEventFilter(&watch);
    return ms;
}

bool WriteList(const QList<ProgramFile::Entry>& entries)
{
    QFile list(DataFolder::File(QStringLiteral("program.dat")));
    return list.open(QIODevice::WriteOnly) && list.write(ProgramFile::Format(entries)) >= 0;
}

/// Opens the list of \a nEntries entries whose files do not exist, \a rounds times.
int BenchMissing(int nEntries, int rounds)
{
    QList<ProgramFile::Entry> entries;
    entries.reserve(nEntries);
    for (int i = 0; i < nEntries; ++i)
        entries.append(
            {QStringLiteral("旧程序%1").arg(i), QStringLiteral("D:\\旧电脑\\软件\\程序%1.exe").arg(i)});
    if (!WriteList(entries))
        return 1;
    const double fileMiB =
        double(QFileInfo(DataFolder::File(QStringLiteral("program.dat"))).size()) / (1 << 20);

    CountingAnswers answers;
    Messages::setHandler(&answers);
    CDataStore store;
    ConfigFlags flags;
    CPlannerContext context(store, flags, {}, {});
    std::vector<double> times, peaks, bases;
    int nShown = 0;
    for (int round = 0; round < rounds + 1; ++round) {
        QCoreApplication::processEvents();
#ifdef __GLIBC__
        malloc_trim(0); // hands back what the last round freed, so that each round's peak is its own
#endif
        ResetPeak();
        const double base = PeakMiB();
        double ms = 0;
        {
            QElapsedTimer timer;
            timer.start();
            CProgramListDlg dlg(context);
            ms = UntilPainted(dlg, dlg.findChild<QListView*>(QStringLiteral("programList"))->viewport(),
                              timer);
            nShown = dlg.GetList().GetCount();
        }
        if (round == 0)
            continue;
        times.push_back(ms);
        peaks.push_back(PeakMiB());
        bases.push_back(base);
    }
    Messages::setHandler(nullptr);
    std::printf("%d rounds, %d entries whose files do not exist (program.dat %.1f MiB)\n", rounds, nEntries,
                fileMiB);
    std::printf("entries shown %d, message boxes %d\n", nShown, answers.m_nShown);
    std::printf("program list until first painted: median %.1f ms\n", Median(times));
    std::printf("peak memory while open:           median %.1f MiB (%.1f MiB before opening)\n",
                Median(peaks), Median(bases));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Appearance::ApplyChineseLook(app);
    QTemporaryDir scratch;
    DataFolder::Set(scratch.path());
    if (argc > 2 && qstrcmp(argv[1], "missing") == 0)
        return BenchMissing(std::max(1, std::atoi(argv[2])), argc > 3 ? std::max(1, std::atoi(argv[3])) : 5);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    // 200 real files of several kinds (programs, scripts, documents), named in Chinese.
    const QStringList kinds{QStringLiteral(".sh"), QStringLiteral(".txt"), QStringLiteral(".pdf"),
                            QStringLiteral(".odt"), QStringLiteral(".png"), QStringLiteral(".html")};
    QList<ProgramFile::Entry> entries;
    for (int i = 0; i < 200; ++i) {
        const QString path = scratch.filePath(QStringLiteral("文件%1%2").arg(i).arg(kinds.at(i % kinds.size())));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("#!/bin/sh\n");
        entries.append({QStringLiteral("常用程序%1").arg(i, 3, 10, QLatin1Char('0')), path});
    }
    if (!WriteList(entries))
        return 1;

    CDataStore store;
    ConfigFlags flags;
    CPlannerContext context(store, flags, {}, {});
    std::vector<double> programList, baseline;
    for (int round = 0; round < rounds + 1; ++round) {
        double ours = 0, bare = 0;
        {
            QElapsedTimer timer;
            timer.start();
            CProgramListDlg dlg(context);
            ours = UntilPainted(dlg, dlg.findChild<QListView*>(QStringLiteral("programList"))->viewport(), timer);
        }
        {
            QElapsedTimer timer;
            timer.start();
            QDialog dlg;
            dlg.setFixedSize(CProgramListDlg::kWidth, CProgramListDlg::kHeight);
            auto* widget = new QListWidget(&dlg);
            widget->setGeometry(20, 76, 280, 288);
            const QFileIconProvider provider;
            for (const ProgramFile::Entry& entry : entries)
                widget->addItem(new QListWidgetItem(provider.icon(QFileInfo(entry.strPath)), entry.strName));
            bare = UntilPainted(dlg, widget->viewport(), timer);
        }
        if (round == 0)
            continue; // the first round loads fonts and icon themes for both
        programList.push_back(ours);
        baseline.push_back(bare);
        QCoreApplication::processEvents();
    }
    const double ours = Median(programList), bare = Median(baseline);
    std::printf("%d rounds, 200 entries\n", rounds);
    std::printf("program list until first painted:      median %.2f ms\n", ours);
    std::printf("QListWidget + QFileIconProvider icons: median %.2f ms\n", bare);
    std::printf("ratio %.2f (target at most 1.5)\n", ours / bare);
    return 0;
}
