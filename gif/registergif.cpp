#include "gif/registergif.h"

#include "framework/core/classregistry.h"
#include "gif/codec/giferrors.h"
#include "gif/gifanimator.h"
#include "gif/gifimage.h"
#include "gif/threadedtimer.h"

namespace gif {

void RegisterGifClasses() {
    fw::RegisterGraphicClass("TGIFImage", [] { return std::make_unique<TGIFImage>(); });
    fw::RegisterFileFormat("gif", gifcodec::strings::kFileDescription, "TGIFImage");
    fw::RegisterClipboardGraphic(CF_GIF(), "TGIFImage");
    fw::RegisterClasses({{"TThreadedTimer", &TThreadedTimer::StaticClassInfo},
                         {"TGIFAnimator", &TGIFAnimator::StaticClassInfo}});
}

}  // namespace gif
