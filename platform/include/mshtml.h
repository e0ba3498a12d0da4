// MSHTML document object model interfaces. Each interface lists its full
// method table in SDK order up to the last method declared so far; later
// methods are added at the end of each interface.
#pragma once
#include <oaidl.h>
#include <unknwn.h>
#include <wtypes.h>

DEFINE_GUID(IID_IHTMLFramesCollection2, 0x332C4426, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F,
            0xD9, 0x01, 0x19);
DEFINE_GUID(IID_IHTMLWindow2, 0x332C4427, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01,
            0x19);
DEFINE_GUID(IID_IHTMLDocument, 0x626FC520, 0xA41E, 0x11CF, 0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26,
            0x37);
DEFINE_GUID(IID_IHTMLDocument2, 0x332C4425, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9,
            0x01, 0x19);
DEFINE_GUID(IID_IHTMLElement, 0x3050F1FF, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE,
            0x0B);
DEFINE_GUID(IID_IHTMLLocation, 0x163BB1E0, 0x6E00, 0x11CF, 0x83, 0x7A, 0x48, 0xDC, 0x04, 0xC1, 0x00,
            0x00);
DEFINE_GUID(IID_IHTMLStyle, 0x3050F25E, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE,
            0x0B);

#ifdef __cplusplus
struct IHTMLElement;
struct IHTMLElementCollection;
struct IHTMLSelectionObject;
struct IHTMLImageElementFactory;
struct IHTMLLocation;
struct IHTMLStyle;
struct IOmHistory;
struct IOmNavigator;

MIDL_INTERFACE("332C4426-26CB-11D0-B483-00C04FD90119")
IHTMLFramesCollection2 : public IDispatch {
 public:
  STDMETHOD(item)(VARIANT * pvarIndex, VARIANT * pvarResult) = 0;
  STDMETHOD(get_length)(LONG * p) = 0;
};
__CRT_UUID_DECL(IHTMLFramesCollection2, 0x332C4426, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F,
                0xD9, 0x01, 0x19)

MIDL_INTERFACE("332C4427-26CB-11D0-B483-00C04FD90119")
IHTMLWindow2 : public IHTMLFramesCollection2 {
 public:
  STDMETHOD(get_frames)(IHTMLFramesCollection2 * *p) = 0;
  STDMETHOD(put_defaultStatus)(BSTR v) = 0;
  STDMETHOD(get_defaultStatus)(BSTR * p) = 0;
  STDMETHOD(put_status)(BSTR v) = 0;
  STDMETHOD(get_status)(BSTR * p) = 0;
  STDMETHOD(setTimeout)(BSTR expression, LONG msec, VARIANT * language, LONG * timerID) = 0;
  STDMETHOD(clearTimeout)(LONG timerID) = 0;
  STDMETHOD(alert)(BSTR message) = 0;
  STDMETHOD(confirm)(BSTR message, VARIANT_BOOL * confirmed) = 0;
  STDMETHOD(prompt)(BSTR message, BSTR defstr, VARIANT * textdata) = 0;
  STDMETHOD(get_Image)(IHTMLImageElementFactory * *p) = 0;
  STDMETHOD(get_location)(IHTMLLocation * *p) = 0;
  STDMETHOD(get_history)(IOmHistory * *p) = 0;
  STDMETHOD(close)() = 0;
  STDMETHOD(put_opener)(VARIANT v) = 0;
  STDMETHOD(get_opener)(VARIANT * p) = 0;
  STDMETHOD(get_navigator)(IOmNavigator * *p) = 0;
  STDMETHOD(put_name)(BSTR v) = 0;
  STDMETHOD(get_name)(BSTR * p) = 0;
};
__CRT_UUID_DECL(IHTMLWindow2, 0x332C4427, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01,
                0x19)

MIDL_INTERFACE("626FC520-A41E-11CF-A731-00A0C9082637")
IHTMLDocument : public IDispatch {
 public:
  STDMETHOD(get_Script)(IDispatch * *p) = 0;
};
__CRT_UUID_DECL(IHTMLDocument, 0x626FC520, 0xA41E, 0x11CF, 0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26,
                0x37)

