#include "tree/ElementQuery.h"

#include <algorithm>
#include <cwctype>
#include <set>

#include "tallowick/Strings.h"
#include "tree/DomAccess.h"

namespace host::tree {
namespace {

using tallowick::platform::EqualsNoCase;
using Elements = std::vector<ComPtr<IHTMLElement>>;

struct Attr {
  std::wstring name;
  std::wstring value;
  bool hasValue = false;
};

bool AttrMatches(IHTMLElement *element, const Attr &attr) {
  bool present = false;
  std::wstring text = AttributeText(element, attr.name.c_str(), &present);
  if (!present && EqualsNoCase(attr.name, L"class")) {
    text = ClassName(element);
    present = !text.empty();
  }
  return present && (!attr.hasValue || text == attr.value);
}

bool TagMatches(IHTMLElement *element, const std::wstring &tag) {
  return tag.empty() || tag == L"*" || EqualsNoCase(TagName(element), tag);
}

LONG SourceIndex(IHTMLElement *element) {
  LONG index = -1;
  element->get_sourceIndex(&index);
  return index;
}

// Keeps the first of equal elements, in document order.
void SortUnique(Elements &elements) {
  std::stable_sort(elements.begin(), elements.end(), [](const auto &a, const auto &b) {
    return SourceIndex(a.Get()) < SourceIndex(b.Get());
  });
  std::set<IUnknown *> seen;
  Elements out;
  for (auto &element : elements) {
    if (seen.insert(Identity(element.Get()).Get()).second)
      out.push_back(std::move(element));
  }
  elements = std::move(out);
}

void Descendants(IHTMLElement *root, Elements &out) {
  std::vector<ComPtr<IHTMLElement>> stack;
  auto children = Children(root);
  stack.assign(std::make_move_iterator(children.rbegin()),
               std::make_move_iterator(children.rend()));
  while (!stack.empty()) {
    ComPtr<IHTMLElement> element = std::move(stack.back());
    stack.pop_back();
    auto below = Children(element.Get());
    out.push_back(element);
    for (auto it = below.rbegin(); it != below.rend(); ++it)
      stack.push_back(std::move(*it));
  }
}

bool Contains(IHTMLElement *root, IHTMLElement *element) {
  for (ComPtr<IHTMLElement> at = ParentElement(element); at; at = ParentElement(at.Get())) {
    if (SameObject(at.Get(), root))
      return true;
  }
  return false;
}

// A small reader over the selector text.
class Reader {
public:
  explicit Reader(const std::wstring &text) : text_(text) {}
  bool AtEnd() const { return at_ >= text_.size(); }
  wchar_t Peek(size_t ahead = 0) const {
    return at_ + ahead < text_.size() ? text_[at_ + ahead] : L'\0';
  }
  bool Take(wchar_t c) {
    if (Peek() != c)
      return false;
    ++at_;
    return true;
  }
  bool TakeText(const wchar_t *text) {
    std::wstring_view want(text);
    if (text_.compare(at_, want.size(), want) != 0)
      return false;
    at_ += want.size();
    return true;
  }
  bool SkipSpaces() {
    size_t start = at_;
    while (!AtEnd() && std::iswspace(Peek()))
      ++at_;
    return at_ != start;
  }
  std::wstring Name() {
    size_t start = at_;
    while (!AtEnd() &&
           (std::iswalnum(Peek()) || Peek() == L'-' || Peek() == L'_' || Peek() == L':'))
      ++at_;
    return text_.substr(start, at_ - start);
  }
  bool Quoted(std::wstring &value) {
    wchar_t quote = Peek();
    if (quote != L'\'' && quote != L'"')
      return false;
    size_t end = text_.find(quote, at_ + 1);
    if (end == std::wstring::npos)
      return false;
    value = text_.substr(at_ + 1, end - at_ - 1);
    at_ = end + 1;
    return true;
  }
  bool Number(LONG &value) {
    size_t start = at_;
    value = 0;
    while (!AtEnd() && std::iswdigit(Peek()) && value < 1000000)
      value = value * 10 + (text_[at_++] - L'0');
    return at_ != start;
  }

private:
  const std::wstring &text_;
  size_t at_ = 0;
};

// --- XPath ---

struct Predicate {
  bool position = false;
  LONG index = 0;
  Attr attr;
};

struct XStep {
  bool descendant = false;
  bool self = false;
  std::wstring tag;
  std::vector<Predicate> predicates;
};

bool ParsePredicate(Reader &in, Predicate &predicate) {
  in.SkipSpaces();
  if (in.Number(predicate.index)) {
    predicate.position = true;
  } else {
    if (!in.Take(L'@'))
      return false;
    predicate.attr.name = in.Name();
    if (predicate.attr.name.empty())
      return false;
    in.SkipSpaces();
    if (in.Take(L'=')) {
      in.SkipSpaces();
      if (!in.Quoted(predicate.attr.value))
        return false;
      predicate.attr.hasValue = true;
    }
  }
  in.SkipSpaces();
  return in.Take(L']');
}

bool ParseXPath(const std::wstring &text, bool &absolute, std::vector<XStep> &steps) {
  Reader in(text);
  in.SkipSpaces();
  absolute = in.Peek() == L'/' && in.Peek(1) != L'/';
  bool first = true;
  while (!in.AtEnd()) {
    XStep step;
    if (in.TakeText(L"//"))
      step.descendant = true;
    else if (!in.Take(L'/') && !first)
      return false;
    first = false;
    if (in.Take(L'.')) {
      step.self = true;
    } else if (in.Take(L'*')) {
      step.tag = L"*";
    } else {
      step.tag = in.Name();
      if (step.tag.empty())
        return false;
    }
    while (in.Take(L'[')) {
      Predicate predicate;
      if (!ParsePredicate(in, predicate) || (step.self && predicate.position))
        return false;
      step.predicates.push_back(std::move(predicate));
    }
    in.SkipSpaces();
    steps.push_back(std::move(step));
  }
  return !steps.empty();
}

Elements Filter(Elements group, const std::vector<Predicate> &predicates) {
  for (const Predicate &predicate : predicates) {
    Elements kept;
    for (size_t i = 0; i < group.size(); ++i) {
      bool keep = predicate.position ? static_cast<LONG>(i) + 1 == predicate.index
                                     : AttrMatches(group[i].Get(), predicate.attr);
      if (keep)
        kept.push_back(group[i]);
    }
    group = std::move(kept);
  }
  return group;
}

// Contexts are elements; a null element is the document above the root.
Elements ChildrenOf(const ComPtr<IHTMLElement> &context, IHTMLDocument2 *document) {
  if (context)
    return Children(context.Get());
  Elements top;
  if (ComPtr<IHTMLElement> root = DocumentElement(document))
    top.push_back(root);
  return top;
}

HRESULT RunXPath(IHTMLElement *root, const std::wstring &text, Elements &out) {
  bool absolute = false;
  std::vector<XStep> steps;
  if (!ParseXPath(text, absolute, steps))
    return E_INVALIDARG;
  ComPtr<IHTMLDocument2> document = DocumentOf(root);
  Elements contexts{absolute ? ComPtr<IHTMLElement>() : ComPtr<IHTMLElement>(root)};
  for (const XStep &step : steps) {
    Elements next;
    for (const auto &context : contexts) {
      Elements parents{context};
      if (step.descendant) {
        if (context)
          Descendants(context.Get(), parents);
        else if (ComPtr<IHTMLElement> top = DocumentElement(document.Get())) {
          parents.push_back(top);
          Descendants(top.Get(), parents);
        }
      }
      for (const auto &parent : parents) {
        Elements group;
        if (step.self) {
          if (parent)
            group.push_back(parent);
        } else {
          for (auto &child : ChildrenOf(parent, document.Get())) {
            if (TagMatches(child.Get(), step.tag))
              group.push_back(std::move(child));
          }
        }
        for (auto &kept : Filter(std::move(group), step.predicates))
          next.push_back(std::move(kept));
      }
    }
    SortUnique(next);
    contexts = std::move(next);
  }
  for (auto &element : contexts) {
    if (element && Contains(root, element.Get()))
      out.push_back(std::move(element));
  }
  return S_OK;
}

// --- CSS ---

struct Compound {
  std::wstring tag;
  std::vector<std::wstring> ids;
  std::vector<std::wstring> classes;
  std::vector<Attr> attrs;
  bool child = false; // joined to the compound before it by ">"
};
using Selector = std::vector<Compound>;

bool ParseCompound(Reader &in, Compound &compound) {
  bool any = false;
  if (in.Take(L'*')) {
    compound.tag = L"*";
    any = true;
  } else if (std::wstring tag = in.Name(); !tag.empty()) {
    compound.tag = tag;
    any = true;
  }
  for (;;) {
    if (in.Take(L'#')) {
      std::wstring id = in.Name();
      if (id.empty())
        return false;
      compound.ids.push_back(id);
    } else if (in.Take(L'.')) {
      std::wstring name = in.Name();
      if (name.empty())
        return false;
      compound.classes.push_back(name);
    } else if (in.Take(L'[')) {
      in.SkipSpaces();
      Attr attr;
      attr.name = in.Name();
      if (attr.name.empty())
        return false;
      in.SkipSpaces();
      if (in.Take(L'=')) {
        in.SkipSpaces();
        if (!in.Quoted(attr.value)) {
          attr.value = in.Name();
          if (attr.value.empty())
            return false;
        }
        attr.hasValue = true;
        in.SkipSpaces();
      }
      if (!in.Take(L']'))
        return false;
      compound.attrs.push_back(std::move(attr));
    } else {
      return any;
    }
    any = true;
  }
}

bool ParseCss(const std::wstring &text, std::vector<Selector> &groups) {
  Reader in(text);
  Selector selector;
  bool child = false;
  in.SkipSpaces();
  while (!in.AtEnd()) {
    Compound compound;
    if (!ParseCompound(in, compound))
      return false;
    compound.child = child;
    if (child && selector.empty())
      return false;
    selector.push_back(std::move(compound));
    bool space = in.SkipSpaces();
    child = in.Take(L'>');
    if (child) {
      in.SkipSpaces();
      if (in.AtEnd())
        return false;
    } else if (in.Take(L',')) {
      groups.push_back(std::move(selector));
      selector.clear();
      in.SkipSpaces();
      if (in.AtEnd())
        return false;
    } else if (!space && !in.AtEnd()) {
      return false;
    }
  }
  if (selector.empty())
    return false;
  groups.push_back(std::move(selector));
  return true;
}

bool HasClass(const std::wstring &classes, const std::wstring &name) {
  size_t at = 0;
  while (at < classes.size()) {
    while (at < classes.size() && std::iswspace(classes[at]))
      ++at;
    size_t end = at;
    while (end < classes.size() && !std::iswspace(classes[end]))
      ++end;
    if (end > at && classes.compare(at, end - at, name) == 0)
      return true;
    at = end;
  }
  return false;
}

bool CompoundMatches(IHTMLElement *element, const Compound &compound) {
  if (!TagMatches(element, compound.tag))
    return false;
  for (const auto &id : compound.ids) {
    if (ElementId(element) != id)
      return false;
  }
  if (!compound.classes.empty()) {
    std::wstring classes = ClassName(element);
    for (const auto &name : compound.classes) {
      if (!HasClass(classes, name))
        return false;
    }
  }
  for (const auto &attr : compound.attrs) {
    if (!AttrMatches(element, attr))
      return false;
  }
  return true;
}

// Right to left: the last compound on the element, each earlier one on its
// parent (">") or on some ancestor (space), backtracking over ancestors.
bool SelectorMatches(IHTMLElement *element, const Selector &selector, size_t last) {
  if (!CompoundMatches(element, selector[last]))
    return false;
  if (last == 0)
    return true;
  bool child = selector[last].child;
  for (ComPtr<IHTMLElement> at = ParentElement(element); at; at = ParentElement(at.Get())) {
    if (SelectorMatches(at.Get(), selector, last - 1))
      return true;
    if (child)
      return false;
  }
  return false;
}

} // namespace

HRESULT QueryElements(IHTMLElement *root, const std::wstring &xpath, const std::wstring &css,
                      LONG max, Elements &found) {
  found.clear();
  if (root == nullptr)
    return E_INVALIDARG;
  std::vector<Selector> groups;
  if (!css.empty() && !ParseCss(css, groups))
    return E_INVALIDARG;
  Elements candidates;
  if (!xpath.empty()) {
    HRESULT hr = RunXPath(root, xpath, candidates);
    if (FAILED(hr))
      return hr;
  } else {
    Descendants(root, candidates);
  }
  for (auto &element : candidates) {
    if (max >= 0 && static_cast<LONG>(found.size()) >= max)
      break;
    bool matches = groups.empty();
    for (const Selector &selector : groups) {
      if (SelectorMatches(element.Get(), selector, selector.size() - 1)) {
        matches = true;
        break;
      }
    }
    if (matches)
      found.push_back(std::move(element));
  }
  return S_OK;
}

std::wstring XPathOf(IHTMLElement *element) {
  std::vector<std::wstring> steps;
  bool first = true;
  for (ComPtr<IHTMLElement> at(element); at; at = ParentElement(at.Get())) {
    std::wstring tag = TagName(at.Get());
    ComPtr<IHTMLElement> parent = ParentElement(at.Get());
    std::wstring id = first ? ElementId(at.Get()) : std::wstring();
    first = false;
    if (!parent) {
      steps.push_back(tag);
      break;
    }
    LONG position = 0;
    for (const auto &sibling : Children(parent.Get())) {
      if (EqualsNoCase(TagName(sibling.Get()), tag))
        ++position;
      if (SameObject(sibling.Get(), at.Get()))
        break;
    }
    std::wstring step = tag + L"[" + std::to_wstring(position) + L"]";
    if (!id.empty() && id.find(L'\'') == std::wstring::npos)
      step = tag + L"[@id='" + id + L"']";
    steps.push_back(step);
  }
  std::wstring path;
  for (auto it = steps.rbegin(); it != steps.rend(); ++it)
    path += L"/" + *it;
  return path;
}

} // namespace host::tree
