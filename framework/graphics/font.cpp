#include "framework/graphics/font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>

#include "framework/core/classbuilder.h"
#include "framework/core/inplaceimpl.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/qtgraphics.h"

namespace fw {

namespace {
// a * b / c rounded half away from zero, as the classic MulDiv does.
// Saturates instead of overflowing (a settings file can hold any int), symmetrically so
// that the result can be negated.
int MulDivRound(int a, int b, int c) {
    double v = static_cast<double>(a) * b / c;
    v = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
    return static_cast<int>(std::clamp(v, -double{INT_MAX}, double{INT_MAX}));
}

// The largest character height handed to the platform: larger ones (only a hand-edited
// settings file has them) would cost the text engine without showing anything sensible.
constexpr int kMaxPixelHeight = 2048;
}  // namespace

int FontHeightToSize(int height) { return -MulDivRound(height, 72, kScreenPixelsPerInch); }
int FontSizeToHeight(int size) { return -MulDivRound(size, kScreenPixelsPerInch, 72); }

const EnumInfo& FontPitchInfo() {
    static const EnumInfo info{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
    return info;
}

const EnumInfo& FontStyleInfo() {
    static const EnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
    return info;
}

void RegisterFontSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The classic faces are not installed; these are metric-compatible or close.
        QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
        QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
        QFont::insertSubstitutions("Small Fonts", {"Liberation Sans", "DejaVu Sans"});
        QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
        QFont::insertSubstitutions("Times New Roman", {"Liberation Serif", "DejaVu Serif"});
    });
}

namespace {
// The family a face name is drawn with: the name itself when it is installed, else the first
// installed of its substitutes, else the name (left to the toolkit's search). Resolved once
// per name, against the list of installed families, which asks fontconfig nothing: given a
// name that is not installed, the toolkit runs its fallback search (a fontconfig sort)
// before it tries the substitutes, and asking it whether a family is installed runs
// fontconfig's substitution of the name.
QString InstalledFamily(const std::string& name) {
    static std::mutex mutex;
    static std::map<std::string, QString> known;
    std::lock_guard lock(mutex);
    if (auto it = known.find(name); it != known.end()) return it->second;
    QString family = QString::fromStdString(name);
    const QStringList installed = QFontDatabase::families();
    auto isInstalled = [&](const QString& f) { return installed.contains(f, Qt::CaseInsensitive); };
    if (!family.isEmpty() && !isInstalled(family)) {
        const QStringList substitutes = QFont::substitutes(family);
        auto first = std::find_if(substitutes.begin(), substitutes.end(), isInstalled);
        if (first != substitutes.end()) family = *first;
    }
    return known.emplace(name, family).first->second;
}
}  // namespace

const TClassInfo& TFont::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TFont>("TFont", &TGraphicsObject::StaticClassInfo())
            .Color("Color", &TFont::Color, &TFont::SetColor, std::nullopt)
            .Integer("Height", &TFont::Height, &TFont::SetHeight, std::nullopt)
            .String("Name", &TFont::Name, &TFont::SetName, std::nullopt)
            .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, FontPitchInfo(), fpDefault)
            .Integer("Size", &TFont::Size, &TFont::SetSize, std::nullopt)
            .NotStored()
            .Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleInfo(), std::nullopt)
            .Build();
    return info;
}

struct TFont::Cache {
    std::optional<TToolkitFont> font;
};
template class TInPlace<TFont::Cache>;

TFont::TFont() = default;
TFont::~TFont() = default;

TFont::TFont(const TFont& other)
    : TGraphicsObject(),
      color_(other.color_),
      height_(other.height_),
      name_(other.name_),
      pitch_(other.pitch_),
      style_(other.style_),
      cache_(other.cache_) {}

TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

void TFont::SetColor(TColor c) {
    if (SetIfChanged(color_, c)) Changed();
}

void TFont::SetHeight(int h) {
    if (!SetIfChanged(height_, h)) return;
    cache_->font.reset();
    Changed();
}

void TFont::SetName(const std::string& name) {
    if (!SetIfChanged(name_, name)) return;
    cache_->font.reset();
    Changed();
}

void TFont::SetPitch(TFontPitch p) {
    if (!SetIfChanged(pitch_, p)) return;
    cache_->font.reset();
    Changed();
}

void TFont::SetStyle(TFontStyles s) {
    s &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
    if (!SetIfChanged(style_, s)) return;
    cache_->font.reset();
    Changed();
}

void TFont::Assign(const TPropertyObject& source) {
    if (auto* f = dynamic_cast<const TFont*>(&source)) {
        if (f == this) return;
        bool differs = !(*f == *this) || f->name_ != name_;
        // The other font's toolkit font, if made, is made from what is copied here.
        if (f->height_ != height_ || f->name_ != name_ || f->pitch_ != pitch_ ||
            f->style_ != style_)
            cache_->font = f->cache_->font;
        color_ = f->color_;
        height_ = f->height_;
        name_ = f->name_;
        pitch_ = f->pitch_;
        style_ = f->style_;
        if (differs) Changed();
        return;
    }
    TPropertyObject::Assign(source);
}

bool operator==(const TFont& a, const TFont& b) {
    return a.color_ == b.color_ && a.height_ == b.height_ && SameText(a.name_, b.name_) &&
           a.pitch_ == b.pitch_ && a.style_ == b.style_;
}

const TToolkitFont& TFont::Toolkit() const {
    if (!cache_->font) cache_->font.emplace(Make());
    return *cache_->font;
}

TToolkitFont TFont::Make() const {
    RegisterFontSubstitutions();
    QFont f(InstalledFamily(name_));
    f.setBold(style_ & fsBold);
    f.setItalic(style_ & fsItalic);
    f.setUnderline(style_ & fsUnderline);
    f.setStrikeOut(style_ & fsStrikeOut);
    if (pitch_ == fpFixed) f.setFixedPitch(true);
    if (pitch_ == fpFixed) f.setStyleHint(QFont::Monospace);
    // Small text is drawn crisp, as the skins expect, and measured the way it is drawn.
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    int h = height_ == 0 ? -11 : std::clamp(height_, -kMaxPixelHeight, kMaxPixelHeight);
    if (h < 0) {
        f.setPixelSize(-h);
    } else {
        // The cell height asked for: scale from the face's cell at a reference size.
        constexpr int kReference = 100;
        f.setPixelSize(kReference);
        QFontMetrics m(f);
        int cell = m.ascent() + m.descent();
        int px = cell > 0 ? MulDivRound(h, kReference, cell) : h;
        f.setPixelSize(px > 0 ? px : 1);
    }
    return TToolkitFont(f);
}

}  // namespace fw
