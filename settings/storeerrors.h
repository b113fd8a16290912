#pragma once
// Where the property store sends the errors it does not let through: by default the
// application's exception display; a test or a program without an application object
// can put its own reporter in place.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/classes.h"
#include "framework/core/exceptions.h"
#include "settings/storerestore.h"

namespace settings {

using StoreErrorReporter =
    std::function<void(fw::TPropertyObject* Sender, const std::exception& E)>;

// Installs a reporter (an empty one brings the default back); returns the previous one.
StoreErrorReporter SetStoreErrorReporter(StoreErrorReporter reporter);

void ReportStoreError(fw::TPropertyObject* Sender, const std::exception& E);

// What one restore could not use, in one message that names the settings file and each
// skipped key with its line in the file and the reason. Keys that were not read at all
// (beyond what the section's key names may take) are counted from the first of them.
class ESkippedSettings : public fw::EReadError {
  public:
    ESkippedSettings(const std::string& file, std::vector<SkippedKey> skipped, size_t notRead = 0,
                     const std::string& firstNotRead = {});
    const std::string& File() const { return file_; }
    const std::vector<SkippedKey>& Skipped() const { return skipped_; }
    size_t NotRead() const { return notRead_; }

  private:
    std::string file_;
    std::vector<SkippedKey> skipped_;
    size_t notRead_;
};

}  // namespace settings
