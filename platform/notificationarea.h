#pragma once
// The desktop's notification area (the tray): one icon per service object, added,
// changed and removed with a success or failure, and the user's clicks on it. The
// interface has no platform types, so the tray icon component's rules can be tested
// against a fake.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct TrayIconData {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;  // non-premultiplied 0xAARRGGBB, top row first
    std::string tip;                  // UTF-8; empty for none
};

enum class TrayMouse { LeftClick, LeftDoubleClick, RightClick, Other };

class NotificationArea {
  public:
    virtual ~NotificationArea() = default;
    // Each returns false when the platform refused; the icon is then as it was.
    virtual bool Add(const TrayIconData& data) = 0;
    virtual bool Modify(const TrayIconData& data) = 0;
    virtual bool Delete() = 0;
    // A tray host is running and can take an icon.
    virtual bool Available() const = 0;

    // The user's clicks on the icon, in the order they happen.
    std::function<void(TrayMouse)> OnMouse;
    // A tray host appeared (true) or went away (false).
    std::function<void(bool available)> OnAvailabilityChanged;
};

using NotificationAreaFactory = std::function<std::unique_ptr<NotificationArea>()>;

// A service object from the current factory (the desktop's tray unless replaced).
std::unique_ptr<NotificationArea> NewNotificationArea();
// Replaces the factory (tests); an empty one puts the desktop's back.
void SetNotificationAreaFactory(NotificationAreaFactory factory);

}  // namespace platform