MIDL_INTERFACE("332C4425-26CB-11D0-B483-00C04FD90119")
IHTMLDocument2 : public IHTMLDocument {
 public:
  STDMETHOD(get_all)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(get_body)(IHTMLElement * *p) = 0;
  STDMETHOD(get_activeElement)(IHTMLElement * *p) = 0;
  STDMETHOD(get_images)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(get_applets)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(get_links)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(get_forms)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(get_anchors)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(put_title)(BSTR v) = 0;
  STDMETHOD(get_title)(BSTR * p) = 0;
  STDMETHOD(get_scripts)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(put_designMode)(BSTR v) = 0;
  STDMETHOD(get_designMode)(BSTR * p) = 0;
  STDMETHOD(get_selection)(IHTMLSelectionObject * *p) = 0;
  STDMETHOD(get_readyState)(BSTR * p) = 0;
  STDMETHOD(get_frames)(IHTMLFramesCollection2 * *p) = 0;
  STDMETHOD(get_embeds)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(get_plugins)(IHTMLElementCollection * *p) = 0;
  STDMETHOD(put_alinkColor)(VARIANT v) = 0;
  STDMETHOD(get_alinkColor)(VARIANT * p) = 0;
  STDMETHOD(put_bgColor)(VARIANT v) = 0;
  STDMETHOD(get_bgColor)(VARIANT * p) = 0;
  STDMETHOD(put_fgColor)(VARIANT v) = 0;
  STDMETHOD(get_fgColor)(VARIANT * p) = 0;
  STDMETHOD(put_linkColor)(VARIANT v) = 0;
  STDMETHOD(get_linkColor)(VARIANT * p) = 0;
  STDMETHOD(put_vlinkColor)(VARIANT v) = 0;
  STDMETHOD(get_vlinkColor)(VARIANT * p) = 0;
  STDMETHOD(get_referrer)(BSTR * p) = 0;
  STDMETHOD(get_location)(IHTMLLocation * *p) = 0;
};
__CRT_UUID_DECL(IHTMLDocument2, 0x332C4425, 0x26CB, 0x11D0, 0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9,
                0x01, 0x19)

MIDL_INTERFACE("163BB1E0-6E00-11CF-837A-48DC04C10000")
IHTMLLocation : public IDispatch {
 public:
  STDMETHOD(put_href)(BSTR v) = 0;
  STDMETHOD(get_href)(BSTR * p) = 0;
};
__CRT_UUID_DECL(IHTMLLocation, 0x163BB1E0, 0x6E00, 0x11CF, 0x83, 0x7A, 0x48, 0xDC, 0x04, 0xC1, 0x00,
                0x00)

