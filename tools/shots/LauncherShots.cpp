// The program list with a few entries (one of them gone), the path tip of the selected one,
// and the edit dialog for changing and for adding an entry.
#include "Shots.h"
#include "app/PlannerApp.h"
#include "controls/BalloonTip.h"
#include "launcher/ProgramEditDlg.h"
#include "launcher/ProgramFile.h"
#include "launcher/ProgramList.h"
#include "launcher/ProgramListDlg.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QListView>
#include <QTest>

void Shots::Launcher(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    const QDir files(context.DataFile(QStringLiteral("files")));
    files.mkpath(QStringLiteral("教案"));
    const auto make = [&files](const QString& name) {
        QFile file(files.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write("x");
        return file.fileName();
    };
    const QList<ProgramFile::Entry> entries{
        {QStringLiteral("Python"), QStringLiteral("/usr/bin/python3")},
        {QStringLiteral("成绩表"), make(QStringLiteral("成绩表.ods"))},
        {QStringLiteral("班会讲稿"), make(QStringLiteral("班会讲稿.txt"))},
        {QStringLiteral("第三单元课件"), make(QStringLiteral("第三单元.pdf"))},
        {QStringLiteral("教案文件夹"), files.filePath(QStringLiteral("教案"))},
        {QStringLiteral("校园网首页"), make(QStringLiteral("index.html"))},
        {QStringLiteral("已删除的程序"), QStringLiteral("/opt/gone/tool.exe")},
    };
    QFile list(context.DataFile(CProgramList::FileName()));
    if (list.open(QIODevice::WriteOnly))
        list.write(ProgramFile::Format(entries));
    list.close();
    {
        CProgramListDlg dlg(context);
        dlg.show();
        QApplication::processEvents();
        auto* view = dlg.findChild<QListView*>(QStringLiteral("programList"));
        // The path tip shows at the pointer, which the click leaves on the fourth entry.
        const QPoint entry = view->visualRect(view->model()->index(3, 0)).center();
        QCursor::setPos(view->viewport()->mapToGlobal(entry));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry);
        shots.SaveAsIs(dlg, QStringLiteral("program-list"));
        auto* tip = dlg.findChild<CBalloonTip*>(QStringLiteral("programTip"));
        if (tip && QTest::qWaitFor([tip] { return tip->isVisible(); }))
            shots.SaveWithPopup(dlg, *tip, QStringLiteral("program-list-tip"));
        else
            shots.Save(QImage(), QStringLiteral("program-list-tip")); // reported as not written
    }
    {
        CProgramEditDlg edit(true, QStringLiteral("第三单元课件"), entries.at(3).strPath);
        shots.Save(edit, QStringLiteral("program-edit"));
    }
    {
        CProgramEditDlg add(false, {}, {});
        shots.Save(add, QStringLiteral("program-add"));
    }
}
