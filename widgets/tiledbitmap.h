#pragma once
// Wallpaper: a windowless control that fills its rectangle with copies of one bitmap laid
// edge to edge from the top-left corner, row by row.
#include <memory>

#include "framework/controls/controls.h"
#include "framework/graphics/bitmap.h"

namespace ctl {

class TTiledBitmap : public fw::TGraphicControl {
    FW_CLASS(TTiledBitmap)
  public:
    explicit TTiledBitmap(fw::TComponent* owner);
    ~TTiledBitmap() override;

    fw::TBitmap* BitMap() const { return bitmap_.get(); }
    // Copies the picture; a side of 0 then becomes 32. Shows at the next paint.
    void SetBitMap(const fw::TBitmap* value);

  protected:
    void Paint() override;

  private:
    std::unique_ptr<fw::TBitmap> bitmap_;
};

}  // namespace ctl
