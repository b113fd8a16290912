#include "program/windowdrag.h"

#include "framework/controls/forms.h"
#include "framework/controls/screen.h"

namespace app {

void TWindowDrag::Press(fw::TModifierState Shift, int X, int Y) {
    if (StartsDrag(Shift)) state_ = {true, X, Y};
}

void TWindowDrag::Move(fw::TForm& window, int X, int Y, bool snap) {
    auto r = DragMove(state_, {window.Left(), window.Top(), window.Width(), window.Height()}, X, Y,
                      snap, fw::ScreenRects());
    if (r.move) window.SetBounds(r.left, r.top, window.Width(), window.Height());
}

}  // namespace app
