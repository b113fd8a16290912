#pragma once
// One frame of a GIF picture: its encoded data live in a shared item, its bitmap is decoded
// on first request and held.
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/codec/dib.h"
#include "gif/codec/extension.h"
#include "gif/codec/sharedimage.h"

namespace gifcodec {

class GifPicture;

struct TPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TPoint&) const = default;
};

class TGIFFrame {
  public:
    explicit TGIFFrame(GifPicture* owner = nullptr);
    TGIFFrame(const TGIFFrame&) = delete;
    TGIFFrame& operator=(const TGIFFrame&) = delete;
    ~TGIFFrame();

    GifPicture* Owner() const { return owner_; }

    // Decodes on first request ("Wrong number of colors; must be a power of 2" for a frame
    // without colours). Damaged data marks the frame Corrupted instead of raising.
    const TDib& Bitmap();
    const TDib* CachedBitmap() const { return bitmap_.get(); }
    bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }
    void FreeBitmap() { bitmap_.reset(); }
    // Replaces the bitmap, leaving the encoded data alone.
    void SetBitmap(TDib bitmap) { bitmap_ = std::make_unique<TDib>(std::move(bitmap)); }

    int Width();
    int Height();

    TPoint Origin() const { return origin_; }
    void SetOrigin(TPoint value) { origin_ = value; }
    bool Interlaced() const { return interlaced_; }
    void SetInterlaced(bool value) { interlaced_ = value; }
    bool Corrupted() const { return corrupted_; }
    void SetCorrupted(bool value) { corrupted_ = value; }
    bool Grayscale() const { return grayscale_; }
    void SetGrayscale(bool value) { grayscale_ = value; }
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor value) { transparentColor_ = value; }
    // The index the picture stored for its transparent colour, -1 when none was stored. It
    // stands as long as its entry still holds TransparentColor: a palette may hold that
    // colour more than once, and only the stored index is transparent.
    int StoredTransparentIndex() const { return transparentIndex_; }
    void SetTransparentIndex(int value) { transparentIndex_ = value; }
    // The index that is transparent in the frame's colour table (its bitmap's palette when
    // the table is empty): the stored one while it holds the colour, else the first entry
    // with the colour; -1 without a transparent colour or such an entry.
    int TransparentIndex() const;
    std::uint16_t Delay() const { return delay_; }
    void SetDelay(std::uint16_t value) { delay_ = value; }
    std::uint8_t Disposal() const { return disposal_; }
    void SetDisposal(std::uint8_t value) { disposal_ = value; }
    bool LocalColors() const { return localColors_; }
    void SetLocalColors(bool value) { localColors_ = value; }

    TGIFItem& Item() { return *item_; }
    const TGIFItem& Item() const { return *item_; }
    bool SharesItemWith(const TGIFFrame& other) const { return item_.Get() == other.item_.Get(); }
    std::vector<TExtension>& Extensions() { return extensions_; }
    const std::vector<TExtension>& Extensions() const { return extensions_; }

    // Lines of the last comment extension, or none.
    const TLineList* Comment() const;
    // As Comment, adding an empty comment extension when there is none.
    TLineList& CommentCreate();

    // Back to a fresh frame: new item, no bitmap, no extensions, default properties.
    void Reset();
    void Assign(std::nullptr_t);
    void Assign(const TGIFFrame& source);
    // From the picture's current frame (frame 0 when there is none current).
    void Assign(const GifPicture& source);
    void Assign(const TDib& bitmap);

  private:
    void OwnerSizeChanged();

    GifPicture* owner_;
    std::unique_ptr<TDib> bitmap_;
    TSharedRef<TGIFItem> item_;
    std::vector<TExtension> extensions_;
    TPoint origin_;
    bool interlaced_ = false;
    bool corrupted_ = false;
    bool grayscale_ = false;
    TColor transparentColor_ = clNone;
    int transparentIndex_ = -1;
    std::uint16_t delay_ = 0;
    std::uint8_t disposal_ = 0;
    bool localColors_ = false;
};

}  // namespace gifcodec
