#include "KillAtRandom.h"
#include "TestFiles.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"

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
        const auto row = [](const char* name, const QByteArray& content, int a, int b, int c, int d) {
            QTest::newRow(name) << content << QList<int>{a, b, c, d};
        };
        row("alternating", "autorun=1\r\nshowscreen=0\r\ndeskshort=1\r\ntopmost=0\r\n", 1, 0, 1, 0);
        row("keys ignored, order by line", "topmost=1\r\nautorun=0\r\nshowscreen=0\r\ndeskshort=1\r\n", 1, 0,
            0, 1);
        row("unix line ends", "autorun=0\nshowscreen=1\ndeskshort=0\ntopmost=1\n", 0, 1, 0, 1);
        row("two is not one", "a=1\r\nb=1\r\nc=1\r\ntopmost=2\r\n", 1, 1, 1, 0);
        row("word is zero", "a=1\r\nb=1\r\nc=1\r\ntopmost=yes\r\n", 1, 1, 1, 0);
        row("trailing blanks", "a=1  \t\r\nb=0\r\nc=0\r\ntopmost=1   \r\n", 1, 0, 0, 1);
        row("leading blanks and sign", "a=  1\r\nb=+1\r\nc=-1\r\nd= 1x\r\n", 1, 1, 0, 1);
        row("last equals sign counts", "a=0=1\r\nb=1=0\r\nc==1\r\nd=\r\n", 1, 0, 1, 0);
        row("no equals sign: whole line", "1\r\n0\r\n 1\r\nx\r\n", 1, 0, 1, 0);
        row("only two lines", "autorun=1\r\nshowscreen=1\r\n", 1, 1, 0, 0);
        row("last line without line end", "a=0\r\nb=0\r\nc=0\r\ntopmost=1", 0, 0, 0, 1);
        row("empty file", "", 0, 0, 0, 0);
        row("huge number", "a=100000000000000000001\r\nb=01\r\nc=0\r\nd=0\r\n", 0, 1, 0, 0);
        row("very long line", "autorun=1" + QByteArray(5000, ' ') + "\r\nshowscreen=1\r\nd=0\r\nt=0\r\n", 1,
            1, 0, 0);
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
        // Read back by the "alternating" row of the reading test.
        QCOMPARE(ReadAll(path), QByteArray("autorun=1\r\nshowscreen=0\r\ndeskshort=1\r\ntopmost=0\r\n"));
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
