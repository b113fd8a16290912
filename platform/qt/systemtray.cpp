// The notification area over Qt's system tray icon. Qt reports an icon as visible even
// when no tray host runs, so an add is refused unless a host is there; a slow poll notices
// hosts that come and go.
#include <QImage>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/notificationarea.h"

namespace platform {

namespace {

QIcon ToIcon(const TrayIconData& d) {
    if (d.width <= 0 || d.height <= 0 ||
        d.argb.size() != static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height)) {
        // Qt refuses to show an icon without a picture; an empty one is a clear pixel.
        QPixmap clear(1, 1);
        clear.fill(Qt::transparent);
        return QIcon(clear);
    }
    QImage img(d.width, d.height, QImage::Format_ARGB32);
    for (int y = 0; y < d.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < d.width; ++x)
            line[x] = d.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(d.width) +
                             static_cast<std::size_t>(x)];
    }
    return QIcon(QPixmap::fromImage(img));
}

class QtNotificationArea : public NotificationArea {
  public:
    QtNotificationArea() {
        // Qt gives a double click as Trigger then DoubleClick, the order the clicks
        // happen in; right clicks come as Context (no Qt context menu is ever set).
        QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                         [this](QSystemTrayIcon::ActivationReason r) {
                             if (!OnMouse) return;
                             switch (r) {
                                 case QSystemTrayIcon::Trigger:
                                     OnMouse(TrayMouse::LeftClick);
                                     break;
                                 case QSystemTrayIcon::DoubleClick:
                                     OnMouse(TrayMouse::LeftDoubleClick);
                                     break;
                                 case QSystemTrayIcon::Context:
                                     OnMouse(TrayMouse::RightClick);
                                     break;
                                 default:
                                     OnMouse(TrayMouse::Other);
                                     break;
                             }
                         });
        available_ = QSystemTrayIcon::isSystemTrayAvailable();
        poll_.setInterval(1000);
        QObject::connect(&poll_, &QTimer::timeout, &icon_, [this] {
            bool now = QSystemTrayIcon::isSystemTrayAvailable();
            // A host that is going away can still answer for a moment: a new host counts
            // once it has been seen twice in a row, a lost one at once.
            if (now && !available_ && !seenOnce_) {
                seenOnce_ = true;
                return;
            }
            seenOnce_ = false;
            if (now == available_) return;
            available_ = now;
            if (OnAvailabilityChanged) OnAvailabilityChanged(now);
        });
        poll_.start();
    }

    bool Add(const TrayIconData& d) override {
        if (!available_ || !QSystemTrayIcon::isSystemTrayAvailable()) return false;
        Apply(d);
        icon_.show();
        return true;
    }
    bool Modify(const TrayIconData& d) override {
        Apply(d);
        return true;
    }
    bool Delete() override {
        icon_.hide();
        return true;
    }
    bool Available() const override { return available_; }

  private:
    void Apply(const TrayIconData& d) {
        icon_.setIcon(ToIcon(d));
        icon_.setToolTip(QString::fromStdString(d.tip));
    }

    QSystemTrayIcon icon_;
    QTimer poll_;
    bool available_ = false;
    bool seenOnce_ = false;
};

NotificationAreaFactory& Factory() {
    static NotificationAreaFactory f;
    return f;
}

}  // namespace

std::unique_ptr<NotificationArea> NewNotificationArea() {
    if (Factory()) return Factory()();
    return std::make_unique<QtNotificationArea>();
}

void SetNotificationAreaFactory(NotificationAreaFactory factory) { Factory() = std::move(factory); }

}  // namespace platform
