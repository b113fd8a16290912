#pragma once
// Progress reports of decoding and encoding, passed on by the picture to its handler.
#include <functional>
#include <string>

namespace gifcodec {

enum class TProgressStage { psStarting, psRunning, psEnding };

using TProgressHandler =
    std::function<void(TProgressStage stage, int percent, const std::string& message)>;

}  // namespace gifcodec
