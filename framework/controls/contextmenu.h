#pragma once
// What a control needs of the menu that a right click on it opens. The popup menu, a floor
// above the controls, implements it; a control knows nothing more of menus.
namespace fw {

class TComponent;

class TContextMenu {
  public:
    virtual ~TContextMenu() = default;
    // Whether a right click opens the menu by itself.
    virtual bool AutoPopup() const = 0;
    // Opens the menu at a screen point for the control that was clicked.
    virtual void PopupFor(TComponent* clicked, int x, int y) = 0;
    // The component that the menu is (for references and removal notices).
    virtual TComponent* AsComponent() = 0;
};

}  // namespace fw
