#include "framework/graphics/picture.h"

#include "framework/core/classbuilder.h"

namespace fw {

const TClassInfo& TPicture::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TPicture>("TPicture", &TPropertyObject::StaticClassInfo())
            .Binary("Data", &TPicture::Data, &TPicture::SetData)
            .StoredWhen(&TPicture::HasGraphic)
            .Build();
    return info;
}

TPicture::TPicture() = default;

TPicture::~TPicture() {
    OnChange = nullptr;
    if (graphic_) graphic_->OnChange = nullptr;
}

void TPicture::Adopt(std::unique_ptr<TGraphic> g) {
    if (graphic_) graphic_->OnChange = nullptr;
    graphic_ = std::move(g);
    if (graphic_) graphic_->OnChange = [this] { Changed(); };
    Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    if (graphic == graphic_.get() && graphic) return;
    if (!graphic) {
        if (graphic_) Adopt(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy = graphic->NewEmpty();
    copy->Assign(*graphic);
    Adopt(std::move(copy));
}

TBitmap& TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) Adopt(std::make_unique<TBitmap>());
    return static_cast<TBitmap&>(*graphic_);
}

TIcon& TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(graphic_.get())) Adopt(std::make_unique<TIcon>());
    return static_cast<TIcon&>(*graphic_);
}

void TPicture::Assign(const TPropertyObject& source) {
    if (&source == this) return;
    if (auto* p = dynamic_cast<const TPicture*>(&source)) {
        SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(&source)) {
        SetGraphic(g);
        return;
    }
    TPropertyObject::Assign(source);
}

void TPicture::Assign(const TPropertyObject* source) {
    if (!source) {
        SetGraphic(nullptr);
        return;
    }
    Assign(*source);
}

bool TPicture::AssignTo(TPropertyObject& dest) const {
    auto* g = dynamic_cast<TGraphic*>(&dest);
    if (!g || !graphic_) return false;
    g->Assign(*graphic_);
    return true;
}

void TPicture::LoadFromFile(const std::string& path) {
    std::string cls = GraphicClassForFile(path);
    if (cls.empty()) {
        size_t dot = path.find_last_of('.');
        throw EInvalidGraphic(Fmt(strings::kUnknownPictureExtension,
                                  dot == std::string::npos ? std::string() : path.substr(dot + 1)));
    }
    std::unique_ptr<TGraphic> g = CreateGraphic(cls);
    if (!g) throw EInvalidGraphic(Fmt(strings::kUnknownGraphicClass, cls));
    g->LoadFromFile(path);
    Adopt(std::move(g));
}

void TPicture::SaveToFile(const std::string& path) const {
    if (graphic_) graphic_->SaveToFile(path);
}

bool TPicture::SupportsClipboardFormat(TClipboardFormat format) {
    return !GraphicClassForClipboardFormat(format).empty();
}

void TPicture::LoadFromClipboardFormat(TClipboardFormat format, const ClipboardData& data) {
    std::unique_ptr<TGraphic> g = CreateGraphic(GraphicClassForClipboardFormat(format));
    if (!g) throw EInvalidGraphic(strings::kUnsupportedClipboardFormat);
    g->LoadFromClipboardFormat(format, data);
    Adopt(std::move(g));
}

void TPicture::SaveToClipboardFormat(ClipboardData& data) const {
    if (graphic_) graphic_->SaveToClipboardFormat(data);
}

Bytes TPicture::Data() const {
    Bytes out;
    if (!graphic_) return out;
    std::string name = graphic_->ClassName();
    out.push_back(static_cast<uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    Bytes body;
    graphic_->WriteData(body);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void TPicture::SetData(ByteView data) {
    if (data.empty()) {
        SetGraphic(nullptr);
        return;
    }
    size_t len = data[0];
    if (1 + len > data.size()) throw EInvalidGraphic(strings::kInvalidGraphic);
    std::string name(data.begin() + 1, data.begin() + 1 + static_cast<std::ptrdiff_t>(len));
    std::unique_ptr<TGraphic> g = CreateGraphic(name);
    if (!g) throw EInvalidGraphic(Fmt(strings::kUnknownGraphicClass, name));
    // Read fully before replacing, so that bad data leaves the old picture.
    g->ReadData(data.subspan(1 + len));
    Adopt(std::move(g));
}

}  // namespace fw
