#pragma once
// Errors of the GIF codec. Each carries its string-table id and the exact text, so the
// picture class that wraps the codec can re-raise them as the framework's exceptions.
#include <stdexcept>
#include <string>

namespace gifcodec {

namespace strings {
inline constexpr int kUnknownVersionId = 61092;
inline constexpr const char* kUnknownVersion = "Unknown GIF version";
inline constexpr int kEncodingErrorId = 61093;
inline constexpr const char* kEncodingError = "GIF image encoding error";
inline constexpr int kCorruptDataId = 61094;
inline constexpr const char* kCorruptData = "GIF encoded data is corrupt";
inline constexpr int kCodeSizeId = 61095;
inline constexpr const char* kCodeSize = "GIF code size not in range 2 to 9";
inline constexpr int kColorCountId = 61096;
inline constexpr const char* kColorCount = "Wrong number of colors; must be a power of 2";
inline constexpr int kUnknownExtensionId = 61097;
inline constexpr const char* kUnknownExtension = "Unrecognized extension block: %.2x";
inline constexpr int kNoDataId = 61098;
inline constexpr const char* kNoData = "No GIF Data to write";
inline constexpr int kCannotResizeId = 61099;
inline constexpr const char* kCannotResize = "Cannot change the Size of a GIF image";
inline constexpr int kFileDescriptionId = 61100;
inline constexpr const char* kFileDescription = "GIF Image File";
inline constexpr int kTooLargeId = 61101;
inline constexpr const char* kTooLarge = "GIF image is too large";
inline constexpr int kNotImplementedId = 61257;
inline constexpr const char* kNotImplemented = "Function not yet implemented";
inline constexpr int kReadErrorId = 61443;
inline constexpr const char* kReadError = "Stream read error";
inline constexpr int kWriteErrorId = 61444;
inline constexpr const char* kWriteError = "Stream write error";
inline constexpr int kInvalidBitmapId = 61467;
inline constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* kCannotOpenFile = "Cannot open file %s";
inline constexpr const char* kCannotCreateFile = "Cannot create file %s";
}  // namespace strings

class EGifCodecError : public std::runtime_error {
  public:
    EGifCodecError(int id, const std::string& message) : std::runtime_error(message), id_(id) {}
    int Id() const { return id_; }

  private:
    int id_;
};

// Bad GIF data or a picture that cannot be written.
class EInvalidGraphicOperation : public EGifCodecError {
  public:
    using EGifCodecError::EGifCodecError;
};

// A bitmap without pixels.
class EInvalidGraphic : public EGifCodecError {
  public:
    using EGifCodecError::EGifCodecError;
};

// Reading ran past the data, or a stream could not be written or opened.
class EStreamError : public EGifCodecError {
  public:
    using EGifCodecError::EGifCodecError;
};

// The operation is dropped without an error report; the caller shows the message once.
class EAbortWithMessage : public EGifCodecError {
  public:
    using EGifCodecError::EGifCodecError;
};

[[noreturn]] void RaiseGif(int id, const char* text);
[[noreturn]] void RaiseReadError();
// A picture, frame or logical screen beyond the codec's limits.
[[noreturn]] void RaiseTooLarge();

}  // namespace gifcodec
