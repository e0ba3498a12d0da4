#include <windows.h>
#include <msxml2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "OleAutTestSupport.h"
#include "RegistryFixture.h"

namespace {

// Owns one reference.
template <class T> struct Ptr {
  T *p = nullptr;
  Ptr() = default;
  Ptr(const Ptr &) = delete;
  Ptr &operator=(const Ptr &) = delete;
  ~Ptr() { reset(); }
  void reset() {
    if (p != nullptr)
      p->Release();
    p = nullptr;
  }
  T **operator&() {
    reset();
    return &p;
  }
  T *operator->() const { return p; }
  explicit operator bool() const { return p != nullptr; }
  template <class Q> HRESULT As(Ptr<Q> &out) const {
    return p->QueryInterface(__uuidof(Q), reinterpret_cast<void **>(&out));
  }
};

struct Bstr {
  BSTR b;
  explicit Bstr(const std::wstring &text)
      : b(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(b); }
  operator BSTR() const { return b; }
};

std::wstring Take(BSTR b) {
  std::wstring text(b == nullptr ? L"" : b, SysStringLen(b));
  SysFreeString(b);
  return text;
}

std::wstring NameOf(IXMLDOMNode *node) {
  BSTR name = nullptr;
  EXPECT_EQ(node->get_nodeName(&name), S_OK);
  return Take(name);
}

ULONG RefCount(IUnknown *object) {
  object->AddRef();
  return object->Release();
}

class XmlDocumentTest : public RegistryFixture {
protected:
  void SetUp() override {
    RegistryFixture::SetUp();
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    // As the kit creates it.
    ASSERT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, 0x17, IID_IXMLDOMDocument,
                               reinterpret_cast<void **>(&doc_.p)),
              S_OK);
    ASSERT_EQ(doc_->put_async(VARIANT_FALSE), S_OK);
  }
  void TearDown() override {
    if (doc_) {
      EXPECT_EQ(doc_.p->Release(), 0u);
    }
    doc_.p = nullptr;
    CoUninitialize();
    RegistryFixture::TearDown();
  }

  HRESULT LoadXml(const std::wstring &xml, VARIANT_BOOL *ok = nullptr) {
    VARIANT_BOOL local = VARIANT_FALSE;
    return doc_->loadXML(Bstr(xml), ok ? ok : &local);
  }
  HRESULT LoadPath(const std::wstring &path, VARIANT_BOOL &ok) {
    Var source(path.c_str());
    return doc_->load(source.v, &ok);
  }
  void Root(Ptr<IXMLDOMElement> &root) {
    ASSERT_EQ(doc_->get_documentElement(&root), S_OK);
    ASSERT_TRUE(root);
  }
  std::vector<std::wstring> Names(IXMLDOMNodeList *list) {
    std::vector<std::wstring> names;
    LONG length = 0;
    EXPECT_EQ(list->get_length(&length), S_OK);
    for (LONG i = 0; i < length; ++i) {
      Ptr<IXMLDOMNode> node;
      EXPECT_EQ(list->get_item(i, &node), S_OK);
      Ptr<IXMLDOMElement> element;
      Var name;
      if (node.As(element) == S_OK && element->getAttribute(Bstr(L"n"), &name) == S_OK)
        names.push_back(NameOf(node.p) + L"." + name.Text());
      else
        names.push_back(NameOf(node.p));
    }
    return names;
  }
  struct ErrorInfo {
    LONG code = 0, line = 0, linepos = 0, filepos = 0;
    std::wstring reason, srcText, url;
  };
  ErrorInfo Error() {
    ErrorInfo info;
    Ptr<IXMLDOMParseError> error;
    EXPECT_EQ(doc_->get_parseError(&error), S_OK);
    EXPECT_EQ(error->get_errorCode(&info.code), S_OK);
    EXPECT_EQ(error->get_line(&info.line), S_OK);
    EXPECT_EQ(error->get_linepos(&info.linepos), S_OK);
    EXPECT_EQ(error->get_filepos(&info.filepos), S_OK);
    BSTR text = nullptr;
    error->get_reason(&text);
    info.reason = Take(text);
    error->get_srcText(&text);
    info.srcText = Take(text);
    error->get_url(&text);
    info.url = Take(text);
    return info;
  }
  std::string TempFile(const std::string &content) {
    char path[] = "/tmp/xmldocXXXXXX";
    int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
    files_.push_back(path);
    return path;
  }
  ~XmlDocumentTest() override {
    for (const auto &file : files_)
      std::remove(file.c_str());
  }

  Ptr<IXMLDOMDocument> doc_;
  std::vector<std::string> files_;
};

