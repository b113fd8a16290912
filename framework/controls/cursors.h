#pragma once
// The screen's cursor table: the framework's own cursors (crDefault, crHandPoint, ...) and
// two-colour cursors a program registers under numbers of its own. Also where the mouse
// is and whether the program has the foreground.
#include <string>

#include "framework/core/types.h"

class QWidget;

namespace fw {

class TBitmap;
class TControl;

// A two-colour cursor from one monochrome picture twice as high as wide: the upper half
// is the AND mask (white: transparent), the lower half the image (white: white, black:
// black). Registering a number again replaces its cursor. False when the picture does not
// have that shape.
bool RegisterScreenCursor(int id, const TBitmap& andOverImage, int hotX, int hotY);
// The same, read from a BMP file image in the program's compiled-in resources (a path
// beginning with ":/").
bool RegisterScreenCursorResource(int id, const std::string& path, int hotX, int hotY);
bool ScreenCursorRegistered(int id);

struct TCursorInfo {
    bool bitmap = false;  // a registered two-colour cursor, not a framework shape
    int width = 0, height = 0;
    TPoint hotSpot;
    // For a two-colour cursor: 'B' black, 'W' white, ' ' transparent, row by row.
    std::string pixels;
};
TCursorInfo ScreenCursorInfo(int id);

// Shows the cursor over the widget (crDefault: the widget's parent's cursor).
void ApplyScreenCursor(QWidget* widget, int id);

// The mouse position in screen coordinates.
TPoint CursorPos();
void SetCursorPos(TPoint p);
// Where the mouse was at the last mouse message a window of the program received, when a
// button was held then; otherwise (a press that went to a window not ours, such as the tray
// icon's, or none yet) CursorPos. Unlike CursorPos it asks the window system nothing when it
// can answer itself.
TPoint LastMousePos();
void NoteMousePos(TPoint p, bool buttonHeld);
// The control under a screen point: the windowless control there, or else the windowed
// control whose widget is there; null outside the program's windows.
TControl* FindControlAt(TPoint screen);
// True while one of the program's windows is the active window.
bool ApplicationIsForeground();

}  // namespace fw
