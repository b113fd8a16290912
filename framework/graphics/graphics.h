#pragma once
// The graphics of the framework in one include: geometry, colours, fonts, pens, brushes,
// canvases, bitmaps, icons and pictures.
#include "framework/core/types.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/colors.h"
#include "framework/graphics/font.h"
#include "framework/graphics/graphicsbase.h"
#include "framework/graphics/graphicsicon.h"
#include "framework/graphics/graphicsobjects.h"
#include "framework/graphics/picture.h"

namespace fw {

// Registers the graphic classes (TBitmap, TIcon), the "bmp" and "ico" file formats, the
// bitmap clipboard format, the creatable TImageList and the font substitutions. Safe to
// call more than once.
void RegisterGraphicsClasses();

}  // namespace fw
