// MSHTML document object model interfaces: the element, document, window,
// collection, node, style, table, form and text-range interfaces with their
// complete method tables in SDK order and with SDK signatures.
#pragma once
#include <oaidl.h>
#include <unknwn.h>
#include <wtypes.h>

DEFINE_GUID(IID_IHTMLFramesCollection2, 0x332C4426, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19);
DEFINE_GUID(IID_IHTMLWindow2, 0x332C4427, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19);
DEFINE_GUID(IID_IHTMLDocument, 0x626FC520, 0xA41E, 0x11CF, 0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26, 0x37);
DEFINE_GUID(IID_IHTMLDocument2, 0x332C4425, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19);
DEFINE_GUID(IID_IHTMLDocument3, 0x3050F485, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLDocument4, 0x3050F69A, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLLocation, 0x163BB1E0, 0x6E00, 0x11CF, 0x83, 0x7A, 0x48, 0xDC, 0x04, 0xC1, 0x00, 0x00);
DEFINE_GUID(IID_IHTMLElement, 0x3050F1FF, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLElement2, 0x3050F434, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLElement3, 0x3050F673, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLElement4, 0x3050F80F, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLDOMNode, 0x3050F5DA, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLDOMAttribute, 0x3050F4B0, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLDOMChildrenCollection, 0x3050F5AB, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLElementCollection, 0x3050F21F, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLStyle, 0x3050F25E, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLCurrentStyle, 0x3050F3DB, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLRect, 0x3050F4A3, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLTable, 0x3050F21E, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLTable2, 0x3050F4AD, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLTableSection, 0x3050F23B, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLTableRow, 0x3050F23C, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLTableCell, 0x3050F23D, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLTableCaption, 0x3050F2EB, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLAnchorElement, 0x3050F1DA, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLFormElement, 0x3050F1F7, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLInputElement, 0x3050F5D2, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLSelectElement, 0x3050F244, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLOptionElement, 0x3050F211, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLImgElement, 0x3050F240, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLBodyElement, 0x3050F1D8, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLTxtRange, 0x3050F220, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLSelectionObject, 0x3050F25A, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLEventObj, 0x3050F32D, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLEventObj2, 0x3050F48B, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLFrameBase, 0x3050F311, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);
DEFINE_GUID(IID_IHTMLIFrameElement, 0x3050F315, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B);

#ifdef __cplusplus
struct IHTMLCurrentStyle;
struct IHTMLDOMAttribute;
struct IHTMLDOMNode;
struct IHTMLDocument2;
struct IHTMLElement;
struct IHTMLElementCollection;
struct IHTMLEventObj;
struct IHTMLBookmarkCollection;
struct IHTMLDataTransfer;
struct IHTMLFiltersCollection;
struct IHTMLFormElement;
struct IHTMLFramesCollection2;
struct IHTMLImageElementFactory;
struct IHTMLLocation;
struct IHTMLOptionElementFactory;
struct IHTMLRect;
struct IHTMLRectCollection;
struct IHTMLRenderStyle;
struct IHTMLScreen;
struct IHTMLSelectionObject;
struct IHTMLStyle;
struct IHTMLStyleSheet;
struct IHTMLStyleSheetsCollection;
struct IHTMLTableCaption;
struct IHTMLTableSection;
struct IHTMLTxtRange;
struct IHTMLWindow2;
struct IOmHistory;
struct IOmNavigator;

MIDL_INTERFACE("332C4426-26CB-11D0-B483-00C04FD90119")
IHTMLFramesCollection2 : public IDispatch {
 public:
  STDMETHOD(item)(VARIANT* pvarIndex, VARIANT* pvarResult) = 0;
  STDMETHOD(get_length)(LONG* p) = 0;
};
__CRT_UUID_DECL(IHTMLFramesCollection2, 0x332C4426, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19)

MIDL_INTERFACE("332C4427-26CB-11D0-B483-00C04FD90119")
IHTMLWindow2 : public IHTMLFramesCollection2 {
 public:
  STDMETHOD(get_frames)(IHTMLFramesCollection2** p) = 0;
  STDMETHOD(put_defaultStatus)(BSTR v) = 0;
  STDMETHOD(get_defaultStatus)(BSTR* p) = 0;
  STDMETHOD(put_status)(BSTR v) = 0;
  STDMETHOD(get_status)(BSTR* p) = 0;
  STDMETHOD(setTimeout)(BSTR expression, LONG msec, VARIANT* language, LONG* timerID) = 0;
  STDMETHOD(clearTimeout)(LONG timerID) = 0;
  STDMETHOD(alert)(BSTR message) = 0;
  STDMETHOD(confirm)(BSTR message, VARIANT_BOOL* confirmed) = 0;
  STDMETHOD(prompt)(BSTR message, BSTR defstr, VARIANT* textdata) = 0;
  STDMETHOD(get_Image)(IHTMLImageElementFactory** p) = 0;
  STDMETHOD(get_location)(IHTMLLocation** p) = 0;
  STDMETHOD(get_history)(IOmHistory** p) = 0;
  STDMETHOD(close)() = 0;
  STDMETHOD(put_opener)(VARIANT v) = 0;
  STDMETHOD(get_opener)(VARIANT* p) = 0;
  STDMETHOD(get_navigator)(IOmNavigator** p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR* p) = 0;
  STDMETHOD(get_parent)(IHTMLWindow2** p) = 0;
  STDMETHOD(open)(BSTR url, BSTR name, BSTR features, VARIANT_BOOL replace, IHTMLWindow2** pomWindowResult) = 0;
  STDMETHOD(get_self)(IHTMLWindow2** p) = 0;
  STDMETHOD(get_top)(IHTMLWindow2** p) = 0;
  STDMETHOD(get_window)(IHTMLWindow2** p) = 0;
  STDMETHOD(navigate)(BSTR url) = 0;
  STDMETHOD(put_onfocus)(VARIANT v) = 0;
  STDMETHOD(get_onfocus)(VARIANT* p) = 0;
  STDMETHOD(put_onblur)(VARIANT v) = 0;
  STDMETHOD(get_onblur)(VARIANT* p) = 0;
  STDMETHOD(put_onload)(VARIANT v) = 0;
  STDMETHOD(get_onload)(VARIANT* p) = 0;
  STDMETHOD(put_onbeforeunload)(VARIANT v) = 0;
  STDMETHOD(get_onbeforeunload)(VARIANT* p) = 0;
  STDMETHOD(put_onunload)(VARIANT v) = 0;
  STDMETHOD(get_onunload)(VARIANT* p) = 0;
  STDMETHOD(put_onhelp)(VARIANT v) = 0;
  STDMETHOD(get_onhelp)(VARIANT* p) = 0;
  STDMETHOD(put_onerror)(VARIANT v) = 0;
  STDMETHOD(get_onerror)(VARIANT* p) = 0;
  STDMETHOD(put_onresize)(VARIANT v) = 0;
  STDMETHOD(get_onresize)(VARIANT* p) = 0;
  STDMETHOD(put_onscroll)(VARIANT v) = 0;
  STDMETHOD(get_onscroll)(VARIANT* p) = 0;
  STDMETHOD(get_document)(IHTMLDocument2** p) = 0;
  STDMETHOD(get_event)(IHTMLEventObj** p) = 0;
  STDMETHOD(get__newEnum)(IUnknown** p) = 0;
  STDMETHOD(showModalDialog)(BSTR dialog, VARIANT* varArgIn, VARIANT* varOptions, VARIANT* varArgOut) = 0;
  STDMETHOD(showHelp)(BSTR helpURL, VARIANT helpArg, BSTR features) = 0;
  STDMETHOD(get_screen)(IHTMLScreen** p) = 0;
  STDMETHOD(get_Option)(IHTMLOptionElementFactory** p) = 0;
  STDMETHOD(focus)() = 0;
  STDMETHOD(get_closed)(VARIANT_BOOL* p) = 0;
  STDMETHOD(blur)() = 0;
  STDMETHOD(scroll)(LONG x, LONG y) = 0;
  STDMETHOD(get_clientInformation)(IOmNavigator** p) = 0;
  STDMETHOD(setInterval)(BSTR expression, LONG msec, VARIANT* language, LONG* timerID) = 0;
  STDMETHOD(clearInterval)(LONG timerID) = 0;
  STDMETHOD(put_offscreenBuffering)(VARIANT v) = 0;
  STDMETHOD(get_offscreenBuffering)(VARIANT* p) = 0;
  STDMETHOD(execScript)(BSTR code, BSTR language, VARIANT* pvarRet) = 0;
  STDMETHOD(toString)(BSTR* String) = 0;
  STDMETHOD(scrollBy)(LONG x, LONG y) = 0;
  STDMETHOD(scrollTo)(LONG x, LONG y) = 0;
  STDMETHOD(moveTo)(LONG x, LONG y) = 0;
  STDMETHOD(moveBy)(LONG x, LONG y) = 0;
  STDMETHOD(resizeTo)(LONG x, LONG y) = 0;
  STDMETHOD(resizeBy)(LONG x, LONG y) = 0;
  STDMETHOD(get_external)(IDispatch** p) = 0;
};
__CRT_UUID_DECL(IHTMLWindow2, 0x332C4427, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19)

MIDL_INTERFACE("626FC520-A41E-11CF-A731-00A0C9082637")
IHTMLDocument : public IDispatch {
 public:
  STDMETHOD(get_Script)(IDispatch** p) = 0;
};
__CRT_UUID_DECL(IHTMLDocument, 0x626FC520, 0xA41E, 0x11CF, 0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26, 0x37)

