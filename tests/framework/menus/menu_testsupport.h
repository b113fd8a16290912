#pragma once
// A popup menu built item by item for the menu tests; the items are owned here and go
// before the menu, children before parents.
#include <memory>
#include <string>
#include <vector>

#include "framework/menus/menus.h"

struct MenuBuilder {
    std::unique_ptr<fw::TPopupMenu> menu = std::make_unique<fw::TPopupMenu>(nullptr);
    std::vector<std::unique_ptr<fw::TMenuItem>> items;

    fw::TMenuItem* Add(fw::TMenuItem* parent, const std::string& caption) {
        items.push_back(std::make_unique<fw::TMenuItem>(nullptr));
        fw::TMenuItem* i = items.back().get();
        i->SetCaption(caption);
        parent->Add(i);
        return i;
    }
    ~MenuBuilder() {
        while (!items.empty()) items.pop_back();
    }
};
