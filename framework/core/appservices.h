#pragma once
// What the lower floors of the framework ask of the running application: showing an
// exception that an entry point from the toolkit caught, which form is the main one, ending
// the run, the status hint. The application object sets these when it is made and clears
// them when it goes; until then an exception goes to standard error and the rest do nothing.
#include <exception>
#include <functional>
#include <string>

namespace fw {

class TPropertyObject;
class TComponent;

struct TAppServices {
    std::function<void(TPropertyObject* sender, const std::exception& e)> showException;
    std::function<TComponent*()> mainForm;
    std::function<void()> terminate;
    std::function<void(const std::string& hint)> setHint;
};

TAppServices& AppServices();

// Runs a piece of work behind the application's exception guard: what it throws is shown
// (or written to standard error with no application) and the caller goes on.
void Guarded(TPropertyObject* sender, const std::function<void()>& work);

}  // namespace fw
