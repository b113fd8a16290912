#pragma once
// The surface of an owner-draw request lent to a canvas for one paint.
#include "framework/graphics/canvas.h"
#include "framework/menus/menuhandle.h"

namespace fw {

// Lends the canvas the request's surface for the lifetime of the scope; the surface's
// drawing state is saved before and given back after, whatever the handler changed.
class TOwnerDrawScope {
  public:
    TOwnerDrawScope(TCanvas& canvas, const TDeviceContext* dc);
    ~TOwnerDrawScope();
    TOwnerDrawScope(const TOwnerDrawScope&) = delete;
    TOwnerDrawScope& operator=(const TOwnerDrawScope&) = delete;
    // False for a request without a surface: nothing may be drawn.
    bool Attached() const { return dc_ != nullptr; }

  private:
    TCanvas& canvas_;
    const TDeviceContext* dc_;
};

}  // namespace fw
