#pragma once
// Work that the first frame does not draw waits until that frame is on the screen, so the
// window appears as soon as the toolkit allows: the tray icon, the animator's worker, giving
// freed memory back. Nothing waits unless the program says a first paint is coming; then
// the first painted window (or, failing one, a second's wait or a start without a window)
// lets the work run, in the order it was queued, from the event loop.
#include <functional>

namespace fw {

// A window is about to be made and shown: work deferred from now on waits for its paint.
void HoldUntilFirstPaint();
// Runs the work now, or after the first paint while one is awaited. GUI thread only.
void AfterFirstPaint(std::function<void()> work);
// True while work waits for the first paint.
bool AwaitingFirstPaint();
// A window has painted, or none will: the waiting work runs once the event loop next turns,
// after the frame has gone to the display server.
void ReleaseFirstPaintWork();

}  // namespace fw
