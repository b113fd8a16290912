#pragma once
// The popup list: the one object of the process that receives the messages of every open
// popup menu (openings, measure and paint requests of owner-drawn entries, selections,
// typed characters). Components hook it by replacing its WindowProc and passing on what
// they do not consume. Its own procedure, at the end of the chain, runs a submenu item's
// OnClick as its level opens, shows the selected item's hint, and hands what is left to
// the window of the menu's owner.
#include "framework/controls/controls.h"
#include "framework/menus/menuhandle.h"

namespace fw {

class TPopupMenu;

class TPopupList {
  public:
    TPopupList();
    TWindowProcedure WindowProc;
    void WndProc(TMessage& m);

    // The menu being shown, while the engine tracks one.
    TPopupMenu* Menu() const { return menu_; }
    void SetMenu(TPopupMenu* m) { menu_ = m; }

  private:
    TPopupMenu* menu_ = nullptr;
};

TPopupList& PopupList();

// Sends a message through the popup list's procedure and returns it as the handlers left
// it (their result and answers).
TMessage SendPopupList(unsigned msg, TMessageData data = {});

}  // namespace fw
