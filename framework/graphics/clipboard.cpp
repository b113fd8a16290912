#include "framework/graphics/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <cctype>
#include <map>
#include <memory>

#include "framework/graphics/bitmapfile.h"
#include "framework/graphics/picture.h"

namespace fw {

namespace {
constexpr TClipboardFormat kFirstRegistered = 0xC000;

std::map<TClipboardFormat, std::string>& Registered() {
    static std::map<TClipboardFormat, std::string> m;
    return m;
}

QClipboard* SystemClipboard() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    return QGuiApplication::clipboard();
}

void Publish(const ClipboardData& data) {
    QClipboard* cb = SystemClipboard();
    if (!cb) return;
    auto mime = std::make_unique<QMimeData>();
    for (const auto& [format, bytes] : data.formats) {
        if (format == CF_TEXT) {
            mime->setText(QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size())));
        } else if (format == CF_BITMAP || format == CF_DIB) {
            mime->setImageData(ReadDibFile(bytes).image);
        } else {
            mime->setData(QString::fromStdString(ClipboardFormatMime(format)),
                          QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                     static_cast<qsizetype>(bytes.size())));
        }
    }
    cb->setMimeData(mime.release());  // the clipboard takes ownership
}
}  // namespace

TClipboardFormat RegisterClipboardFormat(const std::string& name) {
    for (const auto& [format, n] : Registered())
        if (SameText(n, name)) return format;
    TClipboardFormat f = kFirstRegistered + static_cast<TClipboardFormat>(Registered().size());
    Registered()[f] = name;
    return f;
}

std::string ClipboardFormatName(TClipboardFormat format) {
    if (format == CF_TEXT) return "Text";
    if (format == CF_BITMAP) return "Bitmap";
    if (format == CF_DIB) return "DIB";
    auto it = Registered().find(format);
    return it == Registered().end() ? std::string() : it->second;
}

std::string ClipboardFormatMime(TClipboardFormat format) {
    if (format == CF_TEXT) return "text/plain";
    if (format == CF_BITMAP || format == CF_DIB) return "image/bmp";
    std::string name = ClipboardFormatName(format);
    if (name.empty()) return {};
    std::string mime = "application/x-rezazo-";
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        mime += std::isalnum(u) ? static_cast<char>(std::tolower(u)) : '-';
    }
    return mime;
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

bool TClipboard::Available() const { return SystemClipboard() != nullptr; }

void TClipboard::Open() {
    if (openCount_++ == 0) pending_ = ClipboardData{};
}

void TClipboard::Close() {
    if (openCount_ == 0) return;
    if (--openCount_ == 0 && pending_) {
        ClipboardData data = std::move(*pending_);
        pending_.reset();
        Publish(data);
    }
}

void TClipboard::Clear() {
    if (openCount_ > 0) {
        pending_ = ClipboardData{};
        return;
    }
    if (QClipboard* cb = SystemClipboard()) cb->clear();
}

bool TClipboard::HasFormat(TClipboardFormat format) const {
    QClipboard* cb = SystemClipboard();
    const QMimeData* mime = cb ? cb->mimeData() : nullptr;
    if (!mime) return false;
    if (format == CF_TEXT) return mime->hasText();
    if (format == CF_BITMAP || format == CF_DIB) return mime->hasImage();
    std::string type = ClipboardFormatMime(format);
    return !type.empty() && mime->hasFormat(QString::fromStdString(type));
}

std::string TClipboard::AsText() const {
    QClipboard* cb = SystemClipboard();
    return cb ? cb->text().toStdString() : std::string();
}

void TClipboard::SetAsText(const std::string& text) {
    SetFormatData(CF_TEXT, Bytes(text.begin(), text.end()));
}

void TClipboard::SetFormatData(TClipboardFormat format, const Bytes& data) {
    if (openCount_ > 0) {
        pending_->formats[format] = data;
        return;
    }
    ClipboardData one;
    one.formats[format] = data;
    Publish(one);
}

std::optional<Bytes> TClipboard::GetFormatData(TClipboardFormat format) const {
    QClipboard* cb = SystemClipboard();
    const QMimeData* mime = cb ? cb->mimeData() : nullptr;
    if (!mime || !HasFormat(format)) return std::nullopt;
    if (format == CF_TEXT) {
        QByteArray utf8 = mime->text().toUtf8();
        return Bytes(utf8.begin(), utf8.end());
    }
    if (format == CF_BITMAP || format == CF_DIB) {
        QImage img = qvariant_cast<QImage>(mime->imageData());
        if (img.isNull()) return std::nullopt;
        return WriteDibFile(img, img.hasAlphaChannel() ? 32 : 24);
    }
    QByteArray raw = mime->data(QString::fromStdString(ClipboardFormatMime(format)));
    return Bytes(raw.begin(), raw.end());
}

ClipboardData TClipboard::Contents() const {
    ClipboardData out;
    std::vector<TClipboardFormat> formats{CF_TEXT, CF_BITMAP};
    for (const auto& entry : Registered()) formats.push_back(entry.first);
    for (TClipboardFormat f : formats)
        if (auto bytes = GetFormatData(f)) out.formats[f] = std::move(*bytes);
    return out;
}

void TClipboard::Assign(const TPicture& picture) {
    ClipboardData data;
    picture.SaveToClipboardFormat(data);
    if (openCount_ > 0) {
        for (auto& [f, b] : data.formats) pending_->formats[f] = std::move(b);
        return;
    }
    Publish(data);
}

bool TClipboard::GetPicture(TPicture& picture) const {
    ClipboardData data = Contents();
    // Registered formats first: a picture class that puts its own format next to a
    // bitmap wants to be read back from its own.
    for (auto it = data.formats.rbegin(); it != data.formats.rend(); ++it) {
        if (TPicture::SupportsClipboardFormat(it->first)) {
            picture.LoadFromClipboardFormat(it->first, data);
            return true;
        }
    }
    return false;
}

}  // namespace fw
