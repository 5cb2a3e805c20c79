#include "controls/GbkLength.h"

#include <QStringEncoder>
#include <QTest>

class TestGbkLength : public QObject
{
    Q_OBJECT

private slots:
    void countsBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("mixed task line") << QStringLiteral(" 1、写周报") << 2 + 2 + 6;
        QTest::newRow("full-width punctuation") << QStringLiteral("数据保存成功！") << 14;
        QTest::newRow("countdown mark") << QStringLiteral("※") << 2;
        QTest::newRow("Latin-1 letter") << QStringLiteral("é") << 2;
        QTest::newRow("outside the BMP") << QStringLiteral("a😀b") << 3;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << 1;
        QTest::newRow("euro sign, one byte in the code page") << QStringLiteral("€5") << 2;
        QTest::newRow("not in the code page: '?'") << QStringLiteral("☺ñ") << 2;
    }
    void countsBytes()
    {
        QFETCH(QString, text);
        if (!QStringEncoder("GBK").isValid() && QByteArray(QTest::currentDataTag()).contains("code page"))
            QSKIP("this Qt has no GBK converter; the length is estimated");
        QTEST(GbkLength(text), "bytes");
    }
};

QTEST_GUILESS_MAIN(TestGbkLength)
#include "tst_gbklength.moc"
