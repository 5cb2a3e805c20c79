#include "DialogRecorder.h"
#include "FullDisk.h"
#include "MessageRecorder.h"
#include "PlannerFixture.h"
#include "TestFiles.h"
#include "WidgetDriver.h"
#include "controls/BalloonTip.h"
#include "launcher/ProgramEditDlg.h"
#include "launcher/ProgramList.h"
#include "launcher/ProgramListDlg.h"

#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <memory>

namespace {
const QString kTooLong = QStringLiteral("程序名称太长，请修改并不超过十个汉字");
const QString kCannotOpen = QStringLiteral("该文件类型不能打开");

/// Names in the order the list shows them.
QStringList Shown(CProgramListDlg& dlg)
{
    QStringList out;
    const QAbstractItemModel* model = Child<QListView>(dlg, "programList")->model();
    for (int i = 0; i < model->rowCount(); ++i)
        out << model->index(i, 0).data().toString();
    return out;
}

/// Clicks entry \a nRow, or the empty part of the list for -1.
void ClickEntry(CProgramListDlg& dlg, int nRow, bool bDouble = false)
{
    auto* view = Child<QListView>(dlg, "programList");
    const QPoint at = nRow < 0 ? QPoint(20, view->viewport()->height() - 5)
                               : view->visualRect(view->model()->index(nRow, 0)).center();
    if (bDouble)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    else
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}
} // namespace

