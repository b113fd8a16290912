#include "settings/storeerrors.h"

#include <cstdio>

#include "framework/app/application.h"

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

void ReportStoreError(fw::TPropertyObject* Sender, const std::exception& E) {
    if (Reporter()) {
        Reporter()(Sender, E);
    } else if (fw::Application) {
        fw::Application->HandleException(Sender, E);
    } else {
        std::fprintf(stderr, "%s\n", E.what());
    }
}

namespace {

// A message box is no place for a thousand lines: the first keys are named, the rest counted.
constexpr size_t kNamedKeys = 20;

std::string Describe(const std::string& file, const std::vector<SkippedKey>& skipped,
                     size_t notRead, const std::string& firstNotRead) {
    std::string m = "Some settings in " + file + " could not be used and were skipped:";
    for (size_t i = 0; i < skipped.size() && i < kNamedKeys; ++i) {
        const SkippedKey& k = skipped[i];
        m += "\n" + k.key.substr(0, 80) + (k.key.size() > 80 ? "..." : "");
        if (k.line > 0) m += " (line " + std::to_string(k.line) + ")";
        m += ": " + k.reason.substr(0, 120);
    }
    if (skipped.size() > kNamedKeys)
        m += "\n... and " + std::to_string(skipped.size() - kNamedKeys) + " more";
    if (notRead > 0)
        m += "\n" + std::to_string(notRead) + " keys from " + firstNotRead.substr(0, 80) +
             " on were not read: the section's key names are longer than 8192 bytes";
    return m;
}

}  // namespace

ESkippedSettings::ESkippedSettings(const std::string& file, std::vector<SkippedKey> skipped,
                                   size_t notRead, const std::string& firstNotRead)
    : fw::EReadError(Describe(file, skipped, notRead, firstNotRead)),
      file_(file),
      skipped_(std::move(skipped)),
      notRead_(notRead) {}

}  // namespace settings
