#include "gif/gifimage.h"

#include <cstring>

#include "framework/app/application.h"
#include "framework/core/classbuilder.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/clipboard.h"
#include "framework/graphics/graphicsicon.h"
#include "gif/codec/giferrors.h"

namespace gif {

namespace {

// The codec's errors become the framework's, keeping their messages. A reduction that
// cannot proceed shows its message and is abandoned without an error.
template <class F>
void Translated(F&& work) {
    try {
        work();
    } catch (const gifcodec::EInvalidGraphicOperation& e) {
        throw EInvalidGraphicOperation(e.Id(), e.what());
    } catch (const gifcodec::EInvalidGraphic& e) {
        throw fw::EInvalidGraphic(e.what());
    } catch (const gifcodec::EStreamError& e) {
        throw EStreamError(e.what());
    } catch (const gifcodec::EAbortWithMessage& e) {
        if (fw::Application) fw::Application->ShowException(e);
    }
}

// The frame's bitmap, 32 bits with alpha, its transparent index see-through (its transparent colour
// for a bitmap without a palette): a palette may hold that colour at other, opaque, indices too.
std::unique_ptr<fw::TBitmap> KeyedBitmap(const gifcodec::TGIFFrame& frame,
                                         const gifcodec::TDib& dib) {
    auto bitmap = std::make_unique<fw::TBitmap>(dib.Width(), dib.Height());
    bitmap->SetPixelFormat(fw::pf32bit);
    const bool paletted = dib.BitCount() <= 8;
    const int keyIndex = paletted ? frame.TransparentIndex() : -1;
    const gifcodec::TColor keyColor = frame.TransparentColor() & 0xFFFFFF;
    for (int y = 0; y < dib.Height(); ++y) {
        std::uint8_t* line = bitmap->ScanLine(y);
        for (int x = 0; x < dib.Width(); ++x) {
            const gifcodec::TColor c = dib.PixelColor(x, y);
            const bool clear =
                paletted ? static_cast<int>(dib.PixelIndex(x, y)) == keyIndex : c == keyColor;
            const std::uint32_t argb = clear
                                           ? 0
                                           : 0xFF000000u | (gifcodec::RedOf(c) << 16) |
                                                 (gifcodec::GreenOf(c) << 8) | gifcodec::BlueOf(c);
            std::memcpy(line + 4 * x, &argb, 4);
        }
    }
    return bitmap;
}

int BitCountFor(const fw::TBitmap& bitmap) {
    switch (bitmap.PixelFormat()) {
        case fw::pf1bit:
            return 1;
        case fw::pf4bit:
            return 4;
        case fw::pf8bit:
            return 8;
        default:
            return 24;
    }
}

}  // namespace

fw::TClipboardFormat CF_GIF() {
    static const fw::TClipboardFormat format = fw::RegisterClipboardFormat("GIF Image");
    return format;
}

const fw::TClassInfo& TGIFImage::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TGIFImage>("TGIFImage", &fw::TGraphic::StaticClassInfo())
            .Binary("Data", &TGIFImage::Data, &TGIFImage::SetData)
            .StoredWhen(&TGIFImage::HasFrames)
            .Build();
    return info;
}

TGIFImage::TGIFImage() : core_(std::make_unique<gifcodec::TGIFImageCore>()) {
    core_->SetOnChange([this] { Changed(); });
}

TGIFImage::~TGIFImage() {
    OnChange = nullptr;
    core_->SetOnChange(nullptr);
}

namespace {

// The codec's rows are bottom-up, as in a bitmap file.
fw::PixelLayout LayoutOf(const gifcodec::TDib& dib) {
    return {dib.Width(), dib.Height(), dib.BitCount(), dib.Stride(), true};
}

}  // namespace

std::unique_ptr<fw::TBitmap> TGIFImage::ToBitmap(const gifcodec::TDib& dib) {
    auto bitmap = std::make_unique<fw::TBitmap>();
    if (dib.Empty()) return bitmap;
    std::vector<fw::TColor> palette(static_cast<std::size_t>(dib.PaletteSize()));
    for (int i = 0; i < dib.PaletteSize(); ++i) palette[i] = dib.PaletteColor(i);
    bitmap->LoadFromPixels(LayoutOf(dib), dib.Pixels(), palette);
    return bitmap;
}

gifcodec::TDib TGIFImage::ToDib(const fw::TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    gifcodec::TDib dib(bitmap.Width(), bitmap.Height(), BitCountFor(bitmap));
    const std::vector<fw::TColor> palette = bitmap.CopyPixels(LayoutOf(dib), dib.Pixels());
    for (int i = 0; i < dib.PaletteSize() && i < static_cast<int>(palette.size()); ++i)
        dib.SetPaletteEntry(i, {static_cast<std::uint8_t>(fw::GetBValue(palette[i])),
                                static_cast<std::uint8_t>(fw::GetGValue(palette[i])),
                                static_cast<std::uint8_t>(fw::GetRValue(palette[i])), 0});
    dib.SetMonochrome(bitmap.Monochrome());
    return dib;
}

void TGIFImage::Draw(fw::TCanvas& canvas, const fw::TRect& rect) {
    const int current = core_->CurrentFrame();
    if (current < 0 || current >= core_->FrameCount()) return;
    gifcodec::TGIFFrame& frame = core_->Frame(current);
    const gifcodec::TDib* dib = nullptr;
    Translated([&] { dib = &frame.Bitmap(); });
    if (!dib || dib->Empty()) return;
    if (core_->HasTransparency() && frame.TransparentColor() != gifcodec::clNone) {
        canvas.StretchDraw(rect, *KeyedBitmap(frame, *dib));
    } else {
        canvas.StretchDraw(rect, *ToBitmap(*dib));
    }
}

