#pragma once
// The program's own component classes, registered so that window descriptions can
// create them by name. Called by the program and tests, after the framework's classes.
namespace ctl {

void RegisterWidgetClasses();

}  // namespace ctl
