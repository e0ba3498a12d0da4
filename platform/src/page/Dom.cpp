#include "page/Dom.h"

#include <gumbo.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tallowick/Strings.h"

namespace tallowick::page {

using platform::EqualsNoCase;
using platform::Narrow;
using platform::Widen;

namespace {

constexpr int kMaxFrameDepth = 8;

std::wstring Upper(std::wstring s) {
  for (auto &c : s)
    if (c >= L'a' && c <= L'z')
      c = static_cast<wchar_t>(c - L'a' + L'A');
  return s;
}

std::wstring Piece(const GumboStringPiece &piece) {
  return Widen(std::string_view(piece.data, piece.length));
}

// Sets tag, scope and known from a gumbo element.
void NameElement(Node &node, const GumboElement &element) {
  if (element.tag != GUMBO_TAG_UNKNOWN) {
    node.tag = Upper(Widen(gumbo_normalized_tagname(element.tag)));
    node.known = true;
    return;
  }
  GumboStringPiece original = element.original_tag;
  gumbo_tag_from_original_text(&original);
  std::wstring written = Piece(original);
  size_t colon = written.find(L':');
  if (colon != std::wstring::npos && colon + 1 < written.size()) {
    node.scope = written.substr(0, colon);
    node.tag = written.substr(colon + 1);
    return;
  }
  node.tag = Upper(written);
}

std::shared_ptr<Node> MakeNode(const GumboNode &source, PageDocument *document) {
  auto node = std::make_shared<Node>();
  node->document = document;
  switch (source.type) {
  case GUMBO_NODE_ELEMENT:
  case GUMBO_NODE_TEMPLATE: {
    NameElement(*node, source.v.element);
    const GumboVector &attrs = source.v.element.attributes;
    for (unsigned i = 0; i < attrs.length; ++i) {
      auto *attr = static_cast<const GumboAttribute *>(attrs.data[i]);
      std::wstring name =
          attr->original_name.length ? Piece(attr->original_name) : Widen(attr->name);
      node->attributes.push_back({name, Widen(attr->value), nullptr});
    }
    break;
  }
  case GUMBO_NODE_COMMENT:
    node->kind = NodeKind::Comment;
    node->text = Widen(source.v.text.text);
    break;
  default:
    node->kind = NodeKind::Text;
    node->text = Widen(source.v.text.text);
    break;
  }
  return node;
}

// Copies gumbo's children of `source` under `target`, iteratively.
void Convert(const GumboNode &source, Node &target, PageDocument *document) {
  struct Pending {
    const GumboNode *from;
    Node *to;
  };
  std::vector<Pending> stack{{&source, &target}};
  while (!stack.empty()) {
    Pending item = stack.back();
    stack.pop_back();
    const GumboVector *children = nullptr;
    if (item.from->type == GUMBO_NODE_DOCUMENT)
      children = &item.from->v.document.children;
    else if (item.from->type == GUMBO_NODE_ELEMENT || item.from->type == GUMBO_NODE_TEMPLATE)
      children = &item.from->v.element.children;
    if (!children)
      continue;
    for (unsigned i = 0; i < children->length; ++i) {
      auto *child = static_cast<const GumboNode *>(children->data[i]);
      auto node = MakeNode(*child, document);
      node->parent = item.to;
      item.to->children.push_back(node);
      stack.push_back({child, node.get()});
    }
  }
}

bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '_' || c == '-' ||
         c == '.';
}

// IE closes a prefixed custom tag written `<ns:Name ... />` on the spot; the
// HTML5 tree builder ignores the slash and would nest what follows inside it.
// Such tags get their end tag written out before parsing.
std::string CloseSelfClosingPrefixedTags(const std::string &html) {
  std::string out;
  out.reserve(html.size());
  size_t i = 0;
  auto skipTo = [&](const char *end) {
    size_t found = html.find(end, i);
    size_t stop = found == std::string::npos ? html.size() : found + std::strlen(end);
    out.append(html, i, stop - i);
    i = stop;
  };
  while (i < html.size()) {
    if (html[i] != '<') {
      out += html[i++];
      continue;
    }
    if (html.compare(i, 4, "<!--") == 0) {
      skipTo("-->");
      continue;
    }
    size_t nameEnd = i + 1;
    while (nameEnd < html.size() && NameChar(html[nameEnd]))
      ++nameEnd;
    std::string name = html.substr(i + 1, nameEnd - i - 1);
    std::string lower = name;
    for (auto &c : lower)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "script" || lower == "style" || lower == "xmp" || lower == "textarea") {
      out.append(html, i, nameEnd - i);
      i = nameEnd;
      skipTo(("</" + lower).c_str());
      continue;
    }
    if (name.find(':') == std::string::npos || !std::isalpha(static_cast<unsigned char>(name[0]))) {
      out += html[i++];
      continue;
    }
    // Find the end of the start tag, past quoted attribute values.
    size_t j = nameEnd;
    char quote = 0;
    for (; j < html.size(); ++j) {
      if (quote) {
        if (html[j] == quote)
          quote = 0;
      } else if (html[j] == '"' || html[j] == '\'') {
        quote = html[j];
      } else if (html[j] == '>') {
        break;
      }
    }
    if (j >= html.size()) {
      out.append(html, i, std::string::npos);
      break;
    }
    out.append(html, i, j + 1 - i);
    if (j > nameEnd && html[j - 1] == '/')
      out += "</" + name + ">";
    i = j + 1;
  }
  return out;
}

