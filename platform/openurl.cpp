// Opening an address with the desktop: the toolkit's desktop services run xdg-open on a
// plain X11 session (and the portal inside a sandbox).
#include "platform/links.h"

#if __has_include(<QDesktopServices>)
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>
#define REZAZO_HAVE_DESKTOP_SERVICES 1
#endif

namespace platform {

bool OpenWithDesktop(const std::string& url) {
#ifdef REZAZO_HAVE_DESKTOP_SERVICES
    if (QGuiApplication::instance())
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::TolerantMode));
#endif
    (void)url;
    return false;
}

}  // namespace platform