MIDL_INTERFACE("332C4425-26CB-11D0-B483-00C04FD90119")
IHTMLDocument2 : public IHTMLDocument {
 public:
  STDMETHOD(get_all)(IHTMLElementCollection** p) = 0;
  STDMETHOD(get_body)(IHTMLElement** p) = 0;
  STDMETHOD(get_activeElement)(IHTMLElement** p) = 0;
  STDMETHOD(get_images)(IHTMLElementCollection** p) = 0;
  STDMETHOD(get_applets)(IHTMLElementCollection** p) = 0;
  STDMETHOD(get_links)(IHTMLElementCollection** p) = 0;
  STDMETHOD(get_forms)(IHTMLElementCollection** p) = 0;
  STDMETHOD(get_anchors)(IHTMLElementCollection** p) = 0;
  STDMETHOD(put_title)(BSTR v) = 0;
  STDMETHOD(get_title)(BSTR* p) = 0;
  STDMETHOD(get_scripts)(IHTMLElementCollection** p) = 0;
  STDMETHOD(put_designMode)(BSTR v) = 0;
  STDMETHOD(get_designMode)(BSTR* p) = 0;
  STDMETHOD(get_selection)(IHTMLSelectionObject** p) = 0;
  STDMETHOD(get_readyState)(BSTR* p) = 0;
  STDMETHOD(get_frames)(IHTMLFramesCollection2** p) = 0;
  STDMETHOD(get_embeds)(IHTMLElementCollection** p) = 0;
  STDMETHOD(get_plugins)(IHTMLElementCollection** p) = 0;
  STDMETHOD(put_alinkColor)(VARIANT v) = 0;
  STDMETHOD(get_alinkColor)(VARIANT* p) = 0;
  STDMETHOD(put_bgColor)(VARIANT v) = 0;
  STDMETHOD(get_bgColor)(VARIANT* p) = 0;
  STDMETHOD(put_fgColor)(VARIANT v) = 0;
  STDMETHOD(get_fgColor)(VARIANT* p) = 0;
  STDMETHOD(put_linkColor)(VARIANT v) = 0;
  STDMETHOD(get_linkColor)(VARIANT* p) = 0;
  STDMETHOD(put_vlinkColor)(VARIANT v) = 0;
  STDMETHOD(get_vlinkColor)(VARIANT* p) = 0;
  STDMETHOD(get_referrer)(BSTR* p) = 0;
  STDMETHOD(get_location)(IHTMLLocation** p) = 0;
  STDMETHOD(get_lastModified)(BSTR* p) = 0;
  STDMETHOD(put_URL)(BSTR v) = 0;
  STDMETHOD(get_URL)(BSTR* p) = 0;
  STDMETHOD(put_domain)(BSTR v) = 0;
  STDMETHOD(get_domain)(BSTR* p) = 0;
  STDMETHOD(put_cookie)(BSTR v) = 0;
  STDMETHOD(get_cookie)(BSTR* p) = 0;
  STDMETHOD(put_expando)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_expando)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_charset)(BSTR v) = 0;
  STDMETHOD(get_charset)(BSTR* p) = 0;
  STDMETHOD(put_defaultCharset)(BSTR v) = 0;
  STDMETHOD(get_defaultCharset)(BSTR* p) = 0;
  STDMETHOD(get_mimeType)(BSTR* p) = 0;
  STDMETHOD(get_fileSize)(BSTR* p) = 0;
  STDMETHOD(get_fileCreatedDate)(BSTR* p) = 0;
  STDMETHOD(get_fileModifiedDate)(BSTR* p) = 0;
  STDMETHOD(get_fileUpdatedDate)(BSTR* p) = 0;
  STDMETHOD(get_security)(BSTR* p) = 0;
  STDMETHOD(get_protocol)(BSTR* p) = 0;
  STDMETHOD(get_nameProp)(BSTR* p) = 0;
  STDMETHOD(write)(SAFEARRAY* psarray) = 0;
  STDMETHOD(writeln)(SAFEARRAY* psarray) = 0;
  STDMETHOD(open)(BSTR url, VARIANT name, VARIANT features, VARIANT replace, IDispatch** pomWindowResult) = 0;
  STDMETHOD(close)() = 0;
  STDMETHOD(clear)() = 0;
  STDMETHOD(queryCommandSupported)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandEnabled)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandState)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandIndeterm)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandText)(BSTR cmdID, BSTR* pcmdText) = 0;
  STDMETHOD(queryCommandValue)(BSTR cmdID, VARIANT* pcmdValue) = 0;
  STDMETHOD(execCommand)(BSTR cmdID, VARIANT_BOOL showUI, VARIANT value, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(execCommandShowHelp)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(createElement)(BSTR eTag, IHTMLElement** newElem) = 0;
  STDMETHOD(put_onhelp)(VARIANT v) = 0;
  STDMETHOD(get_onhelp)(VARIANT* p) = 0;
  STDMETHOD(put_onclick)(VARIANT v) = 0;
  STDMETHOD(get_onclick)(VARIANT* p) = 0;
  STDMETHOD(put_ondblclick)(VARIANT v) = 0;
  STDMETHOD(get_ondblclick)(VARIANT* p) = 0;
  STDMETHOD(put_onkeyup)(VARIANT v) = 0;
  STDMETHOD(get_onkeyup)(VARIANT* p) = 0;
  STDMETHOD(put_onkeydown)(VARIANT v) = 0;
  STDMETHOD(get_onkeydown)(VARIANT* p) = 0;
  STDMETHOD(put_onkeypress)(VARIANT v) = 0;
  STDMETHOD(get_onkeypress)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseup)(VARIANT v) = 0;
  STDMETHOD(get_onmouseup)(VARIANT* p) = 0;
  STDMETHOD(put_onmousedown)(VARIANT v) = 0;
  STDMETHOD(get_onmousedown)(VARIANT* p) = 0;
  STDMETHOD(put_onmousemove)(VARIANT v) = 0;
  STDMETHOD(get_onmousemove)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseout)(VARIANT v) = 0;
  STDMETHOD(get_onmouseout)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseover)(VARIANT v) = 0;
  STDMETHOD(get_onmouseover)(VARIANT* p) = 0;
  STDMETHOD(put_onreadystatechange)(VARIANT v) = 0;
  STDMETHOD(get_onreadystatechange)(VARIANT* p) = 0;
  STDMETHOD(put_onafterupdate)(VARIANT v) = 0;
  STDMETHOD(get_onafterupdate)(VARIANT* p) = 0;
  STDMETHOD(put_onrowexit)(VARIANT v) = 0;
  STDMETHOD(get_onrowexit)(VARIANT* p) = 0;
  STDMETHOD(put_onrowenter)(VARIANT v) = 0;
  STDMETHOD(get_onrowenter)(VARIANT* p) = 0;
  STDMETHOD(put_ondragstart)(VARIANT v) = 0;
  STDMETHOD(get_ondragstart)(VARIANT* p) = 0;
  STDMETHOD(put_onselectstart)(VARIANT v) = 0;
  STDMETHOD(get_onselectstart)(VARIANT* p) = 0;
  STDMETHOD(elementFromPoint)(LONG x, LONG y, IHTMLElement** elementHit) = 0;
  STDMETHOD(get_parentWindow)(IHTMLWindow2** p) = 0;
  STDMETHOD(get_styleSheets)(IHTMLStyleSheetsCollection** p) = 0;
  STDMETHOD(put_onbeforeupdate)(VARIANT v) = 0;
  STDMETHOD(get_onbeforeupdate)(VARIANT* p) = 0;
  STDMETHOD(put_onerrorupdate)(VARIANT v) = 0;
  STDMETHOD(get_onerrorupdate)(VARIANT* p) = 0;
  STDMETHOD(toString)(BSTR* String) = 0;
  STDMETHOD(createStyleSheet)(BSTR bstrHref, LONG lIndex, IHTMLStyleSheet** ppnewStyleSheet) = 0;
};
__CRT_UUID_DECL(IHTMLDocument2, 0x332C4425, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19)

