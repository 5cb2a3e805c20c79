// The baseline: the least a Qt Widgets program does to show a dialog. Prints the monotonic
// clock when the dialog is first painted, then ends.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <chrono>
#include <cstdio>

namespace {
class Dialog : public QDialog
{
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QDialog::paintEvent(event);
        if (!m_bReported) {
            m_bReported = true;
            std::printf("first-paint %lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                       std::chrono::steady_clock::now().time_since_epoch())
                                                       .count()));
            std::fflush(stdout);
            QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
        }
    }

private:
    bool m_bReported = false;
};
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Dialog dialog;
    dialog.setWindowTitle(QStringLiteral("Kestrum"));
    dialog.setFixedSize(730, 520);
    auto* button = new QPushButton(QStringLiteral("×"), &dialog);
    button->setGeometry(696, 6, 28, 24);
    return dialog.exec();
}
