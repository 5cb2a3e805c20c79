#include "app/DataFolder.h"
#include "app/Platform.h"
#include "app/SingleInstance.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uid_t kSomeoneElse = 65534; // nobody

using Outcome = CSingleInstance::Outcome;

// "none", or the type, mode and owner as lstat sees them.
QString StateOf(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("none");
    return QStringLiteral("%1 %2").arg(st.st_mode, 0, 8).arg(st.st_uid);
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
} // namespace

class TestGuard : public QObject
{
    Q_OBJECT

    QByteArray m_runtime, m_tmp;

private slots:
    void init()
    {
        m_runtime = qgetenv("XDG_RUNTIME_DIR");
        m_tmp = qgetenv("TMPDIR");
    }
    void cleanup()
    {
        for (const auto& [name, value] : {std::pair{"XDG_RUNTIME_DIR", m_runtime}, std::pair{"TMPDIR", m_tmp}})
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        DataFolder::Set(QString());
    }

    // Where the guard goes, and that two starts on the same data never both run. Another user
    // may have made the fallback folder first, in any shape, and may hold a lock in it: the
    // guard must then go where that user cannot reach, and must leave their folder alone.
    void guardFolder_data()
    {
        QTest::addColumn<QString>("runtime");  // "unset", "missing", or a Prepare() shape
        QTest::addColumn<QString>("fallback"); // a Prepare() shape
        QTest::addColumn<QString>("expected"); // "runtime", "fallback" or "data"

        QTest::newRow("runtime folder") << "mine 700" << "mine 777" << "runtime";
        QTest::newRow("runtime folder of someone else") << "theirs 700" << "missing" << "fallback";
        QTest::newRow("no runtime folder: fallback made") << "unset" << "missing" << "fallback";
        QTest::newRow("runtime folder gone: fallback private") << "missing" << "mine 700" << "fallback";
        QTest::newRow("fallback readable by others") << "unset" << "mine 755" << "data";
        QTest::newRow("fallback writable by others") << "unset" << "mine 777" << "data";
        QTest::newRow("fallback is a file") << "unset" << "file" << "data";
        QTest::newRow("fallback is a symlink") << "unset" << "symlink" << "data";
        QTest::newRow("fallback of someone else, private") << "unset" << "theirs 700" << "data";
        QTest::newRow("fallback of someone else, open") << "unset" << "theirs 777" << "data";
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
        QVERIFY(scratch.isValid());
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
        QVERIFY(dir.isValid());
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

QTEST_GUILESS_MAIN(TestGuard)
#include "tst_guard.moc"
