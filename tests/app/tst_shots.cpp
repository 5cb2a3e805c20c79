#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestShots : public QObject
{
    Q_OBJECT

private slots:
    // The folder is made with its parent; a refusal says why and makes no folder.
    void run_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<QString>("message"); // empty: runs
        QTest::newRow("settings") << QStringLiteral("new/shots") << QStringList{QStringLiteral("settings")}
                                  << QStringList{QStringLiteral("settings")} << QString();
        QTest::newRow("query and holidays")
            << QStringLiteral("new/shots") << QStringList{QStringLiteral("query"), QStringLiteral("holiday")}
            << QStringList{QStringLiteral("batch-delete"), QStringLiteral("holiday"),
                           QStringLiteral("holiday-list"), QStringLiteral("query"), QStringLiteral("stats")}
            << QString();
        QTest::newRow("folder under a file") << QStringLiteral("file/shots") << QStringList{} << QStringList{}
                                             << QStringLiteral("cannot make the folder %1");
        QTest::newRow("unknown subsystem")
            << QStringLiteral("shots") << QStringList{QStringLiteral("calendar")} << QStringList{}
            << QStringLiteral("no subsystem \"calendar\"");
    }
    void run()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, names);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly));
        const QString out = dir.filePath(folder);
        QProcess tool;
        tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kestrum-shots"),
                   QStringList{out} + names);
        QVERIFY(tool.waitForFinished(120000) && tool.exitStatus() == QProcess::NormalExit);
        const QString errors = QString::fromUtf8(tool.readAllStandardError());
        QCOMPARE(tool.exitCode(), message.isEmpty() ? 0 : 1);
        QVERIFY2(errors.contains(message.replace(QStringLiteral("%1"), out)), qPrintable(errors));
        QStringList written = QDir(out).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        for (QString& name : written) {
            QVERIFY2(!QImage(QDir(out).filePath(name)).isNull(), qPrintable(name));
            name.chop(4);
        }
        written.sort();
        QTEST(written, "pictures");
        QCOMPARE(QFileInfo::exists(out), message.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestShots)
#include "tst_shots.moc"
