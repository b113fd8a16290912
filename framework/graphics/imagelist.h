#pragma once
// A strip of equal-sized images addressed by index from 0, each with an optional mask.
#include <vector>

#include "framework/core/classes.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"

namespace fw {

class TImageList : public TComponent {
    FW_CLASS(TImageList)
  public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    // Changing the image size empties the list.
    int Width() const { return width_; }
    void SetWidth(int w);
    int Height() const { return height_; }
    void SetHeight(int h);
    void SetSize(int w, int h);
    // Masked lists draw their images through their masks; unmasked ones draw every pixel.
    bool Masked() const { return masked_; }
    void SetMasked(bool m);
    // Fills the transparent parts of an image when drawn; clNone leaves them clear.
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor c);

    int Count() const;
    // Adds the bitmap cut into as many images as fit across it (at least one, cropped or
    // padded to the image size). The mask's black pixels are the visible ones. Returns the
    // index of the first image added.
    int Add(const TBitmap& image, const TBitmap* mask);
    // As Add, with pixels of maskColor transparent.
    int AddMasked(const TBitmap& image, TColor maskColor);
    void Delete(int index);
    void Clear();

    // Sizes the bitmap to the image size and draws the image into it (transparent parts
    // white unless BkColor is set). Throws for an index out of range.
    void GetBitmap(int index, TBitmap& dest) const;
    // Draws the image with its top-left corner at (x, y); disabled images are drawn
    // embossed in the button highlight and shadow colours.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Sizes the bitmap to the image and makes it the image's mask: black where the image
    // shows, white where it is masked out. Throws for an index out of range.
    void GetMask(int index, TBitmap& mask) const;
    // The image as ARGB32, alpha 0 where it is masked out (qtgraphics.h has the toolkit
    // side).
    TToolkitImage ImageAt(int index) const;

    // Form data of the published Bitmap property: a 32-bit count, then one 32-bit BMP
    // file image with all images side by side, alpha 0 where masked out (read as well: a
    // pixel image of it, pixelimage.h).
    Bytes BitmapData() const;
    void SetBitmapData(ByteView data);
    bool HasImages() const;

    std::function<void()> OnChange;

  private:
    void CheckIndex(int index) const;
    void ForgetUnread() const;
    // The images, unpacked from the form data first if that has not been done.
    const std::vector<TToolkitImage>& Images() const;
    void Changed() {
        if (OnChange) OnChange();
    }

    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    TColor bkColor_ = clNone;
    // ARGB32, alpha carries the mask; filled from unread_ (a BMP file image or a pixel image)
    // on first use.
    mutable std::vector<TToolkitImage> images_;
    // Lifelong form data where it lies (core/lifelong.h), anything else in ownUnread_.
    mutable ByteView unread_;
    mutable Bytes ownUnread_;
};

}  // namespace fw