TEST_F(XmlDocumentTest, CreatedByProgIdAndClsid) {
  for (const wchar_t *progId : {L"Msxml2.DOMDocument", L"Msxml2.DOMDocument.3.0"}) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    EXPECT_TRUE(clsid == CLSID_DOMDocument);
  }
  Ptr<IDispatch> dispatch;
  EXPECT_EQ(doc_.As(dispatch), S_OK);
  Ptr<IXMLDOMElement> notAnElement;
  EXPECT_EQ(doc_.As(notAnElement), E_NOINTERFACE);
  VARIANT_BOOL async = VARIANT_TRUE;
  EXPECT_EQ(doc_->get_async(&async), S_OK);
  EXPECT_EQ(async, VARIANT_FALSE);
  EXPECT_EQ(doc_->get_async(nullptr), E_POINTER);
  // An empty document has no root.
  Ptr<IXMLDOMElement> root;
  EXPECT_EQ(doc_->get_documentElement(&root), S_FALSE);
  EXPECT_FALSE(root);
}

TEST_F(XmlDocumentTest, ParseErrorReportsLinePositionAndSource) {
  VARIANT_BOOL ok = VARIANT_TRUE;
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadXml(L"<root>\n  <a x='1'>\n  </b>\n</root>", &ok), S_FALSE);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(ok, VARIANT_FALSE);
  ErrorInfo error = Error();
  EXPECT_NE(error.code, 0);
  EXPECT_TRUE(FAILED(error.code));
  EXPECT_EQ(error.line, 3);
  EXPECT_EQ(error.linepos, 7); // just past the offending end tag
  EXPECT_EQ(error.srcText, L"  </b>");
  EXPECT_EQ(error.filepos, 25);
  EXPECT_FALSE(error.reason.empty());
  Ptr<IXMLDOMElement> root;
  EXPECT_EQ(doc_->get_documentElement(&root), S_FALSE);

  // Errors on the first line and in an empty document.
  EXPECT_EQ(LoadXml(L"<a><b></a>"), S_FALSE);
  EXPECT_EQ(Error().line, 1);
  EXPECT_EQ(LoadXml(L""), S_FALSE);
  EXPECT_NE(Error().code, 0);
  EXPECT_EQ(LoadXml(L"<a/><b/>"), S_FALSE);
  EXPECT_NE(Error().code, 0);
  EXPECT_EQ(LoadXml(L"<p:a/>"), S_FALSE); // undeclared prefix
  EXPECT_NE(Error().code, 0);

  // A good load clears the error.
  EXPECT_EQ(LoadXml(L"<root/>", &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  error = Error();
  EXPECT_EQ(error.code, 0);
  EXPECT_EQ(error.line, 0);
  EXPECT_EQ(error.linepos, 0);
}

TEST_F(XmlDocumentTest, LoadsFilesAndUrlsAndReportsMissingOnes) {
  VARIANT_BOOL ok = VARIANT_TRUE;
  EXPECT_EQ(LoadPath(L"/nonexistent/dir/config.xml", ok), S_FALSE);
  EXPECT_EQ(ok, VARIANT_FALSE);
  ErrorInfo missing = Error();
  EXPECT_EQ(missing.code, static_cast<LONG>(0x800C0006));
  EXPECT_EQ(missing.line, 0);
  EXPECT_EQ(missing.linepos, 0);
  EXPECT_EQ(missing.url, L"/nonexistent/dir/config.xml");
  EXPECT_EQ(LoadPath(L"/tmp", ok), S_FALSE); // a directory is no document
  EXPECT_EQ(LoadPath(L"http://example.invalid/a.xml", ok), S_FALSE);

  std::string good = TempFile("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                              "<root a=\"caf\xE9\"/>\r\n");
  EXPECT_EQ(LoadPath(std::wstring(good.begin(), good.end()), ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  Ptr<IXMLDOMElement> root;
  Root(root);
  Var value;
  EXPECT_EQ(root->getAttribute(Bstr(L"a"), &value), S_OK);
  EXPECT_EQ(value.Text(), L"caf\u00e9");

  std::wstring url = L"file://" + std::wstring(good.begin(), good.end());
  EXPECT_EQ(LoadPath(url, ok), S_OK);
  BSTR text = nullptr;
  EXPECT_EQ(doc_->get_url(&text), S_OK);
  EXPECT_EQ(Take(text), url);

  std::string bad = TempFile("<root>\r\n<open>\r\n</root>\r\n");
  EXPECT_EQ(LoadPath(std::wstring(bad.begin(), bad.end()), ok), S_FALSE);
  ErrorInfo error = Error();
  EXPECT_EQ(error.line, 3);
  EXPECT_EQ(error.srcText, L"</root>");
  EXPECT_EQ(error.url, std::wstring(bad.begin(), bad.end()));
}

TEST_F(XmlDocumentTest, AttributesAsStringsOrNull) {
  ASSERT_EQ(LoadXml(L"<r a='1' b='x &amp; &#x41;' e='' xmlns:p='urn:p' p:q='ns'/>"), S_OK);
  Ptr<IXMLDOMElement> root;
  Root(root);
  Var a, b, e, missing, q, decl;
  EXPECT_EQ(root->getAttribute(Bstr(L"a"), &a), S_OK);
  EXPECT_EQ(a.v.vt, VT_BSTR);
  EXPECT_EQ(a.Text(), L"1");
  EXPECT_EQ(root->getAttribute(Bstr(L"b"), &b), S_OK);
  EXPECT_EQ(b.Text(), L"x & A");
  EXPECT_EQ(root->getAttribute(Bstr(L"e"), &e), S_OK);
  EXPECT_EQ(e.v.vt, VT_BSTR);
  EXPECT_EQ(e.Text(), L"");
  EXPECT_EQ(root->getAttribute(Bstr(L"A"), &missing), S_FALSE); // names are case-sensitive
  EXPECT_EQ(missing.v.vt, VT_NULL);
  EXPECT_EQ(root->getAttribute(Bstr(L"p:q"), &q), S_OK);
  EXPECT_EQ(q.Text(), L"ns");
  EXPECT_EQ(root->getAttribute(Bstr(L"xmlns:p"), &decl), S_OK);
  EXPECT_EQ(decl.Text(), L"urn:p");
  EXPECT_EQ(root->getAttribute(Bstr(L"a"), nullptr), E_POINTER);

  // Writing: numbers become text, markup characters stay literal.
  Var number(static_cast<LONG>(42));
  EXPECT_EQ(root->setAttribute(Bstr(L"a"), number.v), S_OK);
  Var literal(L"<&>\"");
  EXPECT_EQ(root->setAttribute(Bstr(L"new"), literal.v), S_OK);
  EXPECT_EQ(root->setAttribute(Bstr(L"bad name"), literal.v), E_INVALIDARG);
  Var a2, added;
  root->getAttribute(Bstr(L"a"), &a2);
  EXPECT_EQ(a2.Text(), L"42");
  root->getAttribute(Bstr(L"new"), &added);
  EXPECT_EQ(added.Text(), L"<&>\"");

  // The attribute map follows edits; a removed attribute node stays usable.
  Ptr<IXMLDOMNamedNodeMap> map;
  ASSERT_EQ(root->get_attributes(&map), S_OK);
  LONG length = 0;
  EXPECT_EQ(map->get_length(&length), S_OK);
  EXPECT_EQ(length, 5);
  Ptr<IXMLDOMAttribute> node;
  ASSERT_EQ(root->getAttributeNode(Bstr(L"a"), &node), S_OK);
  EXPECT_EQ(root->removeAttribute(Bstr(L"a")), S_OK);
  EXPECT_EQ(root->removeAttribute(Bstr(L"b")), S_OK);
  EXPECT_EQ(map->get_length(&length), S_OK);
  EXPECT_EQ(length, 3);
  Var kept;
  EXPECT_EQ(node->get_value(&kept), S_OK);
  EXPECT_EQ(kept.Text(), L"42");
  EXPECT_EQ(root->setAttributeNode(node.p, nullptr), S_OK);
  Var back;
  EXPECT_EQ(root->getAttribute(Bstr(L"a"), &back), S_OK);
  EXPECT_EQ(back.Text(), L"42");
}

TEST_F(XmlDocumentTest, ElementsInDocumentOrderWithDescendants) {
  ASSERT_EQ(LoadXml(L"<r><x n='1'><x n='2'><y/><x n='3'/></x></x><y><x n='4'/></y></r>"), S_OK);
  Ptr<IXMLDOMNodeList> all;
  ASSERT_EQ(doc_->getElementsByTagName(Bstr(L"x"), &all), S_OK);
  EXPECT_EQ(Names(all.p), (std::vector<std::wstring>{L"x.1", L"x.2", L"x.3", L"x.4"}));
  Ptr<IXMLDOMNodeList> star;
  ASSERT_EQ(doc_->getElementsByTagName(Bstr(L"*"), &star), S_OK);
  EXPECT_EQ(Names(star.p),
            (std::vector<std::wstring>{L"r", L"x.1", L"x.2", L"y", L"x.3", L"y", L"x.4"}));

  // On an element: its descendants only, not itself.
  Ptr<IXMLDOMNode> first;
  ASSERT_EQ(all->get_item(0, &first), S_OK);
  Ptr<IXMLDOMElement> outer;
  ASSERT_EQ(first.As(outer), S_OK);
  Ptr<IXMLDOMNodeList> inner;
  ASSERT_EQ(outer->getElementsByTagName(Bstr(L"x"), &inner), S_OK);
  EXPECT_EQ(Names(inner.p), (std::vector<std::wstring>{L"x.2", L"x.3"}));
  Ptr<IXMLDOMNodeList> none;
  ASSERT_EQ(outer->getElementsByTagName(Bstr(L"X"), &none), S_OK);
  LONG length = -1;
  EXPECT_EQ(none->get_length(&length), S_OK);
  EXPECT_EQ(length, 0);

  // Past the end and before the start: nothing.
  Ptr<IXMLDOMNode> past;
  EXPECT_EQ(all->get_item(4, &past), S_FALSE);
  EXPECT_FALSE(past);
  EXPECT_EQ(all->get_item(-1, &past), S_FALSE);

  // nextNode walks, reset restarts; the enumerator sees the same nodes.
  int walked = 0;
  Ptr<IXMLDOMNode> next;
  while (all->nextNode(&next) == S_OK && next)
    ++walked;
  EXPECT_EQ(walked, 4);
  EXPECT_FALSE(next);
  EXPECT_EQ(all->reset(), S_OK);
  ASSERT_EQ(all->nextNode(&next), S_OK);
  EXPECT_EQ(NameOf(next.p), L"x");
  Ptr<IUnknown> unknown;
  ASSERT_EQ(all->get__newEnum(&unknown), S_OK);
  Ptr<IEnumVARIANT> items;
  ASSERT_EQ(unknown.As(items), S_OK);
  VARIANT values[8];
  ULONG fetched = 0;
  EXPECT_EQ(items->Next(8, values, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 4u);
  for (ULONG i = 0; i < fetched; ++i) {
    EXPECT_EQ(values[i].vt, VT_DISPATCH);
    VariantClear(&values[i]);
  }
}

// A configuration document as the kit reads it.
TEST_F(XmlDocumentTest, ConfigurationDocumentWalkedAsTheKitDoes) {
  const wchar_t *config = L"<?xml version=\"1.0\"?>\n"
                          L"<WebFormsConfiguration>\n"
                          L"  <!-- grids -->\n"
                          L"  <Specifier Name=\"Grid\">\n"
                          L"    <Property Name=\"tagName\" Value=\"TABLE\" Flags=\"1\"/>\n"
                          L"    <Group><Property Name=\"id\" Value=\"dg.*\" Flags=\"3\"/></Group>\n"
                          L"    <Property Value=\"no name\"/>\n"
                          L"  </Specifier>\n"
                          L"  <Specifier>\n"
                          L"    <Property Name=\"skipped\"/>\n"
                          L"  </Specifier>\n"
                          L"  <Specifier Name=\"Calendar\">\n"
                          L"    <Property Name=\"title\" Flags=\"0x10\"/>\n"
                          L"  </Specifier>\n"
                          L"</WebFormsConfiguration>\n";
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(LoadXml(config, &ok), S_OK);
  ErrorInfo error = Error();
  EXPECT_EQ(error.line, 0);
  EXPECT_EQ(error.linepos, 0);
  Ptr<IXMLDOMElement> root;
  Root(root);
  Ptr<IXMLDOMNodeList> specifiers;
  ASSERT_EQ(root->getElementsByTagName(Bstr(L"Specifier"), &specifiers), S_OK);
  std::vector<std::wstring> seen;
  LONG count = 0;
  ASSERT_EQ(specifiers->get_length(&count), S_OK);
  ASSERT_EQ(count, 3);
  for (LONG i = 0; i < count; ++i) {
    Ptr<IXMLDOMNode> node;
    ASSERT_EQ(specifiers->get_item(i, &node), S_OK);
    Ptr<IXMLDOMElement> specifier;
    ASSERT_EQ(node.As(specifier), S_OK);
    Var name;
    if (specifier->getAttribute(Bstr(L"Name"), &name) != S_OK || name.v.vt != VT_BSTR)
      continue;
    Ptr<IXMLDOMNodeList> properties;
    ASSERT_EQ(specifier->getElementsByTagName(Bstr(L"Property"), &properties), S_OK);
    Ptr<IXMLDOMNode> propertyNode;
    while (properties->nextNode(&propertyNode) == S_OK) {
      Ptr<IXMLDOMElement> property;
      ASSERT_EQ(propertyNode.As(property), S_OK);
      Var propertyName, value, flags, flagsNumber;
      if (property->getAttribute(Bstr(L"Name"), &propertyName) != S_OK)
        continue;
      property->getAttribute(Bstr(L"Value"), &value);
      property->getAttribute(Bstr(L"Flags"), &flags);
      LONG flagValue = 0;
      if (VariantChangeType(&flagsNumber.v, &flags.v, 0, VT_I4) == S_OK)
        flagValue = flagsNumber.v.lVal;
      seen.push_back(name.Text() + L"/" + propertyName.Text() + L"=" +
                     (value.v.vt == VT_BSTR ? value.Text() : L"") + L"/" +
                     std::to_wstring(flagValue));
    }
  }
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"Grid/tagName=TABLE/1", L"Grid/id=dg.*/3",
                                             L"Calendar/title=/0"}));
}

TEST_F(XmlDocumentTest, NodesKeepIdentityAndTheDocumentAlive) {
  ASSERT_EQ(LoadXml(L"<r><a>one</a><!--c--><b><![CDATA[x<y]]></b>tail</r>"), S_OK);
  Ptr<IXMLDOMElement> root, again;
  Root(root);
  Root(again);
  EXPECT_EQ(static_cast<IUnknown *>(root.p), static_cast<IUnknown *>(again.p));
  Ptr<IXMLDOMNode> first, parent;
  ASSERT_EQ(root->get_firstChild(&first), S_OK);
  ASSERT_EQ(first->get_parentNode(&parent), S_OK);
  Ptr<IUnknown> rootUnknown, parentUnknown;
  root.As(rootUnknown);
  parent.As(parentUnknown);
  EXPECT_EQ(rootUnknown.p, parentUnknown.p);

  // Node types and names along the children.
  Ptr<IXMLDOMNodeList> children;
  ASSERT_EQ(root->get_childNodes(&children), S_OK);
  EXPECT_EQ(Names(children.p),
            (std::vector<std::wstring>{L"a", L"#comment", L"b", L"#text"}));
  Ptr<IXMLDOMNode> last;
  ASSERT_EQ(root->get_lastChild(&last), S_OK);
  DOMNodeType type = NODE_INVALID;
  EXPECT_EQ(last->get_nodeType(&type), S_OK);
  EXPECT_EQ(type, NODE_TEXT);
  Ptr<IXMLDOMText> text;
  EXPECT_EQ(last.As(text), S_OK);
  BSTR all = nullptr;
  EXPECT_EQ(root->get_text(&all), S_OK);
  EXPECT_EQ(Take(all), L"onex<ytail");

  // The document goes away only with its last node.
  Ptr<IXMLDOMDocument> owner;
  ASSERT_EQ(first->get_ownerDocument(&owner), S_OK);
  EXPECT_EQ(owner.p, doc_.p);
  owner.reset();
  ULONG before = RefCount(doc_.p);
  root.reset();
  again.reset();
  parent.reset();
  parentUnknown.reset();
  rootUnknown.reset();
  children.reset();
  text.reset();
  last.reset();
  EXPECT_LT(RefCount(doc_.p), before);
  IXMLDOMDocument *document = doc_.p;
  doc_.p = nullptr;
  EXPECT_GT(document->Release(), 0u); // `first` still holds it
  BSTR xml = nullptr;
  EXPECT_EQ(first->get_xml(&xml), S_OK);
  EXPECT_EQ(Take(xml), L"<a>one</a>");
  ASSERT_EQ(first->get_ownerDocument(&owner), S_OK);
  EXPECT_EQ(owner.p, document);
  owner.reset();
  EXPECT_EQ(first.p->Release(), 0u);
  first.p = nullptr;
}

TEST_F(XmlDocumentTest, EditsKeepDetachedNodesUsable) {
  ASSERT_EQ(LoadXml(L"<r><a><b>deep</b></a></r>"), S_OK);
  Ptr<IXMLDOMElement> root;
  Root(root);
  Ptr<IXMLDOMNodeList> bs;
  ASSERT_EQ(doc_->getElementsByTagName(Bstr(L"b"), &bs), S_OK);
  Ptr<IXMLDOMNode> b;
  ASSERT_EQ(bs->get_item(0, &b), S_OK);

  // Replacing the root's content detaches `b` without freeing it.
  EXPECT_EQ(root->put_text(Bstr(L"plain & simple")), S_OK);
  BSTR xml = nullptr;
  EXPECT_EQ(root->get_xml(&xml), S_OK);
  EXPECT_EQ(Take(xml), L"<r>plain &amp; simple</r>");
  EXPECT_EQ(b->get_text(&xml), S_OK);
  EXPECT_EQ(Take(xml), L"deep");

  // Built nodes go in, a node moves instead of being copied, a cycle is refused.
  Ptr<IXMLDOMElement> made;
  ASSERT_EQ(doc_->createElement(Bstr(L"made"), &made), S_OK);
  Ptr<IXMLDOMNode> added;
  ASSERT_EQ(root->appendChild(made.p, &added), S_OK);
  ASSERT_EQ(made->appendChild(b.p, nullptr), S_OK);
  EXPECT_EQ(b->appendChild(made.p, nullptr), E_FAIL);
  Ptr<IXMLDOMText> text;
  ASSERT_EQ(doc_->createTextNode(Bstr(L"!"), &text), S_OK);
  Var before;
  before.v.vt = VT_DISPATCH;
  b.p->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&before.v.pdispVal));
  ASSERT_EQ(made->insertBefore(text.p, before.v, nullptr), S_OK);
  EXPECT_EQ(root->get_xml(&xml), S_OK);
  EXPECT_EQ(Take(xml), L"<r>plain &amp; simple<made>!<b>deep</b></made></r>");
  Ptr<IXMLDOMNode> removed;
  ASSERT_EQ(root->removeChild(made.p, &removed), S_OK);
  EXPECT_EQ(root->removeChild(made.p, nullptr), E_INVALIDARG);
  EXPECT_EQ(doc_->get_xml(&xml), S_OK);
  EXPECT_EQ(Take(xml), L"<r>plain &amp; simple</r>\r\n");

  // Nodes of another document are refused.
  Ptr<IXMLDOMDocument> other;
  ASSERT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IXMLDOMDocument, reinterpret_cast<void **>(&other)),
            S_OK);
  Ptr<IXMLDOMElement> foreign;
  ASSERT_EQ(other->createElement(Bstr(L"f"), &foreign), S_OK);
  EXPECT_EQ(root->appendChild(foreign.p, nullptr), E_INVALIDARG);

  // Reloading leaves old nodes working on their own tree.
  ASSERT_EQ(LoadXml(L"<new/>"), S_OK);
  EXPECT_EQ(made->get_xml(&xml), S_OK);
  EXPECT_EQ(Take(xml), L"<made>!<b>deep</b></made>");
}

