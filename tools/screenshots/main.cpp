// Renders every window of the program into PNG files, on a sample day, for the README and for
// a look at the windows after a change:
//
//     kestrum-screenshots OUTDIR        (QT_QPA_PLATFORM=offscreen works, so does Xvfb)
//
// It works on a throw-away data folder and never touches the user's data.
#include "app/Appearance.h"
#include "app/Clock.h"
#include "app/PlannerApp.h"
#include "calendar/LunarCalendar.h"
#include "calendar/SchoolCalendarDlg.h"
#include "controls/Messages.h"
#include "controls/NotifyWnd.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/TaskStateDlg.h"
#include "store/TaskRecord.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// Message boxes are answered at once: a screenshot run never waits for a person.
class AutoAnswer final : public Messages::Handler
{
public:
    Messages::Answer Respond(const Messages::Request& request) override
    {
        return request.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    }
};

bool Save(QWidget& widget, const QString& folder, const QString& name)
{
    widget.show();
    QCoreApplication::processEvents();
    const QString path = folder + u'/' + name + QStringLiteral(".png");
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    widget.hide();
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Appearance::ApplyChineseLook(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrum-screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);

    // A sample day in the school term, with a solar and a lunar holiday on it.
    const QDate day(2026, 12, 25);
    Clock::setSource([day] { return QDateTime(day, QTime(9, 30)); });
    AutoAnswer answers;
    Messages::setHandler(&answers);
    QTemporaryDir data;
    qputenv("XDG_RUNTIME_DIR", data.filePath(QStringLiteral("runtime")).toLocal8Bit());
    QDir().mkpath(data.filePath(QStringLiteral("runtime")));

    CPlannerApp planner({QStringLiteral("kestrum-screenshots"), QStringLiteral("--data-dir"),
                         data.filePath(QStringLiteral("data"))});
    if (!planner.Startup())
        return 1;
    CDataStore& store = planner.Context().Store();
    store.AddTask(day, QStringLiteral("早读：检查三班背诵"), TaskStates::Done());
    store.AddTask(day, QStringLiteral("批改作文二十篇"), TaskStates::InProgress());
    store.AddTask(day, QStringLiteral("准备下周公开课的课件和教案"), TaskStates::NotDone());
    store.AddTask(day, QStringLiteral("给家长回电话"), TaskStates::Postponed());
    store.AddTask(day, QStringLiteral("教研组会议"), TaskStates::NotDone());
    store.AddSolarHoliday(QStringLiteral("1225"), QStringLiteral("圣诞节"));
    store.AddLunarHoliday(SolarToLunar(day).strKey, QStringLiteral("外婆生日"));

    bool ok = true;
    {
        CPlannerDlg main(planner.Context());
        ok &= Save(main, out, QStringLiteral("main-window"));
    }
    {
        CAddTaskDlg add(planner.Context(), QDateTime(day, QTime(0, 0)));
        ok &= Save(add, out, QStringLiteral("add-task"));
    }
    {
        CTaskStateDlg state(TaskStates::InProgress());
        ok &= Save(state, out, QStringLiteral("task-state"));
    }
    {
        CSchoolCalendarDlg school(planner.Context(), QDate(2026, 9, 1), QDate(2027, 1, 31));
        ok &= Save(school, out, QStringLiteral("school-calendar"));
    }
    {
        CAboutDlg about;
        ok &= Save(about, out, QStringLiteral("about"));
    }
    if (CNotifyWnd* notice = planner.NoticeWindow()) {
        notice->ShowNotice(QStringLiteral("已成功添加事情\n批改作文二十篇"), true, 5, true);
        for (int i = 0; i < CNotifyWnd::kSlideSteps; ++i)
            notice->OnTimer(CNotifyWnd::SlideUpTimer);
        ok &= Save(*notice, out, QStringLiteral("notice"));
    }
    planner.ExitInstance();
    Messages::setHandler(nullptr);
    return ok ? 0 : 1;
}
