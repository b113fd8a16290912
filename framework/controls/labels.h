#pragma once
#include <optional>
#include <string>
#include <vector>

#include "framework/controls/controls.h"
#include "framework/graphics/font.h"

namespace fw {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
const EnumInfo& AlignmentInfo();

// Text label: a windowless control; transparent ones show what lies beneath.
class TCustomLabel : public TGraphicControl {
    FW_CLASS(TCustomLabel)
  public:
    explicit TCustomLabel(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    void SetTransparent(bool v) override;

    // The caption as drawn: "&" marks are removed ("&&" shows one "&").
    std::string DisplayText() const;
    // Resizes to the text when AutoSize is on (not while loading).
    void AdjustBounds();
    // A transparent label changes only the pixels of its text's glyphs.
    TRect PaintedRect() override;

  protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void Loaded() override;

  private:
    // The lines as last measured: a label repaints whenever anything it overlaps does (the
    // address line with the marquee, 20 times a second), and measuring shapes the text.
    struct Measured {
        std::string text;
        TFont font;
        int width = -1;
        bool wordWrap = false;
        std::vector<std::string> lines;
        std::vector<int> widths;
        std::vector<std::optional<TRect>> inks;  // each line's glyphs, from its cell's corner
        int lineHeight = 0;
    };
    const Measured& Measure(TCanvas& c);
    // Sets the canvas's font as painting does; where each measured line's cell starts.
    std::vector<TPoint> LinePlaces(TCanvas& c);
    Measured measured_;

    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
};

class TLabel : public TCustomLabel {
    FW_CLASS(TLabel)
  public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// "&&" -> "&", "&x" -> "x"; the access key (lower case) or 0.
std::string StripAccelChars(const std::string& caption, char* accessKey = nullptr);

}  // namespace fw
