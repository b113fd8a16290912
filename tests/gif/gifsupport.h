#pragma once
// Shared by the GIF widget tests: one Qt application with the framework's and this
// module's classes registered, an application object whose exception display records
// instead of opening a message box, and bounded waiting for events.
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "framework/app/application.h"
#include "framework/core/classregistry.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"
#include "gif/gifimage.h"
#include "gif/registergif.h"
#include "tests/support/qtapp.h"

namespace giftest {

inline void EnsureApp() {
    testsupport::EnsureQtApp();
    static bool registered = [] {
        fw::RegisterFrameworkClasses();
        gif::RegisterGifClasses();
        return true;
    }();
    (void)registered;
}

// The messages the application's exception display was given.
class RecordingApplication {
  public:
    RecordingApplication() : app_(nullptr) {
        app_.OnException.Set([this](fw::TPropertyObject*, const std::exception& e) {
            messages.push_back(e.what());
        });
    }
    std::vector<std::string> messages;

  private:
    fw::TAppController app_;
};

// Processes events until the condition holds or a generous deadline passes; returns the
// condition. Used instead of measuring time: a test asserts what happened, not when.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Processes events for a while without expecting anything (to let wrong ticks show up).
inline void Pump(std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

// A 24-bit bitmap whose pixel (x, y) is colour(x, y).
inline std::unique_ptr<fw::TBitmap> MakeBitmap(int w, int h,
                                               const std::function<fw::TColor(int, int)>& colour) {
    auto b = std::make_unique<fw::TBitmap>(w, h);
    b->SetPixelFormat(fw::pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b->Canvas().SetPixel(x, y, colour(x, y));
    return b;
}

// One frame per colour function, each w x h at (0, 0); frame 0 current, as after loading.
inline std::unique_ptr<gif::TGIFImage> MakeGif(
    int w, int h, const std::vector<std::function<fw::TColor(int, int)>>& frames) {
    auto g = std::make_unique<gif::TGIFImage>();
    for (const auto& f : frames) g->AddFrame(*MakeBitmap(w, h, f));
    g->SetCurrentFrame(0);
    return g;
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// The form-data layout: a 32-bit little-endian count, then the bytes.
inline std::vector<uint8_t> Counted(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out(bytes.size() + 4);
    for (size_t i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(bytes.size() >> (8 * i));
    std::copy(bytes.begin(), bytes.end(), out.begin() + 4);
    return out;
}

}  // namespace giftest
