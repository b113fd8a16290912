#pragma once
// The one place where a value of the component text meets a published property. The
// reader applies values through it; the property store checks a rebuilt group with it
// (Check mode) before it applies anything, so both refuse exactly the same values.
#include <functional>
#include <string>
#include <utility>

#include "framework/core/reflection.h"
#include "framework/text/textvalue.h"

namespace fw {

class TPropertyObject;
class TComponent;

enum class TValueMode { Apply, Check };

struct TValueContext {
    // References and handlers are looked up here.
    TComponent* root = nullptr;
    // While a window loads, references and handlers wait until every component exists:
    // they are handed here instead of being set. Empty: they are set at once.
    std::function<void(TPropertyObject& obj, const PropInfo& p, const TextValue& v)> defer;
};

// The object and property a dotted path ("Font.Name") leads to. Throws EReadError.
std::pair<TPropertyObject*, const PropInfo*> ResolvePropertyPath(TPropertyObject& obj,
                                                                 const std::string& path);

// Converts v for property p of obj and, in Apply mode, sets it; Check mode sets nothing.
// Throws EReadError when the value does not fit (without a line: the caller knows it).
void ConvertValue(TPropertyObject& obj, const PropInfo& p, const TextValue& v, TValueMode mode,
                  const TValueContext& ctx);

// A whole property line: resolves its path from obj and converts its value. Errors carry
// the line's number and read "Error reading " + what + ": " + the reason.
void ConvertPropertyLine(TPropertyObject& obj, const PropertyLine& line, TValueMode mode,
                         const TValueContext& ctx, const std::string& what);

}  // namespace fw
