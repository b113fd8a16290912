#include "framework/controls/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace fw {

TScreenSize PrimaryScreenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {800, 600};
    QRect r = screen->geometry();
    return {r.width(), r.height()};
}

}  // namespace fw