GumboOutput *Parse(const std::string &html, GumboTag context) {
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;
  options.fragment_context = context;
  return gumbo_parse_with_options(&options, html.data(), html.size());
}

void LoadFrames(PageDocument &document, int frameDepth) {
  for (Node *node : Descendants(document.root.get())) {
    if (!node->Is(L"FRAME") && !node->Is(L"IFRAME"))
      continue;
    std::wstring src = node->AttributeValue(L"src");
    std::shared_ptr<PageDocument> frame;
    if (!src.empty() && frameDepth < kMaxFrameDepth) {
      std::wstring url = document.ResolveUrl(src);
      frame = LoadDocumentFile(PathFromUrl(url), url, frameDepth + 1);
    }
    if (!frame) // a missing or unreadable frame file shows an empty document
      frame = ParseDocument("", src.empty() ? L"about:blank" : document.ResolveUrl(src),
                            kMaxFrameDepth);
    frame->parent = &document;
    frame->frameElement = node;
    frame->name = node->AttributeValue(L"name");
    node->frame = frame;
    document.hasFrames = true;
  }
}

bool IsBlock(const Node &node) {
  static const wchar_t *const blocks[] = {
      L"ADDRESS", L"BLOCKQUOTE", L"BODY",    L"CENTER", L"DD",    L"DIR",  L"DIV", L"DL",
      L"DT",      L"FIELDSET",   L"FORM",    L"H1",     L"H2",    L"H3",   L"H4",  L"H5",
      L"H6",      L"HR",         L"LI",      L"MENU",   L"OL",    L"P",    L"PRE", L"TABLE",
      L"TR",      L"UL",         L"CAPTION", L"THEAD",  L"TBODY", L"TFOOT"};
  for (const wchar_t *tag : blocks)
    if (node.Is(tag))
      return true;
  return false;
}

bool IsVoid(const Node &node) {
  static const wchar_t *const voids[] = {
      L"AREA", L"BASE", L"BR",    L"COL",    L"EMBED", L"HR",  L"IMG",   L"INPUT",
      L"LINK", L"META", L"PARAM", L"SOURCE", L"TRACK", L"WBR", L"FRAME", L"BASEFONT"};
  if (!node.known)
    return false;
  for (const wchar_t *tag : voids)
    if (node.Is(tag))
      return true;
  return false;
}

bool Hidden(const Node &node) {
  return node.Is(L"SCRIPT") || node.Is(L"STYLE") || node.Is(L"HEAD") || node.Is(L"TITLE") ||
         node.Is(L"NOSCRIPT");
}

std::wstring Escape(const std::wstring &text, bool attribute) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'&')
      out += L"&amp;";
    else if (c == L'<' && !attribute)
      out += L"&lt;";
    else if (c == L'>' && !attribute)
      out += L"&gt;";
    else if (c == L'"' && attribute)
      out += L"&quot;";
    else
      out += c;
  }
  return out;
}

std::wstring OpenTag(const Node &node) {
  std::wstring out = L"<";
  if (!node.scope.empty())
    out += node.scope + L":";
  out += node.tag;
  for (const Attribute &attr : node.attributes)
    out += L" " + attr.name + L"=\"" + Escape(attr.value, true) + L"\"";
  return out + L">";
}

std::wstring CloseTag(const Node &node) {
  return L"</" + (node.scope.empty() ? std::wstring() : node.scope + L":") + node.tag + L">";
}

