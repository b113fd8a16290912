#pragma once
// A minimal multi-line text box: lines, colours, font, read-only, word wrap and scroll
// bars, on the toolkit's plain-text editor (what is typed is kept in Lines).
#include <memory>

#include "framework/controls/controls.h"
#include "framework/controls/memo.h"  // TScrollStyle

namespace fw {

class TSimpleMemo : public TWinControl {
    FW_CLASS(TSimpleMemo)
  public:
    explicit TSimpleMemo(TComponent* AOwner);
    ~TSimpleMemo() override;

    TStrings* Lines() const { return lines_.get(); }
    const std::vector<std::string>& LineList() const { return lines_->Lines(); }
    void SetLineList(const std::vector<std::string>& v) { lines_->SetLines(v); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);
    void Invalidate() override;

  protected:
    QWidget* CreateWidget() override;
    void FontChanged() override;

  private:
    void ApplyLook();
    void LinesChanged();

    std::unique_ptr<TStrings> lines_;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    bool syncing_ = false;
};

}  // namespace fw
