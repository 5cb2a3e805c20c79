// QZSplash: shows the planner's animated picture while the planner starts, then ends. The
// planner starts it from its own folder and waits for it; it takes no arguments and keeps
// nothing.
#include "splash/SplashDlg.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CSplashDlg dlg;
    dlg.exec();
    return 0;
}
