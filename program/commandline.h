// What the program is asked to do by its arguments, decided before any window exists.
#pragma once

#include <string>

namespace app {

enum class StartAction { Run, Help, Version, Refuse };

struct StartRequest {
    StartAction action = StartAction::Run;
    std::string refused;  // the argument that was not understood
};

StartRequest ReadArguments(int argc, const char* const* argv);
std::string UsageText();
std::string VersionText();

}  // namespace app