MIDL_INTERFACE("3050F1FF-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLElement : public IDispatch {
 public:
  STDMETHOD(setAttribute)(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags) = 0;
  STDMETHOD(getAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT * AttributeValue) = 0;
  STDMETHOD(removeAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT_BOOL * pfSuccess) = 0;
  STDMETHOD(put_className)(BSTR v) = 0;
  STDMETHOD(get_className)(BSTR * p) = 0;
  STDMETHOD(put_id)(BSTR v) = 0;
  STDMETHOD(get_id)(BSTR * p) = 0;
  STDMETHOD(get_tagName)(BSTR * p) = 0;
  STDMETHOD(get_parentElement)(IHTMLElement * *p) = 0;
  STDMETHOD(get_style)(IHTMLStyle * *p) = 0;
  STDMETHOD(put_onhelp)(VARIANT v) = 0;
  STDMETHOD(get_onhelp)(VARIANT * p) = 0;
  STDMETHOD(put_onclick)(VARIANT v) = 0;
  STDMETHOD(get_onclick)(VARIANT * p) = 0;
  STDMETHOD(put_ondblclick)(VARIANT v) = 0;
  STDMETHOD(get_ondblclick)(VARIANT * p) = 0;
  STDMETHOD(put_onkeydown)(VARIANT v) = 0;
  STDMETHOD(get_onkeydown)(VARIANT * p) = 0;
  STDMETHOD(put_onkeyup)(VARIANT v) = 0;
  STDMETHOD(get_onkeyup)(VARIANT * p) = 0;
  STDMETHOD(put_onkeypress)(VARIANT v) = 0;
  STDMETHOD(get_onkeypress)(VARIANT * p) = 0;
  STDMETHOD(put_onmouseout)(VARIANT v) = 0;
  STDMETHOD(get_onmouseout)(VARIANT * p) = 0;
  STDMETHOD(put_onmouseover)(VARIANT v) = 0;
  STDMETHOD(get_onmouseover)(VARIANT * p) = 0;
  STDMETHOD(put_onmousemove)(VARIANT v) = 0;
  STDMETHOD(get_onmousemove)(VARIANT * p) = 0;
  STDMETHOD(put_onmousedown)(VARIANT v) = 0;
  STDMETHOD(get_onmousedown)(VARIANT * p) = 0;
  STDMETHOD(put_onmouseup)(VARIANT v) = 0;
  STDMETHOD(get_onmouseup)(VARIANT * p) = 0;
  STDMETHOD(get_document)(IDispatch * *p) = 0;
  STDMETHOD(put_title)(BSTR v) = 0;
  STDMETHOD(get_title)(BSTR * p) = 0;
  STDMETHOD(put_language)(BSTR v) = 0;
  STDMETHOD(get_language)(BSTR * p) = 0;
  STDMETHOD(put_onselectstart)(VARIANT v) = 0;
  STDMETHOD(get_onselectstart)(VARIANT * p) = 0;
  STDMETHOD(scrollIntoView)(VARIANT varargStart) = 0;
  STDMETHOD(contains)(IHTMLElement * pChild, VARIANT_BOOL * pfResult) = 0;
  STDMETHOD(get_sourceIndex)(LONG * p) = 0;
  STDMETHOD(get_recordNumber)(VARIANT * p) = 0;
  STDMETHOD(put_lang)(BSTR v) = 0;
  STDMETHOD(get_lang)(BSTR * p) = 0;
  STDMETHOD(get_offsetLeft)(LONG * p) = 0;
  STDMETHOD(get_offsetTop)(LONG * p) = 0;
  STDMETHOD(get_offsetWidth)(LONG * p) = 0;
  STDMETHOD(get_offsetHeight)(LONG * p) = 0;
  STDMETHOD(get_offsetParent)(IHTMLElement * *p) = 0;
  STDMETHOD(put_innerHTML)(BSTR v) = 0;
  STDMETHOD(get_innerHTML)(BSTR * p) = 0;
  STDMETHOD(put_innerText)(BSTR v) = 0;
  STDMETHOD(get_innerText)(BSTR * p) = 0;
  STDMETHOD(put_outerHTML)(BSTR v) = 0;
  STDMETHOD(get_outerHTML)(BSTR * p) = 0;
};
__CRT_UUID_DECL(IHTMLElement, 0x3050F1FF, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE,
                0x0B)

