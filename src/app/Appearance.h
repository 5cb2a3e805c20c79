#pragma once

class QApplication;
class QString;

/// The program's Chinese desktop look, set once before any window exists.
namespace Appearance {

/// Chinese locale, Qt's own Chinese texts for its standard dialogs and buttons, and fonts
/// that draw Chinese in simplified forms: "宋体" is mapped to a Song-style CJK face that is
/// present, the interface font to a simplified-Chinese sans face.
void ApplyChineseLook(QApplication& app);

/// The family that stands in for "宋体" on this machine.
QString SongFamily();

/// The plain look that replaces the skin: Fusion with the program's light palette and its own
/// month arrows for the calendars, plus a style sheet when \a styleSheetFile exists. A missing
/// or unreadable file changes nothing.
void ApplySkin(QApplication& app, const QString& styleSheetFile);

} // namespace Appearance
