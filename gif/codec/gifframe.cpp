#include "gif/codec/gifframe.h"

#include "gif/codec/giferrors.h"
#include "gif/codec/giflimits.h"
#include "gif/codec/gifpicture.h"
#include "gif/codec/lzw.h"

namespace gifcodec {

namespace {

// Pixels of an 8-bit bitmap masked to bits, all but those holding keep.
void MaskPastTable(TDib& dib, int bits, int keep) {
    const unsigned mask = (1u << bits) - 1;
    for (int y = 0; y < dib.Height(); ++y) {
        std::uint8_t* row = dib.ScanLine(y);
        for (int x = 0; x < dib.Width(); ++x)
            if (row[x] != keep) row[x] = static_cast<std::uint8_t>(row[x] & mask);
    }
}

}  // namespace

TGIFFrame::TGIFFrame(GifPicture* owner) : owner_(owner), item_(TSharedRef<TGIFItem>::Create()) {}

TGIFFrame::~TGIFFrame() = default;

const TDib& TGIFFrame::Bitmap() {
    if (HasBitmap()) return *bitmap_;
    bitmap_ = std::make_unique<TDib>();
    const TGIFItem& item = *item_;
    if (!item.HasEncodedData()) return *bitmap_;
    const int bpp = item.bitsPerPixel;
    if (bpp < 1 || bpp > 8) RaiseGif(strings::kColorCountId, strings::kColorCount);
    // A transparent index past the table survives decoding; other pixels are masked to it.
    const int keep =
        transparentColor_ != clNone && transparentIndex_ >= (1 << bpp) ? transparentIndex_ : -1;
    const int depth = bpp == 1 && keep < 0 ? 1 : bpp <= 4 && keep < 0 ? 4 : 8;
    if (static_cast<std::int64_t>(item.width) * item.height > kMaxPixels) RaiseTooLarge();
    TDib dib(item.width, item.height, depth);
    for (int i = 0; i < dib.PaletteSize(); ++i) {
        if (i == keep) {
            const TColor c = transparentColor_;
            dib.SetPaletteEntry(
                i, {static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                    static_cast<std::uint8_t>(RedOf(c)), 0});
        } else if (i < item.colors.count) {
            const auto& e = item.colors.entries[i];
            dib.SetPaletteEntry(i, {e[2], e[1], e[0], 0});
        } else {
            dib.SetPaletteEntry(i, {128, 128, 128, 128});
        }
    }
    static const TProgressHandler kNoProgress;
    const TProgressHandler& progress = owner_ ? owner_->ProgressHandler() : kNoProgress;
    if (LzwDecode(*item.encoded, dib, keep < 0 ? bpp : depth, interlaced_, true, progress))
        corrupted_ = true;
    if (keep >= 0) MaskPastTable(dib, bpp, keep);
    *bitmap_ = std::move(dib);
    return *bitmap_;
}

int TGIFFrame::TransparentIndex() const {
    if (transparentColor_ == clNone) return -1;
    const TColor c = transparentColor_ & 0xFFFFFF;
    const ColorTable& table = item_->colors;
    // Set by the reader for an index past the table, with a colour the table does not hold.
    if (transparentIndex_ >= table.count && table.count > 0 && table.IndexOf(c) < 0)
        return transparentIndex_;
    if (table.count > 0) {
        if (transparentIndex_ >= 0 && transparentIndex_ < table.count &&
            table.Color(transparentIndex_) == c)
            return transparentIndex_;
        return table.IndexOf(c);
    }
    if (!bitmap_ || bitmap_->PaletteSize() == 0) return -1;
    if (transparentIndex_ >= 0 && transparentIndex_ < bitmap_->PaletteSize() &&
        bitmap_->PaletteColor(transparentIndex_) == c)
        return transparentIndex_;
    for (int i = 0; i < bitmap_->PaletteSize(); ++i)
        if (bitmap_->PaletteColor(i) == c) return i;
    return -1;
}

int TGIFFrame::Width() { return Bitmap().Width(); }

int TGIFFrame::Height() { return Bitmap().Height(); }

const TLineList* TGIFFrame::Comment() const {
    for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it)
        if (it->type == TExtensionType::etComment) return it->data ? &*it->data : nullptr;
    return nullptr;
}

TLineList& TGIFFrame::CommentCreate() {
    for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it) {
        if (it->type == TExtensionType::etComment) {
            if (!it->data) it->data.emplace();
            return *it->data;
        }
    }
    TExtension& e = extensions_.emplace_back();
    e.type = TExtensionType::etComment;
    return e.data.emplace();
}

void TGIFFrame::Reset() {
    item_ = TSharedRef<TGIFItem>::Create();
    bitmap_.reset();
    extensions_.clear();
    origin_ = {};
    interlaced_ = corrupted_ = grayscale_ = localColors_ = false;
    transparentColor_ = clNone;
    transparentIndex_ = -1;
    delay_ = 0;
    disposal_ = 0;
}

void TGIFFrame::Assign(std::nullptr_t) {
    Reset();
    OwnerSizeChanged();
}

void TGIFFrame::Assign(const TGIFFrame& source) {
    if (&source == this) return;
    item_ = source.item_;
    localColors_ = owner_ == source.owner_ ? source.localColors_ : true;
    origin_ = source.origin_;
    interlaced_ = source.interlaced_;
    // A bitmap of the old item would no longer match the data.
    bitmap_ = source.bitmap_ ? std::make_unique<TDib>(*source.bitmap_) : nullptr;
    transparentColor_ = source.transparentColor_;
    transparentIndex_ = source.transparentIndex_;
    delay_ = source.delay_;
    disposal_ = source.disposal_;
    grayscale_ = source.grayscale_;
    corrupted_ = source.corrupted_;
    const TLineList* comment = source.Comment();
    if (comment && !comment->empty()) {
        TLineList lines = *comment;  // the source may be a frame sharing our extensions
        CommentCreate() = std::move(lines);
    }
    OwnerSizeChanged();
}

void TGIFFrame::Assign(const GifPicture& source) {
    if (source.FrameCount() == 0) {
        Assign(nullptr);
        return;
    }
    const int current = source.CurrentFrame();
    Assign(source.Frame(current >= 0 && current < source.FrameCount() ? current : 0));
}

void TGIFFrame::Assign(const TDib& bitmap) {
    if (bitmap.Empty()) {
        Assign(nullptr);
        return;
    }
    Reset();
    bitmap_ = std::make_unique<TDib>(bitmap);
    OwnerSizeChanged();
}

void TGIFFrame::OwnerSizeChanged() {
    if (owner_) owner_->UpdateScreenSize();
}

}  // namespace gifcodec
