#pragma once
// Menu items and popup menus as components. The popup engine shows them as a Qt menu;
// owner-drawn menus ask their decorators through the form's message procedure.
#include <memory>
#include <vector>

#include "framework/classes.h"

namespace fw {

class TMenu;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent {
    FW_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& s) { caption_ = s; }
    bool Checked() const { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v) { radioItem_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v) { default_ = v; }
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak v) { break_ = v; }
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& s) { hint_ = s; }
    bool IsLine() const { return caption_ == "-"; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int i) const { return items_[static_cast<size_t>(i)]; }
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    // The menu this item belongs to (through its parents), or null.
    TMenu* Menu() const;

    // Runs OnClick (the popup engine calls this when the item is chosen).
    virtual void Click();

    TNotifyEvent OnClick;

    void SetParentComponent(TComponent* parent) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

private:
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool radioItem_ = false;
    bool default_ = false;
    TMenuBreak break_ = mbNone;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    std::string hint_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item only
    std::vector<TMenuItem*> items_;  // not owned: every item is owned by the form

    friend class TMenu;
};

class TMenu : public TComponent {
    FW_CLASS(TMenu)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The unnamed root item whose children are the menu's items.
    TMenuItem* Items() const { return items_.get(); }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    // Finds an item of this menu by name, at any depth.
    TMenuItem* FindItem(const std::string& name) const;

private:
    ComponentPtr<TMenuItem> items_;
    bool ownerDraw_ = false;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    FW_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment a) { alignment_ = a; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* c) { popupComponent_ = c; }

    // Shows the menu with its top-left corner at the screen point and runs it modally;
    // returns when the user has chosen an item (its OnClick has run) or cancelled.
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

    // The engine that shows menus; replaceable so that tests can choose items without a
    // modal loop, and so that owner-drawn menus can be painted by their decorators.
    using PopupEngine = std::function<void(TPopupMenu& menu, int x, int y)>;
    static void SetPopupEngine(PopupEngine engine);
    static const PopupEngine& CurrentPopupEngine();

private:
    TPopupAlignment alignment_ = paLeft;
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
};

// Shows a menu as a Qt menu (the default engine).
void QtPopupEngine(TPopupMenu& menu, int x, int y);

}  // namespace fw
