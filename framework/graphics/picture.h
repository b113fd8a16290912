#pragma once
// A picture property: holds one graphic of any registered class, made by class name from
// form data, by extension from a file or by format from the clipboard.
#include <memory>
#include <string>

#include "framework/graphics/bitmap.h"
#include "framework/graphics/graphicsicon.h"

namespace fw {

class TPicture : public TPropertyObject {
    FW_CLASS(TPicture)
  public:
    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes a copy of the graphic (null empties the picture).
    void SetGraphic(const TGraphic* graphic);
    // Replaces the graphic with a bitmap (an empty one) unless it is one already.
    TBitmap& Bitmap();
    TIcon& Icon();
    bool HasGraphic() const { return graphic_ != nullptr; }

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // From a picture (copies its graphic), a graphic (copies it) or nothing.
    void Assign(const TPropertyObject& source) override;
    void Assign(const TPropertyObject* source);

    // By extension through the file format registry; throws EInvalidGraphic for an
    // unknown extension and the graphic's errors for bad content.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    static bool SupportsClipboardFormat(TClipboardFormat format);
    void LoadFromClipboardFormat(TClipboardFormat format, const ClipboardData& data);
    void SaveToClipboardFormat(ClipboardData& data) const;

    // The published binary property: a length byte and the graphic's class name, then
    // the graphic's form data. Reading an unknown class name throws EInvalidGraphic and
    // leaves the picture as it was.
    Bytes Data() const;
    void SetData(ByteView data);

    // Called after the graphic is replaced or changes.
    std::function<void()> OnChange;

  protected:
    bool AssignTo(TPropertyObject& dest) const override;

  private:
    void Adopt(std::unique_ptr<TGraphic> g);
    void Changed() {
        if (OnChange) OnChange();
    }

    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace fw
