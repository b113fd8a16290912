#pragma once
// The component text: the textual form of a component and everything it owns, used for
// window descriptions and, by the property store, for settings.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text/textvalue.h"

namespace fw {

class TComponent;
class TPropertyObject;

// Parses one "object ... end" block with everything nested in it. Throws EParserError
// naming the line for malformed text.
ObjectText ParseComponentText(std::string_view text);

// Renders a component and its children (the components it writes nested in its block).
std::string WriteComponentText(TComponent& component);
// The names of the properties to render of a component.
using PropertySelection = std::function<std::vector<std::string>(TComponent&)>;
// The same text with, in each component's block, only the properties the selection names
// (without regard to case) and would be written anyway: every block and its nesting stay.
std::string WriteComponentText(TComponent& component, const PropertySelection& select);

// The lines one published property (found without regard to case) gives in a component
// text, whether it is stored or not; empty when it holds its declared default.
std::string WritePropertyText(TPropertyObject& object, const std::string& name);

// Spells a string value: 'runs' and #n pieces, '' for the empty string.
std::string QuoteString(const std::string& s);

// Reads a window description (text, or its binary form: binaryform.h) into an existing root
// component: its components are created, their properties applied in stored order, handlers
// bound by name, references resolved, then every component's end-of-loading step runs (the
// root's first).
void ReadRootComponent(TComponent& root, std::string_view description);

// How many windows are being loaded right now (read, or running their creation handler).
int WindowsLoading();
// Counts a window as loading for as long as it lives.
class TWindowLoading {
  public:
    TWindowLoading();
    ~TWindowLoading();
    TWindowLoading(const TWindowLoading&) = delete;
    TWindowLoading& operator=(const TWindowLoading&) = delete;
};

// Applies a piece of component text to an existing component without creating anything;
// references are resolved among the root's components and handlers bound against it.
void ApplyComponentText(TComponent& target, std::string_view text, TComponent* root);

}  // namespace fw
