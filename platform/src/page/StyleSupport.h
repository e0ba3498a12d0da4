// Style helpers shared by the inline and the current style objects.
#pragma once

#include <string>

#include "page/PageObjects.h"

namespace tallowick::page::styles {

// Script name to CSS name: backgroundColor → background-color, styleFloat → float.
std::wstring CssName(const std::wstring &name);
// The script name of a property the style objects answer by name, or null.
const wchar_t *KnownProperty(const std::wstring &name);
// The value of a CSS property no rule sets.
std::wstring Fallback(const Node &node, const std::wstring &css);

} // namespace tallowick::page::styles
