#pragma once
// Links to the user's browser and mail program: whether the desktop has a handler for a
// kind of link, and opening one. Both go through a backend that tests replace.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class LinkKind { Http, Mailto };

class LinkBackend {
  public:
    virtual ~LinkBackend() = default;
    // True when the desktop names a program for this kind of link.
    virtual bool HandlerAvailable(LinkKind kind) = 0;
    // Hands the address to the desktop; failures are silent.
    virtual void Open(const std::string& url) = 0;
};

// Asks xdg-mime for the handlers and opens through the toolkit's desktop services.
LinkBackend& SystemLinkBackend();
// The backend in use (the system one unless a test installed another).
LinkBackend& CurrentLinkBackend();

class ScopedLinkBackend {
  public:
    explicit ScopedLinkBackend(LinkBackend& backend);
    ~ScopedLinkBackend();
    ScopedLinkBackend(const ScopedLinkBackend&) = delete;
    ScopedLinkBackend& operator=(const ScopedLinkBackend&) = delete;

  private:
    LinkBackend* previous_;
};

// How long a handler query may take before it counts as "no handler".
inline constexpr std::chrono::milliseconds kHandlerQueryLimit{1000};

// Runs a program found on PATH with its standard input and error on /dev/null and returns
// what it wrote to standard output. nullopt when it cannot be started, ends with a failure
// status or is still running at the limit (then it and its children are killed).
std::optional<std::string> RunWithTimeLimit(const std::vector<std::string>& argv,
                                            std::chrono::milliseconds limit);

// The handler check through `xdg-mime query default`: http needs a handler for
// x-scheme-handler/http and for text/html, mailto one for x-scheme-handler/mailto.
bool DesktopHandlerAvailable(LinkKind kind, std::chrono::milliseconds limit = kHandlerQueryLimit);

// Opens the address with the desktop (xdg-open on a plain X11 session); false when that
// could not even be started.
bool OpenWithDesktop(const std::string& url);

}  // namespace platform