MIDL_INTERFACE("3050F25E-98B5-11CF-BB82-00AA00BDCE0B")
IHTMLStyle : public IDispatch {
 public:
  STDMETHOD(put_fontFamily)(BSTR v) = 0;
  STDMETHOD(get_fontFamily)(BSTR * p) = 0;
  STDMETHOD(put_fontStyle)(BSTR v) = 0;
  STDMETHOD(get_fontStyle)(BSTR * p) = 0;
  STDMETHOD(put_fontVariant)(BSTR v) = 0;
  STDMETHOD(get_fontVariant)(BSTR * p) = 0;
  STDMETHOD(put_fontWeight)(BSTR v) = 0;
  STDMETHOD(get_fontWeight)(BSTR * p) = 0;
  STDMETHOD(put_fontSize)(VARIANT v) = 0;
  STDMETHOD(get_fontSize)(VARIANT * p) = 0;
  STDMETHOD(put_font)(BSTR v) = 0;
  STDMETHOD(get_font)(BSTR * p) = 0;
  STDMETHOD(put_color)(VARIANT v) = 0;
  STDMETHOD(get_color)(VARIANT * p) = 0;
  STDMETHOD(put_background)(BSTR v) = 0;
  STDMETHOD(get_background)(BSTR * p) = 0;
  STDMETHOD(put_backgroundColor)(VARIANT v) = 0;
  STDMETHOD(get_backgroundColor)(VARIANT * p) = 0;
  STDMETHOD(put_backgroundImage)(BSTR v) = 0;
  STDMETHOD(get_backgroundImage)(BSTR * p) = 0;
  STDMETHOD(put_backgroundRepeat)(BSTR v) = 0;
  STDMETHOD(get_backgroundRepeat)(BSTR * p) = 0;
  STDMETHOD(put_backgroundAttachment)(BSTR v) = 0;
  STDMETHOD(get_backgroundAttachment)(BSTR * p) = 0;
  STDMETHOD(put_backgroundPosition)(BSTR v) = 0;
  STDMETHOD(get_backgroundPosition)(BSTR * p) = 0;
  STDMETHOD(put_backgroundPositionX)(VARIANT v) = 0;
  STDMETHOD(get_backgroundPositionX)(VARIANT * p) = 0;
  STDMETHOD(put_backgroundPositionY)(VARIANT v) = 0;
  STDMETHOD(get_backgroundPositionY)(VARIANT * p) = 0;
  STDMETHOD(put_wordSpacing)(VARIANT v) = 0;
  STDMETHOD(get_wordSpacing)(VARIANT * p) = 0;
  STDMETHOD(put_letterSpacing)(VARIANT v) = 0;
  STDMETHOD(get_letterSpacing)(VARIANT * p) = 0;
  STDMETHOD(put_textDecoration)(BSTR v) = 0;
  STDMETHOD(get_textDecoration)(BSTR * p) = 0;
  STDMETHOD(put_textDecorationNone)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationNone)(VARIANT_BOOL * p) = 0;
  STDMETHOD(put_textDecorationUnderline)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationUnderline)(VARIANT_BOOL * p) = 0;
  STDMETHOD(put_textDecorationOverline)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationOverline)(VARIANT_BOOL * p) = 0;
  STDMETHOD(put_textDecorationLineThrough)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationLineThrough)(VARIANT_BOOL * p) = 0;
  STDMETHOD(put_textDecorationBlink)(VARIANT_BOOL v) = 0;
  STDMETHOD(get_textDecorationBlink)(VARIANT_BOOL * p) = 0;
  STDMETHOD(put_verticalAlign)(VARIANT v) = 0;
  STDMETHOD(get_verticalAlign)(VARIANT * p) = 0;
  STDMETHOD(put_textTransform)(BSTR v) = 0;
  STDMETHOD(get_textTransform)(BSTR * p) = 0;
  STDMETHOD(put_textAlign)(BSTR v) = 0;
  STDMETHOD(get_textAlign)(BSTR * p) = 0;
  STDMETHOD(put_textIndent)(VARIANT v) = 0;
  STDMETHOD(get_textIndent)(VARIANT * p) = 0;
  STDMETHOD(put_lineHeight)(VARIANT v) = 0;
  STDMETHOD(get_lineHeight)(VARIANT * p) = 0;
  STDMETHOD(put_marginTop)(VARIANT v) = 0;
  STDMETHOD(get_marginTop)(VARIANT * p) = 0;
  STDMETHOD(put_marginRight)(VARIANT v) = 0;
  STDMETHOD(get_marginRight)(VARIANT * p) = 0;
  STDMETHOD(put_marginBottom)(VARIANT v) = 0;
  STDMETHOD(get_marginBottom)(VARIANT * p) = 0;
  STDMETHOD(put_marginLeft)(VARIANT v) = 0;
  STDMETHOD(get_marginLeft)(VARIANT * p) = 0;
  STDMETHOD(put_margin)(BSTR v) = 0;
  STDMETHOD(get_margin)(BSTR * p) = 0;
  STDMETHOD(put_paddingTop)(VARIANT v) = 0;
  STDMETHOD(get_paddingTop)(VARIANT * p) = 0;
  STDMETHOD(put_paddingRight)(VARIANT v) = 0;
  STDMETHOD(get_paddingRight)(VARIANT * p) = 0;
  STDMETHOD(put_paddingBottom)(VARIANT v) = 0;
  STDMETHOD(get_paddingBottom)(VARIANT * p) = 0;
  STDMETHOD(put_paddingLeft)(VARIANT v) = 0;
  STDMETHOD(get_paddingLeft)(VARIANT * p) = 0;
  STDMETHOD(put_padding)(BSTR v) = 0;
  STDMETHOD(get_padding)(BSTR * p) = 0;
  STDMETHOD(put_border)(BSTR v) = 0;
  STDMETHOD(get_border)(BSTR * p) = 0;
  STDMETHOD(put_borderTop)(BSTR v) = 0;
  STDMETHOD(get_borderTop)(BSTR * p) = 0;
  STDMETHOD(put_borderRight)(BSTR v) = 0;
  STDMETHOD(get_borderRight)(BSTR * p) = 0;
  STDMETHOD(put_borderBottom)(BSTR v) = 0;
  STDMETHOD(get_borderBottom)(BSTR * p) = 0;
  STDMETHOD(put_borderLeft)(BSTR v) = 0;
  STDMETHOD(get_borderLeft)(BSTR * p) = 0;
  STDMETHOD(put_borderColor)(BSTR v) = 0;
  STDMETHOD(get_borderColor)(BSTR * p) = 0;
  STDMETHOD(put_borderTopColor)(VARIANT v) = 0;
  STDMETHOD(get_borderTopColor)(VARIANT * p) = 0;
  STDMETHOD(put_borderRightColor)(VARIANT v) = 0;
  STDMETHOD(get_borderRightColor)(VARIANT * p) = 0;
  STDMETHOD(put_borderBottomColor)(VARIANT v) = 0;
  STDMETHOD(get_borderBottomColor)(VARIANT * p) = 0;
  STDMETHOD(put_borderLeftColor)(VARIANT v) = 0;
  STDMETHOD(get_borderLeftColor)(VARIANT * p) = 0;
  STDMETHOD(put_borderWidth)(BSTR v) = 0;
  STDMETHOD(get_borderWidth)(BSTR * p) = 0;
  STDMETHOD(put_borderTopWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderTopWidth)(VARIANT * p) = 0;
  STDMETHOD(put_borderRightWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderRightWidth)(VARIANT * p) = 0;
  STDMETHOD(put_borderBottomWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderBottomWidth)(VARIANT * p) = 0;
  STDMETHOD(put_borderLeftWidth)(VARIANT v) = 0;
  STDMETHOD(get_borderLeftWidth)(VARIANT * p) = 0;
  STDMETHOD(put_borderStyle)(BSTR v) = 0;
  STDMETHOD(get_borderStyle)(BSTR * p) = 0;
  STDMETHOD(put_borderTopStyle)(BSTR v) = 0;
  STDMETHOD(get_borderTopStyle)(BSTR * p) = 0;
  STDMETHOD(put_borderRightStyle)(BSTR v) = 0;
  STDMETHOD(get_borderRightStyle)(BSTR * p) = 0;
  STDMETHOD(put_borderBottomStyle)(BSTR v) = 0;
  STDMETHOD(get_borderBottomStyle)(BSTR * p) = 0;
  STDMETHOD(put_borderLeftStyle)(BSTR v) = 0;
  STDMETHOD(get_borderLeftStyle)(BSTR * p) = 0;
  STDMETHOD(put_width)(VARIANT v) = 0;
  STDMETHOD(get_width)(VARIANT * p) = 0;
  STDMETHOD(put_height)(VARIANT v) = 0;
  STDMETHOD(get_height)(VARIANT * p) = 0;
  STDMETHOD(put_styleFloat)(BSTR v) = 0;
  STDMETHOD(get_styleFloat)(BSTR * p) = 0;
  STDMETHOD(put_clear)(BSTR v) = 0;
  STDMETHOD(get_clear)(BSTR * p) = 0;
  STDMETHOD(put_display)(BSTR v) = 0;
  STDMETHOD(get_display)(BSTR * p) = 0;
  STDMETHOD(put_visibility)(BSTR v) = 0;
  STDMETHOD(get_visibility)(BSTR * p) = 0;
  STDMETHOD(put_listStyleType)(BSTR v) = 0;
  STDMETHOD(get_listStyleType)(BSTR * p) = 0;
  STDMETHOD(put_listStylePosition)(BSTR v) = 0;
  STDMETHOD(get_listStylePosition)(BSTR * p) = 0;
  STDMETHOD(put_listStyleImage)(BSTR v) = 0;
  STDMETHOD(get_listStyleImage)(BSTR * p) = 0;
  STDMETHOD(put_listStyle)(BSTR v) = 0;
  STDMETHOD(get_listStyle)(BSTR * p) = 0;
  STDMETHOD(put_whiteSpace)(BSTR v) = 0;
  STDMETHOD(get_whiteSpace)(BSTR * p) = 0;
  STDMETHOD(put_top)(VARIANT v) = 0;
  STDMETHOD(get_top)(VARIANT * p) = 0;
  STDMETHOD(put_left)(VARIANT v) = 0;
  STDMETHOD(get_left)(VARIANT * p) = 0;
  STDMETHOD(get_position)(BSTR * p) = 0;
  STDMETHOD(put_zIndex)(VARIANT v) = 0;
  STDMETHOD(get_zIndex)(VARIANT * p) = 0;
  STDMETHOD(put_overflow)(BSTR v) = 0;
  STDMETHOD(get_overflow)(BSTR * p) = 0;
  STDMETHOD(put_pageBreakBefore)(BSTR v) = 0;
  STDMETHOD(get_pageBreakBefore)(BSTR * p) = 0;
  STDMETHOD(put_pageBreakAfter)(BSTR v) = 0;
  STDMETHOD(get_pageBreakAfter)(BSTR * p) = 0;
  STDMETHOD(put_cssText)(BSTR v) = 0;
  STDMETHOD(get_cssText)(BSTR * p) = 0;
  STDMETHOD(put_pixelTop)(LONG v) = 0;
  STDMETHOD(get_pixelTop)(LONG * p) = 0;
  STDMETHOD(put_pixelLeft)(LONG v) = 0;
  STDMETHOD(get_pixelLeft)(LONG * p) = 0;
  STDMETHOD(put_pixelWidth)(LONG v) = 0;
  STDMETHOD(get_pixelWidth)(LONG * p) = 0;
  STDMETHOD(put_pixelHeight)(LONG v) = 0;
  STDMETHOD(get_pixelHeight)(LONG * p) = 0;
  STDMETHOD(put_posTop)(float v) = 0;
  STDMETHOD(get_posTop)(float *p) = 0;
  STDMETHOD(put_posLeft)(float v) = 0;
  STDMETHOD(get_posLeft)(float *p) = 0;
  STDMETHOD(put_posWidth)(float v) = 0;
  STDMETHOD(get_posWidth)(float *p) = 0;
  STDMETHOD(put_posHeight)(float v) = 0;
  STDMETHOD(get_posHeight)(float *p) = 0;
  STDMETHOD(put_cursor)(BSTR v) = 0;
  STDMETHOD(get_cursor)(BSTR * p) = 0;
  STDMETHOD(put_clip)(BSTR v) = 0;
  STDMETHOD(get_clip)(BSTR * p) = 0;
  STDMETHOD(put_filter)(BSTR v) = 0;
  STDMETHOD(get_filter)(BSTR * p) = 0;
  STDMETHOD(setAttribute)(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags) = 0;
  STDMETHOD(getAttribute)(BSTR strAttributeName, LONG lFlags, VARIANT * AttributeValue) = 0;
};
__CRT_UUID_DECL(IHTMLStyle, 0x3050F25E, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE,
                0x0B)
#endif
