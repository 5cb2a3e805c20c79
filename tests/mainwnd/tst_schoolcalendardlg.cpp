#include "DialogFixture.h"
#include "MessageRecorder.h"
#include "Recorders.h"
#include "calendar/SchoolCalendarDlg.h"

#include <QDateEdit>
#include <QPushButton>

namespace {
QPair<QDateTime, QDateTime> StoredTerm(DialogFixture& fx)
{
    QDateTime start, end;
    return fx.store().LoadSchoolCalendar(start, end) ? qMakePair(start, end) : QPair<QDateTime, QDateTime>();
}
} // namespace

class TestSchoolCalendarDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    }

    // Cancel stores nothing; a failed save stays open; the retry stores the days at midnight.
    void cancelThenFailedSaveThenRetry()
    {
        DialogFixture fx;
        QVERIFY(fx.started());
        const auto before = StoredTerm(fx);
        QVERIFY(before.first.isValid());
        MessageRecorder messages;
        SoundRecorder sounds;
        const QDate start(2008, 9, 1), end(2009, 1, 16);
        {
            CSchoolCalendarDlg dlg(start, end);
            dlg.show();
            Control<QDateEdit>(&dlg, "startPicker")->setDate(QDate(2027, 9, 1));
            QTest::mouseClick(Control<QPushButton>(&dlg, "cancelButton"), Qt::LeftButton);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(StoredTerm(fx), before);
            QCOMPARE(messages.count(), 0);
        }
        // Without its end row the calendar table cannot take a term.
        QVERIFY(fx.exec(QStringLiteral("DELETE FROM xiaoli WHERE rowid = (SELECT max(rowid) FROM xiaoli)")));
        CSchoolCalendarDlg dlg(start, end);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("校历设置"));
        QCOMPARE(Control<QDateEdit>(&dlg, "startPicker")->text(), QStringLiteral("2008年9月1日星期一"));
        QCOMPARE(Control<QDateEdit>(&dlg, "endPicker")->text(), QStringLiteral("2009年1月16日星期五"));
        auto* ok = Control<QPushButton>(&dlg, "okButton");
        QTest::mouseClick(ok, Qt::LeftButton);
        const QString failed = QStringLiteral("数据保存失败！\r\n请重新保存或取消设置");
        QCOMPARE(messages.texts().count(failed), 1);
        QCOMPARE(messages.last().text, failed);
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(messages.last().icon, Messages::Icon::Warning);
        QVERIFY(dlg.isVisible());
        QCOMPARE(fx.noticeText(), QString());

        QVERIFY(fx.exec(QStringLiteral("INSERT INTO xiaoli (date) VALUES (0)")));
        messages.clear();
        Control<QDateEdit>(&dlg, "endPicker")->setDate(QDate(2008, 8, 1));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(fx.noticeText(), QStringLiteral("数据保存成功！"));
        QCOMPARE(StoredTerm(fx), qMakePair(start.startOfDay(), QDate(2008, 8, 1).startOfDay()));
    }
};

QTEST_MAIN(TestSchoolCalendarDlg)
#include "tst_schoolcalendardlg.moc"
