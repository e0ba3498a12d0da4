// Inline style (IHTMLStyle) and the style cascade: the element's style
// attribute, <style> rules with tag, class, id and descendant selectors, and
// inheritance of the inherited properties.
#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"
#include "page/StyleSupport.h"
#include "page/script/ScriptEngine.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

using platform::EqualsNoCase;
using styles::CssName;
using styles::Fallback;
using styles::KnownProperty;
using support::Text;

namespace {

std::wstring Trim(const std::wstring &s) {
  size_t begin = 0, end = s.size();
  while (begin < end && std::iswspace(s[begin]))
    ++begin;
  while (end > begin && std::iswspace(s[end - 1]))
    --end;
  return s.substr(begin, end - begin);
}

std::wstring Lower(std::wstring s) {
  for (auto &c : s)
    c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

std::wstring Upper(std::wstring s) {
  for (auto &c : s)
    c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

// The CSS properties the style objects answer by name, as script names them.
constexpr const wchar_t *kProperties[] = {L"color",
                                          L"backgroundColor",
                                          L"background",
                                          L"backgroundImage",
                                          L"backgroundRepeat",
                                          L"fontFamily",
                                          L"fontStyle",
                                          L"fontVariant",
                                          L"fontWeight",
                                          L"fontSize",
                                          L"font",
                                          L"textAlign",
                                          L"textDecoration",
                                          L"textTransform",
                                          L"textIndent",
                                          L"lineHeight",
                                          L"letterSpacing",
                                          L"wordSpacing",
                                          L"verticalAlign",
                                          L"whiteSpace",
                                          L"width",
                                          L"height",
                                          L"top",
                                          L"left",
                                          L"right",
                                          L"bottom",
                                          L"position",
                                          L"display",
                                          L"visibility",
                                          L"overflow",
                                          L"overflowX",
                                          L"overflowY",
                                          L"styleFloat",
                                          L"clear",
                                          L"margin",
                                          L"marginTop",
                                          L"marginRight",
                                          L"marginBottom",
                                          L"marginLeft",
                                          L"padding",
                                          L"paddingTop",
                                          L"paddingRight",
                                          L"paddingBottom",
                                          L"paddingLeft",
                                          L"border",
                                          L"borderTop",
                                          L"borderRight",
                                          L"borderBottom",
                                          L"borderLeft",
                                          L"borderColor",
                                          L"borderWidth",
                                          L"borderStyle",
                                          L"borderTopWidth",
                                          L"borderRightWidth",
                                          L"borderBottomWidth",
                                          L"borderLeftWidth",
                                          L"borderTopStyle",
                                          L"borderRightStyle",
                                          L"borderBottomStyle",
                                          L"borderLeftStyle",
                                          L"borderTopColor",
                                          L"borderRightColor",
                                          L"borderBottomColor",
                                          L"borderLeftColor",
                                          L"cursor",
                                          L"listStyleType",
                                          L"tableLayout",
                                          L"borderCollapse",
                                          L"direction",
                                          L"zIndex",
                                          L"minWidth",
                                          L"minHeight",
                                          L"maxWidth",
                                          L"maxHeight",
                                          L"clip",
                                          L"filter",
                                          L"behavior"};

} // namespace

namespace styles {

// Script name to CSS name: backgroundColor → background-color, styleFloat → float.
std::wstring CssName(const std::wstring &name) {
  if (EqualsNoCase(name, L"styleFloat") || EqualsNoCase(name, L"cssFloat"))
    return L"float";
  std::wstring css;
  for (wchar_t c : name) {
    if (std::iswupper(c)) {
      css += L'-';
      css += static_cast<wchar_t>(std::towlower(c));
      continue;
    }
    css += c;
  }
  return Lower(css);
}

const wchar_t *KnownProperty(const std::wstring &name) {
  for (const wchar_t *property : kProperties)
    if (EqualsNoCase(property, name) || CssName(property) == Lower(name))
      return property;
  return nullptr;
}

} // namespace styles

namespace {

LONG Pixels(const std::wstring &value) {
  std::wstring v = Trim(value);
  size_t used = 0;
  double number = 0;
  try {
    number = std::stod(v, &used);
  } catch (...) {
    return 0;
  }
  std::wstring unit = Lower(Trim(v.substr(used)));
  if (!unit.empty() && unit != L"px")
    return 0; // relative units need the layout model
  return static_cast<LONG>(number);
}

// --- style sheets ---

struct Compound {
  std::wstring tag, id;
  std::vector<std::wstring> classes;
};

struct Rule {
  std::vector<Compound> chain; // outermost first; descendant combinators
  int specificity = 0;
  size_t order = 0;
  std::vector<std::pair<std::wstring, std::wstring>> declarations;
};

bool ParseCompound(const std::wstring &text, Compound &out) {
  size_t i = 0;
  auto ident = [&] {
    size_t start = i;
    while (i < text.size() && (std::iswalnum(text[i]) || text[i] == L'-' || text[i] == L'_'))
      ++i;
    return text.substr(start, i - start);
  };
  if (i < text.size() && text[i] == L'*')
    ++i;
  else
    out.tag = ident();
  while (i < text.size()) {
    wchar_t c = text[i++];
    std::wstring name = ident();
    if (name.empty())
      return false;
    if (c == L'#')
      out.id = name;
    else if (c == L'.')
      out.classes.push_back(name);
    else
      return false; // pseudo-classes, attributes: not in the model
  }
  return true;
}

bool ParseSelector(const std::wstring &text, Rule &rule) {
  std::wstring part;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && (text[i] == L'>' || text[i] == L'+' || text[i] == L'~'))
      return false;
    if (i == text.size() || std::iswspace(text[i])) {
      if (!part.empty()) {
        Compound compound;
        if (!ParseCompound(part, compound))
          return false;
        rule.specificity += (compound.id.empty() ? 0 : 10000) +
                            static_cast<int>(compound.classes.size()) * 100 +
                            (compound.tag.empty() ? 0 : 1);
        rule.chain.push_back(compound);
      }
      part.clear();
      continue;
    }
    part += text[i];
  }
  return !rule.chain.empty();
}

bool Matches(const Compound &compound, const Node &node) {
  if (!node.IsElement())
    return false;
  if (!compound.tag.empty() && !EqualsNoCase(compound.tag, node.tag))
    return false;
  if (!compound.id.empty() && node.AttributeValue(L"id") != compound.id)
    return false;
  if (compound.classes.empty())
    return true;
  std::wstring classes = L" " + node.AttributeValue(L"class") + L" ";
  for (wchar_t &c : classes)
    if (std::iswspace(c))
      c = L' ';
  for (const auto &name : compound.classes)
    if (classes.find(L" " + name + L" ") == std::wstring::npos)
      return false;
  return true;
}

bool Matches(const Rule &rule, const Node &node) {
  size_t k = rule.chain.size() - 1;
  if (!Matches(rule.chain[k], node))
    return false;
  const Node *at = node.parent;
  while (k > 0) {
    while (at && !Matches(rule.chain[k - 1], *at))
      at = at->parent;
    if (!at)
      return false;
    at = at->parent;
    --k;
  }
  return true;
}

std::vector<Rule> ParseSheet(const std::wstring &css, size_t &order) {
  std::vector<Rule> rules;
  std::wstring text;
  // Comments out.
  for (size_t i = 0; i < css.size(); ++i) {
    if (css.compare(i, 2, L"/*") == 0) {
      size_t end = css.find(L"*/", i + 2);
      if (end == std::wstring::npos)
        break;
      i = end + 1;
      continue;
    }
    text += css[i];
  }
  size_t at = 0;
  while (at < text.size()) {
    size_t open = text.find(L'{', at);
    if (open == std::wstring::npos)
      break;
    size_t close = text.find(L'}', open);
    if (close == std::wstring::npos)
      close = text.size();
    std::wstring selectors = text.substr(at, open - at);
    auto declarations = ParseDeclarations(text.substr(open + 1, close - open - 1));
    at = close + 1;
    if (Trim(selectors).starts_with(L"@"))
      continue;
    size_t start = 0;
    while (start <= selectors.size()) {
      size_t comma = selectors.find(L',', start);
      if (comma == std::wstring::npos)
        comma = selectors.size();
      Rule rule;
      rule.order = order++;
      rule.declarations = declarations;
      if (ParseSelector(Trim(selectors.substr(start, comma - start)), rule))
        rules.push_back(std::move(rule));
      start = comma + 1;
    }
  }
  return rules;
}

std::vector<Rule> SheetRules(const PageDocument &document) {
  std::vector<Rule> rules;
  size_t order = 0;
  for (Node *node : Descendants(document.root.get()))
    if (node->Is(L"STYLE")) {
      std::wstring css;
      for (auto &child : node->children)
        if (child->kind == NodeKind::Text)
          css += child->text;
      for (auto &rule : ParseSheet(css, order))
        rules.push_back(std::move(rule));
    }
  return rules;
}

// The value a node itself specifies: inline style over the most specific rule.
std::wstring SpecifiedAs(const Node &node, const std::wstring &css,
                         const std::vector<Rule> &rules) {
  std::wstring inlineValue = StyleValue(node, css);
  if (!inlineValue.empty())
    return inlineValue;
  const Rule *best = nullptr;
  std::wstring value;
  for (const Rule &rule : rules) {
    auto found = std::find_if(rule.declarations.rbegin(), rule.declarations.rend(),
                              [&](const auto &d) { return d.first == css; });
    if (found == rule.declarations.rend() || !Matches(rule, node))
      continue;
    if (!best || rule.specificity > best->specificity ||
        (rule.specificity == best->specificity && rule.order > best->order)) {
      best = &rule;
      value = found->second;
    }
  }
  return value;
}

// The words of a shorthand value; parentheses (rgb(1, 2, 3)) stay whole.
std::vector<std::wstring> ValueWords(const std::wstring &value) {
  std::vector<std::wstring> words;
  std::wstring word;
  int depth = 0;
  for (wchar_t c : value) {
    depth += c == L'(' ? 1 : c == L')' ? -1 : 0;
    if (std::iswspace(c) && depth <= 0) {
      if (!word.empty())
        words.push_back(word);
      word.clear();
      continue;
    }
    word += c;
  }
  if (!word.empty())
    words.push_back(word);
  return words;
}

constexpr const wchar_t *kSides[] = {L"top", L"right", L"bottom", L"left"};

// The side's value of a box shorthand of one to four values (margin: 1px 2px).
std::wstring BoxPart(const std::wstring &value, size_t side) {
  std::vector<std::wstring> words = ValueWords(value);
  if (words.empty() || words.size() > 4)
    return {};
  static const size_t kPick[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
  return words[kPick[words.size() - 1][side]];
}

bool IsBorderStyleWord(const std::wstring &word) {
  for (const wchar_t *style : {L"none", L"hidden", L"dotted", L"dashed", L"solid", L"double",
                               L"groove", L"ridge", L"inset", L"outset"})
    if (EqualsNoCase(word, style))
      return true;
  return false;
}

bool IsBorderWidthWord(const std::wstring &word) {
  return (!word.empty() && (std::iswdigit(word[0]) || word[0] == L'.')) ||
         EqualsNoCase(word, L"thin") || EqualsNoCase(word, L"medium") ||
         EqualsNoCase(word, L"thick");
}

// The width, style or colour word of a border shorthand (border: 1px solid red).
std::wstring BorderPart(const std::wstring &value, const std::wstring &part) {
  for (const std::wstring &word : ValueWords(value)) {
    bool width = IsBorderWidthWord(word);
    bool style = !width && IsBorderStyleWord(word);
    if ((part == L"width" && width) || (part == L"style" && style) ||
        (part == L"color" && !width && !style))
      return word;
  }
  return {};
}

// A longhand of border, padding or margin given by one of its shorthands; the
// more specific shorthand wins (border-top over border-width over border).
std::wstring FromShorthand(const Node &node, const std::wstring &css,
                           const std::vector<Rule> &rules) {
  for (size_t side = 0; side < 4; ++side) {
    std::wstring name = kSides[side];
    for (const wchar_t *box : {L"padding", L"margin"}) {
      if (css == std::wstring(box) + L"-" + name)
        return BoxPart(SpecifiedAs(node, box, rules), side);
    }
    for (const wchar_t *part : {L"width", L"style", L"color"}) {
      if (css != L"border-" + name + L"-" + part)
        continue;
      std::wstring value = BorderPart(SpecifiedAs(node, L"border-" + name, rules), part);
      if (value.empty())
        value = BoxPart(SpecifiedAs(node, std::wstring(L"border-") + part, rules), side);
      if (value.empty())
        value = BorderPart(SpecifiedAs(node, L"border", rules), part);
      return value;
    }
  }
  return {};
}

std::wstring Specified(const Node &node, const std::wstring &css, const std::vector<Rule> &rules) {
  std::wstring value = SpecifiedAs(node, css, rules);
  return value.empty() ? FromShorthand(node, css, rules) : value;
}

bool Inherited(const std::wstring &css) {
  return css == L"visibility" || css == L"color" || css == L"font-style" || css == L"font-family" ||
         css == L"font-size" || css == L"font-weight" || css == L"text-align" || css == L"cursor" ||
         css == L"direction";
}

std::wstring DefaultDisplay(const Node &node) {
  static const struct {
    const wchar_t *tag, *display;
  } displays[] = {{L"DIV", L"block"},
                  {L"P", L"block"},
                  {L"FORM", L"block"},
                  {L"UL", L"block"},
                  {L"OL", L"block"},
                  {L"LI", L"list-item"},
                  {L"H1", L"block"},
                  {L"H2", L"block"},
                  {L"H3", L"block"},
                  {L"H4", L"block"},
                  {L"H5", L"block"},
                  {L"H6", L"block"},
                  {L"BODY", L"block"},
                  {L"HTML", L"block"},
                  {L"CENTER", L"block"},
                  {L"PRE", L"block"},
                  {L"HR", L"block"},
                  {L"TABLE", L"table"},
                  {L"TR", L"table-row"},
                  {L"TD", L"table-cell"},
                  {L"TH", L"table-cell"},
                  {L"THEAD", L"table-header-group"},
                  {L"TBODY", L"table-row-group"},
                  {L"TFOOT", L"table-footer-group"},
                  {L"CAPTION", L"table-caption"},
                  {L"HEAD", L"none"},
                  {L"SCRIPT", L"none"},
                  {L"STYLE", L"none"},
                  {L"TITLE", L"none"},
                  {L"FIELDSET", L"block"},
                  {L"BLOCKQUOTE", L"block"}};
  for (const auto &entry : displays)
    if (node.Is(entry.tag))
      return entry.display;
  return L"inline";
}

} // namespace

namespace styles {

namespace {

// border-top-width and the like (not the border-width shorthand, which
// stays empty unless given).
bool IsBorderSide(const std::wstring &css, const wchar_t *part) {
  for (const wchar_t *side : {L"border-top", L"border-right", L"border-bottom", L"border-left"})
    if (css == side + std::wstring(part))
      return true;
  return false;
}

} // namespace

std::wstring Fallback(const Node &node, const std::wstring &css) {
  if (css == L"display")
    return DefaultDisplay(node);
  if (css == L"visibility")
    return L"inherit";
  if (css == L"color")
    return L"#000000";
  if (css == L"background-color")
    return L"transparent";
  if (css == L"position")
    return L"static";
  if (css == L"font-style" || css == L"font-variant" || css == L"font-weight")
    return css == L"font-weight" ? L"400" : L"normal";
  if (css == L"width" || css == L"height" || css == L"left" || css == L"top" || css == L"right" ||
      css == L"bottom" || css == L"z-index" || css == L"cursor")
    return L"auto";
  if (css == L"overflow" || css == L"overflow-x" || css == L"overflow-y")
    return L"visible";
  if (css == L"float" || css == L"clear" || css == L"text-decoration")
    return L"none";
  if (css.starts_with(L"padding-") || css.starts_with(L"margin-"))
    return L"0px";
  if (IsBorderSide(css, L"-width"))
    return L"medium";
  if (IsBorderSide(css, L"-style"))
    return L"none";
  if (IsBorderSide(css, L"-color"))
    return ComputedStyle(node, L"color", L"#000000");
  if (css == L"direction")
    return node.AttributeValue(L"dir").empty() ? L"ltr" : node.AttributeValue(L"dir");
  return {};
}

} // namespace styles

std::vector<std::pair<std::wstring, std::wstring>> ParseDeclarations(const std::wstring &css) {
  std::vector<std::pair<std::wstring, std::wstring>> out;
  size_t start = 0;
  while (start < css.size()) {
    size_t end = css.find(L';', start);
    if (end == std::wstring::npos)
      end = css.size();
    std::wstring declaration = css.substr(start, end - start);
    start = end + 1;
    size_t colon = declaration.find(L':');
    if (colon == std::wstring::npos)
      continue;
    std::wstring name = Lower(Trim(declaration.substr(0, colon)));
    std::wstring value = Trim(declaration.substr(colon + 1));
    size_t important = Lower(value).find(L"!important");
    if (important != std::wstring::npos)
      value = Trim(value.substr(0, important));
    if (name.empty())
      continue;
    auto same =
        std::find_if(out.begin(), out.end(), [&](const auto &d) { return d.first == name; });
    if (same != out.end())
      same->second = value;
    else
      out.emplace_back(name, value);
  }
  return out;
}

std::wstring StyleValue(const Node &node, const std::wstring &property) {
  for (const auto &[name, value] : ParseDeclarations(node.AttributeValue(L"style")))
    if (name == property)
      return value;
  return {};
}

void SetStyleValue(Node &node, const std::wstring &property, const std::wstring &value) {
  auto declarations = ParseDeclarations(node.AttributeValue(L"style"));
  std::erase_if(declarations, [&](const auto &d) { return d.first == property; });
  if (!Trim(value).empty())
    declarations.emplace_back(property, Trim(value));
  std::wstring text;
  for (const auto &[name, v] : declarations)
    text += (text.empty() ? L"" : L" ") + Upper(name) + L": " + v + L";";
  if (text.empty())
    node.RemoveAttribute(L"style", false);
  else
    node.SetAttribute(L"style", text, false);
}

std::wstring ComputedStyle(const Node &node, const std::wstring &property,
                           const std::wstring &fallback) {
  if (!node.document)
    return fallback;
  std::vector<Rule> rules = SheetRules(*node.document);
  for (const Node *at = &node; at && at->IsElement(); at = at->parent) {
    std::wstring value = Specified(*at, property, rules);
    if (!value.empty() && !EqualsNoCase(value, L"inherit"))
      return value;
    if (!Inherited(property) && !EqualsNoCase(value, L"inherit"))
      break;
  }
  return fallback;
}

namespace {

class Style final : public StubIHTMLStyle {
public:
  Style(Page *page, std::shared_ptr<Node> node) : page_(page), node_(std::move(node)) {}
  using Self = Style;
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {
    return AnswerQuery(
        riid, ppv,
        {{&IID_ITallowickPageObject, page_.get()}, {&IID_ITallowickStyleNode, node_.get()}},
        Find(riid));
  }
  PAGE_REFCOUNT
  PAGE_IDISPATCH

  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLStyle))
      return static_cast<IHTMLStyle *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<Style>>> Tables() const;

