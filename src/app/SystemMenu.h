#pragma once

#include <QString>
#include <functional>

class QWidget;

/// The window's system menu (the one behind its title bar's icon), where the desktop has one.
namespace SystemMenu {

/// Adds a separator and the item \a text to \a window's system menu; choosing it calls
/// \a onChosen. False where the desktop offers no such menu (the tray menu's item serves there).
bool AddAboutItem(QWidget* window, const QString& text, std::function<void()> onChosen);

} // namespace SystemMenu
