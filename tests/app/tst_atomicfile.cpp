// The three files the program rewrites (config.ini, kcb.dat, program.dat) are replaced whole:
// a full disk, a link planted in the data folder or a kill in the middle of a save leaves the
// old file (or the whole new one) and everything outside the folder as they were, and the
// failure is reported as one. And config.ini's own format.
#include "FullDisk.h"
#include "KillAtRandom.h"
#include "TestFiles.h"
#include "app/AtomicFile.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "launcher/ProgramList.h"
#include "timetable/Timetable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// Saves version \a n (1 or 2, each a different content) of \a file in \a folder as the program does.
CAtomicFile::Result Save(const QString& file, const QString& folder, int n)
{
    if (file == QStringLiteral("config.ini"))
        return ConfigFile::Write(folder + u'/' + file,
                                 n == 1 ? ConfigFlags{1, 0, 1, 0} : ConfigFlags{0, 1, 0, 1});
    if (file == CTimetable::FileName()) {
        CTimetable timetable(folder);
        timetable.m_strTeacher = n == 1 ? QStringLiteral("王老师") : QStringLiteral("李老师");
        return timetable.Save();
    }
    CProgramList list(folder + u'/' + file);
    return list.Add(QStringLiteral("记事本%1").arg(n), QStringLiteral("/usr/bin/gedit"));
}

} // namespace

class TestAtomicFile : public QObject
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
    // On a full disk each save fails and says the disk is full; the old file is byte for byte
    // what it was, so the next start reads it, and no new file is left beside it.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("room"); // -1: a real full disk
        for (const QString& file :
             {QStringLiteral("config.ini"), CTimetable::FileName(), CProgramList::FileName()}) {
            QTest::addRow("%s, full tmpfs", qPrintable(file)) << file << qint64(-1);
            QTest::addRow("%s, no room", qPrintable(file)) << file << qint64(0);
            QTest::addRow("%s, room for a part", qPrintable(file)) << file << qint64(20);
        }
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(QString, file);
        QFETCH(qint64, room);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkdir(folder));
        std::unique_ptr<FullDisk> disk;
        std::unique_ptr<InjectedFullDisk> injected;
        if (room < 0) {
            disk = std::make_unique<FullDisk>(folder);
            if (!disk->IsMounted())
                QSKIP(qPrintable(disk->WhyNot() +
                                 QStringLiteral("; the rows of an injected full disk stand in")));
        }
        QVERIFY(Save(file, folder, 1));
        const QString path = folder + u'/' + file;
        const QByteArray before = ReadAll(path);
        QVERIFY(before.size() > 20);
        const QStringList entries =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (disk)
            QVERIFY(disk->Fill());
        else
            injected = std::make_unique<InjectedFullDisk>(room);

        const CAtomicFile::Result result = Save(file, folder, 2);
        QVERIFY(!result);
        QVERIFY(result.bDiskFull);
        QVERIFY(!result.strError.isEmpty());
        QCOMPARE(CAtomicFile::FailureText(QStringLiteral("保存失败"), result),
                 QStringLiteral("保存失败\r\n磁盘空间已满"));
        QCOMPARE(ReadAll(path), before);
        QStringList after = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        after.removeOne(FullDisk::FillerName());
        QCOMPARE(after, entries);
    }

    // A link of the file's name, left there or planted, is replaced by the file; what it points
    // to, inside or outside the data folder, is never written, nor created.
    void linkIsReplacedNotFollowed_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("dangling");
        for (const QString& file :
             {QStringLiteral("config.ini"), CTimetable::FileName(), CProgramList::FileName()}) {
            QTest::addRow("%s, link to a file", qPrintable(file)) << file << false;
            QTest::addRow("%s, dangling link", qPrintable(file)) << file << true;
        }
    }
    void linkIsReplacedNotFollowed()
    {
        QFETCH(QString, file);
        QFETCH(bool, dangling);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkdir(folder));
        const QString outside = root.filePath(QStringLiteral("elsewhere"));
        if (!dangling)
            QVERIFY(WriteAll(outside, "not the planner's"));
        const QString path = folder + u'/' + file;
        QVERIFY(QFile::link(outside, path));

        QVERIFY(Save(file, folder, 1));
        QVERIFY(!QFileInfo(path).isSymLink());
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(QFileInfo::exists(outside), !dangling);
        if (!dangling)
            QCOMPARE(ReadAll(outside), QByteArray("not the planner's"));
        QVERIFY(ReadAll(path).size() > 20);
    }

    // The replaced file keeps its permissions (a private file stays private); a new one gets
    // what the user's umask leaves.
    void permissions_data()
    {
        QTest::addColumn<int>("mode"); // of the file before the save; -1: no file yet
        QTest::addColumn<int>("expected");
        QTest::newRow("private file") << 0600 << 0600;
        QTest::newRow("shared with the group") << 0664 << 0664;
        QTest::newRow("new file") << -1 << 0644;
    }
    void permissions()
    {
        QFETCH(int, mode);
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("config.ini"));
        const mode_t mask = ::umask(0022);
        if (mode >= 0) {
            QVERIFY(WriteAll(path, "old"));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        }
        const bool saved = bool(CAtomicFile::Replace(path, "autorun=1\r\n"));
        ::umask(mask);
        QVERIFY(saved);
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
        QTEST(int(st.st_mode & 0777), "expected");
        QCOMPARE(ReadAll(path), QByteArray("autorun=1\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
