#include "platform/sysmetrics.h"

namespace platform {

int GetSystemMetrics(int index) {
    switch (index) {
        case smCxScreen:
            return 800;
        case smCyScreen:
            return 600;
        case smCxBorder:
        case smCyBorder:
            return 1;
        case smCxEdge:
        case smCyEdge:
            return 2;
        case smCyMenu:
            return 19;
        case smCxMenuCheck:
        case smCyMenuCheck:
            return 13;
        default:
            return 0;
    }
}

LogFont NonClientMenuFont() { return LogFont{"MS Sans Serif", -11, 400, false, false, false}; }

}  // namespace platform
