#pragma once
// The IP log window: a hand-kept history of the displayed address and host name in
// IP.LOG, with "Add" and "Clear".
#include <string>

#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/controls/memo.h"
#include "framework/menus/menus.h"
#include "program/windowdrag.h"

class TLogSource;

class TForm2 : public fw::TForm {
    FW_CLASS(TForm2)
  public:
    // source: where the captions and the glyph pictures come from (the application's main
    // form when null).
    explicit TForm2(fw::TComponent* owner, const TLogSource* source = nullptr);
    ~TForm2() override;

    fw::TImage* Image1 = nullptr;
    fw::TImage* Image2 = nullptr;
    fw::TLabel* Label1 = nullptr;
    fw::TLabel* Label2 = nullptr;
    fw::TMemo* Memo1 = nullptr;
    fw::TMenuItem* SnapToedge1 = nullptr;

    const std::string& FileName() const { return fileName_; }
    // False when an existing IP.LOG could not be read: it is then never written.
    bool LogUsable() const { return usable_; }

    void FormCreate(fw::TPropertyObject* Sender);
    // Escape closes the window, as its close glyph does.
    bool WindowKey(fw::TWindowKey key) override;
    void SpeedButton1Click(fw::TPropertyObject* Sender);
    void SpeedButton2Click(fw::TPropertyObject* Sender);
    void Image2Click(fw::TPropertyObject* Sender);
    void Image2MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Image2MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);
    void Label1MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Label1MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);
    void Label2MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Label2MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);
    void Panel1MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Panel1MouseMove(fw::TPropertyObject* Sender, fw::TModifierState Shift, int X, int Y);
    void Panel1MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);

  private:
    void RegisterHandlers();
    const TLogSource* Source() const;
    // Puts what is owed on disk: a Clear, then the records added since.
    void Save();
    void RefuseUnreadable() const;

    const TLogSource* source_;
    std::string fileName_;
    // What failed to get to disk, for the next save: records to add, after emptying the
    // file when a Clear failed.
    std::string unwritten_;
    bool clearOwed_ = false;
    std::string unreadableReason_;
    bool usable_ = true;
    app::TWindowDrag drag_;
};

// The log window of the running program (null before it is made and after it is gone).
extern TForm2* Form2;
