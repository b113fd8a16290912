#pragma once
// A multi-line text control over the platform's text editor: read-only or editable (what is
// typed goes into the text), with or without a border, its own background colour and font,
// optional scroll bars, and long lines wrapped for display only (the text keeps its own line
// breaks).
#include <string>
#include <vector>

#include "framework/controls/controls.h"

namespace fw {

enum TBorderStyle { bsNoBorder, bsSingleBorder };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
    FW_CLASS(TMemo)
  public:
    explicit TMemo(TComponent* owner);
    ~TMemo() override;

    // The whole text, lines separated by CR LF as the classic control keeps them.
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    void Clear() { SetText({}); }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // The most characters the control holds (0: the platform's limit).
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v) { maxLength_ = v; }

    // The text as the editor shows it (tests and screen readers).
    std::string DisplayedText() const;

  protected:
    QWidget* CreateWidget() override;
    void FontChanged() override;
    // Colour changes arrive as an invalidation: the palette follows.
    void Invalidate() override;

  private:
    void ApplyAll();
    // Puts the text into the editor without taking it back as typing.
    void ShowText();
    std::string text_;
    bool readOnly_ = false;
    TBorderStyle borderStyle_ = bsSingleBorder;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    int maxLength_ = 0;
    bool settingEditor_ = false;
};

}  // namespace fw
