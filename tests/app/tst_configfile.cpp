#include "KillAtRandom.h"
#include "MessageRecorder.h"
#include "TestFiles.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "app/PlannerApp.h"

#include <QTemporaryDir>
#include <QtTest>

class TestConfigFile : public QObject
{
    Q_OBJECT

private slots:
    void readsByPosition_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("alternating") << QByteArray(
                                            "autorun=1\r\nshowscreen=0\r\ndeskshort=1\r\ntopmost=0\r\n")
                                     << QList<int>{1, 0, 1, 0};
        QTest::newRow("keys ignored, order by line")
            << QByteArray("topmost=1\r\nautorun=0\r\nshowscreen=0\r\ndeskshort=1\r\n")
            << QList<int>{1, 0, 0, 1};
        QTest::newRow("unix line ends")
            << QByteArray("autorun=0\nshowscreen=1\ndeskshort=0\ntopmost=1\n") << QList<int>{0, 1, 0, 1};
        QTest::newRow("two is not one")
            << QByteArray("a=1\r\nb=1\r\nc=1\r\ntopmost=2\r\n") << QList<int>{1, 1, 1, 0};
        QTest::newRow("word is zero")
            << QByteArray("a=1\r\nb=1\r\nc=1\r\ntopmost=yes\r\n") << QList<int>{1, 1, 1, 0};
        QTest::newRow("trailing blanks")
            << QByteArray("a=1  \t\r\nb=0\r\nc=0\r\ntopmost=1   \r\n") << QList<int>{1, 0, 0, 1};
        QTest::newRow("leading blanks and sign")
            << QByteArray("a=  1\r\nb=+1\r\nc=-1\r\nd= 1x\r\n") << QList<int>{1, 1, 0, 1};
        QTest::newRow("last equals sign counts")
            << QByteArray("a=0=1\r\nb=1=0\r\nc==1\r\nd=\r\n") << QList<int>{1, 0, 1, 0};
        QTest::newRow("no equals sign: whole line")
            << QByteArray("1\r\n0\r\n 1\r\nx\r\n") << QList<int>{1, 0, 1, 0};
        QTest::newRow("only two lines")
            << QByteArray("autorun=1\r\nshowscreen=1\r\n") << QList<int>{1, 1, 0, 0};
        QTest::newRow("last line without line end")
            << QByteArray("a=0\r\nb=0\r\nc=0\r\ntopmost=1") << QList<int>{0, 0, 0, 1};
        QTest::newRow("empty file") << QByteArray("") << QList<int>{0, 0, 0, 0};
        QTest::newRow("huge number") << QByteArray("a=100000000000000000001\r\nb=01\r\nc=0\r\nd=0\r\n")
                                     << QList<int>{0, 1, 0, 0};
        QTest::newRow("very long line")
            << "autorun=1" + QByteArray(5000, ' ') + "\r\nshowscreen=1\r\nd=0\r\nt=0\r\n"
            << QList<int>{1, 1, 0, 0};
    }
    void readsByPosition()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        QVERIFY(WriteAll(path, content));
        ConfigFlags flags{1, 1, 1, 1}; // every flag must be overwritten, also for missing lines
        QVERIFY(ConfigFile::Read(path, flags));
        QCOMPARE(
            (QList<int>{flags.m_bAutorun, flags.m_bShowSplash, flags.m_bStartMinimized, flags.m_bTopmost}),
            expected);
    }

    void writeGivesExactFileAndRepairsDamage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        QVERIFY(WriteAll(path,
                         QByteArray("garbage without lines, much longer than the new file will be .......")));
        QVERIFY(ConfigFile::Write(path, ConfigFlags{1, 0, 1, 0}));
        QCOMPARE(ReadAll(path), QByteArray("autorun=1\r\nshowscreen=0\r\ndeskshort=1\r\ntopmost=0\r\n"));
        ConfigFlags back;
        QVERIFY(ConfigFile::Read(path, back));
        QCOMPARE(back, (ConfigFlags{1, 0, 1, 0}));
    }

    void applicationReportsMissingAndUnwritableFile()
    {
        MessageRecorder messages;
        QTemporaryDir dir;
        DataFolder::Set(dir.path());
        CPlannerApp app({});
        app.Context().Settings().m_bTopmost = 1;
        QVERIFY(!app.ReadConfig());
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("打开系统配置文件错误，请重新启动程序")});
        QCOMPARE(app.Context().Settings().m_bTopmost, 1); // a failed read leaves the flags alone

        // A folder in place of the file cannot be replaced.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("config.ini")));
        messages.clear();
        QVERIFY(!app.WriteConfig());
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("打开配置文件失败，不能更新设置，请重试")});
        QCOMPARE(messages.last().caption, QStringLiteral("Kestrum"));
    }

    // A save interrupted at any moment leaves either the old or the new file, never a
    // truncated one that would stop the next start.
    void killedDuringSaveLeavesCompleteFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        const QByteArray all0 = ConfigFile::Format(ConfigFlags{});
        const QByteArray all1 = ConfigFile::Format(ConfigFlags{1, 1, 1, 1});
        KillAtRandom::Run(
            "config_writer_child", 12, 8, [&](int) { return QStringList{path}; },
            [&](int, qsizetype) {
                const QByteArray content = ReadAll(path);
                QVERIFY2(content == all0 || content == all1, content.constData());
            });
        // What a killed save left beside the file goes at the next start.
        DataFolder::RemoveLeftovers(dir.path());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("config.ini")});
    }
};

QTEST_MAIN(TestConfigFile)
#include "tst_configfile.moc"
