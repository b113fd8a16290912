#include "framework/app/socketwatch.h"

#include <QSocketNotifier>

#include "framework/controls/controls.h"

namespace fw {

TSocketWatch::TSocketWatch(int fd, std::function<void()> onReadable) {
    if (fd < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [work = std::move(onReadable)] { Guarded(nullptr, work); });
}

TSocketWatch::~TSocketWatch() = default;

}  // namespace fw
