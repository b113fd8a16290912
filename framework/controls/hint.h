#pragma once
// Hints of windowless controls, shown as tool tips: after the usual hover pause over a
// control whose ShowHint is on, gone when the mouse leaves it, presses or the control goes.
namespace fw {
class TControl;
}

namespace fw::hint {

// The mouse came over / left the control (the windowed parent tells).
void MouseEntered(TControl* c);
void MouseLeft(TControl* c);
// A press hides the hint and stops the pause.
void Cancel();
// The control is hidden, disabled or destroyed: nothing of it may show any more.
void Forget(TControl* c);
// The control whose hint is waiting for its pause or showing, or null.
TControl* Pending();

}  // namespace fw::hint
