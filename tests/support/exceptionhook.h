#pragma once
// Routes the application's exception display to a test's recorder for as long as the guard
// lives, so that a failing assertion cannot leave the hook behind for later tests.
#include <exception>
#include <functional>
#include <utility>

#include "framework/app/application.h"

namespace testsupport {

class ScopedExceptionHook {
  public:
    explicit ScopedExceptionHook(
        std::function<void(fw::TPropertyObject*, const std::exception&)> hook)
        : old_(fw::Application->OnException) {
        fw::Application->OnException.Set(std::move(hook));
    }
    ~ScopedExceptionHook() { fw::Application->OnException = old_; }
    ScopedExceptionHook(const ScopedExceptionHook&) = delete;
    ScopedExceptionHook& operator=(const ScopedExceptionHook&) = delete;

  private:
    fw::TExceptionEvent old_;
};

}  // namespace testsupport