  HRESULT FindDynamic(const std::wstring &name, DISPID *id) {
    const wchar_t *property = KnownProperty(name);
    if (!property)
      return DISP_E_UNKNOWNNAME;
    *id = page_->ExpandoId(property);
    return S_OK;
  }

  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result) {
    const std::wstring *name = page_->ExpandoName(id);
    if (!name || !KnownProperty(*name))
      return DISP_E_MEMBERNOTFOUND;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (params->cArgs < 1)
        return DISP_E_BADPARAMCOUNT;
      SetStyleValue(*node_, CssName(*name), VariantText(params->rgvarg[0]));
      return S_OK;
    }
    if (result)
      ToVariant(AllocBstr(StyleValue(*node_, CssName(*name))), result);
    return S_OK;
  }

  HRESULT GetText(const wchar_t *css, BSTR *p) {
    if (!p)
      return E_POINTER;
    return Guarded([&] { return ToBstr(StyleValue(*node_, css), p); });
  }
  HRESULT GetVariant(const wchar_t *css, VARIANT *p) {
    if (!p)
      return E_POINTER;
    VariantInit(p);
    return Guarded([&] {
      ToVariant(AllocBstr(StyleValue(*node_, css)), p);
      return S_OK;
    });
  }
  HRESULT Set(const wchar_t *css, const std::wstring &value) {
    return Guarded([&] {
      SetStyleValue(*node_, css, value);
      return S_OK;
    });
  }

