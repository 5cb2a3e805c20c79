// The data folder a start uses and fills, and where the single-instance guard goes.
#include "FakeClock.h"
#include "TestFiles.h"
#include "app/DataFolder.h"
#include "app/Platform.h"
#include "app/SingleInstance.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QStringList kDefaultFiles = {QStringLiteral("config.ini"), QStringLiteral("kcb.dat"),
                                   QStringLiteral("kstrm.db"), QStringLiteral("notify.wav"),
                                   QStringLiteral("ringin.wav")};

struct stat StatOf(const QString& path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

QStringList EverythingIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

constexpr uid_t kSomeoneElse = 65534; // nobody
using Outcome = CSingleInstance::Outcome;

// "none", or the type, mode and owner as lstat sees them.
QString StateOf(const QString& path)
{
    const struct stat st = StatOf(path);
    return st.st_mode ? QStringLiteral("%1 %2").arg(st.st_mode, 0, 8).arg(st.st_uid) : QStringLiteral("none");
}

bool MakeFolder(const QString& path, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    return ::mkdir(name.constData(), mode) == 0 && ::chmod(name.constData(), mode) == 0;
}

/// Makes \a path as the row says: "missing", "mine 700", "mine 755", "mine 777", "file",
/// "symlink" (to a private folder of mine), "theirs 700", "theirs 777".
bool Prepare(const QString& path, const QString& how, const QString& scratch)
{
    if (how == QLatin1String("missing"))
        return true;
    if (how == QLatin1String("file")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    if (how == QLatin1String("symlink")) {
        const QString target = scratch + QStringLiteral("/elsewhere");
        return MakeFolder(target, 0700) && QFile::link(target, path);
    }
    const mode_t mode = mode_t(how.right(3).toUInt(nullptr, 8));
    if (!MakeFolder(path, mode))
        return false;
    if (how.startsWith(QLatin1String("theirs")))
        return ::chown(QFile::encodeName(path).constData(), kSomeoneElse, kSomeoneElse) == 0;
    return true;
}

/// What every start does with the data folder before it opens anything in it.
bool Start(const QString& folder, QString* error)
{
    if (DataFolder::NeedsDefaults(folder) &&
        !DataFolder::CreateWithDefaults(folder, QDate(2027, 3, 15), error))
        return false;
    DataFolder::RemoveLeftovers(folder);
    return true;
}
} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT
    mode_t m_umask = 0;
    QByteArray m_runtime, m_tmp;

private slots:
    void init()
    {
        m_umask = ::umask(0022);
        m_runtime = qgetenv("XDG_RUNTIME_DIR");
        m_tmp = qgetenv("TMPDIR");
    }
    void cleanup()
    {
        ::umask(m_umask);
        for (const auto& [name, value] :
             {std::pair{"XDG_RUNTIME_DIR", m_runtime}, std::pair{"TMPDIR", m_tmp}})
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        DataFolder::Set(QString());
    }

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
        QVERIFY(WriteAll(folder + u'/' + content, "kept"));
        QCOMPARE(DataFolder::NeedsDefaults(folder), needs);

        QString error;
        QCOMPARE(DataFolder::CreateWithDefaults(folder, QDate(2027, 3, 15), &error), needs);
        QCOMPARE(error.isEmpty(), needs);
        QCOMPARE(ReadAll(folder + u'/' + content), QByteArray("kept"));
        QCOMPARE(EverythingIn(folder).size(), needs ? kDefaultFiles.size() + 1 : 1);
    }

    // What an interrupted run left goes at the next start, whether that start is a first run or
    // not: a first run's staging folder beside the folder (also complete, when it died at the
    // final rename) or inside it, the new file of a save, a compaction's copy. Only what the
    // program itself names so, and only a staging folder holding nothing but the files a fill
    // writes: a folder of the user's that looks like one keeps its pictures. A staging folder
    // younger than a minute may be another start's work in progress. No link is followed.
    void leftovers_data()
    {
        QTest::addColumn<QString>("leftover"); // beside "data", or in it
        QTest::addColumn<QString>("inside");   // a folder holding this file; "->" a link; empty a file
        QTest::addColumn<bool>("dataExists");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("removed");
        const auto row = [](const char* name, const char* leftover, const char* inside, bool dataExists,
                            int age, bool removed) {
            QTest::newRow(name) << QString::fromUtf8(leftover) << QString::fromUtf8(inside) << dataExists
                                << age << removed;
        };
        row("staging beside, later start", "data.new-0badf00d", "kstrm.db", true, 3600, true);
        row("staging beside, first run", "data.new-0badf00d", "kstrm.db", false, 3600, true);
        row("staging beside, young", "data.new-0badf00d", "kstrm.db", true, 10, false);
        row("staging beside, save cut short", "data.new-0badf00d", "config.ini.kestrum-a1B2c3", true, 3600,
            true);
        row("fill in place, later start", "data/.kestrum-new-0badf00d", "kstrm.db-wal", true, 3600, true);
        row("fill in place, first run", "data/.kestrum-new-0badf00d", "kcb.dat", false, 3600, true);
        row("user's folder named like staging", "data.new-photos", "IMG_0001.jpg", true, 3600, false);
        row("staging name, user's picture in it", "data.new-0badf00d", "IMG_0001.jpg", true, 3600, false);
        row("staging name, a link in it", "data.new-0badf00d", "->kstrm.db", true, 3600, false);
        row("link named like staging", "data.new-0badf00e", "->", true, 3600, false);
        row("other folder beside", "data.old", "kstrm.db", true, 3600, false);
        row("save cut short", "data/kcb.dat.kestrum-a1B2c3", "", true, 0, true);
        row("program list save cut short", "data/program.dat.kestrum-Zz09aZ", "", true, 0, true);
        row("compaction cut short", "data/temp.db", "", true, 0, true);
        row("user's backup", "data/kcb.dat.backup", "", true, 3600, false);
        row("link named like the compaction's copy", "data/temp.db", "->", true, 3600, false);
    }
    void leftovers()
    {
        QFETCH(QString, leftover);
        QFETCH(QString, inside);
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
        QVERIFY(QDir().mkpath(precious));
        const QString kept = precious + QStringLiteral("/kstrm.db");
        QVERIFY(WriteAll(kept, "the user's"));
        if (inside == QStringLiteral("->")) {
            QVERIFY(QFile::link(precious, path));
        } else if (inside.isEmpty()) {
            QVERIFY(WriteAll(path, {}));
        } else {
            QVERIFY(QDir().mkpath(path));
            if (inside.startsWith(QStringLiteral("->")))
                QVERIFY(QFile::link(kept, path + u'/' + inside.mid(2)));
            else
                QVERIFY(WriteAll(path + u'/' + inside, {}));
        }

        FakeClock clock(QDateTime::currentDateTime().addSecs(ageSeconds));
        QVERIFY2(Start(folder, &error), qPrintable(error));
        QCOMPARE(QFileInfo::exists(path) || QFileInfo(path).isSymLink(), !removed);
        QCOMPARE(EverythingIn(precious), QStringList{QStringLiteral("kstrm.db")});
        QCOMPARE(ReadAll(kept), QByteArray("the user's"));
        QStringList expected = kDefaultFiles;
        if (!removed && leftover.startsWith(QStringLiteral("data/"))) {
            expected << QFileInfo(path).fileName();
            expected.sort();
        }
        QCOMPARE(EverythingIn(folder), expected);
    }
    // Where the guard goes, and that two starts on the same data never both run. Another user
    // may have made the fallback folder first, in any shape, and may hold a lock in it: the
    // guard must then go where that user cannot reach, and must leave their folder alone.
    void guardFolder_data()
    {
        QTest::addColumn<QString>("runtime");  // "unset", "missing", or a Prepare() shape
        QTest::addColumn<QString>("fallback"); // a Prepare() shape
        QTest::addColumn<QString>("expected"); // "runtime", "fallback" or "data"

        QTest::newRow("runtime folder") << "mine 700"
                                        << "mine 777"
                                        << "runtime";
        QTest::newRow("runtime folder of someone else") << "theirs 700"
                                                        << "missing"
                                                        << "fallback";
        QTest::newRow("no runtime folder: fallback made") << "unset"
                                                          << "missing"
                                                          << "fallback";
        QTest::newRow("runtime folder gone: fallback private") << "missing"
                                                               << "mine 700"
                                                               << "fallback";
        QTest::newRow("fallback readable by others") << "unset"
                                                     << "mine 755"
                                                     << "data";
        QTest::newRow("fallback writable by others") << "unset"
                                                     << "mine 777"
                                                     << "data";
        QTest::newRow("fallback is a file") << "unset"
                                            << "file"
                                            << "data";
        QTest::newRow("fallback is a symlink") << "unset"
                                               << "symlink"
                                               << "data";
        QTest::newRow("fallback of someone else, private") << "unset"
                                                           << "theirs 700"
                                                           << "data";
        QTest::newRow("fallback of someone else, open") << "unset"
                                                        << "theirs 777"
                                                        << "data";
    }
    void guardFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, fallback);
        QFETCH(QString, expected);
        if ((runtime.startsWith(QLatin1String("theirs")) || fallback.startsWith(QLatin1String("theirs"))) &&
            ::geteuid() != 0)
            QSKIP("making a folder owned by someone else needs root");

        QTemporaryDir scratch;
        const QString tmp = scratch.filePath(QStringLiteral("tmp"));
        const QString data = scratch.filePath(QStringLiteral("data"));
        const QString runtimePath = scratch.filePath(QStringLiteral("runtime"));
        const QString fallbackPath = tmp + QStringLiteral("/kestrum-") + QString::number(::getuid());
        QVERIFY(MakeFolder(tmp, 01777) && MakeFolder(data, 0700));
        if (runtime != QLatin1String("unset") && runtime != QLatin1String("missing"))
            QVERIFY(Prepare(runtimePath, runtime, scratch.path()));
        QVERIFY(Prepare(fallbackPath, fallback, scratch.path()));
        if (runtime == QLatin1String("unset"))
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimePath));
        qputenv("TMPDIR", QFile::encodeName(tmp));

        // The other user's copy holds the guard in every folder of theirs that we must not use.
        const QString expectedPath = expected == QLatin1String("runtime")    ? runtimePath
                                     : expected == QLatin1String("fallback") ? fallbackPath
                                                                             : data;
        std::vector<std::unique_ptr<CSingleInstance>> intruders;
        for (const QString& path : {runtimePath, fallbackPath}) {
            if (path != expectedPath && QFileInfo(path).isDir()) {
                intruders.push_back(std::make_unique<CSingleInstance>(path));
                QCOMPARE(intruders.back()->TryAcquire(), Outcome::Held);
            }
        }
        const QString fallbackBefore = StateOf(fallbackPath);

        const QString first = Platform::InstanceGuardFolder(data);
        const QString second = Platform::InstanceGuardFolder(data);
        QCOMPARE(first, expectedPath);
        QCOMPARE(second, first);
        DataFolder::Set(data); // what the start-up that has not chosen a folder yet gets
        QCOMPARE(Platform::InstanceGuardFolder(), first);

        CSingleInstance one(first);
        CSingleInstance two(second);
        QCOMPARE(one.TryAcquire(), Outcome::Held);
        QCOMPARE(two.TryAcquire(), Outcome::OtherCopyRuns);

        if (fallback == QLatin1String("missing") && expected == QLatin1String("fallback"))
            QCOMPARE(StateOf(fallbackPath), QStringLiteral("40700 %1").arg(::geteuid()));
        else
            QCOMPARE(StateOf(fallbackPath), fallbackBefore); // not made ours by a chmod
    }

    // Whether another copy runs or the guard cannot be made at all are different answers: the
    // program says different things for them.
    void outcomes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("free") << "free" << Outcome::Held;
        QTest::newRow("held by another copy") << "held" << Outcome::OtherCopyRuns;
        QTest::newRow("lock file name taken by a folder") << "blocked" << Outcome::Unavailable;
        QTest::newRow("no folder at all") << "none" << Outcome::Unavailable;
    }
    void outcomes()
    {
        QFETCH(QString, setup);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        // A key of its own, so that "no folder" cannot meet a lock file of anyone else at the root.
        const QString key = QStringLiteral("kestrum-test-%1").arg(QCoreApplication::applicationPid());
        const QString folder = setup == QLatin1String("none") ? QString() : dir.path();
        const QString rootLock = u'/' + key + QStringLiteral(".lock");
        QVERIFY(!QFileInfo::exists(rootLock));

        CSingleInstance other(dir.path(), key);
        if (setup == QLatin1String("held"))
            QCOMPARE(other.TryAcquire(), Outcome::Held);
        if (setup == QLatin1String("blocked"))
            QVERIFY(QDir(dir.path()).mkdir(key + QStringLiteral(".lock")));

        CSingleInstance guard(folder, key);
        const Outcome got = guard.TryAcquire();
        QVERIFY2(!QFile::remove(rootLock), "a guard without a folder made its lock at the root");
        QCOMPARE(got, outcome);
        QCOMPARE(guard.IsHeld(), outcome == Outcome::Held);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
