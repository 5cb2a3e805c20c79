// Opening the program list with 200 entries until it is first painted, against a plain dialog
// with a QListWidget showing the same 200 names with the same QFileIconProvider icons, in the
// same run. The two alternate, several rounds; the figures are the medians.
//
//     bench_launcher [rounds]          (offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include "app/Appearance.h"
#include "app/DataFolder.h"
#include "app/PlannerContext.h"
#include "launcher/ProgramFile.h"
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

namespace {

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
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    viewport->removeEventFilter(&watch);
    return ms;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Appearance::ApplyChineseLook(app);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    // 200 real files of several kinds (programs, scripts, documents), named in Chinese.
    QTemporaryDir scratch;
    DataFolder::Set(scratch.path());
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
    QFile list(DataFolder::File(QStringLiteral("program.dat")));
    if (!list.open(QIODevice::WriteOnly) || list.write(ProgramFile::Format(entries)) < 0)
        return 1;
    list.close();

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
