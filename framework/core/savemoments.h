#pragma once
// Two moments at which what the program keeps on disk should get there: right after the
// user did something (a click, a key, a menu command: where settings change), and when the
// desktop session asks its programs to save their state before it ends. Whatever keeps state
// listens; the framework announces the moments where they happen.
#include <functional>

namespace fw {

enum class TSaveMoment { AfterUserAction, SessionSave };

// Hears every moment for as long as it lives.
class TSaveMomentListener {
  public:
    explicit TSaveMomentListener(std::function<void(TSaveMoment)> heard);
    ~TSaveMomentListener();
    TSaveMomentListener(const TSaveMomentListener&) = delete;
    TSaveMomentListener& operator=(const TSaveMomentListener&) = delete;

  private:
    friend void AnnounceSaveMoment(TSaveMoment moment);
    std::function<void(TSaveMoment)> heard_;
};

// Tells every listener, in the order they began listening.
void AnnounceSaveMoment(TSaveMoment moment);

}  // namespace fw
