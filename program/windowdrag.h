#pragma once
// The one drag rule of the program's frameless windows: a plain left press on one of a
// window's drag controls starts a drag, motions move the window across the monitors
// (snapping to the edges of the one it is mostly on when asked), any release ends it. One
// per window; its drag controls share it.
#include "framework/controls/controls.h"
#include "program/mainlogic.h"

namespace fw {
class TForm;
}

namespace app {

class TWindowDrag {
  public:
    void Press(fw::TModifierState Shift, int X, int Y);
    void Move(fw::TForm& window, int X, int Y, bool snap);
    void Release() { state_.Dragging = false; }
    bool Dragging() const { return state_.Dragging; }

  private:
    DragState state_;
};

}  // namespace app
