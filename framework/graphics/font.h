#pragma once
// Fonts as window descriptions keep them: a face name, a colour, a pixel height and a
// style, with the point size derived at 96 dots per inch.
//
// Height rule: a negative height is the character height without internal leading, which
// is the em size, so it becomes QFont's pixel size as it is. A positive height is the
// whole cell height (ascent + descent); the pixel size is scaled so that the resolved
// face's cell comes out at that height.
#include <string>

#include "framework/core/inplace.h"
#include "framework/graphics/graphicsobjects.h"

namespace fw {

// The toolkit's font; complete only inside the framework (qtgraphics.h).
struct TToolkitFont;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
const EnumInfo& FontPitchInfo();

// A set of styles as a bit mask: bit n is member n of the enumeration, so the constants
// combine with | and test with &.
using TFontStyles = unsigned;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;
const EnumInfo& FontStyleInfo();

inline constexpr int kScreenPixelsPerInch = 96;

// Size = round(-height * 72 / 96) and height = -round(size * 96 / 72), halves rounded away
// from zero: height -8 is size 6, -9 is 7, -11 is 8. A positive (cell) height gives a
// negative size and back, so SetSize(Size()) never changes the height.
int FontHeightToSize(int height);
int FontSizeToHeight(int size);

// Makes the classic face names resolve to installed fonts; idempotent, ToQFont calls it.
void RegisterFontSubstitutions();

class TFont : public TGraphicsObject {
    FW_CLASS(TFont)
  public:
    TFont();
    TFont(const TFont& other);
    ~TFont() override;
    TFont& operator=(const TFont& other);

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    int Height() const { return height_; }
    void SetHeight(int h);
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch p);
    int Size() const { return FontHeightToSize(height_); }
    void SetSize(int size) { SetHeight(FontSizeToHeight(size)); }
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles s);

    // Copies every property and calls OnChange once (when something differs).
    void Assign(const TPropertyObject& source) override;
    // The toolkit font of the properties above (colour aside), made once per change: every
    // paint of every control asks for it.
    const TToolkitFont& Toolkit() const;

    // Same name (case-insensitive), colour, height, pitch and style.
    friend bool operator==(const TFont& a, const TFont& b);

  private:
    TColor color_ = clWindowText;
    int height_ = -11;
    std::string name_ = "MS Sans Serif";
    TFontPitch pitch_ = fpDefault;
    TFontStyles style_ = 0;
    // Toolkit()'s font, made on first use; kept in place, no allocation of its own.
    struct Cache;
    mutable TInPlace<Cache> cache_;
    TToolkitFont Make() const;
};

}  // namespace fw
