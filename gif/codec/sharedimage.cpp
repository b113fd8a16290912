#include "gif/codec/sharedimage.h"

namespace gifcodec {

void TSharedImage::Release(TSharedImage* image) {
    if (!image) return;
    if (--image->refCount_ == 0) {
        image->FreeContents();
        delete image;
    }
}

}  // namespace gifcodec
