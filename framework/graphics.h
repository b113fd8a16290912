#pragma once
// The graphics of the framework in one include: geometry, colours, fonts, pens, brushes,
// canvases, bitmaps, icons and pictures.
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/colors.h"
#include "framework/font.h"
#include "framework/graphicsbase.h"
#include "framework/graphicsicon.h"
#include "framework/graphicsobjects.h"
#include "framework/picture.h"
#include "framework/types.h"

namespace fw {

// Registers the graphic classes (TBitmap, TIcon), the "bmp" and "ico" file formats, the
// bitmap clipboard format, the creatable TImageList and the font substitutions. Safe to
// call more than once.
void RegisterGraphicsClasses();

}  // namespace fw
