#pragma once
// A form whose handler table answers every handler name a description binds, with the
// signature its name implies, as the program's windows name their handlers: any window
// description loads into it without the window's own class.
#include <string_view>

#include "framework/controls/controls.h"
#include "framework/controls/forms.h"
#include "framework/text/textvalue.h"

namespace testsupport {

class TAnyHandlerForm : public fw::TForm {
  public:
    explicit TAnyHandlerForm(const fw::ObjectText& tree) : fw::TForm(nullptr) { Register(tree); }
    // Text or binary form.
    void Read(std::string_view description) { InitInheritedComponent(description); }

  private:
    void Register(const fw::ObjectText& node) {
        using namespace fw;
        for (const PropertyLine& line : node.props) {
            if (line.path.rfind("On", 0) != 0 || line.Value().type != TextValue::Type::Identifier)
                continue;
            const std::string& name = line.Value().text;
            if (name.find("MouseMove") != std::string::npos)
                RegisterHandler<void(TPropertyObject*, TModifierState, int, int)>(
                    name, [](TPropertyObject*, TModifierState, int, int) {});
            else if (name.find("Mouse") != std::string::npos)
                RegisterHandler<void(TPropertyObject*, TMouseButton, TModifierState, int, int)>(
                    name, [](TPropertyObject*, TMouseButton, TModifierState, int, int) {});
            else
                RegisterHandler<void(TPropertyObject*)>(name, [](TPropertyObject*) {});
        }
        for (const ObjectText& child : node.children) Register(child);
    }
};

}  // namespace testsupport
