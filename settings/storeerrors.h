#pragma once
// Where the property store sends the errors it does not let through: by default the
// application's exception display; a test or a program without an application object
// can put its own reporter in place.
#include <exception>
#include <functional>

#include "framework/classes.h"

namespace settings {

using StoreErrorReporter = std::function<void(fw::TObject* Sender, const std::exception& E)>;

// Installs a reporter (an empty one brings the default back); returns the previous one.
StoreErrorReporter SetStoreErrorReporter(StoreErrorReporter reporter);

void ReportStoreError(fw::TObject* Sender, const std::exception& E);

}  // namespace settings
