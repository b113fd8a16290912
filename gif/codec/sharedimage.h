#pragma once
// Reference-counted records shared between copies of a picture (TGIFData) and of a frame
// (TGIFItem), so copies never duplicate encoded data or colour tables.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gif/codec/colortable.h"

namespace gifcodec {

class TSharedImage {
  public:
    TSharedImage() = default;
    TSharedImage(const TSharedImage&) = delete;
    TSharedImage& operator=(const TSharedImage&) = delete;
    virtual ~TSharedImage() = default;

    int RefCount() const { return refCount_; }
    void Reference() { ++refCount_; }
    // Nothing on a missing record; the last release empties the record and destroys it.
    static void Release(TSharedImage* image);

  protected:
    virtual void FreeContents() = 0;

  private:
    std::int32_t refCount_ = 0;
};

// Holds one counted reference for its lifetime.
template <class T>
class TSharedRef {
  public:
    static TSharedRef Create() { return TSharedRef(new T); }
    TSharedRef(const TSharedRef& other) : p_(other.p_) {
        if (p_) p_->Reference();
    }
    TSharedRef& operator=(const TSharedRef& other) {
        if (other.p_) other.p_->Reference();
        TSharedImage::Release(p_);
        p_ = other.p_;
        return *this;
    }
    ~TSharedRef() { TSharedImage::Release(p_); }

    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    T* Get() const { return p_; }

  private:
    explicit TSharedRef(T* p) : p_(p) { p_->Reference(); }
    T* p_;
};

using TStringList = std::vector<std::string>;

// One per picture.
class TGIFData : public TSharedImage {
  public:
    TStringList comment;
    std::uint8_t aspect = 0;
    std::uint8_t bitsPerPixel = 0;
    std::uint8_t colorResolution = 0;
    ColorTable colors;

  protected:
    void FreeContents() override { comment.clear(); }
};

// One per frame.
class TGIFItem : public TSharedImage {
  public:
    // Minimum code size byte, data sub-blocks and terminator, exactly as read or encoded.
    std::optional<std::vector<std::uint8_t>> encoded;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t packed = 0;
    std::uint8_t bitsPerPixel = 0;
    ColorTable colors;

    bool HasEncodedData() const { return encoded && !encoded->empty(); }

  protected:
    void FreeContents() override { encoded.reset(); }
};

}  // namespace gifcodec