TEST_F(XmlDocumentTest, SelectsWithXPath) {
  ASSERT_EQ(LoadXml(L"<r><s n='1'><p n='a'/></s><s n='2'><p n='b'/><p n='c'/></s></r>"), S_OK);
  Ptr<IXMLDOMNodeList> list;
  ASSERT_EQ(doc_->selectNodes(Bstr(L"//s[@n='2']/p"), &list), S_OK);
  EXPECT_EQ(Names(list.p), (std::vector<std::wstring>{L"p.b", L"p.c"}));
  Ptr<IXMLDOMNode> single;
  ASSERT_EQ(doc_->selectSingleNode(Bstr(L"/r/s/p"), &single), S_OK);
  Ptr<IXMLDOMElement> element;
  ASSERT_EQ(single.As(element), S_OK);
  Ptr<IXMLDOMNode> relative;
  EXPECT_EQ(element->selectSingleNode(Bstr(L"../@n"), &relative), S_OK);
  EXPECT_EQ(NameOf(relative.p), L"n");
  EXPECT_EQ(doc_->selectSingleNode(Bstr(L"//missing"), &single), S_FALSE);
  EXPECT_FALSE(single);
  EXPECT_EQ(doc_->selectNodes(Bstr(L"//s[@n="), &list), E_FAIL);
  EXPECT_EQ(doc_->selectNodes(Bstr(L"count(//s)"), &list), E_FAIL);
}

