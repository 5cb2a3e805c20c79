#include "app/SystemMenu.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>
#include <windows.h>

namespace {

// The item's command id. Windows keeps the lowest four bits of a system command for itself.
constexpr UINT kAboutCommand = 16;

class CSystemMenuFilter final : public QAbstractNativeEventFilter
{
public:
    CSystemMenuFilter(HWND hwnd, std::function<void()> onChosen) : m_hwnd(hwnd), m_onChosen(std::move(onChosen)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->hwnd != m_hwnd || msg->message != WM_SYSCOMMAND || (msg->wParam & 0xFFF0) != kAboutCommand)
            return false;
        m_onChosen();
        return true;
    }

private:
    HWND m_hwnd;
    std::function<void()> m_onChosen;
};

} // namespace

bool SystemMenu::AddAboutItem(QWidget* window, const QString& text, std::function<void()> onChosen)
{
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    const HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu)
        return false;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kAboutCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
    auto* filter = new CSystemMenuFilter(hwnd, std::move(onChosen));
    QCoreApplication::instance()->installNativeEventFilter(filter);
    QObject::connect(window, &QObject::destroyed, [filter] {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeNativeEventFilter(filter);
        delete filter;
    });
    return true;
}
