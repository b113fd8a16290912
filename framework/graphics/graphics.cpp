#include "framework/graphics/graphics.h"

#include "framework/core/classregistry.h"
#include "framework/graphics/imagelist.h"

namespace fw {

void RegisterGraphicsClasses() {
    RegisterGraphicClass("TBitmap", [] { return std::make_unique<TBitmap>(); });
    RegisterGraphicClass("TIcon", [] { return std::make_unique<TIcon>(); });
    RegisterFileFormat("bmp", "Bitmaps", "TBitmap");
    RegisterFileFormat("ico", "Icons", "TIcon");
    RegisterClipboardGraphic(CF_BITMAP, "TBitmap");
    RegisterClipboardGraphic(CF_DIB, "TBitmap");
    RegisterClasses({{"TImageList", &TImageList::StaticClassInfo}});
    RegisterFontSubstitutions();
}

}  // namespace fw