int TGIFImage::Width() const {
    int w = 0;
    Translated([&] { w = core_->Width(); });
    return w;
}

int TGIFImage::Height() const {
    int h = 0;
    Translated([&] { h = core_->Height(); });
    return h;
}

void TGIFImage::SetWidth(int w) {
    Translated([&] { core_->SetWidth(w); });
}

void TGIFImage::SetHeight(int h) {
    Translated([&] { core_->SetHeight(h); });
}

bool TGIFImage::Empty() const { return core_->Empty(); }

void TGIFImage::LoadFromStream(const fw::Bytes& data) {
    Translated([&] { core_->LoadFromBytes(data); });
}

void TGIFImage::SaveToStream(fw::Bytes& data) const {
    Translated([&] { data = core_->SaveToBytes(); });
}

void TGIFImage::ReadData(fw::ByteView data) {
    Translated([&] {
        gifcodec::TMemoryStream stream(fw::Bytes(data.begin(), data.end()));
        core_->ReadData(stream);
    });
}

void TGIFImage::WriteData(fw::Bytes& data) const {
    Translated([&] { data = core_->ClipboardData(); });
}

fw::Bytes TGIFImage::Data() const {
    fw::Bytes data;
    WriteData(data);
    return data;
}

void TGIFImage::SetData(fw::ByteView data) { ReadData(data); }

void TGIFImage::LoadFromClipboardFormat(fw::TClipboardFormat format,
                                        const fw::ClipboardData& data) {
    if (const fw::Bytes* gifData = data.Find(CF_GIF())) {
        std::optional<gifcodec::TDib> bitmap;
        if (const fw::Bytes* bmp = data.Find(fw::CF_BITMAP)) {
            Translated([&] { bitmap = gifcodec::TDib::FromFileImage(*bmp); });
        }
        Translated([&] { core_->LoadFromClipboardData(*gifData, bitmap ? &*bitmap : nullptr); });
        return;
    }
    fw::TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format, data);
    Assign(bitmap);
}

void TGIFImage::SaveToClipboardFormat(fw::ClipboardData& data) const {
    if (core_->FrameCount() == 0) return;
    const gifcodec::TDib* first = nullptr;
    Translated([&] { first = &core_->Frame(0).Bitmap(); });
    if (first && !first->Empty()) ToBitmap(*first)->SaveToClipboardFormat(data);
    if (!core_->CanSaveClipboardData()) return;
    fw::Bytes gif;
    Translated([&] { gif = core_->ClipboardData(); });
    if (!gif.empty()) data.formats[CF_GIF()] = std::move(gif);
}

std::unique_ptr<fw::TGraphic> TGIFImage::NewEmpty() const { return std::make_unique<TGIFImage>(); }

void TGIFImage::Assign(const fw::TPropertyObject& source) {
    if (&source == this) return;
    if (auto* other = dynamic_cast<const TGIFImage*>(&source)) {
        Translated([&] { core_->Assign(*other->core_); });
        return;
    }
    if (auto* bitmap = dynamic_cast<const fw::TBitmap*>(&source)) {
        const gifcodec::TDib dib = ToDib(*bitmap);
        Translated([&] { core_->Assign(dib); });
        return;
    }
    fw::TGraphic::Assign(source);
}

void TGIFImage::Clear() { core_->Assign(nullptr); }

gifcodec::TGIFFrame& TGIFImage::AddFrame(const fw::TGraphic& graphic) {
    gifcodec::TGIFFrame* frame = nullptr;
    if (auto* bitmap = dynamic_cast<const fw::TBitmap*>(&graphic)) {
        const gifcodec::TDib dib = ToDib(*bitmap);
        Translated([&] { frame = &core_->AddFrame(dib); });
        return *frame;
    }
    if (graphic.Empty()) {
        Translated([&] { frame = &core_->AddFrame(gifcodec::TDib()); });
        return *frame;
    }
    fw::TBitmap canvasBitmap(graphic.Width(), graphic.Height());
    canvasBitmap.SetPixelFormat(fw::pf24bit);
    canvasBitmap.Canvas().Brush().SetColor(fw::clFuchsia);
    canvasBitmap.Canvas().FillRect(fw::Rect(0, 0, graphic.Width(), graphic.Height()));
    canvasBitmap.Canvas().Draw(0, 0, const_cast<fw::TGraphic&>(graphic));
    const gifcodec::TDib dib = ToDib(canvasBitmap);
    Translated([&] { frame = &core_->AddFrame(dib); });
    if (dynamic_cast<const fw::TIcon*>(&graphic)) frame->SetTransparentColor(gifcodec::clFuchsia);
    return *frame;
}

bool TGIFImage::AssignTo(fw::TPropertyObject& dest) const {
    if (auto* other = dynamic_cast<TGIFImage*>(&dest)) {
        other->Assign(*this);
        return true;
    }
    auto* graphic = dynamic_cast<fw::TGraphic*>(&dest);
    if (!graphic) return false;
    if (core_->Empty()) {
        if (auto* bitmap = dynamic_cast<fw::TBitmap*>(graphic)) {
            bitmap->Clear();
            return true;
        }
        return false;
    }
    const gifcodec::TDib* dib = nullptr;
    Translated([&] { dib = &core_->CurrentBitmap(); });
    if (!dib) return false;
    graphic->Assign(*ToBitmap(*dib));
    return true;
}

}  // namespace gif
