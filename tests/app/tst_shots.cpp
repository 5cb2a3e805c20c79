// kestrum-shots as a developer runs it: the pictures of the subsystems named, in a folder it
// makes, and a clear refusal of a folder it cannot make or a name it does not know.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
int Run(const QStringList& arguments, QString* pErrors = nullptr)
{
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kestrum-shots"), arguments);
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    if (pErrors)
        *pErrors = QString::fromUtf8(tool.readAllStandardError());
    return tool.exitCode();
}
} // namespace

class TestShots : public QObject
{
    Q_OBJECT

private slots:
    void writesPicturesOfNamedSubsystems_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("pictures");
        QTest::newRow("settings") << QStringList{QStringLiteral("settings")}
                                  << QStringList{QStringLiteral("settings")};
        QTest::newRow("query and holidays")
            << QStringList{QStringLiteral("query"), QStringLiteral("holiday")}
            << QStringList{QStringLiteral("batch-delete"), QStringLiteral("holiday"),
                           QStringLiteral("holiday-list"), QStringLiteral("query"), QStringLiteral("stats")};
    }
    void writesPicturesOfNamedSubsystems()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, pictures);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("new/shots")); // made, with its parent
        QCOMPARE(Run(QStringList{out} + names), 0);
        QStringList written = QDir(out).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        for (QString& name : written) {
            QVERIFY2(!QImage(QDir(out).filePath(name)).isNull(), qPrintable(name));
            name.chop(4);
        }
        written.sort();
        QCOMPARE(written, pictures);
    }

    void refuses_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder under a file")
            << QStringLiteral("file/shots") << QString() << QStringLiteral("cannot make the folder %1");
        QTest::newRow("unknown subsystem") << QStringLiteral("shots") << QStringLiteral("calendar")
                                           << QStringLiteral("no subsystem \"calendar\"");
    }
    void refuses()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString out = dir.filePath(folder);
        QString errors;
        QCOMPARE(Run(name.isEmpty() ? QStringList{out} : QStringList{out, name}, &errors), 1);
        QVERIFY2(errors.contains(message.replace(QStringLiteral("%1"), out)), qPrintable(errors));
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestShots)
#include "tst_shots.moc"
