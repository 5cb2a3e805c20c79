#pragma once

#include "app/AtomicFile.h"

#include <QString>

/// How a due reminder and the countdown's end are shown: in the planner's own alert window, as
/// a notification of the desktop, or both. Kept in kestrum.ini as "[reminders]" "alert=" with
/// "window", "desktop" or "both".
enum class AlertWay
{
    Window,
    Desktop,
    Both
};

namespace AlertWaySetting {

/// The way kept in the settings file \a path; the window where the file, the key or its value
/// is missing or not one of the three.
AlertWay Read(const QString& path);

/// Keeps \a way in the settings file \a path, with the file's other settings as they were. On
/// failure the old file stays and the result says why.
CAtomicFile::Result Write(const QString& path, AlertWay way);

} // namespace AlertWaySetting
