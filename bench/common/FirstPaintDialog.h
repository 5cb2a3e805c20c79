#pragma once

// The dialog of the bare baseline programs: it prints the monotonic clock when it is first
// painted ("first-paint <microseconds>", as Kestrum does for the benchmark) and then closes.

#include <QDialog>
#include <chrono>
#include <cstdio>

class FirstPaintDialog : public QDialog
{
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QDialog::paintEvent(event);
        if (m_bReported)
            return;
        m_bReported = true;
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("first-paint %lld\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        std::fflush(stdout);
        QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
    }

private:
    bool m_bReported = false;
};