bool RawText(const Node &node) {
  return node.Is(L"SCRIPT") || node.Is(L"STYLE") || node.Is(L"XMP") || node.Is(L"TEXTAREA");
}

// Serialises the children of node (and node itself when `self`), iteratively.
std::wstring Serialize(const Node &node, bool self) {
  std::wstring out;
  struct Step {
    const Node *node;
    bool close;
  };
  std::vector<Step> stack;
  auto pushChildren = [&](const Node &parent) {
    for (auto it = parent.children.rbegin(); it != parent.children.rend(); ++it)
      stack.push_back({it->get(), false});
  };
  if (self)
    stack.push_back({&node, false});
  else
    pushChildren(node);
  while (!stack.empty()) {
    Step step = stack.back();
    stack.pop_back();
    const Node &n = *step.node;
    if (step.close) {
      out += CloseTag(n);
      continue;
    }
    if (n.kind == NodeKind::Text) {
      out += n.parent && RawText(*n.parent) ? n.text : Escape(n.text, false);
      continue;
    }
    if (n.kind == NodeKind::Comment) {
      out += L"<!--" + n.text + L"-->";
      continue;
    }
    if (n.kind == NodeKind::Document) {
      pushChildren(n);
      continue;
    }
    out += OpenTag(n);
    if (IsVoid(n))
      continue;
    stack.push_back({&n, true});
    pushChildren(n);
  }
  return out;
}

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}

// innerText in IE's manner: white space collapsed, BR and block boundaries as line
// breaks, table cells separated by tabs.
class TextBuilder {
public:
  void Text(const std::wstring &text, bool pre) {
    for (wchar_t c : text) {
      if (pre) {
        Put(c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c));
        continue;
      }
      if (IsSpace(c)) {
        space_ = true;
        continue;
      }
      if (space_ && !out_.empty() && !AtLineStart() && out_.back() != L'\t')
        out_ += L' ';
      space_ = false;
      out_ += c;
    }
  }
  // Writes a pending collapsed space, so that an element's text starts after it.
  void FlushSpace() {
    if (space_ && !out_.empty() && !AtLineStart() && out_.back() != L'\t')
      out_ += L' ';
    space_ = false;
  }
  void LineBreak() {
    out_ += L"\r\n";
    space_ = false;
  }
  void BlockBreak() {
    if (!out_.empty() && !AtLineStart())
      LineBreak();
    space_ = false;
  }
  void Tab() {
    out_ += L'\t';
    space_ = false;
  }
  size_t Size() const { return out_.size(); }
  std::wstring Result() {
    while (out_.size() >= 2 && out_.compare(out_.size() - 2, 2, L"\r\n") == 0)
      out_.resize(out_.size() - 2);
    return out_;
  }

private:
  void Put(const std::wstring &s) {
    out_ += s;
    space_ = false;
  }
  bool AtLineStart() const { return out_.size() >= 1 && out_.back() == L'\n'; }
  std::wstring out_;
  bool space_ = false;
};

} // namespace

Node::~Node() {
  // Children whose only owner is this node are taken apart here, level by level,
  // so that deep trees do not recurse through destructors. Nodes that a COM
  // object still holds survive detached.
  std::vector<std::shared_ptr<Node>> pending;
  pending.swap(children);
  for (auto &child : pending)
    child->parent = nullptr;
  while (!pending.empty()) {
    std::shared_ptr<Node> node = std::move(pending.back());
    pending.pop_back();
    if (node.use_count() != 1)
      continue;
    for (auto &child : node->children) {
      child->parent = nullptr;
      pending.push_back(std::move(child));
    }
    node->children.clear();
  }
}

const Attribute *Node::FindAttribute(const std::wstring &name, bool caseSensitive) const {
  for (const Attribute &attr : attributes)
    if (caseSensitive ? attr.name == name : EqualsNoCase(attr.name, name))
      return &attr;
  return nullptr;
}

std::wstring Node::AttributeValue(const wchar_t *name) const {
  const Attribute *attr = FindAttribute(name);
  return attr ? attr->value : std::wstring();
}

void Node::SetAttribute(const std::wstring &name, const std::wstring &value, bool caseSensitive) {
  Changed(*this);
  for (Attribute &attr : attributes) {
    if (caseSensitive ? attr.name == name : EqualsNoCase(attr.name, name)) {
      attr.value = value;
      attr.typed.reset();
      return;
    }
  }
  attributes.push_back({name, value, nullptr});
}