#define STYLE_TEXT(Name, css)                                                                      \
  STDMETHOD(put_##Name)(BSTR v) override { return Set(css, Text(v)); }                             \
  STDMETHOD(get_##Name)(BSTR * p) override { return GetText(css, p); }
#define STYLE_VARIANT(Name, css)                                                                   \
  STDMETHOD(put_##Name)(VARIANT v) override { return Set(css, VariantText(v)); }                   \
  STDMETHOD(get_##Name)(VARIANT * p) override { return GetVariant(css, p); }
  STYLE_TEXT(fontFamily, L"font-family")
  STYLE_TEXT(fontStyle, L"font-style")
  STYLE_TEXT(fontWeight, L"font-weight")
  STYLE_VARIANT(fontSize, L"font-size")
  STYLE_VARIANT(color, L"color")
  STYLE_TEXT(background, L"background")
  STYLE_VARIANT(backgroundColor, L"background-color")
  STYLE_TEXT(textDecoration, L"text-decoration")
  STYLE_TEXT(textAlign, L"text-align")
  STYLE_TEXT(border, L"border")
  STYLE_VARIANT(width, L"width")
  STYLE_VARIANT(height, L"height")
  STYLE_TEXT(display, L"display")
  STYLE_TEXT(visibility, L"visibility")
  STYLE_VARIANT(top, L"top")
  STYLE_VARIANT(left, L"left")
  STYLE_TEXT(overflow, L"overflow")
#undef STYLE_TEXT
#undef STYLE_VARIANT

  STDMETHOD(get_position)(BSTR *p) override { return GetText(L"position", p); }

  STDMETHOD(put_zIndex)(VARIANT v) override { return Set(L"z-index", VariantText(v)); }
  STDMETHOD(get_zIndex)(VARIANT *p) override {
    if (!p)
      return E_POINTER;
    VariantInit(p);
    return Guarded([&] {
      std::wstring value = StyleValue(*node_, L"z-index");
      ToVariant(static_cast<LONG>(value.empty() ? 0 : Pixels(value)), p);
      return S_OK;
    });
  }

  STDMETHOD(put_cssText)(BSTR v) override {
    return Guarded([&] {
      std::wstring text;
      for (const auto &[name, value] : ParseDeclarations(Text(v)))
        text += (text.empty() ? L"" : L" ") + Upper(name) + L": " + value + L";";
      if (text.empty())
        node_->RemoveAttribute(L"style", false);
      else
        node_->SetAttribute(L"style", text, false);
      return S_OK;
    });
  }
  STDMETHOD(get_cssText)(BSTR *p) override {
    if (!p)
      return E_POINTER;
    return Guarded([&] { return ToBstr(node_->AttributeValue(L"style"), p); });
  }

  HRESULT GetPixels(const wchar_t *css, LONG *p) {
    if (!p)
      return E_POINTER;
    return Guarded([&] {
      *p = Pixels(StyleValue(*node_, css));
      return S_OK;
    });
  }
  STDMETHOD(put_pixelTop)(LONG v) override { return Set(L"top", std::to_wstring(v) + L"px"); }
  STDMETHOD(get_pixelTop)(LONG *p) override { return GetPixels(L"top", p); }
  STDMETHOD(put_pixelLeft)(LONG v) override { return Set(L"left", std::to_wstring(v) + L"px"); }
  STDMETHOD(get_pixelLeft)(LONG *p) override { return GetPixels(L"left", p); }
  STDMETHOD(put_pixelWidth)(LONG v) override { return Set(L"width", std::to_wstring(v) + L"px"); }
  STDMETHOD(get_pixelWidth)(LONG *p) override { return GetPixels(L"width", p); }
  STDMETHOD(put_pixelHeight)(LONG v) override { return Set(L"height", std::to_wstring(v) + L"px"); }
  STDMETHOD(get_pixelHeight)(LONG *p) override { return GetPixels(L"height", p); }

  STDMETHOD(setAttribute)(BSTR name, VARIANT value, LONG) override {
    std::wstring key = Text(name);
    if (!KnownProperty(key))
      return S_OK; // IE ignores names that are no style property
    return Set(CssName(key).c_str(), VariantText(value));
  }
  STDMETHOD(getAttribute)(BSTR name, LONG, VARIANT *value) override {
    if (!value)
      return E_POINTER;
    VariantInit(value);
    std::wstring key = Text(name);
    if (!KnownProperty(key)) {
      value->vt = VT_NULL;
      return S_OK;
    }
    return GetVariant(CssName(key).c_str(), value);
  }
  STDMETHOD(removeAttribute)(BSTR name, LONG, VARIANT_BOOL *success) override {
    return Guarded([&] {
      std::wstring css = CssName(Text(name));
      bool present = !StyleValue(*node_, css).empty();
      SetStyleValue(*node_, css, L"");
      if (success)
        *success = present ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    });
  }
  STDMETHOD(toString)(BSTR *p) override { return ToBstr(L"[object]", p); }

  // style.setExpression(property, expression): the expression's value, taken
  // when it is set (this engine has no recalculation), and kept for
  // getExpression/removeExpression.
  HRESULT SetExpression(BSTR name, BSTR expression, BSTR) {
    ScriptEngine *engine = EngineOf(page_.get());
    if (!name || !engine)
      return E_INVALIDARG;
    std::wstring css = CssName(Text(name)), code = Text(expression);
    Var value;
    HRESULT hr = engine->Evaluate(code, L"expression", &value.v);
    if (FAILED(hr))
      return hr;
    return Guarded([&] {
      SetStyleValue(*node_, css, VariantText(value.v));
      std::erase_if(node_->expressions, [&](const auto &entry) { return entry.first == css; });
      node_->expressions.emplace_back(css, code);
      return S_OK;
    });
  }
  HRESULT GetExpression(BSTR name, VARIANT *expression) {
    if (!expression)
      return E_POINTER;
    VariantInit(expression);
    std::wstring css = CssName(Text(name));
    for (const auto &[property, code] : node_->expressions)
      if (property == css)
        return Guarded([&] { return ToVariant(AllocBstr(code), expression), S_OK; });
    return S_OK;
  }
  HRESULT RemoveExpression(BSTR name, VARIANT_BOOL *removed) {
    std::wstring css = CssName(Text(name));
    size_t count =
        std::erase_if(node_->expressions, [&](const auto &entry) { return entry.first == css; });
    if (removed)
      *removed = count ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> node_;
};

constexpr Member<Style> kStyleMembers[] = {
#define Self Style
    PAGE_PROP(IHTMLStyle, zIndex),
    PAGE_PROP(IHTMLStyle, cssText),
    PAGE_PROP(IHTMLStyle, pixelTop),
    PAGE_PROP(IHTMLStyle, pixelLeft),
    PAGE_PROP(IHTMLStyle, pixelWidth),
    PAGE_PROP(IHTMLStyle, pixelHeight),
    PAGE_METHOD(IHTMLStyle, setAttribute),
    PAGE_METHOD(IHTMLStyle, getAttribute),
    PAGE_METHOD(IHTMLStyle, removeAttribute),
    PAGE_METHOD(IHTMLStyle, toString),
    {L"setExpression", nullptr, nullptr, &Thunk<Self, &Style::SetExpression>},
    {L"getExpression", nullptr, nullptr, &Thunk<Self, &Style::GetExpression>},
    {L"removeExpression", nullptr, nullptr, &Thunk<Self, &Style::RemoveExpression>},
#undef Self
};
constexpr std::span<const Member<Style>> kStyleTables[] = {kStyleMembers};
std::span<const std::span<const Member<Style>>> Style::Tables() const { return kStyleTables; }

} // namespace

HRESULT NewStyle(Page *page, std::shared_ptr<Node> node, IHTMLStyle **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    auto *style = new Style(page, std::move(node));
    style->AddRef();
    *out = style;
    return S_OK;
  });
}

struct StyleCascade::Sheet {
  std::vector<Rule> rules;
};

StyleCascade::StyleCascade(const PageDocument &document)
    : sheet_(std::make_unique<Sheet>(Sheet{SheetRules(document)})) {}

StyleCascade::~StyleCascade() = default;

std::wstring StyleCascade::Value(const Node &node, const std::wstring &property) const {
  for (const Node *at = &node; at && at->IsElement(); at = at->parent) {
    std::wstring value = Specified(*at, property, sheet_->rules);
    if (!value.empty() && !EqualsNoCase(value, L"inherit"))
      return value;
    if (!Inherited(property) && !EqualsNoCase(value, L"inherit"))
      break;
  }
  return Fallback(node, property);
}

} // namespace tallowick::page
