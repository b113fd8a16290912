#pragma once
// The IP log window: a hand-kept history of the displayed address and host name in
// IP.LOG, with "Add" and "Clear".
#include <string>

#include "app/windowdrag.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/controls/memo.h"
#include "framework/menus/menus.h"

class TForm1;

class TForm2 : public fw::TForm {
    FW_CLASS(TForm2)
  public:
    // mainWindow: where the captions and the glyph pictures come from (the application's
    // main form when null).
    explicit TForm2(fw::TComponent* owner, TForm1* mainWindow = nullptr);
    ~TForm2() override;

    fw::TImage* Image1 = nullptr;
    fw::TImage* Image2 = nullptr;
    fw::TLabel* Label1 = nullptr;
    fw::TLabel* Label2 = nullptr;
    fw::TMemo* Memo1 = nullptr;
    fw::TMenuItem* SnapToedge1 = nullptr;

    // The log as it is on disk (line breaks normalised); the memo shows it as text.
    const std::string& LogBytes() const { return log_; }
    const std::string& FileName() const { return fileName_; }
    // False when an existing IP.LOG could not be read: it is then never written.
    bool LogUsable() const { return usable_; }

    void FormCreate(fw::TPropertyObject* Sender);
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
    TForm1* MainWindow() const;
    void Save();
    void ShowLog();
    void RefuseUnreadable() const;

    TForm1* mainWindow_;
    std::string fileName_;
    std::string log_;
    std::string unreadableReason_;
    bool usable_ = true;
    app::TWindowDrag drag_;
};

// The log window of the running program (null before it is made and after it is gone).
extern TForm2* Form2;