class TestProgramDlg : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<PlannerFixture>(false);
        QVERIFY(m_env->ok);
        QVERIFY(WriteAll(listFile(), "3\r\r\nA;" + program("a").toUtf8() + "\r\r\nB;" +
                                         program("b").toUtf8() + "\r\r\nC;/nowhere/c\r\r\n"));
    }

    void nameChecks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("name");
        QTest::newRow("ten Chinese characters in blanks")
            << QStringLiteral("  一二三四五六七八九十 ") << QString()
            << QStringLiteral("一二三四五六七八九十");
        QTest::newRow("20 bytes mixed")
            << QStringLiteral("Word 二〇二七年教案") << QString() << QStringLiteral("Word 二〇二七年教案");
        QTest::newRow("21 bytes") << QStringLiteral(" 一二三四五六七八九十a ") << kTooLong << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << QStringLiteral("请输入程序显示名称")
                                     << QString();
        QTest::newRow("semicolon") << QStringLiteral("笔记;本") << QStringLiteral("程序名称不能包含分号")
                                   << QString();
    }
    void nameChecks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        MessageRecorder messages;
        CProgramEditDlg dlg(true, QStringLiteral("旧名"), QStringLiteral("/opt/x"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("修改当前程序信息"));
        dlg.show();
        Child<QLineEdit>(dlg, "nameEdit")->setText(typed);
        Click(dlg, "okButton");
        if (message.isEmpty()) {
            QCOMPARE(messages.count(), 0);
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QTEST(dlg.GetName(), "name");
            QCOMPARE(dlg.GetPath(), QStringLiteral("/opt/x"));
        } else {
            QCOMPARE(messages.texts(), QStringList{message});
            QCOMPARE(messages.last().caption, QStringLiteral("警告"));
            QVERIFY(dlg.isVisible());
        }
    }

    // Adding: "确定" waits for a browse, which proposes the file's name and warns when it is long.
    void browseFillsNameAndPath()
    {
        MessageRecorder messages;
        DialogRecorder files;
        CProgramEditDlg dlg(false, {}, {});
        QCOMPARE(dlg.windowTitle(), QStringLiteral("增加新程序"));
        auto* ok = Child<QPushButton>(dlg, "okButton");
        QVERIFY(!ok->isEnabled());
        files.queueFileName({});
        Click(dlg, "browseButton");
        QVERIFY(!ok->isEnabled());
        const QString path = QStringLiteral("/home/li/工具/全国中小学生学籍管理系统客户端.v2.exe");
        files.queueFileName(path);
        Click(dlg, "browseButton");
        QVERIFY(ok->isEnabled());
        QCOMPARE(Child<QLineEdit>(dlg, "nameEdit")->text(),
                 QStringLiteral("全国中小学生学籍管理系统客户端.v2"));
        QCOMPARE(Child<QPlainTextEdit>(dlg, "pathEdit")->toPlainText(), path);
        QCOMPARE(messages.texts(), QStringList{kTooLong});
    }

    void moves_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("order"); // the entries' names in a row
        QTest::addColumn<int>("selectionAfter");
        QTest::newRow("上升 on the first")
            << 0 << QStringLiteral("upButton") << 1 << QStringLiteral("ABC") << 0;
        QTest::newRow("下降 on the last")
            << 2 << QStringLiteral("downButton") << 1 << QStringLiteral("ABC") << 2;
        QTest::newRow("上升 with nothing selected")
            << -1 << QStringLiteral("upButton") << 1 << QStringLiteral("ABC") << -1;
        QTest::newRow("下降 with nothing selected")
            << -1 << QStringLiteral("downButton") << 1 << QStringLiteral("ABC") << -1;
        QTest::newRow("上升 twice follows the entry")
            << 2 << QStringLiteral("upButton") << 2 << QStringLiteral("CAB") << 0;
        QTest::newRow("下降 twice follows the entry")
            << 0 << QStringLiteral("downButton") << 2 << QStringLiteral("BCA") << 2;
    }
    void moves()
    {
        QFETCH(int, selected);
        QFETCH(QString, button);
        QFETCH(int, presses);
        QFETCH(QString, order);
        CProgramListDlg dlg(m_env->context);
        QVERIFY(ShowExposed(dlg));
        if (selected < 0)
            ClickEntry(dlg, 1); // a click on the empty part lets go of what was chosen before
        ClickEntry(dlg, selected);
        QCOMPARE(dlg.GetSelection(), selected);
        if (selected < 0) {
            QTest::qWait(3 * CBalloonTip::kShowDelayMs);
            QVERIFY(!Child<CBalloonTip>(dlg, "programTip")->isVisible());
        }
        for (int i = 0; i < presses; ++i)
            Click(dlg, qPrintable(button));
        QCOMPARE(Shown(dlg).join(QString()), order);
        QTEST(dlg.GetSelection(), "selectionAfter");
        const CProgramList onDisk(listFile());
        QCOMPARE(onDisk.GetName(0) + onDisk.GetName(1) + onDisk.GetName(2), order);
        QCOMPARE(onDisk.GetCount(), 3);
    }

    // A click shows the path as a tip; a double click starts it and closes the list.
    void doubleClickStarts()
    {
        MessageRecorder messages;
        LaunchRecorder launches;
        CProgramListDlg dlg(m_env->context);
        QVERIFY(ShowExposed(dlg));
        ClickEntry(dlg, 1);
        QCOMPARE(Child<CBalloonTip>(dlg, "programTip")->GetText(), CProgramList::PathTip(program("b")));
        ClickEntry(dlg, 1, true);
        QCOMPARE(launches.opened(), QStringList{program("b")});
        QCOMPARE(dlg.result(), int(CProgramListDlg::kStarted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(messages.count(), 0);
    }

    // Entries whose file is gone share one picture; what is beyond the bounds is left out, said once.
    void leftOutEntriesAreReported()
    {
        QByteArray bytes = "10005\r\r\n";
        for (int i = 0; i < 10005; ++i)
            bytes += QStringLiteral("old %1;D:\\old\\%1.exe\r\r\n").arg(i).toLatin1();
        QVERIFY(WriteAll(listFile(), bytes));
        MessageRecorder messages;
        CProgramListDlg dlg(m_env->context);
        QVERIFY(ShowExposed(dlg));
        QTRY_COMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QStringLiteral("常用软件列表文件中有5项因条目过多或名称、路径过长而未能读入"
                                "（最多10000项，名称不超过256个字符，路径不超过4096个字符）。\n"
                                "修改列表后，这些项将从文件中删去。"));
        QCOMPARE(messages.last().caption, QStringLiteral("警告"));
        const QAbstractItemModel* model = Child<QListView>(dlg, "programList")->model();
        QCOMPARE(model->rowCount(), 10000);
        QCOMPARE(model->index(9999, 0).data().toString(), QStringLiteral("old 9999")); // the first ones kept
        const auto picture = [model](int nRow) {
            return model->index(nRow, 0).data(Qt::DecorationRole).value<QIcon>();
        };
        QVERIFY(!picture(0).isNull());
        QCOMPARE(picture(9999).cacheKey(), picture(0).cacheKey());
        dlg.hide();
        dlg.show();
        QTest::qWait(20);
        QCOMPARE(messages.count(), 1);
    }

    // Adding, changing and deleting through the buttons, each saved at once; a failed save says so.
    void editsAreSaved()
    {
        MessageRecorder messages;
        DialogRecorder files;
        CProgramListDlg dlg(m_env->context);
        QVERIFY(ShowExposed(dlg));

        files.queueFileName(program("新"));
        WhenModal([](QDialog* edit) {
            Click(*edit, "browseButton");
            Click(*edit, "okButton");
        });
        Click(dlg, "addButton");
        ClickEntry(dlg, 1);
        WhenModal([](QDialog* edit) {
            Child<QLineEdit>(*edit, "nameEdit")->setText(QStringLiteral("乙"));
            Click(*edit, "okButton");
        });
        Click(dlg, "changeButton");
        WhenModal([](QDialog* edit) { Click(*edit, "cancelButton"); });
        Click(dlg, "changeButton");
        messages.setNextAnswer(QMessageBox::Cancel);
        Click(dlg, "deleteButton");
        QCOMPARE(messages.last().text, QStringLiteral("你确信要删除选中的信息吗?"));
        QCOMPARE(messages.last().caption, QStringLiteral("删除警告"));
        ClickEntry(dlg, 0);
        Click(dlg, "deleteButton");
        QCOMPARE(dlg.GetSelection(), 0);
        const QStringList expected{QStringLiteral("乙"), QStringLiteral("C"), QStringLiteral("新")};
        QCOMPARE(Shown(dlg), expected);
        QCOMPARE(CProgramList(listFile()).GetCount(), 3);
        QCOMPARE(CProgramList(listFile()).GetPath(2), program("新"));

        // A full disk: the file stays as it was, and the user is told why.
        const QByteArray before = ReadAll(listFile());
        messages.clear();
        {
            InjectedFullDisk full;
            Click(dlg, "downButton");
        }
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("file open failue\r\n磁盘空间已满")});
        QCOMPARE(ReadAll(listFile()), before);
        QCOMPARE(Shown(dlg), (QStringList{QStringLiteral("C"), QStringLiteral("乙"), QStringLiteral("新")}));
    }

private:
    QString program(const char* name)
    {
        const QString path = m_env->dir.filePath(QString::fromUtf8(name) + QStringLiteral(".sh"));
        if (!QFile::exists(path))
            WriteAll(path, "#!/bin/sh\n");
        return path;
    }
    QString listFile() const { return m_env->context.DataFile(QStringLiteral("program.dat")); }
    std::unique_ptr<PlannerFixture> m_env;
};

QTEST_MAIN(TestProgramDlg)
#include "tst_programdlg.moc"
