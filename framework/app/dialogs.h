#pragma once
#include <memory>
#include <string>

#include "framework/core/classes.h"
#include "framework/graphics/graphics.h"

namespace fw {

enum TFontDialogOption {
    fdAnsiOnly,
    fdTrueTypeOnly,
    fdEffects,
    fdFixedPitchOnly,
    fdForceFontExist,
    fdNoFaceSel,
    fdNoOEMFonts,
    fdNoSimulations,
    fdNoSizeSel,
    fdNoStyleSel,
    fdNoVectorFonts,
    fdShowHelp,
    fdWysiwyg,
    fdLimitSize,
    fdScalableOnly,
    fdApplyButton
};
using TFontDialogOptions = unsigned;

// The font chooser: Execute loads Font into the platform's dialog and takes the chosen
// font back when the user confirms.
class TFontDialog : public TComponent {
    FW_CLASS(TFontDialog)
  public:
    explicit TFontDialog(TComponent* owner);
    ~TFontDialog() override;
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* f) { font_->Assign(*f); }
    TFontDialogOptions Options() const { return options_; }
    void SetOptions(TFontDialogOptions o) { options_ = o; }
    virtual bool Execute();
    TSenderEvent OnApply;

    // Replaceable dialog runner (tests answer without a modal loop): returns true and
    // changes the font when the user confirms.
    using Runner = std::function<bool(TFontDialog&)>;
    static void SetRunner(Runner r);

  private:
    std::unique_ptr<TFont> font_;
    TFontDialogOptions options_ = 1u << fdEffects;
};

enum TMessageBoxKind { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMessageBoxButton { mbYes, mbNo, mbOK, mbCancel };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// A modal message box; replaceable for tests.
int MessageDlg(const std::string& msg, TMessageBoxKind type, unsigned buttons);
using MessageBoxRunner =
    std::function<int(const std::string& msg, TMessageBoxKind, unsigned buttons)>;
void SetMessageBoxRunner(MessageBoxRunner r);

}  // namespace fw
