#include "settings/storeerrors.h"

#include <cstdio>

#include "framework/application.h"

namespace settings {

namespace {
StoreErrorReporter& Reporter() {
    static StoreErrorReporter reporter;
    return reporter;
}
}  // namespace

StoreErrorReporter SetStoreErrorReporter(StoreErrorReporter reporter) {
    StoreErrorReporter old = std::move(Reporter());
    Reporter() = std::move(reporter);
    return old;
}

void ReportStoreError(fw::TObject* Sender, const std::exception& E) {
    if (Reporter()) {
        Reporter()(Sender, E);
    } else if (fw::Application) {
        fw::Application->HandleException(Sender, E);
    } else {
        std::fprintf(stderr, "%s\n", E.what());
    }
}

}  // namespace settings
