#include "framework/menus/ownerdraw.h"

#include "framework/graphics/canvasimpl.h"

namespace fw {

TOwnerDrawScope::TOwnerDrawScope(TCanvas& canvas, const TDeviceContext* dc)
    : canvas_(canvas), dc_(dc && dc->painter ? dc : nullptr) {
    if (!dc_) return;
    dc_->painter->save();
    canvas_.Attach(dc_->painter, dc_->bounds);
}

TOwnerDrawScope::~TOwnerDrawScope() {
    if (!dc_) return;
    canvas_.Detach();
    dc_->painter->restore();
}

}  // namespace fw
