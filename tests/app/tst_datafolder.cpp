#include "app/DataFolder.h"
#include "FakeClock.h"
#include "Recorders.h"
#include "store/DataStore.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QStringList kDefaultFiles = {QStringLiteral("config.ini"), QStringLiteral("kcb.dat"), QStringLiteral("kstrm.db"),
                                   QStringLiteral("notify.wav"), QStringLiteral("ringin.wav")};

struct stat StatOf(const QString& path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

QStringList EverythingIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

/// What every start does with the data folder before it opens anything in it.
bool Start(const QString& folder, QString* error)
{
    if (DataFolder::NeedsDefaults(folder) && !DataFolder::CreateWithDefaults(folder, QDate(2027, 3, 15), error))
        return false;
    DataFolder::RemoveLeftovers(folder);
    return true;
}
} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT
    mode_t m_umask = 0;

private slots:
    void init() { m_umask = ::umask(0022); }
    void cleanup() { ::umask(m_umask); }

    // A first run fills the folder the user made where it is, so that a folder kept private
    // stays private; a folder that is not there yet is made whole or not at all. Either way
    // the new files are as open as the user's umask allows and no more.
    void firstRun_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<uint>("folderMode");
        QTest::addColumn<uint>("mask");
        QTest::newRow("new folder, private umask") << false << 0u << 0077u;
        QTest::newRow("new folder, usual umask") << false << 0u << 0022u;
        QTest::newRow("empty private folder, usual umask") << true << 0700u << 0022u;
        QTest::newRow("empty private folder, private umask") << true << 0700u << 0077u;
        QTest::newRow("empty group folder, group umask") << true << 02770u << 0002u;
    }
    void firstRun()
    {
        QFETCH(bool, exists);
        QFETCH(uint, folderMode);
        QFETCH(uint, mask);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString folder = root.filePath(QStringLiteral("data"));
        if (exists) {
            QVERIFY(QDir().mkdir(folder));
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), folderMode), 0);
        }
        const struct stat before = StatOf(folder);

        ::umask(mask);
        QString error;
        QVERIFY2(Start(folder, &error), qPrintable(error));

        const struct stat after = StatOf(folder);
        QVERIFY(S_ISDIR(after.st_mode));
        if (exists) {
            QCOMPARE(after.st_ino, before.st_ino); // the same folder, not a new one in its place
            QCOMPARE(after.st_mode & 07777, folderMode);
            QCOMPARE(after.st_uid, before.st_uid);
        } else {
            QCOMPARE(after.st_mode & 07777, 0777 & ~mask);
        }
        QCOMPARE(EverythingIn(folder), kDefaultFiles);
        QCOMPARE(EverythingIn(root.path()), QStringList{QStringLiteral("data")});
        for (const QString& name : kDefaultFiles) {
            const mode_t mode = StatOf(folder + u'/' + name).st_mode & 07777;
            QVERIFY2((mode & ~(0666 & ~mask)) == 0, qPrintable(name + QString::number(mode, 8)));
            QVERIFY2((mode & 0600) == 0600, qPrintable(name)); // theirs to change
        }

        ErrorRecorder errors;
        CDataStore store;
        store.SetErrorReporter(&errors);
        QVERIFY(store.Connect(folder + QStringLiteral("/kstrm.db")));
        QDateTime start, end;
        QVERIFY(store.LoadSchoolCalendar(start, end));
        QCOMPARE(start.date(), QDate(2027, 2, 1));
        QCOMPARE(errors.texts(), QStringList());
    }

    // Hidden entries alone (a desktop's folder settings, what an interrupted fill left) do not
    // make a folder the user's data; anything else does, and is never filled over.
    void needsDefaults_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("needs");
        QTest::newRow("hidden file only") << ".directory" << true;
        QTest::newRow("a file") << "notes.txt" << false;
        QTest::newRow("a config.ini") << "config.ini" << false;
    }
    void needsDefaults()
    {
        QFETCH(QString, content);
        QFETCH(bool, needs);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkdir(folder));
        QFile file(folder + u'/' + content);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kept") == 4);
        file.close();
        QCOMPARE(DataFolder::NeedsDefaults(folder), needs);

        QString error;
        QCOMPARE(DataFolder::CreateWithDefaults(folder, QDate(2027, 3, 15), &error), needs);
        QCOMPARE(error.isEmpty(), needs);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("kept"));
        QCOMPARE(EverythingIn(folder).size(), needs ? kDefaultFiles.size() + 1 : 1);
    }

    // What an interrupted first run left, beside the folder (the staging folder of a new one,
    // also complete when it died at the final rename) or inside it (a fill in place), goes at
    // the next start, whether that start is a first run or not. One younger than a minute may
    // be another start's work in progress. A link merely named like a leftover is not ours:
    // what it points to stays.
    void leftovers_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::addColumn<bool>("dataExists");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("removed");
        QTest::newRow("staging beside, later start") << "data.new-0badf00d" << true << 3600 << true;
        QTest::newRow("staging beside, first run") << "data.new-0badf00d" << false << 3600 << true;
        QTest::newRow("staging beside, young") << "data.new-0badf00d" << true << 10 << false;
        QTest::newRow("fill in place, later start") << "data/.kestrum-new-0badf00d" << true << 3600 << true;
        QTest::newRow("fill in place, first run") << "data/.kestrum-new-0badf00d" << false << 3600 << true;
        QTest::newRow("link beside, later start") << "data.new-link" << true << 3600 << false;
        QTest::newRow("link beside, first run") << "data.new-link" << false << 3600 << false;
        QTest::newRow("other folder beside") << "data.old" << true << 3600 << false;
    }
    void leftovers()
    {
        QFETCH(QString, leftover);
        QFETCH(bool, dataExists);
        QFETCH(int, ageSeconds);
        QFETCH(bool, removed);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        const QString path = root.filePath(leftover);
        const QString precious = root.filePath(QStringLiteral("precious"));
        QString error;
        if (dataExists)
            QVERIFY2(DataFolder::CreateWithDefaults(folder, QDate(2027, 3, 15), &error), qPrintable(error));
        if (leftover.endsWith(QLatin1String("link"))) {
            QVERIFY(QDir().mkdir(precious));
            QVERIFY(QFile::link(precious, path));
        } else {
            QVERIFY(QDir().mkpath(path));
        }
        QFile inside((leftover.endsWith(QLatin1String("link")) ? precious : path) + QStringLiteral("/kstrm.db"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        inside.close();

        FakeClock clock(QDateTime::currentDateTime().addSecs(ageSeconds));
        QVERIFY2(Start(folder, &error), qPrintable(error));
        QCOMPARE(QFileInfo::exists(path), !removed);
        QVERIFY(QFileInfo::exists(inside.fileName()) != removed);
        QCOMPARE(EverythingIn(folder), kDefaultFiles);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
