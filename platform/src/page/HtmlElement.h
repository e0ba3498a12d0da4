// The object of an element node: the element interfaces for every element,
// and the table, form, anchor, input, select, option, image, body and frame
// interfaces for the elements of those tags.
#pragma once

#include "page/PageObjects.h"

namespace tallowick::page {

// The element kinds that add interfaces; the kind picks the interfaces
// QueryInterface answers and the member table dispatch adds.
enum class ElementKind {
  Plain,
  Table,
  Section,
  Row,
  Cell,
  Caption,
  Anchor,
  Form,
  Input,
  Select,
  Option,
  Img,
  Body,
  Frame,
  IFrame
};
ElementKind KindOf(const Node &node);

class HtmlElement final : public StubIHTMLElement,
                          public StubIHTMLElement2,
                          public StubIHTMLElement3,
                          public StubIHTMLElement4,
                          public StubIHTMLDOMNode,
                          public StubIHTMLTable,
                          public StubIHTMLTable2,
                          public StubIHTMLTableSection,
                          public StubIHTMLTableRow,
                          public StubIHTMLTableCell,
                          public StubIHTMLTableCaption,
                          public StubIHTMLAnchorElement,
                          public StubIHTMLFormElement,
                          public StubIHTMLInputElement,
                          public StubIHTMLSelectElement,
                          public StubIHTMLOptionElement,
                          public StubIHTMLImgElement,
                          public StubIHTMLBodyElement,
                          public StubIHTMLFrameBase,
                          public StubIHTMLIFrameElement,
                          public ExpandoHost {
public:
  HtmlElement(Page *page, std::shared_ptr<Node> node);
  ~HtmlElement();
  using Self = HtmlElement;

  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override;
  PAGE_REFCOUNT
  PAGE_IDISPATCH
  void *Find(REFIID riid);
  std::span<const std::span<const Member<HtmlElement>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &name, DISPID *id);
  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result);
  Node &GetNode() { return *node_; }
  // uniqueID: IE's own stable id of the element ("ms__id12").
  HRESULT UniqueId(BSTR *p);
  // A member script sets that the element does not have: an expando attribute.
  HRESULT PutExpando(const std::wstring &name, const VARIANT &value) override;

  // IHTMLElement
  STDMETHOD(setAttribute)(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags) override;
  STDMETHOD(getAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT *AttributeValue) override;
  STDMETHOD(removeAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT_BOOL *pfSuccess) override;
  STDMETHOD(put_className)(BSTR v) override;
  STDMETHOD(get_className)(BSTR *p) override;
  STDMETHOD(put_id)(BSTR v) override;
  STDMETHOD(get_id)(BSTR *p) override;
  STDMETHOD(get_tagName)(BSTR *p) override;
  STDMETHOD(get_parentElement)(IHTMLElement **p) override;
  STDMETHOD(get_style)(IHTMLStyle **p) override;
  STDMETHOD(put_title)(BSTR v) override;
  STDMETHOD(get_title)(BSTR *p) override;
  STDMETHOD(put_lang)(BSTR v) override;
  STDMETHOD(get_lang)(BSTR *p) override;
  STDMETHOD(get_document)(IDispatch **p) override;
  STDMETHOD(scrollIntoView)(VARIANT varargStart) override;
  STDMETHOD(contains)(IHTMLElement *pChild, VARIANT_BOOL *pfResult) override;
  STDMETHOD(get_sourceIndex)(LONG *p) override;
  STDMETHOD(get_offsetLeft)(LONG *p) override;
  STDMETHOD(get_offsetTop)(LONG *p) override;
  STDMETHOD(get_offsetWidth)(LONG *p) override;
  STDMETHOD(get_offsetHeight)(LONG *p) override;
  STDMETHOD(get_offsetParent)(IHTMLElement **p) override;
  STDMETHOD(put_innerHTML)(BSTR v) override;
  STDMETHOD(get_innerHTML)(BSTR *p) override;
  STDMETHOD(put_innerText)(BSTR v) override;
  STDMETHOD(get_innerText)(BSTR *p) override;
  STDMETHOD(put_outerHTML)(BSTR v) override;
  STDMETHOD(get_outerHTML)(BSTR *p) override;
  STDMETHOD(put_outerText)(BSTR v) override;
  STDMETHOD(get_outerText)(BSTR *p) override;
  STDMETHOD(insertAdjacentHTML)(BSTR where, BSTR html) override;
  STDMETHOD(insertAdjacentText)(BSTR where, BSTR text) override;
  STDMETHOD(click)() override;
  STDMETHOD(toString)(BSTR *String) override;
  STDMETHOD(get_children)(IDispatch **p) override;
  STDMETHOD(get_all)(IDispatch **p) override;
  // IHTMLElement2
  STDMETHOD(get_scopeName)(BSTR *p) override;
  STDMETHOD(get_currentStyle)(IHTMLCurrentStyle **p) override;
  STDMETHOD(getBoundingClientRect)(IHTMLRect **pRect) override;
  STDMETHOD(focus)() override;
  STDMETHOD(blur)() override;
  STDMETHOD(get_clientHeight)(LONG *p) override;
  STDMETHOD(get_clientWidth)(LONG *p) override;
  STDMETHOD(get_clientTop)(LONG *p) override;
  STDMETHOD(get_clientLeft)(LONG *p) override;
  STDMETHOD(put_scrollTop)(LONG v) override;
  STDMETHOD(get_scrollTop)(LONG *p) override;
  STDMETHOD(put_scrollLeft)(LONG v) override;
  STDMETHOD(get_scrollLeft)(LONG *p) override;
  STDMETHOD(get_scrollHeight)(LONG *p) override;
  STDMETHOD(get_scrollWidth)(LONG *p) override;
  STDMETHOD(get_readyState)(VARIANT *p) override;
  STDMETHOD(get_readyState)(BSTR *p) override; // tables, inputs and images
  STDMETHOD(getElementsByTagName)(BSTR v, IHTMLElementCollection **pelColl) override;
  STDMETHOD(attachEvent)(BSTR event, IDispatch *pDisp, VARIANT_BOOL *pfResult) override;
  STDMETHOD(detachEvent)(BSTR event, IDispatch *pDisp) override;
  STDMETHOD(insertAdjacentElement)
  (BSTR where, IHTMLElement *insertedElement, IHTMLElement **inserted) override;
  STDMETHOD(mergeAttributes)(IHTMLElement *mergeThis) override;
  STDMETHOD(mergeAttributes)(IHTMLElement *mergeThis, VARIANT *pvarFlags) override;
  STDMETHOD(cloneNode)(VARIANT_BOOL fDeep, IHTMLDOMNode **clonedNode) override;
  STDMETHOD(put_dir)(BSTR v) override;
  STDMETHOD(get_dir)(BSTR *p) override;
  STDMETHOD(setCapture)(VARIANT_BOOL containerCapture) override;
  STDMETHOD(releaseCapture)() override;
  STDMETHOD(get_runtimeStyle)(IHTMLStyle **p) override;
  // IHTMLElement3
  STDMETHOD(get_isDisabled)(VARIANT_BOOL *p) override;
  STDMETHOD(fireEvent)
  (BSTR bstrEventName, VARIANT *pvarEventObject, VARIANT_BOOL *pfCancelled) override;
  STDMETHOD(put_disabled)(VARIANT_BOOL v) override;
  STDMETHOD(get_disabled)(VARIANT_BOOL *p) override;
  // IHTMLElement4
  STDMETHOD(getAttributeNode)(BSTR bstrname, IHTMLDOMAttribute **ppAttribute) override;
  // IHTMLDOMNode
  STDMETHOD(get_nodeType)(LONG *p) override;
  STDMETHOD(get_parentNode)(IHTMLDOMNode **p) override;
  STDMETHOD(hasChildNodes)(VARIANT_BOOL *fChildren) override;
  STDMETHOD(get_childNodes)(IDispatch **p) override;
  STDMETHOD(removeNode)(VARIANT_BOOL fDeep, IHTMLDOMNode **removed) override;
  STDMETHOD(appendChild)(IHTMLDOMNode *newChild, IHTMLDOMNode **node) override;
  STDMETHOD(insertBefore)(IHTMLDOMNode *newChild, VARIANT refChild, IHTMLDOMNode **node) override;
  STDMETHOD(removeChild)(IHTMLDOMNode *oldChild, IHTMLDOMNode **node) override;
  STDMETHOD(get_nodeName)(BSTR *p) override;
  STDMETHOD(get_nodeValue)(VARIANT *p) override;
  STDMETHOD(get_firstChild)(IHTMLDOMNode **p) override;
  STDMETHOD(get_lastChild)(IHTMLDOMNode **p) override;
  STDMETHOD(get_previousSibling)(IHTMLDOMNode **p) override;
  STDMETHOD(get_nextSibling)(IHTMLDOMNode **p) override;
  // IHTMLTable, IHTMLTable2, IHTMLTableSection
  STDMETHOD(put_border)(VARIANT v) override;
  STDMETHOD(get_border)(VARIANT *p) override;
  STDMETHOD(get_cellSpacing)(VARIANT *p) override;
  STDMETHOD(get_cellPadding)(VARIANT *p) override;
  STDMETHOD(get_width)(VARIANT *p) override;
  STDMETHOD(get_height)(VARIANT *p) override;
  STDMETHOD(get_rows)(IHTMLElementCollection **p) override;
  STDMETHOD(get_tHead)(IHTMLTableSection **p) override;
  STDMETHOD(get_tFoot)(IHTMLTableSection **p) override;
  STDMETHOD(get_tBodies)(IHTMLElementCollection **p) override;
  STDMETHOD(get_caption)(IHTMLTableCaption **p) override;
  STDMETHOD(get_cells)(IHTMLElementCollection **p) override;
  STDMETHOD(insertRow)(LONG index, IDispatch **row) override; // tables and sections
  STDMETHOD(deleteRow)(LONG index) override;
  // IHTMLTableRow
  STDMETHOD(insertCell)(LONG index, IDispatch **cell) override;
  STDMETHOD(deleteCell)(LONG index) override;
  STDMETHOD(get_rowIndex)(LONG *p) override;
  STDMETHOD(get_sectionRowIndex)(LONG *p) override;
  // IHTMLTableCell
  STDMETHOD(get_cellIndex)(LONG *p) override;
  STDMETHOD(put_colSpan)(LONG v) override;
  STDMETHOD(get_colSpan)(LONG *p) override;
  STDMETHOD(put_rowSpan)(LONG v) override;
  STDMETHOD(get_rowSpan)(LONG *p) override;
  // shared by several element interfaces
  STDMETHOD(put_align)(BSTR v) override;
  STDMETHOD(get_align)(BSTR *p) override;
  STDMETHOD(put_name)(BSTR v) override;
  STDMETHOD(get_name)(BSTR *p) override;
  STDMETHOD(put_value)(BSTR v) override;
  STDMETHOD(get_value)(BSTR *p) override;
  STDMETHOD(get_type)(BSTR *p) override;
  STDMETHOD(get_form)(IHTMLFormElement **p) override;
  STDMETHOD(put_src)(BSTR v) override;
  STDMETHOD(get_src)(BSTR *p) override;
  STDMETHOD(put_href)(BSTR v) override;
  STDMETHOD(get_href)(BSTR *p) override;
  STDMETHOD(get_target)(BSTR *p) override;
  STDMETHOD(get_length)(LONG *p) override;
  STDMETHOD(get__newEnum)(IUnknown **p) override;
  STDMETHOD(item)(VARIANT name, VARIANT index, IDispatch **pdisp) override;
  STDMETHOD(tags)(VARIANT tagName, IDispatch **pdisp) override;
  STDMETHOD(createTextRange)(IHTMLTxtRange **range) override;
  // IHTMLFormElement
  STDMETHOD(get_action)(BSTR *p) override;
  STDMETHOD(get_method)(BSTR *p) override;
  STDMETHOD(get_elements)(IDispatch **p) override;
  STDMETHOD(submit)() override;
  STDMETHOD(put_onsubmit)(VARIANT v) override;
  STDMETHOD(get_onsubmit)(VARIANT *p) override;
  // IHTMLInputElement
  STDMETHOD(put_type)(BSTR v) override;
  STDMETHOD(put_checked)(VARIANT_BOOL v) override;
  STDMETHOD(get_checked)(VARIANT_BOOL *p) override;
  STDMETHOD(get_readOnly)(VARIANT_BOOL *p) override;
  STDMETHOD(select)() override;
  STDMETHOD(get_width)(LONG *p) override;
  STDMETHOD(get_height)(LONG *p) override;
  STDMETHOD(get_alt)(BSTR *p) override;
  // IHTMLSelectElement
  STDMETHOD(get_options)(IDispatch **p) override;
  STDMETHOD(put_selectedIndex)(LONG v) override;
  STDMETHOD(get_selectedIndex)(LONG *p) override;
  STDMETHOD(get_multiple)(VARIANT_BOOL *p) override;
  // IHTMLOptionElement
  STDMETHOD(put_selected)(VARIANT_BOOL v) override;
  STDMETHOD(get_selected)(VARIANT_BOOL *p) override;
  STDMETHOD(put_text)(BSTR v) override;
  STDMETHOD(get_text)(BSTR *p) override;
  STDMETHOD(put_text)(VARIANT v) override; // the body's text colour
  STDMETHOD(get_text)(VARIANT *p) override;
  STDMETHOD(get_index)(LONG *p) override;