TEST_F(XmlDocumentTest, LateBindingByName) {
  ASSERT_EQ(LoadXml(L"<r Name='v'><c/></r>"), S_OK);
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"DOCUMENTELEMENT");
  ASSERT_EQ(doc_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  DISPPARAMS none{};
  Var root;
  ASSERT_EQ(doc_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &root.v, nullptr, nullptr),
            S_OK);
  ASSERT_EQ(root.v.vt, VT_DISPATCH);
  LPOLESTR getAttribute = const_cast<LPOLESTR>(L"getAttribute");
  ASSERT_EQ(root.v.pdispVal->GetIDsOfNames(IID_NULL, &getAttribute, 1, 0, &id), S_OK);
  Var argument(L"Name");
  DISPPARAMS one{&argument.v, nullptr, 1, 0};
  Var value;
  ASSERT_EQ(root.v.pdispVal->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &one, &value.v, nullptr,
                                    nullptr),
            S_OK);
  EXPECT_EQ(value.Text(), L"v");
  LPOLESTR unknown = const_cast<LPOLESTR>(L"noSuchMember");
  EXPECT_EQ(doc_->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
  // A member of another interface is not found on this object.
  LPOLESTR tagName = const_cast<LPOLESTR>(L"tagName");
  ASSERT_EQ(doc_->GetIDsOfNames(IID_NULL, &tagName, 1, 0, &id), S_OK);
  Var nothing;
  EXPECT_EQ(doc_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &nothing.v, nullptr,
                         nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(XmlDocumentTest, HugeAndDeepDocumentsFailCleanlyOrLoad) {
  // A large attribute loads; one beyond the parser's limit is a parse error.
  std::wstring big(1 << 20, L'x');
  ASSERT_EQ(LoadXml(L"<r a='" + big + L"'/>"), S_OK);
  Ptr<IXMLDOMElement> root;
  Root(root);
  Var value;
  ASSERT_EQ(root->getAttribute(Bstr(L"a"), &value), S_OK);
  EXPECT_EQ(SysStringLen(value.v.bstrVal), big.size());
  root.reset();
  std::wstring huge(12 << 20, L'y');
  EXPECT_EQ(LoadXml(L"<r a='" + huge + L"'/>"), S_FALSE);
  EXPECT_NE(Error().code, 0);

  // Nesting within the parser's depth limit loads; 10,000 levels are an error.
  auto nested = [](int depth) {
    std::wstring xml;
    for (int i = 0; i < depth; ++i)
      xml += L"<d>";
    for (int i = 0; i < depth; ++i)
      xml += L"</d>";
    return xml;
  };
  EXPECT_EQ(LoadXml(nested(200)), S_OK);
  Ptr<IXMLDOMNodeList> list;
  ASSERT_EQ(doc_->getElementsByTagName(Bstr(L"d"), &list), S_OK);
  LONG length = 0;
  list->get_length(&length);
  EXPECT_EQ(length, 200);
  list.reset();
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadXml(nested(10000)), S_FALSE);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ErrorInfo error = Error();
  EXPECT_NE(error.code, 0);
  EXPECT_EQ(error.line, 1);
  EXPECT_GT(error.linepos, 0);
  EXPECT_FALSE(error.reason.empty());
}

} // namespace