bool Node::RemoveAttribute(const std::wstring &name, bool caseSensitive) {
  auto it = std::find_if(attributes.begin(), attributes.end(), [&](const Attribute &attr) {
    return caseSensitive ? attr.name == name : EqualsNoCase(attr.name, name);
  });
  if (it == attributes.end())
    return false;
  attributes.erase(it);
  Changed(*this);
  return true;
}

size_t Node::IndexInParent() const {
  if (!parent)
    return 0;
  for (size_t i = 0; i < parent->children.size(); ++i)
    if (parent->children[i].get() == this)
      return i;
  return 0;
}

Node *Node::ParentElement() const { return parent && parent->IsElement() ? parent : nullptr; }

bool Node::Contains(const Node *other) const {
  for (const Node *n = other; n; n = n->parent)
    if (n == this)
      return true;
  return false;
}

Node *NextInTree(const Node *node, const Node *root) {
  if (!node->children.empty())
    return node->children.front().get();
  for (const Node *n = node; n && n != root; n = n->parent) {
    Node *parent = n->parent;
    if (!parent)
      return nullptr;
    size_t index = n->IndexInParent();
    if (index + 1 < parent->children.size())
      return parent->children[index + 1].get();
  }
  return nullptr;
}

std::vector<Node *> Descendants(const Node *root) {
  std::vector<Node *> out;
  // Explicit stack: NextInTree's sibling search is linear, which wide trees punish.
  std::vector<Node *> stack;
  for (auto it = root->children.rbegin(); it != root->children.rend(); ++it)
    stack.push_back(it->get());
  while (!stack.empty()) {
    Node *node = stack.back();
    stack.pop_back();
    if (node->IsElement())
      out.push_back(node);
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
      stack.push_back(it->get());
  }
  return out;
}

std::vector<Node *> ChildElements(const Node *node) {
  std::vector<Node *> out;
  for (auto &child : node->children)
    if (child->IsElement())
      out.push_back(child.get());
  return out;
}

Node *PageDocument::DocumentElement() const {
  for (auto &child : root->children)
    if (child->IsElement())
      return child.get();
  return nullptr;
}

Node *PageDocument::Body() const {
  Node *html = DocumentElement();
  if (!html)
    return nullptr;
  for (auto &child : html->children)
    if (child->Is(L"BODY") || child->Is(L"FRAMESET"))
      return child.get();
  return nullptr;
}

Node *PageDocument::Head() const {
  Node *html = DocumentElement();
  if (!html)
    return nullptr;
  for (auto &child : html->children)
    if (child->Is(L"HEAD"))
      return child.get();
  return nullptr;
}

long PageDocument::SourceIndex(const Node *node) const {
  if (!root->Contains(node))
    return -1;
  long index = 0;
  for (Node *element : Descendants(root.get())) {
    if (element == node)
      return index;
    ++index;
  }
  return -1;
}

std::wstring PageDocument::Title() const {
  for (Node *element : Descendants(root.get()))
    if (element->Is(L"TITLE"))
      return InnerText(*element);
  return {};
}

std::wstring PageDocument::ResolveUrl(const std::wstring &href) const {
  std::wstring ref = href;
  while (!ref.empty() && IsSpace(ref.front()))
    ref.erase(ref.begin());
  while (!ref.empty() && IsSpace(ref.back()))
    ref.pop_back();
  size_t colon = ref.find(L':');
  if (colon != std::wstring::npos && colon > 1 &&
      ref.find_first_of(L"/?#") > colon) // has a scheme (one letter would be a drive)
    return ref;
  std::wstring base = url;
  size_t cut = base.find_first_of(L"?#");
  if (ref.empty())
    return base;
  if (ref[0] == L'#')
    return base.substr(0, base.find(L'#')) + ref;
  if (ref[0] == L'?')
    return base.substr(0, cut) + ref;
  base = base.substr(0, cut);
  size_t schemeEnd = base.find(L"://");
  size_t pathStart = schemeEnd == std::wstring::npos ? 0 : base.find(L'/', schemeEnd + 3);
  if (pathStart == std::wstring::npos) {
    pathStart = base.size();
    base += L'/';
  }
  if (ref.size() > 1 && ref[0] == L'/' && ref[1] == L'/')
    return base.substr(0, schemeEnd == std::wstring::npos ? 0 : schemeEnd + 1) + ref;
  std::wstring path =
      ref[0] == L'/' ? ref : base.substr(pathStart, base.rfind(L'/') + 1 - pathStart) + ref;
  // Remove dot segments.
  std::vector<std::wstring> segments;
  std::wstring tail;
  size_t query = path.find_first_of(L"?#");
  if (query != std::wstring::npos) {
    tail = path.substr(query);
    path.resize(query);
  }
  std::wstringstream stream(path);
  std::wstring segment;
  bool trailing = !path.empty() && path.back() == L'/';
  while (std::getline(stream, segment, L'/')) {
    if (segment.empty() || segment == L".")
      continue;
    if (segment == L"..") {
      if (!segments.empty())
        segments.pop_back();
      continue;
    }
    segments.push_back(segment);
  }
  if (path.ends_with(L"/.") || path.ends_with(L"/.."))
    trailing = true;
  std::wstring joined;
  for (auto &s : segments)
    joined += L"/" + s;
  if (trailing || joined.empty())
    joined += L"/";
  return base.substr(0, pathStart) + joined + tail;
}

