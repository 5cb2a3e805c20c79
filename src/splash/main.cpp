// QZSplash: shows the planner's animated picture while the planner starts, then ends. The
// planner starts it from its own folder and waits for it; it takes no arguments and keeps
// nothing.
#include "splash/SplashDlg.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The show lasts six seconds. QZSPLASH_SHOW_MS shortens it for the test that watches the
    // program end by itself, which would otherwise wait the six seconds out.
    bool bSet = false;
    const int nShowMs = qEnvironmentVariableIntValue("QZSPLASH_SHOW_MS", &bSet);
    CSplashDlg dlg(bSet && nShowMs > 0 ? std::chrono::milliseconds(nShowMs) : CSplashDlg::kShowTime);
    dlg.exec();
    return 0;
}
