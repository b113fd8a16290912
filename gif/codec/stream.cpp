#include "gif/codec/stream.h"

#include <algorithm>
#include <cstring>

#include "gif/codec/giferrors.h"

namespace gifcodec {

namespace {
std::string WithName(const char* text, const std::string& name) {
    std::string out(text);
    out.replace(out.find("%s"), 2, name);
    return out;
}
}  // namespace

std::int64_t TStream::Size() {
    const std::int64_t here = Position();
    const std::int64_t end = Seek(0, TSeekOrigin::soEnd);
    SetPosition(here);
    return end;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count != 0 && Read(buffer, count) != count) RaiseReadError();
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count != 0 && Write(buffer, count) != count)
        throw EStreamError(strings::kWriteErrorId, strings::kWriteError);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const std::size_t n =
        position_ < bytes_.size() ? std::min(count, bytes_.size() - position_) : 0;
    if (n != 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent) base = static_cast<std::int64_t>(position_);
    if (origin == TSeekOrigin::soEnd) base = static_cast<std::int64_t>(bytes_.size());
    position_ = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
    return static_cast<std::int64_t>(position_);
}

TFileStream::TFileStream(const std::string& path, TFileMode mode)
    : file_(std::fopen(path.c_str(), mode == TFileMode::fmCreate ? "wb+" : "rb")) {
    if (!file_) {
        if (mode == TFileMode::fmCreate)
            throw EStreamError(0, WithName(strings::kCannotCreateFile, path));
        throw EStreamError(0, WithName(strings::kCannotOpenFile, path));
    }
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    return std::fread(buffer, 1, count, file_.get());
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    return std::fwrite(buffer, 1, count, file_.get());
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    std::fseek(file_.get(), static_cast<long>(offset), whence);
    return std::ftell(file_.get());
}

}  // namespace gifcodec
