#include "app/SystemMenu.h"

// X11 and Wayland window managers draw their own window menus; a program cannot add to them.
bool SystemMenu::AddAboutItem(QWidget*, const QString&, std::function<void()>) { return false; }
