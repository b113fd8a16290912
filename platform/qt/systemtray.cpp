// The notification area over Qt's system tray icon. Qt reports an icon as visible even
// when no tray host runs, so an add is refused unless a host is there; a slow poll notices
// hosts that come and go.
#include <QCoreApplication>
#include <QIconEngine>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/notificationarea.h"

namespace platform {

namespace {

// Draws the picture on whole device pixels, centred in the slot the tray host gives. Where
// the slot holds a legible picture at the logical size and the scale is whole, the picture
// is made at that logical size and each of its pixels becomes a block of device pixels, as
// the rest of the artwork does; otherwise it fills the slot's device pixels.
class CrispIconEngine : public QIconEngine {
  public:
    explicit CrispIconEngine(QImage art) : art_(std::move(art)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const QImage img = Picture(std::min(rect.width(), rect.height()), ratio);
        const qreal side = img.width() / ratio;
        // Whole device pixels from the slot's corner, so no edge is smoothed.
        const qreal x = rect.x() + std::floor((rect.width() * ratio - img.width()) / 2) / ratio;
        const qreal y = rect.y() + std::floor((rect.height() * ratio - img.height()) / 2) / ratio;
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter->drawImage(QRectF(x, y, side, side), img);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        QPixmap p = QPixmap::fromImage(Picture(std::min(size.width(), size.height()), scale));
        p.setDevicePixelRatio(scale);
        return p;
    }
    // The whole slot: the picture centres itself on device pixels, which a logical
    // alignment cannot do at a scale of 2 and more.
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new CrispIconEngine(art_); }

  private:
    // The square picture for a slot side of logical pixels at the scale, in device pixels.
    QImage Picture(int logical, qreal scale) const {
        const int block = static_cast<int>(scale);
        if (block >= 2 && block == scale && logical >= kLegible) {
            const QImage small = Fit(std::min(logical, art_.width()));
            return small.scaled(small.size() * block, Qt::IgnoreAspectRatio,
                                Qt::FastTransformation);
        }
        return Fit(std::min(static_cast<int>(logical * scale), art_.width()));
    }
    QImage Fit(int side) const {
        if (side <= 0) return {};
        if (side == art_.width()) return art_;
        return art_.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    static constexpr int kLegible = 16;  // smaller logical pictures are not blown up
    QImage art_;
};

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
    // A square picture: the slot is square or wider.
    const int side = std::max(d.width, d.height);
    if (d.width != d.height) {
        QImage square(side, side, QImage::Format_ARGB32);
        square.fill(Qt::transparent);
        QPainter(&square).drawImage((side - d.width) / 2, (side - d.height) / 2, img);
        img = square;
    }
    return QIcon(new CrispIconEngine(std::move(img)));
}

// Qt makes the second of two quick presses a double click, and the tray icon answers only a
// double click of the left button: a right click soon after another (a menu opened, an entry
// chosen by keys, the menu asked for again) would show nothing. This gives it as the right
// click it is.
class RightDoubleClicks : public QObject {
  public:
    RightDoubleClicks(const QSystemTrayIcon& icon, std::function<void()> rightClick)
        : icon_(icon), rightClick_(std::move(rightClick)) {}

    bool eventFilter(QObject* to, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonDblClick || !to->isWidgetType()) return false;
        const auto* m = static_cast<const QMouseEvent*>(e);
        const auto* w = static_cast<const QWidget*>(to);
        // The icon's own window: the one that lies where the icon is, and is as large.
        if (m->button() != Qt::RightButton || !w->isWindow() || !icon_.isVisible() ||
            QRect(w->mapToGlobal(QPoint(0, 0)), w->size()) != icon_.geometry())
            return false;
        rightClick_();
        return true;
    }

  private:
    const QSystemTrayIcon& icon_;
    std::function<void()> rightClick_;
};

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
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(&rightDoubleClicks_);
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
    RightDoubleClicks rightDoubleClicks_{icon_, [this] {
                                             if (OnMouse) OnMouse(TrayMouse::RightClick);
                                         }};
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