private:
  HRESULT Collection(Selector selector, IHTMLElementCollection **p);
  HRESULT CollectionDispatch(Selector selector, IDispatch **p);
  HRESULT ReplaceWith(std::vector<std::shared_ptr<Node>> nodes);
  // Fires onpropertychange for `property` when hr succeeded; answers hr.
  HRESULT Notify(const wchar_t *property, HRESULT hr);
  // The element's content: its children, or a component's literal content.
  Node &Content() const;
  void ReplaceChildren(std::vector<std::shared_ptr<Node>> nodes);
  HRESULT InsertAdjacent(const std::wstring &where, std::vector<std::shared_ptr<Node>> nodes);
  std::vector<Node *> Options() const;
  std::vector<Node *> FormControls() const;
  Node *NamedControl(const std::wstring &name) const;
  HRESULT FollowLink();
  platform::Navigation Submission() const;
  Node *Section() const;
  Node *Table() const;

  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> node_;
  std::shared_ptr<PageDocument> document_; // keeps a frame's document alive
  ElementKind kind_;
};

// Text and comment nodes answer IHTMLDOMNode.
class HtmlTextNode final : public StubIHTMLDOMNode {
public:
  HtmlTextNode(Page *page, std::shared_ptr<Node> node);
  ~HtmlTextNode();
  using Self = HtmlTextNode;
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override;
  PAGE_REFCOUNT
  PAGE_IDISPATCH
  void *Find(REFIID riid);
  std::span<const std::span<const Member<HtmlTextNode>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }
  Node &GetNode() { return *node_; }

  STDMETHOD(get_nodeType)(LONG *p) override;
  STDMETHOD(get_parentNode)(IHTMLDOMNode **p) override;
  STDMETHOD(hasChildNodes)(VARIANT_BOOL *fChildren) override;
  STDMETHOD(removeNode)(VARIANT_BOOL fDeep, IHTMLDOMNode **removed) override;
  STDMETHOD(cloneNode)(VARIANT_BOOL fDeep, IHTMLDOMNode **clonedNode) override;
  STDMETHOD(get_nodeName)(BSTR *p) override;
  STDMETHOD(put_nodeValue)(VARIANT v) override;
  STDMETHOD(get_nodeValue)(VARIANT *p) override;
  STDMETHOD(get_previousSibling)(IHTMLDOMNode **p) override;
  STDMETHOD(get_nextSibling)(IHTMLDOMNode **p) override;

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> node_;
  std::shared_ptr<PageDocument> document_;
};

} // namespace tallowick::page
