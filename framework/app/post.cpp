#include "framework/app/post.h"

#include <QCoreApplication>
#include <QTimer>

#include "framework/controls/controls.h"

namespace fw {

void PostToMessageLoop(std::function<void()> work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    QTimer::singleShot(0, app, [w = std::move(work)] { Guarded(nullptr, w); });
}

}  // namespace fw