std::shared_ptr<PageDocument> ParseDocument(const std::string &html, const std::wstring &url,
                                            int frameDepth) {
  auto document = std::make_shared<PageDocument>();
  document->url = url;
  document->root = std::make_shared<Node>();
  document->root->kind = NodeKind::Document;
  document->root->document = document.get();
  std::string source = CloseSelfClosingPrefixedTags(html); // gumbo's output points into it
  GumboOutput *output = Parse(source, GUMBO_TAG_LAST);
  if (output) {
    Convert(*output->document, *document->root, document.get());
    gumbo_destroy_output(&kGumboDefaultOptions, output);
  }
  LoadFrames(*document, frameDepth);
  return document;
}

std::shared_ptr<PageDocument> LoadDocumentFile(const std::string &path, const std::wstring &url,
                                               int frameDepth) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return nullptr;
  std::string html((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return ParseDocument(html, url.empty() ? FileUrl(path) : url, frameDepth);
}

std::vector<std::shared_ptr<Node>> ParseFragment(const std::wstring &html, const Node &context) {
  GumboTag tag = GUMBO_TAG_DIV;
  if (context.known) {
    std::string name = Narrow(context.tag);
    for (auto &c : name)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    tag = gumbo_tag_enum(name.c_str());
    if (tag == GUMBO_TAG_UNKNOWN || tag == GUMBO_TAG_HTML)
      tag = GUMBO_TAG_DIV;
  }
  std::vector<std::shared_ptr<Node>> nodes;
  std::string source = CloseSelfClosingPrefixedTags(Narrow(html)); // gumbo's output points into it
  GumboOutput *output = Parse(source, tag);
  if (!output)
    return nodes;
  // A fragment parse answers an HTML element whose children are the fragment.
  Node holder;
  Convert(*output->document, holder, context.document);
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  for (auto &child : holder.children) {
    if (!child->Is(L"HTML")) {
      nodes.push_back(child);
      continue;
    }
    for (auto &inner : child->children)
      nodes.push_back(inner);
    child->children.clear();
  }
  holder.children.clear();
  for (auto &node : nodes)
    node->parent = nullptr;
  return nodes;
}

void Changed(const Node &node) {
  if (node.document)
    ++node.document->revision;
}

void AdoptInto(Node &node, PageDocument *document) {
  node.document = document;
  for (const Node *n = &node; (n = NextInTree(n, &node));)
    const_cast<Node *>(n)->document = document;
}

namespace {

std::shared_ptr<Node> CloneOne(const Node &node) {
  auto copy = std::make_shared<Node>();
  copy->kind = node.kind;
  copy->tag = node.tag;
  copy->scope = node.scope;
  copy->known = node.known;
  copy->text = node.text;
  copy->attributes = node.attributes;
  copy->document = node.document;
  return copy;
}

} // namespace

std::shared_ptr<Node> CloneTree(const Node &node, bool deep) {
  std::shared_ptr<Node> root = CloneOne(node);
  if (!deep)
    return root;
  std::vector<std::pair<const Node *, Node *>> pending{{&node, root.get()}};
  while (!pending.empty()) {
    auto [from, to] = pending.back();
    pending.pop_back();
    for (const auto &child : from->children) {
      auto copy = CloneOne(*child);
      copy->parent = to;
      to->children.push_back(copy);
      pending.emplace_back(child.get(), copy.get());
    }
  }
  return root;
}

void InsertChildren(Node &parent, size_t at, std::vector<std::shared_ptr<Node>> nodes) {
  at = std::min(at, parent.children.size());
  Changed(parent);
  for (auto &node : nodes) {
    node->parent = &parent;
    AdoptInto(*node, parent.document);
  }
  parent.children.insert(parent.children.begin() + static_cast<long>(at), nodes.begin(),
                         nodes.end());
}

std::shared_ptr<Node> Detach(Node &node) {
  Node *parent = node.parent;
  if (!parent)
    return nullptr;
  Changed(*parent);
  size_t index = node.IndexInParent();
  std::shared_ptr<Node> owned = parent->children[index];
  parent->children.erase(parent->children.begin() + static_cast<long>(index));
  node.parent = nullptr;
  return owned;
}

void RemoveChildren(Node &node) {
  Changed(node);
  for (auto &child : node.children)
    child->parent = nullptr;
  std::vector<std::shared_ptr<Node>> removed;
  removed.swap(node.children);
  // Destroyed here; Node's destructor keeps deep subtrees from recursing.
  Node holder;
  holder.children = std::move(removed);
}

std::wstring InnerText(const Node &node, std::vector<TextSpan> *spans) {
  TextBuilder text;
  std::vector<size_t> open; // span index of each element entered
  struct Step {
    const Node *node;
    bool leave;
  };
  std::vector<Step> stack;
  for (auto it = node.children.rbegin(); it != node.children.rend(); ++it)
    stack.push_back({it->get(), false});
  while (!stack.empty()) {
    Step step = stack.back();
    stack.pop_back();
    const Node &n = *step.node;
    if (step.leave) {
      if (spans) {
        (*spans)[open.back()].end = text.Size();
        open.pop_back();
      }
      if (IsBlock(n))
        text.BlockBreak();
      continue;
    }
    if (n.kind == NodeKind::Text) {
      bool pre = false;
      for (const Node *p = n.parent; p && !pre; p = p->parent)
        pre = p->Is(L"PRE") || p->Is(L"TEXTAREA");
      text.Text(n.text, pre);
      continue;
    }
    if (!n.IsElement() || Hidden(n))
      continue;
    if (n.Is(L"BR")) {
      text.LineBreak();
      continue;
    }
    if ((n.Is(L"TD") || n.Is(L"TH")) && n.parent && n.IndexInParent() > 0) {
      bool firstCell = true;
      for (size_t i = 0; i < n.IndexInParent(); ++i)
        if (n.parent->children[i]->IsElement())
          firstCell = false;
      if (!firstCell)
        text.Tab();
    }
    if (IsBlock(n))
      text.BlockBreak();
    else
      text.FlushSpace();
    if (spans) {
      open.push_back(spans->size());
      spans->push_back({&n, text.Size(), text.Size()});
    }
    stack.push_back({&n, true});
    for (auto it = n.children.rbegin(); it != n.children.rend(); ++it)
      stack.push_back({it->get(), false});
  }
  std::wstring result = text.Result();
  if (spans)
    for (TextSpan &span : *spans) {
      span.begin = std::min(span.begin, result.size());
      span.end = std::min(span.end, result.size());
    }
  return result;
}

std::wstring OuterHtml(const Node &node) { return Serialize(node, true); }
std::wstring InnerHtml(const Node &node) { return Serialize(node, false); }

std::wstring FileUrl(const std::string &path) {
  std::string absolute = path;
  if (!absolute.empty() && absolute[0] != '/') {
    char *cwd = getcwd(nullptr, 0);
    if (cwd) {
      absolute = std::string(cwd) + "/" + absolute;
      free(cwd);
    }
  }
  return L"file://" + Widen(absolute);
}

std::string PathFromUrl(const std::wstring &url) {
  std::wstring path = url;
  if (path.rfind(L"file://", 0) == 0)
    path = path.substr(7);
  else if (path.find(L"://") != std::wstring::npos)
    return {}; // only files are loaded
  path = path.substr(0, path.find_first_of(L"?#"));
  std::string out;
  std::string narrow = Narrow(path);
  for (size_t i = 0; i < narrow.size(); ++i) { // percent-decoding
    if (narrow[i] == '%' && i + 2 < narrow.size() && std::isxdigit(narrow[i + 1]) &&
        std::isxdigit(narrow[i + 2])) {
      out += static_cast<char>(std::stoi(narrow.substr(i + 1, 2), nullptr, 16));
      i += 2;
      continue;
    }
    out += narrow[i];
  }
  return out;
}

} // namespace tallowick::page
