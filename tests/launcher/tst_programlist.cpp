#include "Recorders.h"
#include "TestFiles.h"
#include "launcher/ProgramList.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
QByteArray Gbk(const QString& text)
{
    return QStringEncoder("GB18030").encode(text);
}

/// "name|path" per entry.
QStringList Entries(const CProgramList& list)
{
    QStringList out;
    for (int i = 0; i < list.GetCount(); ++i)
        out << list.GetName(i) + u'|' + list.GetPath(i);
    return out;
}
} // namespace

class TestProgramList : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        const QString name = QStringLiteral("记事本");
        QTest::newRow("count 2 with one line")
            << QByteArray("2\r\r\nA;C:\\a.exe\r\r\n")
            << QStringList{QStringLiteral("A|C:\\a.exe"), QStringLiteral("|")};
        QTest::newRow("CR CR LF: no CR kept in count or path")
            << (QByteArray("2\r\r\n") + Gbk(name) + "; C:\\b c\\n.exe \r\r\nB;/usr/bin/b\r\r\n")
            << QStringList{name + QStringLiteral("| C:\\b c\\n.exe "), QStringLiteral("B|/usr/bin/b")};
        QTest::newRow("CR LF and LF, last line unended")
            << QByteArray("3\r\nA;/a\nB;/b\r\nC;/c")
            << QStringList{QStringLiteral("A|/a"), QStringLiteral("B|/b"), QStringLiteral("C|/c")};
        QTest::newRow("cut double-byte character uncovers no CR")
            << QByteArray("1\nA;/a\r\r\xF9\r\r\n") << QStringList{QStringLiteral("A|/a")};
        QTest::newRow("line without ';' is all path")
            << QByteArray("1\r\r\n/usr/bin/gimp\r\r\n") << QStringList{QStringLiteral("|/usr/bin/gimp")};
        QTest::newRow("first ';' ends the name")
            << QByteArray("1\n;A;B;C\n") << QStringList{QStringLiteral("|A;B;C")};
        QTest::newRow("count read like atoi")
            << QByteArray(" +1xyz\nA;/a\nB;/b\n") << QStringList{QStringLiteral("A|/a")};
        QTest::newRow("non-number count: empty") << QByteArray("zwei\nA;/a\n") << QStringList{};
        QTest::newRow("negative count: empty") << QByteArray("-3\nA;/a\n") << QStringList{};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QStringList wild{QStringLiteral("A|/a")};
        for (int i = 0; i < ProgramFile::kMissingEntryBound; ++i)
            wild << QStringLiteral("|");
        QTest::newRow("wild count: a bounded tail") << QByteArray("2000000000\nA;/a\n") << wild;
        QTest::newRow("count beyond int") << QByteArray("99999999999999999999\n") << wild.mid(1);
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(WriteAll(file(), bytes));
        CProgramList list(file());
        QTEST(Entries(list), "entries");
    }

    // A damaged or planted file costs little: what lies beyond the bounds is left out, and counted.
    void bounds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("leftOut");
        QTest::addColumn<QString>("lastPath");
        const auto line = [](const QString& name, const QString& path) {
            QByteArray bytes = Gbk(name + u';' + path);
            bytes += "\r\r\n";
            return bytes;
        };

        const QString longest = u'/' + QString(4095, u'文');
        QByteArray lengths = "5\n";
        lengths += line(QString(256, u'名'), QStringLiteral("/a"));
        lengths += line(QString(257, u'名'), QStringLiteral("/b"));
        lengths += line(QStringLiteral("长"), u'/' + QString(4096, u'文'));
        lengths += line(QStringLiteral("megabyte"), QString(1 << 20, u'p'));
        lengths += line(QStringLiteral("最长"), longest);
        QTest::newRow("names and paths too long") << lengths << 2 << 3 << longest;

        // Lines of 4000 bytes: the read stops within the 1100th, which is left out with the rest.
        QByteArray big = "1200\n";
        for (int i = 0; i < 1200; ++i) {
            big += QByteArray::number(i).rightJustified(4, '0');
            big += ';' + QByteArray(3994, 'p') + '\n';
        }
        const int nWhole = int((ProgramFile::kMaxFileBytes - 5) / 4000);
        QTest::newRow("file longer than is read")
            << big << nWhole << 1200 - nWhole << QString::fromLatin1(QByteArray(3994, 'p'));
    }
    void bounds()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(WriteAll(file(), bytes));
        int nLookups = 0;
        CProgramList list(file(), [&nLookups](const QString&) {
            ++nLookups;
            return QIcon();
        });
        QTEST(list.GetCount(), "count");
        QTEST(int(list.GetLeftOut()), "leftOut");
        QTEST(list.GetPath(list.GetCount() - 1), "lastPath");
        // Pictures are looked up for the entries shown, once each, not for the whole list at once.
        QCOMPARE(nLookups, 0);
        list.GetIcon(1);
        list.GetIcon(1);
        QCOMPARE(nLookups, 1);
    }

    // A file as the program has always written it reads and writes back byte for byte.
    void referenceFileRoundTrips()
    {
        CProgramList missing(file()); // no file yet: an empty list, and no file made
        QVERIFY(!missing.Load());
        QCOMPARE(missing.GetCount(), 0);
        QVERIFY(!QFile::exists(file()));
        const QByteArray reference =
            QByteArray("3\r\r\n") +
            "\xBC\xC7\xCA\xC2\xB1\xBE;C:\\WINDOWS\\notepad.exe\r\r\n" // 记事本
            "\xBF\xCE\xB1\xED;D:\\\xBD\xCC\xD1\xA7\\kcb.xls\r\r\n"    // 课表; D:\教学\kcb.xls
            "gimp;/usr/bin/gimp\r\r\n";
        QVERIFY(WriteAll(file(), reference));
        CProgramList list(file());
        QCOMPARE(Entries(list), (QStringList{QStringLiteral("记事本|C:\\WINDOWS\\notepad.exe"),
                                             QStringLiteral("课表|D:\\教学\\kcb.xls"),
                                             QStringLiteral("gimp|/usr/bin/gimp")}));
        QFile::remove(file());
        QVERIFY(list.Save());
        QCOMPARE(ReadAll(file()), reference);
    }

    void changesAreSaved()
    {
        QVERIFY(WriteAll(file(), "3\r\r\nA;/a\r\r\nB;/b\r\r\nC;/c\r\r\n"));
        // Each path gets a picture of its own, which must stay with its entry.
        QHash<QString, QIcon> icons;
        const auto iconOf = [&icons](const QString& path) {
            if (!icons.contains(path)) {
                QPixmap pixmap(16, 16);
                pixmap.fill(QColor::fromHsv(int(icons.size()) * 40, 200, 200));
                icons.insert(path, QIcon(pixmap));
            }
            return icons.value(path);
        };
        CProgramList list(file(), iconOf);
        for (int i = 0; i < list.GetCount(); ++i)
            list.GetIcon(i);                         // as a view showing the list does
        QVERIFY(list.MoveUp(0) && list.MoveDown(2)); // at the ends: nothing moves
        QVERIFY(list.MoveDown(0));                   // B A C
        QVERIFY(list.MoveUp(2));                     // B C A
        QVERIFY(list.Update(1, QStringLiteral("剪刀"), QStringLiteral("/x")));
        QVERIFY(list.Remove(0));
        QVERIFY(list.Add(QStringLiteral("D"), QStringLiteral("/d;e")));
        const QStringList expected{QStringLiteral("剪刀|/x"), QStringLiteral("A|/a"),
                                   QStringLiteral("D|/d;e")};
        QCOMPARE(Entries(list), expected);
        for (int i = 0; i < list.GetCount(); ++i) {
            const qint64 nShown = list.GetIcon(i).cacheKey();
            QCOMPARE(nShown, icons.value(list.GetPath(i)).cacheKey());
        }
        QCOMPARE(Entries(CProgramList(file())), expected);
    }

    void pathTip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("tip");
        QTest::newRow("two lines") << QStringLiteral("C:\\a\\b\\c\\d\\e.exe")
                                   << QStringLiteral("C:\\a\\b\n\\c\\d\\e.exe");
        QTest::newRow("two separators: one line") << QStringLiteral("/usr/bin") << QStringLiteral("/usr/bin");
        QTest::newRow("either separator, every third")
            << QStringLiteral("/home/li/文档\\2027/教案/第一课.odt")
            << QStringLiteral("/home/li\n/文档\\2027/教案\n/第一课.odt");
    }
    void pathTip()
    {
        QFETCH(QString, path);
        QTEST(CProgramList::PathTip(path), "tip");
    }

    void start_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<bool>("launcherSucceeds");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("how");
        QTest::newRow("program, detached")
            << QStringLiteral("tool.sh") << true << true << true << QStringLiteral("detached");
        QTest::newRow("document, with the desktop")
            << QStringLiteral("课表.xls") << false << true << true << QStringLiteral("desktop");
        QTest::newRow("folder, with the desktop")
            << QStringLiteral("folder") << false << true << true << QStringLiteral("desktop");
        QTest::newRow("launcher fails")
            << QStringLiteral("课表.xls") << false << false << false << QStringLiteral("desktop");
        QTest::newRow("nothing there: no launch")
            << QStringLiteral("gone.exe") << true << true << false << QString();
    }
    void start()
    {
        QFETCH(QString, name);
        QFETCH(bool, executable);
        QFETCH(bool, launcherSucceeds);
        const QString path = m_dir->filePath(name);
        if (name == QStringLiteral("folder"))
            QVERIFY(QDir(m_dir->path()).mkdir(name));
        else if (name != QStringLiteral("gone.exe"))
            QVERIFY(WriteAll(path, "#!/bin/sh\n"));
        if (executable && QFile::exists(path))
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        LaunchRecorder launches;
        launches.setSucceeds(launcherSucceeds);
        QTEST(CProgramList::Start(path), "started");
        QFETCH(QString, how);
        QCOMPARE(launches.started(), how == QStringLiteral("detached") ? QStringList{path} : QStringList{});
        QCOMPARE(launches.opened(), how == QStringLiteral("desktop") ? QStringList{path} : QStringList{});
    }

private:
    QString file() const { return m_dir->filePath(QStringLiteral("program.dat")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestProgramList)
#include "tst_programlist.moc"
