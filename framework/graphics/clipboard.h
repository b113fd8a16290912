#pragma once
// The system clipboard: plain text, bitmaps and registered formats carried as MIME data
// ("GIF Image" travels as "application/x-rezazo-gif-image").
#include <optional>
#include <string>

#include "framework/graphics/graphicsbase.h"

namespace fw {

class TPicture;

// A registered format for a name (the same number for the same name, case-insensitive).
TClipboardFormat RegisterClipboardFormat(const std::string& name);
std::string ClipboardFormatName(TClipboardFormat format);  // empty when unknown
// The MIME type a format travels as: text/plain, image/bmp, or application/x-rezazo-<name
// in lower case, blanks as dashes>.
std::string ClipboardFormatMime(TClipboardFormat format);

class TClipboard {
  public:
    // Whether the platform has a clipboard at all (a QGuiApplication exists and gives one).
    bool Available() const;

    // Open/Close collect several formats into one clipboard content; outside a pair every
    // Set replaces the clipboard's content.
    void Open();
    void Close();
    void Clear();

    bool HasFormat(TClipboardFormat format) const;
    std::string AsText() const;
    void SetAsText(const std::string& text);
    void SetFormatData(TClipboardFormat format, const Bytes& data);
    std::optional<Bytes> GetFormatData(TClipboardFormat format) const;
    // Every known format the clipboard holds (text, bitmap, registered formats).
    ClipboardData Contents() const;

    // Puts a picture (its graphic) on the clipboard.
    void Assign(const TPicture& picture);
    // Fills the picture from the first format a graphic class is registered for; false
    // (picture unchanged) when there is none.
    bool GetPicture(TPicture& picture) const;

  private:
    int openCount_ = 0;
    std::optional<ClipboardData> pending_;
};

TClipboard& Clipboard();

}  // namespace fw
