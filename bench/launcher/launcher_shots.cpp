// Renders the program list with a few entries and the edit dialog into PNG files, to look at.
//
//     launcher-shots DIR          (offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include "app/Appearance.h"
#include "app/DataFolder.h"
#include "app/PlannerContext.h"
#include "launcher/ProgramEditDlg.h"
#include "launcher/ProgramFile.h"
#include "launcher/ProgramListDlg.h"
#include "store/DataStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Appearance::ApplyChineseLook(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    QTemporaryDir scratch;
    DataFolder::Set(scratch.path());
    const auto make = [&scratch](const QString& name) {
        QFile file(scratch.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write("x");
        return file.fileName();
    };
    QDir(scratch.path()).mkdir(QStringLiteral("教案"));
    const QList<ProgramFile::Entry> entries{
        {QStringLiteral("Python"), QStringLiteral("/usr/bin/python3")},
        {QStringLiteral("成绩表"), make(QStringLiteral("成绩表.ods"))},
        {QStringLiteral("班会讲稿"), make(QStringLiteral("班会讲稿.txt"))},
        {QStringLiteral("第三单元课件"), make(QStringLiteral("第三单元.pdf"))},
        {QStringLiteral("教案文件夹"), scratch.filePath(QStringLiteral("教案"))},
        {QStringLiteral("校园网首页"), make(QStringLiteral("index.html"))},
        {QStringLiteral("已删除的程序"), QStringLiteral("/opt/gone/tool.exe")},
    };
    QFile list(DataFolder::File(QStringLiteral("program.dat")));
    list.open(QIODevice::WriteOnly);
    list.write(ProgramFile::Format(entries));
    list.close();

    CDataStore store;
    ConfigFlags flags;
    CPlannerContext context(store, flags, {}, {});
    CProgramListDlg dlg(context);
    dlg.show();
    auto* view = dlg.findChild<QListView*>(QStringLiteral("programList"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(3, 0)).center());
    QTest::qWait(100);
    dlg.grab().save(out + QStringLiteral("/program-list.png"));
    // The path tip is a window of its own: only a picture of the screen shows it.
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        dlg.screen()->grabWindow(0).copy(dlg.frameGeometry().adjusted(-40, -80, 40, 40)).save(out + QStringLiteral("/program-list-tip.png"));

    CProgramEditDlg edit(true, QStringLiteral("第三单元课件"), entries.at(3).strPath);
    edit.show();
    QTest::qWait(50);
    edit.grab().save(out + QStringLiteral("/program-edit.png"));
    CProgramEditDlg add(false, {}, {});
    add.show();
    QTest::qWait(50);
    add.grab().save(out + QStringLiteral("/program-add.png"));
    return 0;
}