MIDL_INTERFACE("3050F485-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLDocument3 : public IDispatch {
 public:
  STDMETHOD(releaseCapture)() = 0;
  STDMETHOD(recalc)(VARIANT_BOOL fForce) = 0;
  STDMETHOD(createTextNode)(BSTR text, IHTMLDOMNode** newTextNode) = 0;
  STDMETHOD(get_documentElement)(IHTMLElement** p) = 0;
  STDMETHOD(get_uniqueID)(BSTR* p) = 0;
  STDMETHOD(attachEvent)(BSTR event, IDispatch* pDisp, VARIANT_BOOL* pfResult) = 0;
  STDMETHOD(detachEvent)(BSTR event, IDispatch* pDisp) = 0;
  STDMETHOD(put_onrowsdelete)(VARIANT v) = 0;
  STDMETHOD(get_onrowsdelete)(VARIANT* p) = 0;
  STDMETHOD(put_onrowsinserted)(VARIANT v) = 0;
  STDMETHOD(get_onrowsinserted)(VARIANT* p) = 0;
  STDMETHOD(put_oncellchange)(VARIANT v) = 0;
  STDMETHOD(get_oncellchange)(VARIANT* p) = 0;
  STDMETHOD(put_ondatasetchanged)(VARIANT v) = 0;
  STDMETHOD(get_ondatasetchanged)(VARIANT* p) = 0;
  STDMETHOD(put_ondataavailable)(VARIANT v) = 0;
  STDMETHOD(get_ondataavailable)(VARIANT* p) = 0;
  STDMETHOD(put_ondatasetcomplete)(VARIANT v) = 0;
  STDMETHOD(get_ondatasetcomplete)(VARIANT* p) = 0;
  STDMETHOD(put_onpropertychange)(VARIANT v) = 0;
  STDMETHOD(get_onpropertychange)(VARIANT* p) = 0;
  STDMETHOD(put_dir)(BSTR v) = 0;
  STDMETHOD(get_dir)(BSTR* p) = 0;
  STDMETHOD(put_oncontextmenu)(VARIANT v) = 0;
  STDMETHOD(get_oncontextmenu)(VARIANT* p) = 0;
  STDMETHOD(put_onstop)(VARIANT v) = 0;
  STDMETHOD(get_onstop)(VARIANT* p) = 0;
  STDMETHOD(createDocumentFragment)(IHTMLDocument2** pNewDoc) = 0;
  STDMETHOD(get_parentDocument)(IHTMLDocument2** p) = 0;
  STDMETHOD(put_enableDownload)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_enableDownload)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_baseUrl)(BSTR v) = 0;
  STDMETHOD(get_baseUrl)(BSTR* p) = 0;
  STDMETHOD(get_childNodes)(IDispatch** p) = 0;
  STDMETHOD(put_inheritStyleSheets)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_inheritStyleSheets)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_onbeforeeditfocus)(VARIANT v) = 0;
  STDMETHOD(get_onbeforeeditfocus)(VARIANT* p) = 0;
  STDMETHOD(getElementsByName)(BSTR v, IHTMLElementCollection** pelColl) = 0;
  STDMETHOD(getElementById)(BSTR v, IHTMLElement** pel) = 0;
  STDMETHOD(getElementsByTagName)(BSTR v, IHTMLElementCollection** pelColl) = 0;
};
__CRT_UUID_DECL(IHTMLDocument3, 0x3050F485, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F69A-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLDocument4 : public IDispatch {
 public:
  STDMETHOD(focus)() = 0;
  STDMETHOD(hasFocus)(VARIANT_BOOL* pfFocus) = 0;
  STDMETHOD(put_onselectionchange)(VARIANT v) = 0;
  STDMETHOD(get_onselectionchange)(VARIANT* p) = 0;
  STDMETHOD(get_namespaces)(IDispatch** p) = 0;
  STDMETHOD(createDocumentFromUrl)(BSTR bstrUrl, BSTR bstrOptions, IHTMLDocument2** newDoc) = 0;
  STDMETHOD(put_media)(BSTR v) = 0;
  STDMETHOD(get_media)(BSTR* p) = 0;
  STDMETHOD(createEventObject)(VARIANT* pvarEventObject, IHTMLEventObj** ppEventObj) = 0;
  STDMETHOD(fireEvent)(BSTR bstrEventName, VARIANT* pvarEventObject, VARIANT_BOOL* pfCancelled) = 0;
  STDMETHOD(createRenderStyle)(BSTR v, IHTMLRenderStyle** ppIHTMLRenderStyle) = 0;
  STDMETHOD(put_oncontrolselect)(VARIANT v) = 0;
  STDMETHOD(get_oncontrolselect)(VARIANT* p) = 0;
  STDMETHOD(get_URLUnencoded)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLDocument4, 0x3050F69A, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("163BB1E0-6E00-11CF-837A-48DC04C10000")
IHTMLLocation : public IDispatch {
 public:
  STDMETHOD(put_href)(BSTR v) = 0;
  STDMETHOD(get_href)(BSTR* p) = 0;
  STDMETHOD(put_protocol)(BSTR v) = 0;
  STDMETHOD(get_protocol)(BSTR* p) = 0;
  STDMETHOD(put_host)(BSTR v) = 0;
  STDMETHOD(get_host)(BSTR* p) = 0;
  STDMETHOD(put_hostname)(BSTR v) = 0;
  STDMETHOD(get_hostname)(BSTR* p) = 0;
  STDMETHOD(put_port)(BSTR v) = 0;
  STDMETHOD(get_port)(BSTR* p) = 0;
  STDMETHOD(put_pathname)(BSTR v) = 0;
  STDMETHOD(get_pathname)(BSTR* p) = 0;
  STDMETHOD(put_search)(BSTR v) = 0;
  STDMETHOD(get_search)(BSTR* p) = 0;
  STDMETHOD(put_hash)(BSTR v) = 0;
  STDMETHOD(get_hash)(BSTR* p) = 0;
  STDMETHOD(reload)(VARIANT_BOOL flag) = 0;
  STDMETHOD(replace)(BSTR bstr) = 0;
  STDMETHOD(assign)(BSTR bstr) = 0;
  STDMETHOD(toString)(BSTR* string) = 0;
};
__CRT_UUID_DECL(IHTMLLocation, 0x163BB1E0, 0x6E00, 0x11CF, 0x83, 0x7A, 0x48, 0xDC, 0x04, 0xC1, 0x00, 0x00)

MIDL_INTERFACE("3050F1FF-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLElement : public IDispatch {
 public:
  STDMETHOD(setAttribute)(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags) = 0;
  STDMETHOD(getAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT* AttributeValue) = 0;
  STDMETHOD(removeAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT_BOOL* pfSuccess) = 0;
  STDMETHOD(put_className)(BSTR v) = 0;
  STDMETHOD(get_className)(BSTR* p) = 0;
  STDMETHOD(put_id)(BSTR v) = 0;
  STDMETHOD(get_id)(BSTR* p) = 0;
  STDMETHOD(get_tagName)(BSTR* p) = 0;
  STDMETHOD(get_parentElement)(IHTMLElement** p) = 0;
  STDMETHOD(get_style)(IHTMLStyle** p) = 0;
  STDMETHOD(put_onhelp)(VARIANT v) = 0;
  STDMETHOD(get_onhelp)(VARIANT* p) = 0;
  STDMETHOD(put_onclick)(VARIANT v) = 0;
  STDMETHOD(get_onclick)(VARIANT* p) = 0;
  STDMETHOD(put_ondblclick)(VARIANT v) = 0;
  STDMETHOD(get_ondblclick)(VARIANT* p) = 0;
  STDMETHOD(put_onkeydown)(VARIANT v) = 0;
  STDMETHOD(get_onkeydown)(VARIANT* p) = 0;
  STDMETHOD(put_onkeyup)(VARIANT v) = 0;
  STDMETHOD(get_onkeyup)(VARIANT* p) = 0;
  STDMETHOD(put_onkeypress)(VARIANT v) = 0;
  STDMETHOD(get_onkeypress)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseout)(VARIANT v) = 0;
  STDMETHOD(get_onmouseout)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseover)(VARIANT v) = 0;
  STDMETHOD(get_onmouseover)(VARIANT* p) = 0;
  STDMETHOD(put_onmousemove)(VARIANT v) = 0;
  STDMETHOD(get_onmousemove)(VARIANT* p) = 0;
  STDMETHOD(put_onmousedown)(VARIANT v) = 0;
  STDMETHOD(get_onmousedown)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseup)(VARIANT v) = 0;
  STDMETHOD(get_onmouseup)(VARIANT* p) = 0;
  STDMETHOD(get_document)(IDispatch** p) = 0;
  STDMETHOD(put_title)(BSTR v) = 0;
  STDMETHOD(get_title)(BSTR* p) = 0;
  STDMETHOD(put_language)(BSTR v) = 0;
  STDMETHOD(get_language)(BSTR* p) = 0;
  STDMETHOD(put_onselectstart)(VARIANT v) = 0;
  STDMETHOD(get_onselectstart)(VARIANT* p) = 0;
  STDMETHOD(scrollIntoView)(VARIANT varargStart) = 0;
  STDMETHOD(contains)(IHTMLElement* pChild, VARIANT_BOOL* pfResult) = 0;
  STDMETHOD(get_sourceIndex)(LONG* p) = 0;
  STDMETHOD(get_recordNumber)(VARIANT* p) = 0;
  STDMETHOD(put_lang)(BSTR v) = 0;
  STDMETHOD(get_lang)(BSTR* p) = 0;
  STDMETHOD(get_offsetLeft)(LONG* p) = 0;
  STDMETHOD(get_offsetTop)(LONG* p) = 0;
  STDMETHOD(get_offsetWidth)(LONG* p) = 0;
  STDMETHOD(get_offsetHeight)(LONG* p) = 0;
  STDMETHOD(get_offsetParent)(IHTMLElement** p) = 0;
  STDMETHOD(put_innerHTML)(BSTR v) = 0;
  STDMETHOD(get_innerHTML)(BSTR* p) = 0;
  STDMETHOD(put_innerText)(BSTR v) = 0;
  STDMETHOD(get_innerText)(BSTR* p) = 0;
  STDMETHOD(put_outerHTML)(BSTR v) = 0;
  STDMETHOD(get_outerHTML)(BSTR* p) = 0;
  STDMETHOD(put_outerText)(BSTR v) = 0;
  STDMETHOD(get_outerText)(BSTR* p) = 0;
  STDMETHOD(insertAdjacentHTML)(BSTR where, BSTR html) = 0;
  STDMETHOD(insertAdjacentText)(BSTR where, BSTR text) = 0;
  STDMETHOD(get_parentTextEdit)(IHTMLElement** p) = 0;
  STDMETHOD(get_isTextEdit)(VARIANT_BOOL* p) = 0;
  STDMETHOD(click)() = 0;
  STDMETHOD(get_filters)(IHTMLFiltersCollection** p) = 0;
  STDMETHOD(put_ondragstart)(VARIANT v) = 0;
  STDMETHOD(get_ondragstart)(VARIANT* p) = 0;
  STDMETHOD(toString)(BSTR* String) = 0;
  STDMETHOD(put_onbeforeupdate)(VARIANT v) = 0;
  STDMETHOD(get_onbeforeupdate)(VARIANT* p) = 0;
  STDMETHOD(put_onafterupdate)(VARIANT v) = 0;
  STDMETHOD(get_onafterupdate)(VARIANT* p) = 0;
  STDMETHOD(put_onerrorupdate)(VARIANT v) = 0;
  STDMETHOD(get_onerrorupdate)(VARIANT* p) = 0;
  STDMETHOD(put_onrowexit)(VARIANT v) = 0;
  STDMETHOD(get_onrowexit)(VARIANT* p) = 0;
  STDMETHOD(put_onrowenter)(VARIANT v) = 0;
  STDMETHOD(get_onrowenter)(VARIANT* p) = 0;
  STDMETHOD(put_ondatasetchanged)(VARIANT v) = 0;
  STDMETHOD(get_ondatasetchanged)(VARIANT* p) = 0;
  STDMETHOD(put_ondataavailable)(VARIANT v) = 0;
  STDMETHOD(get_ondataavailable)(VARIANT* p) = 0;
  STDMETHOD(put_ondatasetcomplete)(VARIANT v) = 0;
  STDMETHOD(get_ondatasetcomplete)(VARIANT* p) = 0;
  STDMETHOD(put_onfilterchange)(VARIANT v) = 0;
  STDMETHOD(get_onfilterchange)(VARIANT* p) = 0;
  STDMETHOD(get_children)(IDispatch** p) = 0;
  STDMETHOD(get_all)(IDispatch** p) = 0;
};
__CRT_UUID_DECL(IHTMLElement, 0x3050F1FF, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F434-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLElement2 : public IDispatch {
 public:
  STDMETHOD(get_scopeName)(BSTR* p) = 0;
  STDMETHOD(setCapture)(VARIANT_BOOL containerCapture) = 0;
  STDMETHOD(releaseCapture)() = 0;
  STDMETHOD(put_onlosecapture)(VARIANT v) = 0;
  STDMETHOD(get_onlosecapture)(VARIANT* p) = 0;
  STDMETHOD(componentFromPoint)(LONG x, LONG y, BSTR* component) = 0;
  STDMETHOD(doScroll)(VARIANT component) = 0;
  STDMETHOD(put_onscroll)(VARIANT v) = 0;
  STDMETHOD(get_onscroll)(VARIANT* p) = 0;
  STDMETHOD(put_ondrag)(VARIANT v) = 0;
  STDMETHOD(get_ondrag)(VARIANT* p) = 0;
  STDMETHOD(put_ondragend)(VARIANT v) = 0;
  STDMETHOD(get_ondragend)(VARIANT* p) = 0;
  STDMETHOD(put_ondragenter)(VARIANT v) = 0;
  STDMETHOD(get_ondragenter)(VARIANT* p) = 0;
  STDMETHOD(put_ondragover)(VARIANT v) = 0;
  STDMETHOD(get_ondragover)(VARIANT* p) = 0;
  STDMETHOD(put_ondragleave)(VARIANT v) = 0;
  STDMETHOD(get_ondragleave)(VARIANT* p) = 0;
  STDMETHOD(put_ondrop)(VARIANT v) = 0;
  STDMETHOD(get_ondrop)(VARIANT* p) = 0;
  STDMETHOD(put_onbeforecut)(VARIANT v) = 0;
  STDMETHOD(get_onbeforecut)(VARIANT* p) = 0;
  STDMETHOD(put_oncut)(VARIANT v) = 0;
  STDMETHOD(get_oncut)(VARIANT* p) = 0;
  STDMETHOD(put_onbeforecopy)(VARIANT v) = 0;
  STDMETHOD(get_onbeforecopy)(VARIANT* p) = 0;
  STDMETHOD(put_oncopy)(VARIANT v) = 0;
  STDMETHOD(get_oncopy)(VARIANT* p) = 0;
  STDMETHOD(put_onbeforepaste)(VARIANT v) = 0;
  STDMETHOD(get_onbeforepaste)(VARIANT* p) = 0;
  STDMETHOD(put_onpaste)(VARIANT v) = 0;
  STDMETHOD(get_onpaste)(VARIANT* p) = 0;
  STDMETHOD(get_currentStyle)(IHTMLCurrentStyle** p) = 0;
  STDMETHOD(put_onpropertychange)(VARIANT v) = 0;
  STDMETHOD(get_onpropertychange)(VARIANT* p) = 0;
  STDMETHOD(getClientRects)(IHTMLRectCollection** pRectCol) = 0;
  STDMETHOD(getBoundingClientRect)(IHTMLRect** pRect) = 0;
  STDMETHOD(setExpression)(BSTR propname, BSTR expression, BSTR language) = 0;
  STDMETHOD(getExpression)(BSTR propname, VARIANT* expression) = 0;
  STDMETHOD(removeExpression)(BSTR propname, VARIANT_BOOL* pfSuccess) = 0;
  STDMETHOD(put_tabIndex)(short v) = 0;
  STDMETHOD(get_tabIndex)(short* p) = 0;
  STDMETHOD(focus)() = 0;
  STDMETHOD(put_accessKey)(BSTR v) = 0;
  STDMETHOD(get_accessKey)(BSTR* p) = 0;
  STDMETHOD(put_onblur)(VARIANT v) = 0;
  STDMETHOD(get_onblur)(VARIANT* p) = 0;
  STDMETHOD(put_onfocus)(VARIANT v) = 0;
  STDMETHOD(get_onfocus)(VARIANT* p) = 0;
  STDMETHOD(put_onresize)(VARIANT v) = 0;
  STDMETHOD(get_onresize)(VARIANT* p) = 0;
  STDMETHOD(blur)() = 0;
  STDMETHOD(addFilter)(IUnknown* pUnk) = 0;
  STDMETHOD(removeFilter)(IUnknown* pUnk) = 0;
  STDMETHOD(get_clientHeight)(LONG* p) = 0;
  STDMETHOD(get_clientWidth)(LONG* p) = 0;
  STDMETHOD(get_clientTop)(LONG* p) = 0;
  STDMETHOD(get_clientLeft)(LONG* p) = 0;
  STDMETHOD(attachEvent)(BSTR event, IDispatch* pDisp, VARIANT_BOOL* pfResult) = 0;
  STDMETHOD(detachEvent)(BSTR event, IDispatch* pDisp) = 0;
  STDMETHOD(get_readyState)(VARIANT* p) = 0;
  STDMETHOD(put_onreadystatechange)(VARIANT v) = 0;
  STDMETHOD(get_onreadystatechange)(VARIANT* p) = 0;
  STDMETHOD(put_onrowsdelete)(VARIANT v) = 0;
  STDMETHOD(get_onrowsdelete)(VARIANT* p) = 0;
  STDMETHOD(put_onrowsinserted)(VARIANT v) = 0;
  STDMETHOD(get_onrowsinserted)(VARIANT* p) = 0;
  STDMETHOD(put_oncellchange)(VARIANT v) = 0;
  STDMETHOD(get_oncellchange)(VARIANT* p) = 0;
  STDMETHOD(put_dir)(BSTR v) = 0;
  STDMETHOD(get_dir)(BSTR* p) = 0;
  STDMETHOD(createControlRange)(IDispatch** range) = 0;
  STDMETHOD(get_scrollHeight)(LONG* p) = 0;
  STDMETHOD(get_scrollWidth)(LONG* p) = 0;
  STDMETHOD(put_scrollTop)(LONG v) = 0;
  STDMETHOD(get_scrollTop)(LONG* p) = 0;
  STDMETHOD(put_scrollLeft)(LONG v) = 0;
  STDMETHOD(get_scrollLeft)(LONG* p) = 0;
  STDMETHOD(clearAttributes)() = 0;
  STDMETHOD(mergeAttributes)(IHTMLElement* mergeThis) = 0;
  STDMETHOD(put_oncontextmenu)(VARIANT v) = 0;
  STDMETHOD(get_oncontextmenu)(VARIANT* p) = 0;
  STDMETHOD(insertAdjacentElement)(BSTR where, IHTMLElement* insertedElement, IHTMLElement** inserted) = 0;
  STDMETHOD(applyElement)(IHTMLElement* apply, BSTR where, IHTMLElement** applied) = 0;
  STDMETHOD(getAdjacentText)(BSTR where, BSTR* text) = 0;
  STDMETHOD(replaceAdjacentText)(BSTR where, BSTR newText, BSTR* oldText) = 0;
  STDMETHOD(get_canHaveChildren)(VARIANT_BOOL* p) = 0;
  STDMETHOD(addBehavior)(BSTR bstrUrl, VARIANT* pvarFactory, LONG* pCookie) = 0;
  STDMETHOD(removeBehavior)(LONG cookie, VARIANT_BOOL* pfResult) = 0;
  STDMETHOD(get_runtimeStyle)(IHTMLStyle** p) = 0;
  STDMETHOD(get_behaviorUrns)(IDispatch** p) = 0;
  STDMETHOD(put_tagUrn)(BSTR v) = 0;
  STDMETHOD(get_tagUrn)(BSTR* p) = 0;
  STDMETHOD(put_onbeforeeditfocus)(VARIANT v) = 0;
  STDMETHOD(get_onbeforeeditfocus)(VARIANT* p) = 0;
  STDMETHOD(get_readyStateValue)(LONG* p) = 0;
  STDMETHOD(getElementsByTagName)(BSTR v, IHTMLElementCollection** pelColl) = 0;
};
__CRT_UUID_DECL(IHTMLElement2, 0x3050F434, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F673-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLElement3 : public IDispatch {
 public:
  STDMETHOD(mergeAttributes)(IHTMLElement* mergeThis, VARIANT* pvarFlags) = 0;
  STDMETHOD(get_isMultiLine)(VARIANT_BOOL* p) = 0;
  STDMETHOD(get_canHaveHTML)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_onlayoutcomplete)(VARIANT v) = 0;
  STDMETHOD(get_onlayoutcomplete)(VARIANT* p) = 0;
  STDMETHOD(put_onpage)(VARIANT v) = 0;
  STDMETHOD(get_onpage)(VARIANT* p) = 0;
  STDMETHOD(put_inflateBlock)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_inflateBlock)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_onbeforedeactivate)(VARIANT v) = 0;
  STDMETHOD(get_onbeforedeactivate)(VARIANT* p) = 0;
  STDMETHOD(setActive)() = 0;
  STDMETHOD(put_contentEditable)(BSTR v) = 0;
  STDMETHOD(get_contentEditable)(BSTR* p) = 0;
  STDMETHOD(get_isContentEditable)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_hideFocus)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_hideFocus)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_disabled)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_disabled)(VARIANT_BOOL* p) = 0;
  STDMETHOD(get_isDisabled)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_onmove)(VARIANT v) = 0;
  STDMETHOD(get_onmove)(VARIANT* p) = 0;
  STDMETHOD(put_oncontrolselect)(VARIANT v) = 0;
  STDMETHOD(get_oncontrolselect)(VARIANT* p) = 0;
  STDMETHOD(fireEvent)(BSTR bstrEventName, VARIANT* pvarEventObject, VARIANT_BOOL* pfCancelled) = 0;
  STDMETHOD(put_onresizestart)(VARIANT v) = 0;
  STDMETHOD(get_onresizestart)(VARIANT* p) = 0;
  STDMETHOD(put_onresizeend)(VARIANT v) = 0;
  STDMETHOD(get_onresizeend)(VARIANT* p) = 0;
  STDMETHOD(put_onmovestart)(VARIANT v) = 0;
  STDMETHOD(get_onmovestart)(VARIANT* p) = 0;
  STDMETHOD(put_onmoveend)(VARIANT v) = 0;
  STDMETHOD(get_onmoveend)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseenter)(VARIANT v) = 0;
  STDMETHOD(get_onmouseenter)(VARIANT* p) = 0;
  STDMETHOD(put_onmouseleave)(VARIANT v) = 0;
  STDMETHOD(get_onmouseleave)(VARIANT* p) = 0;
  STDMETHOD(put_onactivate)(VARIANT v) = 0;
  STDMETHOD(get_onactivate)(VARIANT* p) = 0;
  STDMETHOD(put_ondeactivate)(VARIANT v) = 0;
  STDMETHOD(get_ondeactivate)(VARIANT* p) = 0;
  STDMETHOD(dragDrop)(VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(get_glyphMode)(LONG* p) = 0;
};
__CRT_UUID_DECL(IHTMLElement3, 0x3050F673, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F80F-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLElement4 : public IDispatch {
 public:
  STDMETHOD(put_onmousewheel)(VARIANT v) = 0;
  STDMETHOD(get_onmousewheel)(VARIANT* p) = 0;
  STDMETHOD(normalize)() = 0;
  STDMETHOD(getAttributeNode)(BSTR bstrname, IHTMLDOMAttribute** ppAttribute) = 0;
  STDMETHOD(setAttributeNode)(IHTMLDOMAttribute* pattr, IHTMLDOMAttribute** ppretAttribute) = 0;
  STDMETHOD(removeAttributeNode)(IHTMLDOMAttribute* pattr, IHTMLDOMAttribute** ppretAttribute) = 0;
  STDMETHOD(put_onbeforeactivate)(VARIANT v) = 0;
  STDMETHOD(get_onbeforeactivate)(VARIANT* p) = 0;
  STDMETHOD(put_onfocusin)(VARIANT v) = 0;
  STDMETHOD(get_onfocusin)(VARIANT* p) = 0;
  STDMETHOD(put_onfocusout)(VARIANT v) = 0;
  STDMETHOD(get_onfocusout)(VARIANT* p) = 0;
};
__CRT_UUID_DECL(IHTMLElement4, 0x3050F80F, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F5DA-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLDOMNode : public IDispatch {
 public:
  STDMETHOD(get_nodeType)(LONG* p) = 0;
  STDMETHOD(get_parentNode)(IHTMLDOMNode** p) = 0;
  STDMETHOD(hasChildNodes)(VARIANT_BOOL* fChildren) = 0;
  STDMETHOD(get_childNodes)(IDispatch** p) = 0;
  STDMETHOD(get_attributes)(IDispatch** p) = 0;
  STDMETHOD(insertBefore)(IHTMLDOMNode* newChild, VARIANT refChild, IHTMLDOMNode** node) = 0;
  STDMETHOD(removeChild)(IHTMLDOMNode* oldChild, IHTMLDOMNode** node) = 0;
  STDMETHOD(replaceChild)(IHTMLDOMNode* newChild, IHTMLDOMNode* oldChild, IHTMLDOMNode** node) = 0;
  STDMETHOD(cloneNode)(VARIANT_BOOL fDeep, IHTMLDOMNode** clonedNode) = 0;
  STDMETHOD(removeNode)(VARIANT_BOOL fDeep, IHTMLDOMNode** removed) = 0;
  STDMETHOD(swapNode)(IHTMLDOMNode* otherNode, IHTMLDOMNode** swappedNode) = 0;
  STDMETHOD(replaceNode)(IHTMLDOMNode* replacement, IHTMLDOMNode** replaced) = 0;
  STDMETHOD(appendChild)(IHTMLDOMNode* newChild, IHTMLDOMNode** node) = 0;
  STDMETHOD(get_nodeName)(BSTR* p) = 0;
  STDMETHOD(put_nodeValue)(VARIANT v) = 0;
  STDMETHOD(get_nodeValue)(VARIANT* p) = 0;
  STDMETHOD(get_firstChild)(IHTMLDOMNode** p) = 0;
  STDMETHOD(get_lastChild)(IHTMLDOMNode** p) = 0;
  STDMETHOD(get_previousSibling)(IHTMLDOMNode** p) = 0;
  STDMETHOD(get_nextSibling)(IHTMLDOMNode** p) = 0;
};
__CRT_UUID_DECL(IHTMLDOMNode, 0x3050F5DA, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F4B0-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLDOMAttribute : public IDispatch {
 public:
  STDMETHOD(get_nodeName)(BSTR* p) = 0;
  STDMETHOD(put_nodeValue)(VARIANT v) = 0;
  STDMETHOD(get_nodeValue)(VARIANT* p) = 0;
  STDMETHOD(get_specified)(VARIANT_BOOL* p) = 0;
};
__CRT_UUID_DECL(IHTMLDOMAttribute, 0x3050F4B0, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F5AB-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLDOMChildrenCollection : public IDispatch {
 public:
  STDMETHOD(get_length)(LONG* p) = 0;
  STDMETHOD(get__newEnum)(IUnknown** p) = 0;
  STDMETHOD(item)(LONG index, IDispatch** ppItem) = 0;
};
__CRT_UUID_DECL(IHTMLDOMChildrenCollection, 0x3050F5AB, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F21F-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLElementCollection : public IDispatch {
 public:
  STDMETHOD(toString)(BSTR* String) = 0;
  STDMETHOD(put_length)(LONG v) = 0;
  STDMETHOD(get_length)(LONG* p) = 0;
  STDMETHOD(get__newEnum)(IUnknown** p) = 0;
  STDMETHOD(item)(VARIANT name, VARIANT index, IDispatch** pdisp) = 0;
  STDMETHOD(tags)(VARIANT tagName, IDispatch** pdisp) = 0;
};
__CRT_UUID_DECL(IHTMLElementCollection, 0x3050F21F, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F25E-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLStyle : public IDispatch {
 public:
  STDMETHOD(put_fontFamily)(BSTR v) = 0;
  STDMETHOD(get_fontFamily)(BSTR* p) = 0;
  STDMETHOD(put_fontStyle)(BSTR v) = 0;
  STDMETHOD(get_fontStyle)(BSTR* p) = 0;
  STDMETHOD(put_fontVariant)(BSTR v) = 0;
  STDMETHOD(get_fontVariant)(BSTR* p) = 0;
  STDMETHOD(put_fontWeight)(BSTR v) = 0;
  STDMETHOD(get_fontWeight)(BSTR* p) = 0;
  STDMETHOD(put_fontSize)(VARIANT v) = 0;
  STDMETHOD(get_fontSize)(VARIANT* p) = 0;
  STDMETHOD(put_font)(BSTR v) = 0;
  STDMETHOD(get_font)(BSTR* p) = 0;
  STDMETHOD(put_color)(VARIANT v) = 0;
  STDMETHOD(get_color)(VARIANT* p) = 0;
  STDMETHOD(put_background)(BSTR v) = 0;
  STDMETHOD(get_background)(BSTR* p) = 0;
  STDMETHOD(put_backgroundColor)(VARIANT v) = 0;
  STDMETHOD(get_backgroundColor)(VARIANT* p) = 0;
  STDMETHOD(put_backgroundImage)(BSTR v) = 0;
  STDMETHOD(get_backgroundImage)(BSTR* p) = 0;
  STDMETHOD(put_backgroundRepeat)(BSTR v) = 0;
  STDMETHOD(get_backgroundRepeat)(BSTR* p) = 0;
  STDMETHOD(put_backgroundAttachment)(BSTR v) = 0;
  STDMETHOD(get_backgroundAttachment)(BSTR* p) = 0;
  STDMETHOD(put_backgroundPosition)(BSTR v) = 0;
  STDMETHOD(get_backgroundPosition)(BSTR* p) = 0;
  STDMETHOD(put_backgroundPositionX)(VARIANT v) = 0;
  STDMETHOD(get_backgroundPositionX)(VARIANT* p) = 0;
  STDMETHOD(put_backgroundPositionY)(VARIANT v) = 0;
  STDMETHOD(get_backgroundPositionY)(VARIANT* p) = 0;
  STDMETHOD(put_wordSpacing)(VARIANT v) = 0;
  STDMETHOD(get_wordSpacing)(VARIANT* p) = 0;
  STDMETHOD(put_letterSpacing)(VARIANT v) = 0;
  STDMETHOD(get_letterSpacing)(VARIANT* p) = 0;
  STDMETHOD(put_textDecoration)(BSTR v) = 0;
  STDMETHOD(get_textDecoration)(BSTR* p) = 0;
  STDMETHOD(put_textDecorationNone)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationNone)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_textDecorationUnderline)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationUnderline)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_textDecorationOverline)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationOverline)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_textDecorationLineThrough)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationLineThrough)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_textDecorationBlink)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationBlink)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_verticalAlign)(VARIANT v) = 0;
  STDMETHOD(get_verticalAlign)(VARIANT* p) = 0;
  STDMETHOD(put_textTransform)(BSTR v) = 0;
  STDMETHOD(get_textTransform)(BSTR* p) = 0;
  STDMETHOD(put_textAlign)(BSTR v) = 0;
  STDMETHOD(get_textAlign)(BSTR* p) = 0;
  STDMETHOD(put_textIndent)(VARIANT v) = 0;
  STDMETHOD(get_textIndent)(VARIANT* p) = 0;
  STDMETHOD(put_lineHeight)(VARIANT v) = 0;
  STDMETHOD(get_lineHeight)(VARIANT* p) = 0;
  STDMETHOD(put_marginTop)(VARIANT v) = 0;
  STDMETHOD(get_marginTop)(VARIANT* p) = 0;
  STDMETHOD(put_marginRight)(VARIANT v) = 0;
  STDMETHOD(get_marginRight)(VARIANT* p) = 0;
  STDMETHOD(put_marginBottom)(VARIANT v) = 0;
  STDMETHOD(get_marginBottom)(VARIANT* p) = 0;
  STDMETHOD(put_marginLeft)(VARIANT v) = 0;
  STDMETHOD(get_marginLeft)(VARIANT* p) = 0;
  STDMETHOD(put_margin)(BSTR v) = 0;
  STDMETHOD(get_margin)(BSTR* p) = 0;
  STDMETHOD(put_paddingTop)(VARIANT v) = 0;
  STDMETHOD(get_paddingTop)(VARIANT* p) = 0;
  STDMETHOD(put_paddingRight)(VARIANT v) = 0;
  STDMETHOD(get_paddingRight)(VARIANT* p) = 0;
  STDMETHOD(put_paddingBottom)(VARIANT v) = 0;
  STDMETHOD(get_paddingBottom)(VARIANT* p) = 0;
  STDMETHOD(put_paddingLeft)(VARIANT v) = 0;
  STDMETHOD(get_paddingLeft)(VARIANT* p) = 0;
  STDMETHOD(put_padding)(BSTR v) = 0;
  STDMETHOD(get_padding)(BSTR* p) = 0;
  STDMETHOD(put_border)(BSTR v) = 0;
  STDMETHOD(get_border)(BSTR* p) = 0;
  STDMETHOD(put_borderTop)(BSTR v) = 0;
  STDMETHOD(get_borderTop)(BSTR* p) = 0;
  STDMETHOD(put_borderRight)(BSTR v) = 0;
  STDMETHOD(get_borderRight)(BSTR* p) = 0;
  STDMETHOD(put_borderBottom)(BSTR v) = 0;
  STDMETHOD(get_borderBottom)(BSTR* p) = 0;
  STDMETHOD(put_borderLeft)(BSTR v) = 0;
  STDMETHOD(get_borderLeft)(BSTR* p) = 0;
  STDMETHOD(put_borderColor)(BSTR v) = 0;
  STDMETHOD(get_borderColor)(BSTR* p) = 0;
  STDMETHOD(put_borderTopColor)(VARIANT v) = 0;
  STDMETHOD(get_borderTopColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderRightColor)(VARIANT v) = 0;
  STDMETHOD(get_borderRightColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderBottomColor)(VARIANT v) = 0;
  STDMETHOD(get_borderBottomColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderLeftColor)(VARIANT v) = 0;
  STDMETHOD(get_borderLeftColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderWidth)(BSTR v) = 0;
  STDMETHOD(get_borderWidth)(BSTR* p) = 0;
  STDMETHOD(put_borderTopWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderTopWidth)(VARIANT* p) = 0;
  STDMETHOD(put_borderRightWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderRightWidth)(VARIANT* p) = 0;
  STDMETHOD(put_borderBottomWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderBottomWidth)(VARIANT* p) = 0;
  STDMETHOD(put_borderLeftWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderLeftWidth)(VARIANT* p) = 0;
  STDMETHOD(put_borderStyle)(BSTR v) = 0;
  STDMETHOD(get_borderStyle)(BSTR* p) = 0;
  STDMETHOD(put_borderTopStyle)(BSTR v) = 0;
  STDMETHOD(get_borderTopStyle)(BSTR* p) = 0;
  STDMETHOD(put_borderRightStyle)(BSTR v) = 0;
  STDMETHOD(get_borderRightStyle)(BSTR* p) = 0;
  STDMETHOD(put_borderBottomStyle)(BSTR v) = 0;
  STDMETHOD(get_borderBottomStyle)(BSTR* p) = 0;
  STDMETHOD(put_borderLeftStyle)(BSTR v) = 0;
  STDMETHOD(get_borderLeftStyle)(BSTR* p) = 0;
  STDMETHOD(put_width)(VARIANT v) = 0;
  STDMETHOD(get_width)(VARIANT* p) = 0;
  STDMETHOD(put_height)(VARIANT v) = 0;
  STDMETHOD(get_height)(VARIANT* p) = 0;
  STDMETHOD(put_styleFloat)(BSTR v) = 0;
  STDMETHOD(get_styleFloat)(BSTR* p) = 0;
  STDMETHOD(put_clear)(BSTR v) = 0;
  STDMETHOD(get_clear)(BSTR* p) = 0;
  STDMETHOD(put_display)(BSTR v) = 0;
  STDMETHOD(get_display)(BSTR* p) = 0;
  STDMETHOD(put_visibility)(BSTR v) = 0;
  STDMETHOD(get_visibility)(BSTR* p) = 0;
  STDMETHOD(put_listStyleType)(BSTR v) = 0;
  STDMETHOD(get_listStyleType)(BSTR* p) = 0;
  STDMETHOD(put_listStylePosition)(BSTR v) = 0;
  STDMETHOD(get_listStylePosition)(BSTR* p) = 0;
  STDMETHOD(put_listStyleImage)(BSTR v) = 0;
  STDMETHOD(get_listStyleImage)(BSTR* p) = 0;
  STDMETHOD(put_listStyle)(BSTR v) = 0;
  STDMETHOD(get_listStyle)(BSTR* p) = 0;
  STDMETHOD(put_whiteSpace)(BSTR v) = 0;
  STDMETHOD(get_whiteSpace)(BSTR* p) = 0;
  STDMETHOD(put_top)(VARIANT v) = 0;
  STDMETHOD(get_top)(VARIANT* p) = 0;
  STDMETHOD(put_left)(VARIANT v) = 0;
  STDMETHOD(get_left)(VARIANT* p) = 0;
  STDMETHOD(get_position)(BSTR* p) = 0;
  STDMETHOD(put_zIndex)(VARIANT v) = 0;
  STDMETHOD(get_zIndex)(VARIANT* p) = 0;
  STDMETHOD(put_overflow)(BSTR v) = 0;
  STDMETHOD(get_overflow)(BSTR* p) = 0;
  STDMETHOD(put_pageBreakBefore)(BSTR v) = 0;
  STDMETHOD(get_pageBreakBefore)(BSTR* p) = 0;
  STDMETHOD(put_pageBreakAfter)(BSTR v) = 0;
  STDMETHOD(get_pageBreakAfter)(BSTR* p) = 0;
  STDMETHOD(put_cssText)(BSTR v) = 0;
  STDMETHOD(get_cssText)(BSTR* p) = 0;
  STDMETHOD(put_pixelTop)(LONG v) = 0;
  STDMETHOD(get_pixelTop)(LONG* p) = 0;
  STDMETHOD(put_pixelLeft)(LONG v) = 0;
  STDMETHOD(get_pixelLeft)(LONG* p) = 0;
  STDMETHOD(put_pixelWidth)(LONG v) = 0;
  STDMETHOD(get_pixelWidth)(LONG* p) = 0;
  STDMETHOD(put_pixelHeight)(LONG v) = 0;
  STDMETHOD(get_pixelHeight)(LONG* p) = 0;
  STDMETHOD(put_posTop)(float v) = 0;
  STDMETHOD(get_posTop)(float* p) = 0;
  STDMETHOD(put_posLeft)(float v) = 0;
  STDMETHOD(get_posLeft)(float* p) = 0;
  STDMETHOD(put_posWidth)(float v) = 0;
  STDMETHOD(get_posWidth)(float* p) = 0;
  STDMETHOD(put_posHeight)(float v) = 0;
  STDMETHOD(get_posHeight)(float* p) = 0;
  STDMETHOD(put_cursor)(BSTR v) = 0;
  STDMETHOD(get_cursor)(BSTR* p) = 0;
  STDMETHOD(put_clip)(BSTR v) = 0;
  STDMETHOD(get_clip)(BSTR* p) = 0;
  STDMETHOD(put_filter)(BSTR v) = 0;
  STDMETHOD(get_filter)(BSTR* p) = 0;
  STDMETHOD(setAttribute)(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags) = 0;
  STDMETHOD(getAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT* AttributeValue) = 0;
  STDMETHOD(removeAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT_BOOL* pfSuccess) = 0;
  STDMETHOD(toString)(BSTR* String) = 0;
};
__CRT_UUID_DECL(IHTMLStyle, 0x3050F25E, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F3DB-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLCurrentStyle : public IDispatch {
 public:
  STDMETHOD(get_position)(BSTR* p) = 0;
  STDMETHOD(get_styleFloat)(BSTR* p) = 0;
  STDMETHOD(get_color)(VARIANT* p) = 0;
  STDMETHOD(get_backgroundColor)(VARIANT* p) = 0;
  STDMETHOD(get_fontFamily)(BSTR* p) = 0;
  STDMETHOD(get_fontStyle)(BSTR* p) = 0;
  STDMETHOD(get_fontVariant)(BSTR* p) = 0;
  STDMETHOD(get_fontWeight)(VARIANT* p) = 0;
  STDMETHOD(get_fontSize)(VARIANT* p) = 0;
  STDMETHOD(get_backgroundImage)(BSTR* p) = 0;
  STDMETHOD(get_backgroundPositionX)(VARIANT* p) = 0;
  STDMETHOD(get_backgroundPositionY)(VARIANT* p) = 0;
  STDMETHOD(get_backgroundRepeat)(BSTR* p) = 0;
  STDMETHOD(get_borderLeftColor)(VARIANT* p) = 0;
  STDMETHOD(get_borderTopColor)(VARIANT* p) = 0;
  STDMETHOD(get_borderRightColor)(VARIANT* p) = 0;
  STDMETHOD(get_borderBottomColor)(VARIANT* p) = 0;
  STDMETHOD(get_borderTopStyle)(BSTR* p) = 0;
  STDMETHOD(get_borderRightStyle)(BSTR* p) = 0;
  STDMETHOD(get_borderBottomStyle)(BSTR* p) = 0;
  STDMETHOD(get_borderLeftStyle)(BSTR* p) = 0;
  STDMETHOD(get_borderTopWidth)(VARIANT* p) = 0;
  STDMETHOD(get_borderRightWidth)(VARIANT* p) = 0;
  STDMETHOD(get_borderBottomWidth)(VARIANT* p) = 0;
  STDMETHOD(get_borderLeftWidth)(VARIANT* p) = 0;
  STDMETHOD(get_left)(VARIANT* p) = 0;
  STDMETHOD(get_top)(VARIANT* p) = 0;
  STDMETHOD(get_width)(VARIANT* p) = 0;
  STDMETHOD(get_height)(VARIANT* p) = 0;
  STDMETHOD(get_paddingLeft)(VARIANT* p) = 0;
  STDMETHOD(get_paddingTop)(VARIANT* p) = 0;
  STDMETHOD(get_paddingRight)(VARIANT* p) = 0;
  STDMETHOD(get_paddingBottom)(VARIANT* p) = 0;
  STDMETHOD(get_textAlign)(BSTR* p) = 0;
  STDMETHOD(get_textDecoration)(BSTR* p) = 0;
  STDMETHOD(get_display)(BSTR* p) = 0;
  STDMETHOD(get_visibility)(BSTR* p) = 0;
  STDMETHOD(get_zIndex)(VARIANT* p) = 0;
  STDMETHOD(get_letterSpacing)(VARIANT* p) = 0;
  STDMETHOD(get_lineHeight)(VARIANT* p) = 0;
  STDMETHOD(get_textIndent)(VARIANT* p) = 0;
  STDMETHOD(get_verticalAlign)(VARIANT* p) = 0;
  STDMETHOD(get_backgroundAttachment)(BSTR* p) = 0;
  STDMETHOD(get_marginTop)(VARIANT* p) = 0;
  STDMETHOD(get_marginRight)(VARIANT* p) = 0;
  STDMETHOD(get_marginBottom)(VARIANT* p) = 0;
  STDMETHOD(get_marginLeft)(VARIANT* p) = 0;
  STDMETHOD(get_clear)(BSTR* p) = 0;
  STDMETHOD(get_listStyleType)(BSTR* p) = 0;
  STDMETHOD(get_listStylePosition)(BSTR* p) = 0;
  STDMETHOD(get_listStyleImage)(BSTR* p) = 0;
  STDMETHOD(get_clipTop)(VARIANT* p) = 0;
  STDMETHOD(get_clipRight)(VARIANT* p) = 0;
  STDMETHOD(get_clipBottom)(VARIANT* p) = 0;
  STDMETHOD(get_clipLeft)(VARIANT* p) = 0;
  STDMETHOD(get_overflow)(BSTR* p) = 0;
  STDMETHOD(get_pageBreakBefore)(BSTR* p) = 0;
  STDMETHOD(get_pageBreakAfter)(BSTR* p) = 0;
  STDMETHOD(get_cursor)(BSTR* p) = 0;
  STDMETHOD(get_tableLayout)(BSTR* p) = 0;
  STDMETHOD(get_borderCollapse)(BSTR* p) = 0;
  STDMETHOD(get_direction)(BSTR* p) = 0;
  STDMETHOD(get_behavior)(BSTR* p) = 0;
  STDMETHOD(getAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT* AttributeValue) = 0;
  STDMETHOD(get_unicodeBidi)(BSTR* p) = 0;
  STDMETHOD(get_right)(VARIANT* p) = 0;
  STDMETHOD(get_bottom)(VARIANT* p) = 0;
  STDMETHOD(get_imeMode)(BSTR* p) = 0;
  STDMETHOD(get_rubyAlign)(BSTR* p) = 0;
  STDMETHOD(get_rubyPosition)(BSTR* p) = 0;
  STDMETHOD(get_rubyOverhang)(BSTR* p) = 0;
  STDMETHOD(get_textAutospace)(BSTR* p) = 0;
  STDMETHOD(get_lineBreak)(BSTR* p) = 0;
  STDMETHOD(get_wordBreak)(BSTR* p) = 0;
  STDMETHOD(get_textJustify)(BSTR* p) = 0;
  STDMETHOD(get_textJustifyTrim)(BSTR* p) = 0;
  STDMETHOD(get_textKashida)(VARIANT* p) = 0;
  STDMETHOD(get_blockDirection)(BSTR* p) = 0;
  STDMETHOD(get_layoutGridChar)(VARIANT* p) = 0;
  STDMETHOD(get_layoutGridLine)(VARIANT* p) = 0;
  STDMETHOD(get_layoutGridMode)(BSTR* p) = 0;
  STDMETHOD(get_layoutGridType)(BSTR* p) = 0;
  STDMETHOD(get_borderStyle)(BSTR* p) = 0;
  STDMETHOD(get_borderColor)(BSTR* p) = 0;
  STDMETHOD(get_borderWidth)(BSTR* p) = 0;
  STDMETHOD(get_padding)(BSTR* p) = 0;
  STDMETHOD(get_margin)(BSTR* p) = 0;
  STDMETHOD(get_accelerator)(BSTR* p) = 0;
  STDMETHOD(get_overflowX)(BSTR* p) = 0;
  STDMETHOD(get_overflowY)(BSTR* p) = 0;
  STDMETHOD(get_textTransform)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLCurrentStyle, 0x3050F3DB, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F4A3-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLRect : public IDispatch {
 public:
  STDMETHOD(put_left)(LONG v) = 0;
  STDMETHOD(get_left)(LONG* p) = 0;
  STDMETHOD(put_top)(LONG v) = 0;
  STDMETHOD(get_top)(LONG* p) = 0;
  STDMETHOD(put_right)(LONG v) = 0;
  STDMETHOD(get_right)(LONG* p) = 0;
  STDMETHOD(put_bottom)(LONG v) = 0;
  STDMETHOD(get_bottom)(LONG* p) = 0;
};
__CRT_UUID_DECL(IHTMLRect, 0x3050F4A3, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F21E-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLTable : public IDispatch {
 public:
  STDMETHOD(put_cols)(LONG v) = 0;
  STDMETHOD(get_cols)(LONG* p) = 0;
  STDMETHOD(put_border)(VARIANT v) = 0;
  STDMETHOD(get_border)(VARIANT* p) = 0;
  STDMETHOD(put_frame)(BSTR v) = 0;
  STDMETHOD(get_frame)(BSTR* p) = 0;
  STDMETHOD(put_rules)(BSTR v) = 0;
  STDMETHOD(get_rules)(BSTR* p) = 0;
  STDMETHOD(put_cellSpacing)(VARIANT v) = 0;
  STDMETHOD(get_cellSpacing)(VARIANT* p) = 0;
  STDMETHOD(put_cellPadding)(VARIANT v) = 0;
  STDMETHOD(get_cellPadding)(VARIANT* p) = 0;
  STDMETHOD(put_background)(BSTR v) = 0;
  STDMETHOD(get_background)(BSTR* p) = 0;
  STDMETHOD(put_bgColor)(VARIANT v) = 0;
  STDMETHOD(get_bgColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderColor)(VARIANT v) = 0;
  STDMETHOD(get_borderColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderColorLight)(VARIANT v) = 0;
  STDMETHOD(get_borderColorLight)(VARIANT* p) = 0;
  STDMETHOD(put_borderColorDark)(VARIANT v) = 0;
  STDMETHOD(get_borderColorDark)(VARIANT* p) = 0;
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
  STDMETHOD(refresh)() = 0;
  STDMETHOD(get_rows)(IHTMLElementCollection** p) = 0;
  STDMETHOD(put_width)(VARIANT v) = 0;
  STDMETHOD(get_width)(VARIANT* p) = 0;
  STDMETHOD(put_height)(VARIANT v) = 0;
  STDMETHOD(get_height)(VARIANT* p) = 0;
  STDMETHOD(put_dataPageSize)(LONG v) = 0;
  STDMETHOD(get_dataPageSize)(LONG* p) = 0;
  STDMETHOD(nextPage)() = 0;
  STDMETHOD(previousPage)() = 0;
  STDMETHOD(get_tHead)(IHTMLTableSection** p) = 0;
  STDMETHOD(get_tFoot)(IHTMLTableSection** p) = 0;
  STDMETHOD(get_tBodies)(IHTMLElementCollection** p) = 0;
  STDMETHOD(get_caption)(IHTMLTableCaption** p) = 0;
  STDMETHOD(createTHead)(IDispatch** head) = 0;
  STDMETHOD(deleteTHead)() = 0;
  STDMETHOD(createTFoot)(IDispatch** foot) = 0;
  STDMETHOD(deleteTFoot)() = 0;
  STDMETHOD(createCaption)(IHTMLTableCaption** caption) = 0;
  STDMETHOD(deleteCaption)() = 0;
  STDMETHOD(insertRow)(LONG index, IDispatch** row) = 0;
  STDMETHOD(deleteRow)(LONG index) = 0;
  STDMETHOD(get_readyState)(BSTR* p) = 0;
  STDMETHOD(put_onreadystatechange)(VARIANT v) = 0;
  STDMETHOD(get_onreadystatechange)(VARIANT* p) = 0;
};
__CRT_UUID_DECL(IHTMLTable, 0x3050F21E, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F4AD-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLTable2 : public IDispatch {
 public:
  STDMETHOD(firstPage)() = 0;
  STDMETHOD(lastPage)() = 0;
  STDMETHOD(get_cells)(IHTMLElementCollection** p) = 0;
  STDMETHOD(moveRow)(LONG indexFrom, LONG indexTo, IDispatch** row) = 0;
};
__CRT_UUID_DECL(IHTMLTable2, 0x3050F4AD, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F23B-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLTableSection : public IDispatch {
 public:
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
  STDMETHOD(put_vAlign)(BSTR v) = 0;
  STDMETHOD(get_vAlign)(BSTR* p) = 0;
  STDMETHOD(put_bgColor)(VARIANT v) = 0;
  STDMETHOD(get_bgColor)(VARIANT* p) = 0;
  STDMETHOD(get_rows)(IHTMLElementCollection** p) = 0;
  STDMETHOD(insertRow)(LONG index, IDispatch** row) = 0;
  STDMETHOD(deleteRow)(LONG index) = 0;
};
__CRT_UUID_DECL(IHTMLTableSection, 0x3050F23B, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F23C-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLTableRow : public IDispatch {
 public:
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
  STDMETHOD(put_vAlign)(BSTR v) = 0;
  STDMETHOD(get_vAlign)(BSTR* p) = 0;
  STDMETHOD(put_bgColor)(VARIANT v) = 0;
  STDMETHOD(get_bgColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderColor)(VARIANT v) = 0;
  STDMETHOD(get_borderColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderColorLight)(VARIANT v) = 0;
  STDMETHOD(get_borderColorLight)(VARIANT* p) = 0;
  STDMETHOD(put_borderColorDark)(VARIANT v) = 0;
  STDMETHOD(get_borderColorDark)(VARIANT* p) = 0;
  STDMETHOD(get_rowIndex)(LONG* p) = 0;
  STDMETHOD(get_sectionRowIndex)(LONG* p) = 0;
  STDMETHOD(get_cells)(IHTMLElementCollection** p) = 0;
  STDMETHOD(insertCell)(LONG index, IDispatch** row) = 0;
  STDMETHOD(deleteCell)(LONG index) = 0;
};
__CRT_UUID_DECL(IHTMLTableRow, 0x3050F23C, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F23D-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLTableCell : public IDispatch {
 public:
  STDMETHOD(put_rowSpan)(LONG v) = 0;
  STDMETHOD(get_rowSpan)(LONG* p) = 0;
  STDMETHOD(put_colSpan)(LONG v) = 0;
  STDMETHOD(get_colSpan)(LONG* p) = 0;
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
  STDMETHOD(put_vAlign)(BSTR v) = 0;
  STDMETHOD(get_vAlign)(BSTR* p) = 0;
  STDMETHOD(put_bgColor)(VARIANT v) = 0;
  STDMETHOD(get_bgColor)(VARIANT* p) = 0;
  STDMETHOD(put_noWrap)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_noWrap)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_background)(BSTR v) = 0;
  STDMETHOD(get_background)(BSTR* p) = 0;
  STDMETHOD(put_borderColor)(VARIANT v) = 0;
  STDMETHOD(get_borderColor)(VARIANT* p) = 0;
  STDMETHOD(put_borderColorLight)(VARIANT v) = 0;
  STDMETHOD(get_borderColorLight)(VARIANT* p) = 0;
  STDMETHOD(put_borderColorDark)(VARIANT v) = 0;
  STDMETHOD(get_borderColorDark)(VARIANT* p) = 0;
  STDMETHOD(put_width)(VARIANT v) = 0;
  STDMETHOD(get_width)(VARIANT* p) = 0;
  STDMETHOD(put_height)(VARIANT v) = 0;
  STDMETHOD(get_height)(VARIANT* p) = 0;
  STDMETHOD(get_cellIndex)(LONG* p) = 0;
};
__CRT_UUID_DECL(IHTMLTableCell, 0x3050F23D, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F2EB-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLTableCaption : public IDispatch {
 public:
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
  STDMETHOD(put_vAlign)(BSTR v) = 0;
  STDMETHOD(get_vAlign)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLTableCaption, 0x3050F2EB, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F1DA-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLAnchorElement : public IDispatch {
 public:
  STDMETHOD(put_href)(BSTR v) = 0;
  STDMETHOD(get_href)(BSTR* p) = 0;
  STDMETHOD(put_target)(BSTR v) = 0;
  STDMETHOD(get_target)(BSTR* p) = 0;
  STDMETHOD(put_rel)(BSTR v) = 0;
  STDMETHOD(get_rel)(BSTR* p) = 0;
  STDMETHOD(put_rev)(BSTR v) = 0;
  STDMETHOD(get_rev)(BSTR* p) = 0;
  STDMETHOD(put_urn)(BSTR v) = 0;
  STDMETHOD(get_urn)(BSTR* p) = 0;
  STDMETHOD(put_Methods)(BSTR v) = 0;
  STDMETHOD(get_Methods)(BSTR* p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR* p) = 0;
  STDMETHOD(put_host)(BSTR v) = 0;
  STDMETHOD(get_host)(BSTR* p) = 0;
  STDMETHOD(put_hostname)(BSTR v) = 0;
  STDMETHOD(get_hostname)(BSTR* p) = 0;
  STDMETHOD(put_pathname)(BSTR v) = 0;
  STDMETHOD(get_pathname)(BSTR* p) = 0;
  STDMETHOD(put_port)(BSTR v) = 0;
  STDMETHOD(get_port)(BSTR* p) = 0;
  STDMETHOD(put_protocol)(BSTR v) = 0;
  STDMETHOD(get_protocol)(BSTR* p) = 0;
  STDMETHOD(put_search)(BSTR v) = 0;
  STDMETHOD(get_search)(BSTR* p) = 0;
  STDMETHOD(put_hash)(BSTR v) = 0;
  STDMETHOD(get_hash)(BSTR* p) = 0;
  STDMETHOD(put_onblur)(VARIANT v) = 0;
  STDMETHOD(get_onblur)(VARIANT* p) = 0;
  STDMETHOD(put_onfocus)(VARIANT v) = 0;
  STDMETHOD(get_onfocus)(VARIANT* p) = 0;
  STDMETHOD(put_accessKey)(BSTR v) = 0;
  STDMETHOD(get_accessKey)(BSTR* p) = 0;
  STDMETHOD(get_protocolLong)(BSTR* p) = 0;
  STDMETHOD(get_mimeType)(BSTR* p) = 0;
  STDMETHOD(get_nameProp)(BSTR* p) = 0;
  STDMETHOD(put_tabIndex)(short v) = 0;
  STDMETHOD(get_tabIndex)(short* p) = 0;
  STDMETHOD(focus)() = 0;
  STDMETHOD(blur)() = 0;
};
__CRT_UUID_DECL(IHTMLAnchorElement, 0x3050F1DA, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F1F7-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLFormElement : public IDispatch {
 public:
  STDMETHOD(put_action)(BSTR v) = 0;
  STDMETHOD(get_action)(BSTR* p) = 0;
  STDMETHOD(put_dir)(BSTR v) = 0;
  STDMETHOD(get_dir)(BSTR* p) = 0;
  STDMETHOD(put_encoding)(BSTR v) = 0;
  STDMETHOD(get_encoding)(BSTR* p) = 0;
  STDMETHOD(put_method)(BSTR v) = 0;
  STDMETHOD(get_method)(BSTR* p) = 0;
  STDMETHOD(get_elements)(IDispatch** p) = 0;
  STDMETHOD(put_target)(BSTR v) = 0;
  STDMETHOD(get_target)(BSTR* p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR* p) = 0;
  STDMETHOD(put_onsubmit)(VARIANT v) = 0;
  STDMETHOD(get_onsubmit)(VARIANT* p) = 0;
  STDMETHOD(put_onreset)(VARIANT v) = 0;
  STDMETHOD(get_onreset)(VARIANT* p) = 0;
  STDMETHOD(submit)() = 0;
  STDMETHOD(reset)() = 0;
  STDMETHOD(put_length)(LONG v) = 0;
  STDMETHOD(get_length)(LONG* p) = 0;
  STDMETHOD(get__newEnum)(IUnknown** p) = 0;
  STDMETHOD(item)(VARIANT name, VARIANT index, IDispatch** pdisp) = 0;
  STDMETHOD(tags)(VARIANT tagName, IDispatch** pdisp) = 0;
};
__CRT_UUID_DECL(IHTMLFormElement, 0x3050F1F7, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F5D2-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLInputElement : public IDispatch {
 public:
  STDMETHOD(put_type)(BSTR v) = 0;
  STDMETHOD(get_type)(BSTR* p) = 0;
  STDMETHOD(put_value)(BSTR v) = 0;
  STDMETHOD(get_value)(BSTR* p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR* p) = 0;
  STDMETHOD(put_status)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_status)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_disabled)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_disabled)(VARIANT_BOOL* p) = 0;
  STDMETHOD(get_form)(IHTMLFormElement** p) = 0;
  STDMETHOD(put_size)(LONG v) = 0;
  STDMETHOD(get_size)(LONG* p) = 0;
  STDMETHOD(put_maxLength)(LONG v) = 0;
  STDMETHOD(get_maxLength)(LONG* p) = 0;
  STDMETHOD(select)() = 0;
  STDMETHOD(put_onchange)(VARIANT v) = 0;
  STDMETHOD(get_onchange)(VARIANT* p) = 0;
  STDMETHOD(put_onselect)(VARIANT v) = 0;
  STDMETHOD(get_onselect)(VARIANT* p) = 0;
  STDMETHOD(put_defaultValue)(BSTR v) = 0;
  STDMETHOD(get_defaultValue)(BSTR* p) = 0;
  STDMETHOD(put_readOnly)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_readOnly)(VARIANT_BOOL* p) = 0;
  STDMETHOD(createTextRange)(IHTMLTxtRange** range) = 0;
  STDMETHOD(put_indeterminate)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_indeterminate)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_defaultChecked)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_defaultChecked)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_checked)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_checked)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_border)(VARIANT v) = 0;
  STDMETHOD(get_border)(VARIANT* p) = 0;
  STDMETHOD(put_vspace)(LONG v) = 0;
  STDMETHOD(get_vspace)(LONG* p) = 0;
  STDMETHOD(put_hspace)(LONG v) = 0;
  STDMETHOD(get_hspace)(LONG* p) = 0;
  STDMETHOD(put_alt)(BSTR v) = 0;
  STDMETHOD(get_alt)(BSTR* p) = 0;
  STDMETHOD(put_src)(BSTR v) = 0;
  STDMETHOD(get_src)(BSTR* p) = 0;
  STDMETHOD(put_lowsrc)(BSTR v) = 0;
  STDMETHOD(get_lowsrc)(BSTR* p) = 0;
  STDMETHOD(put_vrml)(BSTR v) = 0;
  STDMETHOD(get_vrml)(BSTR* p) = 0;
  STDMETHOD(put_dynsrc)(BSTR v) = 0;
  STDMETHOD(get_dynsrc)(BSTR* p) = 0;
  STDMETHOD(get_readyState)(BSTR* p) = 0;
  STDMETHOD(get_complete)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_loop)(VARIANT v) = 0;
  STDMETHOD(get_loop)(VARIANT* p) = 0;
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
  STDMETHOD(put_onload)(VARIANT v) = 0;
  STDMETHOD(get_onload)(VARIANT* p) = 0;
  STDMETHOD(put_onerror)(VARIANT v) = 0;
  STDMETHOD(get_onerror)(VARIANT* p) = 0;
  STDMETHOD(put_onabort)(VARIANT v) = 0;
  STDMETHOD(get_onabort)(VARIANT* p) = 0;
  STDMETHOD(put_width)(LONG v) = 0;
  STDMETHOD(get_width)(LONG* p) = 0;
  STDMETHOD(put_height)(LONG v) = 0;
  STDMETHOD(get_height)(LONG* p) = 0;
  STDMETHOD(put_start)(BSTR v) = 0;
  STDMETHOD(get_start)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLInputElement, 0x3050F5D2, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F244-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLSelectElement : public IDispatch {
 public:
  STDMETHOD(put_size)(LONG v) = 0;
  STDMETHOD(get_size)(LONG* p) = 0;
  STDMETHOD(put_multiple)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_multiple)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR* p) = 0;
  STDMETHOD(get_options)(IDispatch** p) = 0;
  STDMETHOD(put_onchange)(VARIANT v) = 0;
  STDMETHOD(get_onchange)(VARIANT* p) = 0;
  STDMETHOD(put_selectedIndex)(LONG v) = 0;
  STDMETHOD(get_selectedIndex)(LONG* p) = 0;
  STDMETHOD(get_type)(BSTR* p) = 0;
  STDMETHOD(put_value)(BSTR v) = 0;
  STDMETHOD(get_value)(BSTR* p) = 0;
  STDMETHOD(put_disabled)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_disabled)(VARIANT_BOOL* p) = 0;
  STDMETHOD(get_form)(IHTMLFormElement** p) = 0;
  STDMETHOD(add)(IHTMLElement* element, VARIANT before) = 0;
  STDMETHOD(remove)(LONG index) = 0;
  STDMETHOD(put_length)(LONG v) = 0;
  STDMETHOD(get_length)(LONG* p) = 0;
  STDMETHOD(get__newEnum)(IUnknown** p) = 0;
  STDMETHOD(item)(VARIANT name, VARIANT index, IDispatch** pdisp) = 0;
  STDMETHOD(tags)(VARIANT tagName, IDispatch** pdisp) = 0;
};
__CRT_UUID_DECL(IHTMLSelectElement, 0x3050F244, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F211-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLOptionElement : public IDispatch {
 public:
  STDMETHOD(put_selected)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_selected)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_value)(BSTR v) = 0;
  STDMETHOD(get_value)(BSTR* p) = 0;
  STDMETHOD(put_defaultSelected)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_defaultSelected)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_index)(LONG v) = 0;
  STDMETHOD(get_index)(LONG* p) = 0;
  STDMETHOD(put_text)(BSTR v) = 0;
  STDMETHOD(get_text)(BSTR* p) = 0;
  STDMETHOD(get_form)(IHTMLFormElement** p) = 0;
};
__CRT_UUID_DECL(IHTMLOptionElement, 0x3050F211, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F240-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLImgElement : public IDispatch {
 public:
  STDMETHOD(put_isMap)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_isMap)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_useMap)(BSTR v) = 0;
  STDMETHOD(get_useMap)(BSTR* p) = 0;
  STDMETHOD(get_mimeType)(BSTR* p) = 0;
  STDMETHOD(get_fileSize)(BSTR* p) = 0;
  STDMETHOD(get_fileCreatedDate)(BSTR* p) = 0;
  STDMETHOD(get_fileModifiedDate)(BSTR* p) = 0;
  STDMETHOD(get_fileUpdatedDate)(BSTR* p) = 0;
  STDMETHOD(get_protocol)(BSTR* p) = 0;
  STDMETHOD(get_href)(BSTR* p) = 0;
  STDMETHOD(get_nameProp)(BSTR* p) = 0;
  STDMETHOD(put_border)(VARIANT v) = 0;
  STDMETHOD(get_border)(VARIANT* p) = 0;
  STDMETHOD(put_vspace)(LONG v) = 0;
  STDMETHOD(get_vspace)(LONG* p) = 0;
  STDMETHOD(put_hspace)(LONG v) = 0;
  STDMETHOD(get_hspace)(LONG* p) = 0;
  STDMETHOD(put_alt)(BSTR v) = 0;
  STDMETHOD(get_alt)(BSTR* p) = 0;
  STDMETHOD(put_src)(BSTR v) = 0;
  STDMETHOD(get_src)(BSTR* p) = 0;
  STDMETHOD(put_lowsrc)(BSTR v) = 0;
  STDMETHOD(get_lowsrc)(BSTR* p) = 0;
  STDMETHOD(put_vrml)(BSTR v) = 0;
  STDMETHOD(get_vrml)(BSTR* p) = 0;
  STDMETHOD(put_dynsrc)(BSTR v) = 0;
  STDMETHOD(get_dynsrc)(BSTR* p) = 0;
  STDMETHOD(get_readyState)(BSTR* p) = 0;
  STDMETHOD(get_complete)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_loop)(VARIANT v) = 0;
  STDMETHOD(get_loop)(VARIANT* p) = 0;
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
  STDMETHOD(put_onload)(VARIANT v) = 0;
  STDMETHOD(get_onload)(VARIANT* p) = 0;
  STDMETHOD(put_onerror)(VARIANT v) = 0;
  STDMETHOD(get_onerror)(VARIANT* p) = 0;
  STDMETHOD(put_onabort)(VARIANT v) = 0;
  STDMETHOD(get_onabort)(VARIANT* p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR* p) = 0;
  STDMETHOD(put_width)(LONG v) = 0;
  STDMETHOD(get_width)(LONG* p) = 0;
  STDMETHOD(put_height)(LONG v) = 0;
  STDMETHOD(get_height)(LONG* p) = 0;
  STDMETHOD(put_start)(BSTR v) = 0;
  STDMETHOD(get_start)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLImgElement, 0x3050F240, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F1D8-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLBodyElement : public IDispatch {
 public:
  STDMETHOD(put_background)(BSTR v) = 0;
  STDMETHOD(get_background)(BSTR* p) = 0;
  STDMETHOD(put_bgProperties)(BSTR v) = 0;
  STDMETHOD(get_bgProperties)(BSTR* p) = 0;
  STDMETHOD(put_leftMargin)(VARIANT v) = 0;
  STDMETHOD(get_leftMargin)(VARIANT* p) = 0;
  STDMETHOD(put_topMargin)(VARIANT v) = 0;
  STDMETHOD(get_topMargin)(VARIANT* p) = 0;
  STDMETHOD(put_rightMargin)(VARIANT v) = 0;
  STDMETHOD(get_rightMargin)(VARIANT* p) = 0;
  STDMETHOD(put_bottomMargin)(VARIANT v) = 0;
  STDMETHOD(get_bottomMargin)(VARIANT* p) = 0;
  STDMETHOD(put_noWrap)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_noWrap)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_bgColor)(VARIANT v) = 0;
  STDMETHOD(get_bgColor)(VARIANT* p) = 0;
  STDMETHOD(put_text)(VARIANT v) = 0;
  STDMETHOD(get_text)(VARIANT* p) = 0;
  STDMETHOD(put_link)(VARIANT v) = 0;
  STDMETHOD(get_link)(VARIANT* p) = 0;
  STDMETHOD(put_vLink)(VARIANT v) = 0;
  STDMETHOD(get_vLink)(VARIANT* p) = 0;
  STDMETHOD(put_aLink)(VARIANT v) = 0;
  STDMETHOD(get_aLink)(VARIANT* p) = 0;
  STDMETHOD(put_onload)(VARIANT v) = 0;
  STDMETHOD(get_onload)(VARIANT* p) = 0;
  STDMETHOD(put_onunload)(VARIANT v) = 0;
  STDMETHOD(get_onunload)(VARIANT* p) = 0;
  STDMETHOD(put_scroll)(BSTR v) = 0;
  STDMETHOD(get_scroll)(BSTR* p) = 0;
  STDMETHOD(put_onselect)(VARIANT v) = 0;
  STDMETHOD(get_onselect)(VARIANT* p) = 0;
  STDMETHOD(put_onbeforeunload)(VARIANT v) = 0;
  STDMETHOD(get_onbeforeunload)(VARIANT* p) = 0;
  STDMETHOD(createTextRange)(IHTMLTxtRange** range) = 0;
};
__CRT_UUID_DECL(IHTMLBodyElement, 0x3050F1D8, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F25A-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLSelectionObject : public IDispatch {
 public:
  STDMETHOD(createRange)(IDispatch** range) = 0;
  STDMETHOD(empty)() = 0;
  STDMETHOD(clear)() = 0;
  STDMETHOD(get_type)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLSelectionObject, 0x3050F25A, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F220-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLTxtRange : public IDispatch {
 public:
  STDMETHOD(get_htmlText)(BSTR* p) = 0;
  STDMETHOD(put_text)(BSTR v) = 0;
  STDMETHOD(get_text)(BSTR* p) = 0;
  STDMETHOD(parentElement)(IHTMLElement** parent) = 0;
  STDMETHOD(duplicate)(IHTMLTxtRange** Duplicate) = 0;
  STDMETHOD(inRange)(IHTMLTxtRange* Range, VARIANT_BOOL* InRange) = 0;
  STDMETHOD(isEqual)(IHTMLTxtRange* Range, VARIANT_BOOL* IsEqual) = 0;
  STDMETHOD(scrollIntoView)(VARIANT_BOOL fStart) = 0;
  STDMETHOD(collapse)(VARIANT_BOOL Start) = 0;
  STDMETHOD(expand)(BSTR Unit, VARIANT_BOOL* Success) = 0;
  STDMETHOD(move)(BSTR Unit, LONG Count, LONG* ActualCount) = 0;
  STDMETHOD(moveStart)(BSTR Unit, LONG Count, LONG* ActualCount) = 0;
  STDMETHOD(moveEnd)(BSTR Unit, LONG Count, LONG* ActualCount) = 0;
  STDMETHOD(select)() = 0;
  STDMETHOD(pasteHTML)(BSTR html) = 0;
  STDMETHOD(moveToElementText)(IHTMLElement* element) = 0;
  STDMETHOD(setEndPoint)(BSTR how, IHTMLTxtRange* SourceRange) = 0;
  STDMETHOD(compareEndPoints)(BSTR how, IHTMLTxtRange* SourceRange, LONG* ret) = 0;
  STDMETHOD(findText)(BSTR String, LONG count, LONG Flags, VARIANT_BOOL* Success) = 0;
  STDMETHOD(moveToPoint)(LONG x, LONG y) = 0;
  STDMETHOD(getBookmark)(BSTR* Boolmark) = 0;
  STDMETHOD(moveToBookmark)(BSTR Bookmark, VARIANT_BOOL* Success) = 0;
  STDMETHOD(queryCommandSupported)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandEnabled)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandState)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandIndeterm)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(queryCommandText)(BSTR cmdID, BSTR* pcmdText) = 0;
  STDMETHOD(queryCommandValue)(BSTR cmdID, VARIANT* pcmdValue) = 0;
  STDMETHOD(execCommand)(BSTR cmdID, VARIANT_BOOL showUI, VARIANT value, VARIANT_BOOL* pfRet) = 0;
  STDMETHOD(execCommandShowHelp)(BSTR cmdID, VARIANT_BOOL* pfRet) = 0;
};
__CRT_UUID_DECL(IHTMLTxtRange, 0x3050F220, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F32D-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLEventObj : public IDispatch {
 public:
  STDMETHOD(get_srcElement)(IHTMLElement** p) = 0;
  STDMETHOD(get_altKey)(VARIANT_BOOL* p) = 0;
  STDMETHOD(get_ctrlKey)(VARIANT_BOOL* p) = 0;
  STDMETHOD(get_shiftKey)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_returnValue)(VARIANT v) = 0;
  STDMETHOD(get_returnValue)(VARIANT* p) = 0;
  STDMETHOD(put_cancelBubble)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_cancelBubble)(VARIANT_BOOL* p) = 0;
  STDMETHOD(get_fromElement)(IHTMLElement** p) = 0;
  STDMETHOD(get_toElement)(IHTMLElement** p) = 0;
  STDMETHOD(put_keyCode)(LONG v) = 0;
  STDMETHOD(get_keyCode)(LONG* p) = 0;
  STDMETHOD(get_button)(LONG* p) = 0;
  STDMETHOD(get_type)(BSTR* p) = 0;
  STDMETHOD(get_qualifier)(BSTR* p) = 0;
  STDMETHOD(get_reason)(LONG* p) = 0;
  STDMETHOD(get_x)(LONG* p) = 0;
  STDMETHOD(get_y)(LONG* p) = 0;
  STDMETHOD(get_clientX)(LONG* p) = 0;
  STDMETHOD(get_clientY)(LONG* p) = 0;
  STDMETHOD(get_offsetX)(LONG* p) = 0;
  STDMETHOD(get_offsetY)(LONG* p) = 0;
  STDMETHOD(get_screenX)(LONG* p) = 0;
  STDMETHOD(get_screenY)(LONG* p) = 0;
  STDMETHOD(get_srcFilter)(IDispatch** p) = 0;
};
__CRT_UUID_DECL(IHTMLEventObj, 0x3050F32D, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F48B-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLEventObj2 : public IDispatch {
 public:
  STDMETHOD(setAttribute)(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags) = 0;
  STDMETHOD(getAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT* AttributeValue) = 0;
  STDMETHOD(removeAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT_BOOL* pfSuccess) = 0;
  STDMETHOD(put_propertyName)(BSTR v) = 0;
  STDMETHOD(get_propertyName)(BSTR* p) = 0;
  STDMETHOD(putref_bookmarks)(IHTMLBookmarkCollection* v) = 0;
  STDMETHOD(get_bookmarks)(IHTMLBookmarkCollection** p) = 0;
  STDMETHOD(putref_recordset)(IDispatch* v) = 0;
  STDMETHOD(get_recordset)(IDispatch** p) = 0;
  STDMETHOD(put_dataFld)(BSTR v) = 0;
  STDMETHOD(get_dataFld)(BSTR* p) = 0;
  STDMETHOD(putref_boundElements)(IHTMLElementCollection* v) = 0;
  STDMETHOD(get_boundElements)(IHTMLElementCollection** p) = 0;
  STDMETHOD(put_repeat)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_repeat)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_srcUrn)(BSTR v) = 0;
  STDMETHOD(get_srcUrn)(BSTR* p) = 0;
  STDMETHOD(putref_srcElement)(IHTMLElement* v) = 0;
  STDMETHOD(get_srcElement)(IHTMLElement** p) = 0;
  STDMETHOD(put_altKey)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_altKey)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_ctrlKey)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_ctrlKey)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_shiftKey)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_shiftKey)(VARIANT_BOOL* p) = 0;
  STDMETHOD(putref_fromElement)(IHTMLElement* v) = 0;
  STDMETHOD(get_fromElement)(IHTMLElement** p) = 0;
  STDMETHOD(putref_toElement)(IHTMLElement* v) = 0;
  STDMETHOD(get_toElement)(IHTMLElement** p) = 0;
  STDMETHOD(put_button)(LONG v) = 0;
  STDMETHOD(get_button)(LONG* p) = 0;
  STDMETHOD(put_type)(BSTR v) = 0;
  STDMETHOD(get_type)(BSTR* p) = 0;
  STDMETHOD(put_qualifier)(BSTR v) = 0;
  STDMETHOD(get_qualifier)(BSTR* p) = 0;
  STDMETHOD(put_reason)(LONG v) = 0;
  STDMETHOD(get_reason)(LONG* p) = 0;
  STDMETHOD(put_x)(LONG v) = 0;
  STDMETHOD(get_x)(LONG* p) = 0;
  STDMETHOD(put_y)(LONG v) = 0;
  STDMETHOD(get_y)(LONG* p) = 0;
  STDMETHOD(put_clientX)(LONG v) = 0;
  STDMETHOD(get_clientX)(LONG* p) = 0;
  STDMETHOD(put_clientY)(LONG v) = 0;
  STDMETHOD(get_clientY)(LONG* p) = 0;
  STDMETHOD(put_offsetX)(LONG v) = 0;
  STDMETHOD(get_offsetX)(LONG* p) = 0;
  STDMETHOD(put_offsetY)(LONG v) = 0;
  STDMETHOD(get_offsetY)(LONG* p) = 0;
  STDMETHOD(put_screenX)(LONG v) = 0;
  STDMETHOD(get_screenX)(LONG* p) = 0;
  STDMETHOD(put_screenY)(LONG v) = 0;
  STDMETHOD(get_screenY)(LONG* p) = 0;
  STDMETHOD(putref_srcFilter)(IDispatch* v) = 0;
  STDMETHOD(get_srcFilter)(IDispatch** p) = 0;
  STDMETHOD(get_dataTransfer)(IHTMLDataTransfer** p) = 0;
};
__CRT_UUID_DECL(IHTMLEventObj2, 0x3050F48B, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F311-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLFrameBase : public IDispatch {
 public:
  STDMETHOD(put_src)(BSTR v) = 0;
  STDMETHOD(get_src)(BSTR* p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR* p) = 0;
  STDMETHOD(put_border)(VARIANT v) = 0;
  STDMETHOD(get_border)(VARIANT* p) = 0;
  STDMETHOD(put_frameBorder)(BSTR v) = 0;
  STDMETHOD(get_frameBorder)(BSTR* p) = 0;
  STDMETHOD(put_frameSpacing)(VARIANT v) = 0;
  STDMETHOD(get_frameSpacing)(VARIANT* p) = 0;
  STDMETHOD(put_marginWidth)(VARIANT v) = 0;
  STDMETHOD(get_marginWidth)(VARIANT* p) = 0;
  STDMETHOD(put_marginHeight)(VARIANT v) = 0;
  STDMETHOD(get_marginHeight)(VARIANT* p) = 0;
  STDMETHOD(put_noResize)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_noResize)(VARIANT_BOOL* p) = 0;
  STDMETHOD(put_scrolling)(BSTR v) = 0;
  STDMETHOD(get_scrolling)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLFrameBase, 0x3050F311, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

MIDL_INTERFACE("3050F315-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLIFrameElement : public IDispatch {
 public:
  STDMETHOD(put_vspace)(LONG v) = 0;
  STDMETHOD(get_vspace)(LONG* p) = 0;
  STDMETHOD(put_hspace)(LONG v) = 0;
  STDMETHOD(get_hspace)(LONG* p) = 0;
  STDMETHOD(put_align)(BSTR v) = 0;
  STDMETHOD(get_align)(BSTR* p) = 0;
};
__CRT_UUID_DECL(IHTMLIFrameElement, 0x3050F315, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B)

#endif
