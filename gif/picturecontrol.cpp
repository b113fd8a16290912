#include "gif/picturecontrol.h"

#include "framework/core/classbuilder.h"

namespace gif {

const fw::TClassInfo& TPictureControl::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TPictureControl>("TPictureControl",
                                          &fw::TGraphicControl::StaticClassInfo())
            .Build();
    return info;
}

TPictureControl::TPictureControl(fw::TComponent* owner) : fw::TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | fw::csOpaque | fw::csClickEvents | fw::csDoubleClicks);
    SetBounds(0, 0, 105, 105);
    SetParentColor(true);
}

// Palettes play no part on true-colour displays, so a change only asks for a repaint.
// The parent paints its background and the windowless controls under this one before
// this one paints, so whatever the picture leaves transparent shows them.
void TPictureControl::PictureChanged() {
    if (graphic_ && !drawing_) Invalidate();
}

}  // namespace gif
