#include "gif/registergif.h"

#include "framework/classregistry.h"
#include "gif/threadedtimer.h"

namespace gif {

void RegisterGifClasses() { fw::RegisterClass(TThreadedTimer::StaticClassInfo()); }

}  // namespace gif
