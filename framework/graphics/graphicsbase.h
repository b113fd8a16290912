#pragma once
// The abstract picture that a TPicture holds (bitmap, icon, GIF image) and the registries
// through which pictures are made by class name, file extension or clipboard format.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/classes.h"
#include "framework/core/exceptions.h"
#include "framework/core/types.h"
#include "framework/graphics/colors.h"

namespace fw {

class TCanvas;

// Bad picture data (unknown format, truncated file, unsupported bit count).
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
};

namespace strings {
inline constexpr const char* kInvalidGraphic = "Bitmap image is not valid";
inline constexpr const char* kUnknownPictureExtension = "Unknown picture file extension (.%s)";
inline constexpr const char* kUnknownGraphicClass = "Unknown picture class %s in picture data";
inline constexpr const char* kUnsupportedClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* kCannotOpenPictureFile = "Cannot open file %s";
inline constexpr const char* kListIndexError = "List index out of bounds (%s)";
}  // namespace strings

using Bytes = std::vector<uint8_t>;

// Clipboard formats keep their classic numbers; registered formats count from 0xC000.
using TClipboardFormat = unsigned;
inline constexpr TClipboardFormat CF_TEXT = 1;
inline constexpr TClipboardFormat CF_BITMAP = 2;  // data: a BMP file image
inline constexpr TClipboardFormat CF_DIB = 8;     // same data as CF_BITMAP here

// The formats a picture puts on or takes from the clipboard, each with its bytes.
struct ClipboardData {
    std::map<TClipboardFormat, Bytes> formats;

    bool Has(TClipboardFormat f) const { return formats.count(f) != 0; }
    const Bytes* Find(TClipboardFormat f) const {
        auto it = formats.find(f);
        return it == formats.end() ? nullptr : &it->second;
    }
};

class TGraphic : public TPropertyObject {
    FW_CLASS(TGraphic)
  public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    // Draws the whole picture stretched into the rectangle of the canvas.
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int w) = 0;
    virtual void SetHeight(int h) = 0;
    virtual bool Empty() const = 0;
    // Drawing the whole picture sets every pixel of its rectangle (no transparency at all).
    virtual bool Opaque() const { return false; }
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool t);

    // The picture's file format (BMP for bitmaps, GIF for GIF images...).
    virtual void LoadFromStream(const Bytes& data) = 0;
    virtual void SaveToStream(Bytes& data) const = 0;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // The form-data layout kept in window descriptions; by default the stream layout.
    virtual void ReadData(ByteView data) { LoadFromStream(Bytes(data.begin(), data.end())); }
    virtual void WriteData(Bytes& data) const { SaveToStream(data); }

    // Clipboard hooks: loading is given the format asked for and everything the
    // clipboard holds; saving adds one or more formats.
    virtual void LoadFromClipboardFormat(TClipboardFormat format, const ClipboardData& data);
    virtual void SaveToClipboardFormat(ClipboardData& data) const;

    // An empty picture of the same class (through the class registry by default).
    virtual std::unique_ptr<TGraphic> NewEmpty() const;

    // Called after every change of the content.
    std::function<void()> OnChange;

  protected:
    void Changed() {
        if (OnChange) OnChange();
    }

  private:
    bool transparent_ = false;
};

using GraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// Graphic classes by class name, as a picture's form data name them.
void RegisterGraphicClass(const std::string& className, GraphicFactory factory);
// Null when the class is unknown (case-insensitive).
std::unique_ptr<TGraphic> CreateGraphic(const std::string& className);

// File formats by extension ("bmp", no dot; case-insensitive).
void RegisterFileFormat(const std::string& extension, const std::string& description,
                        const std::string& className);
// The class for a file name's extension; empty when none is registered.
std::string GraphicClassForFile(const std::string& path);

// Clipboard formats a graphic class can be made from.
void RegisterClipboardGraphic(TClipboardFormat format, const std::string& className);
std::string GraphicClassForClipboardFormat(TClipboardFormat format);  // empty when none

}  // namespace fw
