#pragma once
// The classic system metrics and the non-client fonts, as a fixed table beside the system
// colours, so that measuring gives the same numbers on every machine.
#include <string>

namespace platform {

// Metric indices keep their classic numbers.
enum SystemMetric : int {
    smCxScreen = 0,
    smCyScreen = 1,
    smCxBorder = 5,
    smCyBorder = 6,
    smCxEdge = 45,
    smCyEdge = 46,
    smCyMenu = 15,
    smCxMenuCheck = 71,
    smCyMenuCheck = 72,
};

// The classic value of a metric; 0 for one the table does not hold.
int GetSystemMetrics(int index);

struct LogFont {
    std::string faceName;
    int height = 0;  // pixels; negative = character height without internal leading
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// The menu font of the classic non-client metrics.
LogFont NonClientMenuFont();

}  // namespace platform
