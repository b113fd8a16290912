#include "gif/codec/decodebuffers.h"

#include <new>

namespace gifcodec {

namespace {

thread_local bool threadBuffersBusy = false;

DecodeBuffers& ThreadBuffers() {
    thread_local const std::unique_ptr<DecodeBuffers> buffers(new DecodeBuffers());
    return *buffers;
}

}  // namespace

DecodeBuffers::DecodeBuffers()
    : block_(new std::uint8_t[kBlockBufferSize]), table_(new DecodeEntry[kMaxCodes]) {}

std::uint8_t* DecodeBuffers::ReserveWindow(std::size_t size, bool keep) {
    if (size <= windowSize_) return window_.get();
    if (!keep) {
        window_.reset();
        windowSize_ = 0;
    }
    // Grown in place where the allocator can (large blocks are remapped, not copied), so the
    // old and the new window are not held at once.
    void* bigger = std::realloc(window_.get(), size);
    if (!bigger) throw std::bad_alloc();
    (void)window_.release();
    window_.reset(static_cast<std::uint8_t*>(bigger));
    windowSize_ = size;
    return window_.get();
}

void DecodeBuffers::Trim() {
    if (windowSize_ <= kKeptWindow) return;
    window_.reset();
    windowSize_ = 0;
}

BorrowedBuffers::BorrowedBuffers() {
    if (!threadBuffersBusy) {
        threadBuffersBusy = true;
        buffers_ = &ThreadBuffers();
    } else {
        own_ = std::make_unique<DecodeBuffers>();
        buffers_ = own_.get();
    }
}

BorrowedBuffers::~BorrowedBuffers() {
    if (own_) return;
    buffers_->Trim();
    threadBuffersBusy = false;
}

}  // namespace gifcodec
