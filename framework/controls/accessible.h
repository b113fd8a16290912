#pragma once
// What a screen reader sees of our windows. A window's widget answers with the form's
// caption and hint, and lists as its children the windowless controls that carry text or
// act on the mouse, with a role, a name (their text, else their hint) and a description
// (their hint); a control with a click handler can be pressed.
#include <functional>

namespace fw {

class TControl;

// What a click on a windowless control does, as a reader announces it.
enum class TClickRole { None, Command, Link };
// The framework knows click handlers; a component that acts on a click by itself (a link
// opens its address) answers through a query set from above.
TClickRole HandlerClickRole(const TControl& control);
using TClickRoleQuery = std::function<TClickRole(const TControl&)>;
void SetClickRoleQuery(TClickRoleQuery query);  // empty: HandlerClickRole

// Makes Qt ask us for the interfaces of our windows. Once per process; later calls do
// nothing. TAppController::Initialize calls it.
void InstallAccessibility();

// Tells a listening screen reader that the control's text changed.
void AccessibleTextChanged(TControl* control);

}  // namespace fw
