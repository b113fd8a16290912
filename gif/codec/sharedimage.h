#pragma once
// Reference-counted records shared between copies of a picture (TGIFData) and of a frame
// (TGIFItem), so copies never duplicate encoded data or colour tables.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
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

using TLineList = std::vector<std::string>;

// A frame's encoded bytes: its own (after encoding), or the very bytes of the picture they
// were read from. A loaded picture then holds its GIF bytes once, however many frames it has.
class TEncodedData {
  public:
    using Source = std::shared_ptr<const std::vector<std::uint8_t>>;

    TEncodedData() = default;
    TEncodedData(std::vector<std::uint8_t> own)
        : source_(std::make_shared<const std::vector<std::uint8_t>>(std::move(own))),
          size_(source_->size()) {}
    TEncodedData(Source source, std::size_t offset, std::size_t size)
        : source_(std::move(source)), offset_(offset), size_(size) {}

    const std::uint8_t* data() const { return source_ ? source_->data() + offset_ : nullptr; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::uint8_t front() const { return data()[0]; }
    std::span<const std::uint8_t> Span() const { return {data(), size_}; }
    operator std::span<const std::uint8_t>() const { return Span(); }
    bool operator==(const std::vector<std::uint8_t>& bytes) const {
        return std::equal(bytes.begin(), bytes.end(), data(), data() + size_);
    }

  private:
    Source source_;
    std::size_t offset_ = 0;
    std::size_t size_ = 0;
};

// One per picture.
class TGIFData : public TSharedImage {
  public:
    TLineList comment;
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
    std::optional<TEncodedData> encoded;
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
