// Calls every declared MSHTML method with arguments of the declared types.
// Compiles against both the platform header and the Windows SDK header, so
// that method names and parameter types agree.
#include <windows.h>
#include <mshtml.h>

void CheckIHTMLFramesCollection2(IHTMLFramesCollection2 *p) {
  { VARIANT* a0{}; VARIANT* a1{}; (void)p->item(a0, a1); }
  { LONG* a0{}; (void)p->get_length(a0); }
}

void CheckIHTMLWindow2(IHTMLWindow2 *p) {
  { IHTMLFramesCollection2** a0{}; (void)p->get_frames(a0); }
  { BSTR a0{}; (void)p->put_defaultStatus(a0); }
  { BSTR* a0{}; (void)p->get_defaultStatus(a0); }
  { BSTR a0{}; (void)p->put_status(a0); }
  { BSTR* a0{}; (void)p->get_status(a0); }
  { BSTR a0{}; LONG a1{}; VARIANT* a2{}; LONG* a3{}; (void)p->setTimeout(a0, a1, a2, a3); }
  { LONG a0{}; (void)p->clearTimeout(a0); }
  { BSTR a0{}; (void)p->alert(a0); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->confirm(a0, a1); }
  { BSTR a0{}; BSTR a1{}; VARIANT* a2{}; (void)p->prompt(a0, a1, a2); }
  { IHTMLImageElementFactory** a0{}; (void)p->get_Image(a0); }
  { IHTMLLocation** a0{}; (void)p->get_location(a0); }
  { IOmHistory** a0{}; (void)p->get_history(a0); }
  {  (void)p->close(); }
  { VARIANT a0{}; (void)p->put_opener(a0); }
  { VARIANT* a0{}; (void)p->get_opener(a0); }
  { IOmNavigator** a0{}; (void)p->get_navigator(a0); }
  { BSTR a0{}; (void)p->put_name(a0); }
  { BSTR* a0{}; (void)p->get_name(a0); }
  { IHTMLWindow2** a0{}; (void)p->get_parent(a0); }
  { BSTR a0{}; BSTR a1{}; BSTR a2{}; VARIANT_BOOL a3{}; IHTMLWindow2** a4{}; (void)p->open(a0, a1, a2, a3, a4); }
  { IHTMLWindow2** a0{}; (void)p->get_self(a0); }
  { IHTMLWindow2** a0{}; (void)p->get_top(a0); }
  { IHTMLWindow2** a0{}; (void)p->get_window(a0); }
  { BSTR a0{}; (void)p->navigate(a0); }
  { VARIANT a0{}; (void)p->put_onfocus(a0); }
  { VARIANT* a0{}; (void)p->get_onfocus(a0); }
  { VARIANT a0{}; (void)p->put_onblur(a0); }
  { VARIANT* a0{}; (void)p->get_onblur(a0); }
  { VARIANT a0{}; (void)p->put_onload(a0); }
  { VARIANT* a0{}; (void)p->get_onload(a0); }
  { VARIANT a0{}; (void)p->put_onbeforeunload(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforeunload(a0); }
  { VARIANT a0{}; (void)p->put_onunload(a0); }
  { VARIANT* a0{}; (void)p->get_onunload(a0); }
  { VARIANT a0{}; (void)p->put_onhelp(a0); }
  { VARIANT* a0{}; (void)p->get_onhelp(a0); }
  { VARIANT a0{}; (void)p->put_onerror(a0); }
  { VARIANT* a0{}; (void)p->get_onerror(a0); }
  { VARIANT a0{}; (void)p->put_onresize(a0); }
  { VARIANT* a0{}; (void)p->get_onresize(a0); }
  { VARIANT a0{}; (void)p->put_onscroll(a0); }
  { VARIANT* a0{}; (void)p->get_onscroll(a0); }
  { IHTMLDocument2** a0{}; (void)p->get_document(a0); }
  { IHTMLEventObj** a0{}; (void)p->get_event(a0); }
  { IUnknown** a0{}; (void)p->get__newEnum(a0); }
  { BSTR a0{}; VARIANT* a1{}; VARIANT* a2{}; VARIANT* a3{}; (void)p->showModalDialog(a0, a1, a2, a3); }
  { BSTR a0{}; VARIANT a1{}; BSTR a2{}; (void)p->showHelp(a0, a1, a2); }
  { IHTMLScreen** a0{}; (void)p->get_screen(a0); }
  { IHTMLOptionElementFactory** a0{}; (void)p->get_Option(a0); }
  {  (void)p->focus(); }
  { VARIANT_BOOL* a0{}; (void)p->get_closed(a0); }
  {  (void)p->blur(); }
  { LONG a0{}; LONG a1{}; (void)p->scroll(a0, a1); }
  { IOmNavigator** a0{}; (void)p->get_clientInformation(a0); }
  { BSTR a0{}; LONG a1{}; VARIANT* a2{}; LONG* a3{}; (void)p->setInterval(a0, a1, a2, a3); }
  { LONG a0{}; (void)p->clearInterval(a0); }
  { VARIANT a0{}; (void)p->put_offscreenBuffering(a0); }
  { VARIANT* a0{}; (void)p->get_offscreenBuffering(a0); }
  { BSTR a0{}; BSTR a1{}; VARIANT* a2{}; (void)p->execScript(a0, a1, a2); }
  { BSTR* a0{}; (void)p->toString(a0); }
  { LONG a0{}; LONG a1{}; (void)p->scrollBy(a0, a1); }
  { LONG a0{}; LONG a1{}; (void)p->scrollTo(a0, a1); }
  { LONG a0{}; LONG a1{}; (void)p->moveTo(a0, a1); }
  { LONG a0{}; LONG a1{}; (void)p->moveBy(a0, a1); }
  { LONG a0{}; LONG a1{}; (void)p->resizeTo(a0, a1); }
  { LONG a0{}; LONG a1{}; (void)p->resizeBy(a0, a1); }
  { IDispatch** a0{}; (void)p->get_external(a0); }
}

void CheckIHTMLDocument(IHTMLDocument *p) {
  { IDispatch** a0{}; (void)p->get_Script(a0); }
}

void CheckIHTMLDocument2(IHTMLDocument2 *p) {
  { IHTMLElementCollection** a0{}; (void)p->get_all(a0); }
  { IHTMLElement** a0{}; (void)p->get_body(a0); }
  { IHTMLElement** a0{}; (void)p->get_activeElement(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_images(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_applets(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_links(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_forms(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_anchors(a0); }
  { BSTR a0{}; (void)p->put_title(a0); }
  { BSTR* a0{}; (void)p->get_title(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_scripts(a0); }
  { BSTR a0{}; (void)p->put_designMode(a0); }
  { BSTR* a0{}; (void)p->get_designMode(a0); }
  { IHTMLSelectionObject** a0{}; (void)p->get_selection(a0); }
  { BSTR* a0{}; (void)p->get_readyState(a0); }
  { IHTMLFramesCollection2** a0{}; (void)p->get_frames(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_embeds(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_plugins(a0); }
  { VARIANT a0{}; (void)p->put_alinkColor(a0); }
  { VARIANT* a0{}; (void)p->get_alinkColor(a0); }
  { VARIANT a0{}; (void)p->put_bgColor(a0); }
  { VARIANT* a0{}; (void)p->get_bgColor(a0); }
  { VARIANT a0{}; (void)p->put_fgColor(a0); }
  { VARIANT* a0{}; (void)p->get_fgColor(a0); }
  { VARIANT a0{}; (void)p->put_linkColor(a0); }
  { VARIANT* a0{}; (void)p->get_linkColor(a0); }
  { VARIANT a0{}; (void)p->put_vlinkColor(a0); }
  { VARIANT* a0{}; (void)p->get_vlinkColor(a0); }
  { BSTR* a0{}; (void)p->get_referrer(a0); }
  { IHTMLLocation** a0{}; (void)p->get_location(a0); }
  { BSTR* a0{}; (void)p->get_lastModified(a0); }
  { BSTR a0{}; (void)p->put_URL(a0); }
  { BSTR* a0{}; (void)p->get_URL(a0); }
  { BSTR a0{}; (void)p->put_domain(a0); }
  { BSTR* a0{}; (void)p->get_domain(a0); }
  { BSTR a0{}; (void)p->put_cookie(a0); }
  { BSTR* a0{}; (void)p->get_cookie(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_expando(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_expando(a0); }
  { BSTR a0{}; (void)p->put_charset(a0); }
  { BSTR* a0{}; (void)p->get_charset(a0); }
  { BSTR a0{}; (void)p->put_defaultCharset(a0); }
  { BSTR* a0{}; (void)p->get_defaultCharset(a0); }
  { BSTR* a0{}; (void)p->get_mimeType(a0); }
  { BSTR* a0{}; (void)p->get_fileSize(a0); }
  { BSTR* a0{}; (void)p->get_fileCreatedDate(a0); }
  { BSTR* a0{}; (void)p->get_fileModifiedDate(a0); }
  { BSTR* a0{}; (void)p->get_fileUpdatedDate(a0); }
  { BSTR* a0{}; (void)p->get_security(a0); }
  { BSTR* a0{}; (void)p->get_protocol(a0); }
  { BSTR* a0{}; (void)p->get_nameProp(a0); }
  { SAFEARRAY* a0{}; (void)p->write(a0); }
  { SAFEARRAY* a0{}; (void)p->writeln(a0); }
  { BSTR a0{}; VARIANT a1{}; VARIANT a2{}; VARIANT a3{}; IDispatch** a4{}; (void)p->open(a0, a1, a2, a3, a4); }
  {  (void)p->close(); }
  {  (void)p->clear(); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandSupported(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandEnabled(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandState(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandIndeterm(a0, a1); }
  { BSTR a0{}; BSTR* a1{}; (void)p->queryCommandText(a0, a1); }
  { BSTR a0{}; VARIANT* a1{}; (void)p->queryCommandValue(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL a1{}; VARIANT a2{}; VARIANT_BOOL* a3{}; (void)p->execCommand(a0, a1, a2, a3); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->execCommandShowHelp(a0, a1); }
  { BSTR a0{}; IHTMLElement** a1{}; (void)p->createElement(a0, a1); }
  { VARIANT a0{}; (void)p->put_onhelp(a0); }
  { VARIANT* a0{}; (void)p->get_onhelp(a0); }
  { VARIANT a0{}; (void)p->put_onclick(a0); }
  { VARIANT* a0{}; (void)p->get_onclick(a0); }
  { VARIANT a0{}; (void)p->put_ondblclick(a0); }
  { VARIANT* a0{}; (void)p->get_ondblclick(a0); }
  { VARIANT a0{}; (void)p->put_onkeyup(a0); }
  { VARIANT* a0{}; (void)p->get_onkeyup(a0); }
  { VARIANT a0{}; (void)p->put_onkeydown(a0); }
  { VARIANT* a0{}; (void)p->get_onkeydown(a0); }
  { VARIANT a0{}; (void)p->put_onkeypress(a0); }
  { VARIANT* a0{}; (void)p->get_onkeypress(a0); }
  { VARIANT a0{}; (void)p->put_onmouseup(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseup(a0); }
  { VARIANT a0{}; (void)p->put_onmousedown(a0); }
  { VARIANT* a0{}; (void)p->get_onmousedown(a0); }
  { VARIANT a0{}; (void)p->put_onmousemove(a0); }
  { VARIANT* a0{}; (void)p->get_onmousemove(a0); }
  { VARIANT a0{}; (void)p->put_onmouseout(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseout(a0); }
  { VARIANT a0{}; (void)p->put_onmouseover(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseover(a0); }
  { VARIANT a0{}; (void)p->put_onreadystatechange(a0); }
  { VARIANT* a0{}; (void)p->get_onreadystatechange(a0); }
  { VARIANT a0{}; (void)p->put_onafterupdate(a0); }
  { VARIANT* a0{}; (void)p->get_onafterupdate(a0); }
  { VARIANT a0{}; (void)p->put_onrowexit(a0); }
  { VARIANT* a0{}; (void)p->get_onrowexit(a0); }
  { VARIANT a0{}; (void)p->put_onrowenter(a0); }
  { VARIANT* a0{}; (void)p->get_onrowenter(a0); }
  { VARIANT a0{}; (void)p->put_ondragstart(a0); }
  { VARIANT* a0{}; (void)p->get_ondragstart(a0); }
  { VARIANT a0{}; (void)p->put_onselectstart(a0); }
  { VARIANT* a0{}; (void)p->get_onselectstart(a0); }
  { LONG a0{}; LONG a1{}; IHTMLElement** a2{}; (void)p->elementFromPoint(a0, a1, a2); }
  { IHTMLWindow2** a0{}; (void)p->get_parentWindow(a0); }
  { IHTMLStyleSheetsCollection** a0{}; (void)p->get_styleSheets(a0); }
  { VARIANT a0{}; (void)p->put_onbeforeupdate(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforeupdate(a0); }
  { VARIANT a0{}; (void)p->put_onerrorupdate(a0); }
  { VARIANT* a0{}; (void)p->get_onerrorupdate(a0); }
  { BSTR* a0{}; (void)p->toString(a0); }
  { BSTR a0{}; LONG a1{}; IHTMLStyleSheet** a2{}; (void)p->createStyleSheet(a0, a1, a2); }
}

void CheckIHTMLDocument3(IHTMLDocument3 *p) {
  {  (void)p->releaseCapture(); }
  { VARIANT_BOOL a0{}; (void)p->recalc(a0); }
  { BSTR a0{}; IHTMLDOMNode** a1{}; (void)p->createTextNode(a0, a1); }
  { IHTMLElement** a0{}; (void)p->get_documentElement(a0); }
  { BSTR* a0{}; (void)p->get_uniqueID(a0); }
  { BSTR a0{}; IDispatch* a1{}; VARIANT_BOOL* a2{}; (void)p->attachEvent(a0, a1, a2); }
  { BSTR a0{}; IDispatch* a1{}; (void)p->detachEvent(a0, a1); }
  { VARIANT a0{}; (void)p->put_onrowsdelete(a0); }
  { VARIANT* a0{}; (void)p->get_onrowsdelete(a0); }
  { VARIANT a0{}; (void)p->put_onrowsinserted(a0); }
  { VARIANT* a0{}; (void)p->get_onrowsinserted(a0); }
  { VARIANT a0{}; (void)p->put_oncellchange(a0); }
  { VARIANT* a0{}; (void)p->get_oncellchange(a0); }
  { VARIANT a0{}; (void)p->put_ondatasetchanged(a0); }
  { VARIANT* a0{}; (void)p->get_ondatasetchanged(a0); }
  { VARIANT a0{}; (void)p->put_ondataavailable(a0); }
  { VARIANT* a0{}; (void)p->get_ondataavailable(a0); }
  { VARIANT a0{}; (void)p->put_ondatasetcomplete(a0); }
  { VARIANT* a0{}; (void)p->get_ondatasetcomplete(a0); }
  { VARIANT a0{}; (void)p->put_onpropertychange(a0); }
  { VARIANT* a0{}; (void)p->get_onpropertychange(a0); }
  { BSTR a0{}; (void)p->put_dir(a0); }
  { BSTR* a0{}; (void)p->get_dir(a0); }
  { VARIANT a0{}; (void)p->put_oncontextmenu(a0); }
  { VARIANT* a0{}; (void)p->get_oncontextmenu(a0); }
  { VARIANT a0{}; (void)p->put_onstop(a0); }
  { VARIANT* a0{}; (void)p->get_onstop(a0); }
  { IHTMLDocument2** a0{}; (void)p->createDocumentFragment(a0); }
  { IHTMLDocument2** a0{}; (void)p->get_parentDocument(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_enableDownload(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_enableDownload(a0); }
  { BSTR a0{}; (void)p->put_baseUrl(a0); }
  { BSTR* a0{}; (void)p->get_baseUrl(a0); }
  { IDispatch** a0{}; (void)p->get_childNodes(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_inheritStyleSheets(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_inheritStyleSheets(a0); }
  { VARIANT a0{}; (void)p->put_onbeforeeditfocus(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforeeditfocus(a0); }
  { BSTR a0{}; IHTMLElementCollection** a1{}; (void)p->getElementsByName(a0, a1); }
  { BSTR a0{}; IHTMLElement** a1{}; (void)p->getElementById(a0, a1); }
  { BSTR a0{}; IHTMLElementCollection** a1{}; (void)p->getElementsByTagName(a0, a1); }
}

void CheckIHTMLDocument4(IHTMLDocument4 *p) {
  {  (void)p->focus(); }
  { VARIANT_BOOL* a0{}; (void)p->hasFocus(a0); }
  { VARIANT a0{}; (void)p->put_onselectionchange(a0); }
  { VARIANT* a0{}; (void)p->get_onselectionchange(a0); }
  { IDispatch** a0{}; (void)p->get_namespaces(a0); }
  { BSTR a0{}; BSTR a1{}; IHTMLDocument2** a2{}; (void)p->createDocumentFromUrl(a0, a1, a2); }
  { BSTR a0{}; (void)p->put_media(a0); }
  { BSTR* a0{}; (void)p->get_media(a0); }
  { VARIANT* a0{}; IHTMLEventObj** a1{}; (void)p->createEventObject(a0, a1); }
  { BSTR a0{}; VARIANT* a1{}; VARIANT_BOOL* a2{}; (void)p->fireEvent(a0, a1, a2); }
  { BSTR a0{}; IHTMLRenderStyle** a1{}; (void)p->createRenderStyle(a0, a1); }
  { VARIANT a0{}; (void)p->put_oncontrolselect(a0); }
  { VARIANT* a0{}; (void)p->get_oncontrolselect(a0); }
  { BSTR* a0{}; (void)p->get_URLUnencoded(a0); }
}

void CheckIHTMLLocation(IHTMLLocation *p) {
  { BSTR a0{}; (void)p->put_href(a0); }
  { BSTR* a0{}; (void)p->get_href(a0); }
  { BSTR a0{}; (void)p->put_protocol(a0); }
  { BSTR* a0{}; (void)p->get_protocol(a0); }
  { BSTR a0{}; (void)p->put_host(a0); }
  { BSTR* a0{}; (void)p->get_host(a0); }
  { BSTR a0{}; (void)p->put_hostname(a0); }
  { BSTR* a0{}; (void)p->get_hostname(a0); }
  { BSTR a0{}; (void)p->put_port(a0); }
  { BSTR* a0{}; (void)p->get_port(a0); }
  { BSTR a0{}; (void)p->put_pathname(a0); }
  { BSTR* a0{}; (void)p->get_pathname(a0); }
  { BSTR a0{}; (void)p->put_search(a0); }
  { BSTR* a0{}; (void)p->get_search(a0); }
  { BSTR a0{}; (void)p->put_hash(a0); }
  { BSTR* a0{}; (void)p->get_hash(a0); }
  { VARIANT_BOOL a0{}; (void)p->reload(a0); }
  { BSTR a0{}; (void)p->replace(a0); }
  { BSTR a0{}; (void)p->assign(a0); }
  { BSTR* a0{}; (void)p->toString(a0); }
}

void CheckIHTMLElement(IHTMLElement *p) {
  { BSTR a0{}; VARIANT a1{}; LONG a2{}; (void)p->setAttribute(a0, a1, a2); }
  { BSTR a0{}; LONG a1{}; VARIANT* a2{}; (void)p->getAttribute(a0, a1, a2); }
  { BSTR a0{}; LONG a1{}; VARIANT_BOOL* a2{}; (void)p->removeAttribute(a0, a1, a2); }
  { BSTR a0{}; (void)p->put_className(a0); }
  { BSTR* a0{}; (void)p->get_className(a0); }
  { BSTR a0{}; (void)p->put_id(a0); }
  { BSTR* a0{}; (void)p->get_id(a0); }
  { BSTR* a0{}; (void)p->get_tagName(a0); }
  { IHTMLElement** a0{}; (void)p->get_parentElement(a0); }
  { IHTMLStyle** a0{}; (void)p->get_style(a0); }
  { VARIANT a0{}; (void)p->put_onhelp(a0); }
  { VARIANT* a0{}; (void)p->get_onhelp(a0); }
  { VARIANT a0{}; (void)p->put_onclick(a0); }
  { VARIANT* a0{}; (void)p->get_onclick(a0); }
  { VARIANT a0{}; (void)p->put_ondblclick(a0); }
  { VARIANT* a0{}; (void)p->get_ondblclick(a0); }
  { VARIANT a0{}; (void)p->put_onkeydown(a0); }
  { VARIANT* a0{}; (void)p->get_onkeydown(a0); }
  { VARIANT a0{}; (void)p->put_onkeyup(a0); }
  { VARIANT* a0{}; (void)p->get_onkeyup(a0); }
  { VARIANT a0{}; (void)p->put_onkeypress(a0); }
  { VARIANT* a0{}; (void)p->get_onkeypress(a0); }
  { VARIANT a0{}; (void)p->put_onmouseout(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseout(a0); }
  { VARIANT a0{}; (void)p->put_onmouseover(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseover(a0); }
  { VARIANT a0{}; (void)p->put_onmousemove(a0); }
  { VARIANT* a0{}; (void)p->get_onmousemove(a0); }
  { VARIANT a0{}; (void)p->put_onmousedown(a0); }
  { VARIANT* a0{}; (void)p->get_onmousedown(a0); }
  { VARIANT a0{}; (void)p->put_onmouseup(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseup(a0); }
  { IDispatch** a0{}; (void)p->get_document(a0); }
  { BSTR a0{}; (void)p->put_title(a0); }
  { BSTR* a0{}; (void)p->get_title(a0); }
  { BSTR a0{}; (void)p->put_language(a0); }
  { BSTR* a0{}; (void)p->get_language(a0); }
  { VARIANT a0{}; (void)p->put_onselectstart(a0); }
  { VARIANT* a0{}; (void)p->get_onselectstart(a0); }
  { VARIANT a0{}; (void)p->scrollIntoView(a0); }
  { IHTMLElement* a0{}; VARIANT_BOOL* a1{}; (void)p->contains(a0, a1); }
  { LONG* a0{}; (void)p->get_sourceIndex(a0); }
  { VARIANT* a0{}; (void)p->get_recordNumber(a0); }
  { BSTR a0{}; (void)p->put_lang(a0); }
  { BSTR* a0{}; (void)p->get_lang(a0); }
  { LONG* a0{}; (void)p->get_offsetLeft(a0); }
  { LONG* a0{}; (void)p->get_offsetTop(a0); }
  { LONG* a0{}; (void)p->get_offsetWidth(a0); }
  { LONG* a0{}; (void)p->get_offsetHeight(a0); }
  { IHTMLElement** a0{}; (void)p->get_offsetParent(a0); }
  { BSTR a0{}; (void)p->put_innerHTML(a0); }
  { BSTR* a0{}; (void)p->get_innerHTML(a0); }
  { BSTR a0{}; (void)p->put_innerText(a0); }
  { BSTR* a0{}; (void)p->get_innerText(a0); }
  { BSTR a0{}; (void)p->put_outerHTML(a0); }
  { BSTR* a0{}; (void)p->get_outerHTML(a0); }
  { BSTR a0{}; (void)p->put_outerText(a0); }
  { BSTR* a0{}; (void)p->get_outerText(a0); }
  { BSTR a0{}; BSTR a1{}; (void)p->insertAdjacentHTML(a0, a1); }
  { BSTR a0{}; BSTR a1{}; (void)p->insertAdjacentText(a0, a1); }
  { IHTMLElement** a0{}; (void)p->get_parentTextEdit(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_isTextEdit(a0); }
  {  (void)p->click(); }
  { IHTMLFiltersCollection** a0{}; (void)p->get_filters(a0); }
  { VARIANT a0{}; (void)p->put_ondragstart(a0); }
  { VARIANT* a0{}; (void)p->get_ondragstart(a0); }
  { BSTR* a0{}; (void)p->toString(a0); }
  { VARIANT a0{}; (void)p->put_onbeforeupdate(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforeupdate(a0); }
  { VARIANT a0{}; (void)p->put_onafterupdate(a0); }
  { VARIANT* a0{}; (void)p->get_onafterupdate(a0); }
  { VARIANT a0{}; (void)p->put_onerrorupdate(a0); }
  { VARIANT* a0{}; (void)p->get_onerrorupdate(a0); }
  { VARIANT a0{}; (void)p->put_onrowexit(a0); }
  { VARIANT* a0{}; (void)p->get_onrowexit(a0); }
  { VARIANT a0{}; (void)p->put_onrowenter(a0); }
  { VARIANT* a0{}; (void)p->get_onrowenter(a0); }
  { VARIANT a0{}; (void)p->put_ondatasetchanged(a0); }
  { VARIANT* a0{}; (void)p->get_ondatasetchanged(a0); }
  { VARIANT a0{}; (void)p->put_ondataavailable(a0); }
  { VARIANT* a0{}; (void)p->get_ondataavailable(a0); }
  { VARIANT a0{}; (void)p->put_ondatasetcomplete(a0); }
  { VARIANT* a0{}; (void)p->get_ondatasetcomplete(a0); }
  { VARIANT a0{}; (void)p->put_onfilterchange(a0); }
  { VARIANT* a0{}; (void)p->get_onfilterchange(a0); }
  { IDispatch** a0{}; (void)p->get_children(a0); }
  { IDispatch** a0{}; (void)p->get_all(a0); }
}

void CheckIHTMLElement2(IHTMLElement2 *p) {
  { BSTR* a0{}; (void)p->get_scopeName(a0); }
  { VARIANT_BOOL a0{}; (void)p->setCapture(a0); }
  {  (void)p->releaseCapture(); }
  { VARIANT a0{}; (void)p->put_onlosecapture(a0); }
  { VARIANT* a0{}; (void)p->get_onlosecapture(a0); }
  { LONG a0{}; LONG a1{}; BSTR* a2{}; (void)p->componentFromPoint(a0, a1, a2); }
  { VARIANT a0{}; (void)p->doScroll(a0); }
  { VARIANT a0{}; (void)p->put_onscroll(a0); }
  { VARIANT* a0{}; (void)p->get_onscroll(a0); }
  { VARIANT a0{}; (void)p->put_ondrag(a0); }
  { VARIANT* a0{}; (void)p->get_ondrag(a0); }
  { VARIANT a0{}; (void)p->put_ondragend(a0); }
  { VARIANT* a0{}; (void)p->get_ondragend(a0); }
  { VARIANT a0{}; (void)p->put_ondragenter(a0); }
  { VARIANT* a0{}; (void)p->get_ondragenter(a0); }
  { VARIANT a0{}; (void)p->put_ondragover(a0); }
  { VARIANT* a0{}; (void)p->get_ondragover(a0); }
  { VARIANT a0{}; (void)p->put_ondragleave(a0); }
  { VARIANT* a0{}; (void)p->get_ondragleave(a0); }
  { VARIANT a0{}; (void)p->put_ondrop(a0); }
  { VARIANT* a0{}; (void)p->get_ondrop(a0); }
  { VARIANT a0{}; (void)p->put_onbeforecut(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforecut(a0); }
  { VARIANT a0{}; (void)p->put_oncut(a0); }
  { VARIANT* a0{}; (void)p->get_oncut(a0); }
  { VARIANT a0{}; (void)p->put_onbeforecopy(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforecopy(a0); }
  { VARIANT a0{}; (void)p->put_oncopy(a0); }
  { VARIANT* a0{}; (void)p->get_oncopy(a0); }
  { VARIANT a0{}; (void)p->put_onbeforepaste(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforepaste(a0); }
  { VARIANT a0{}; (void)p->put_onpaste(a0); }
  { VARIANT* a0{}; (void)p->get_onpaste(a0); }
  { IHTMLCurrentStyle** a0{}; (void)p->get_currentStyle(a0); }
  { VARIANT a0{}; (void)p->put_onpropertychange(a0); }
  { VARIANT* a0{}; (void)p->get_onpropertychange(a0); }
  { IHTMLRectCollection** a0{}; (void)p->getClientRects(a0); }
  { IHTMLRect** a0{}; (void)p->getBoundingClientRect(a0); }
  { BSTR a0{}; BSTR a1{}; BSTR a2{}; (void)p->setExpression(a0, a1, a2); }
  { BSTR a0{}; VARIANT* a1{}; (void)p->getExpression(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->removeExpression(a0, a1); }
  { short a0{}; (void)p->put_tabIndex(a0); }
  { short* a0{}; (void)p->get_tabIndex(a0); }
  {  (void)p->focus(); }
  { BSTR a0{}; (void)p->put_accessKey(a0); }
  { BSTR* a0{}; (void)p->get_accessKey(a0); }
  { VARIANT a0{}; (void)p->put_onblur(a0); }
  { VARIANT* a0{}; (void)p->get_onblur(a0); }
  { VARIANT a0{}; (void)p->put_onfocus(a0); }
  { VARIANT* a0{}; (void)p->get_onfocus(a0); }
  { VARIANT a0{}; (void)p->put_onresize(a0); }
  { VARIANT* a0{}; (void)p->get_onresize(a0); }
  {  (void)p->blur(); }
  { IUnknown* a0{}; (void)p->addFilter(a0); }
  { IUnknown* a0{}; (void)p->removeFilter(a0); }
  { LONG* a0{}; (void)p->get_clientHeight(a0); }
  { LONG* a0{}; (void)p->get_clientWidth(a0); }
  { LONG* a0{}; (void)p->get_clientTop(a0); }
  { LONG* a0{}; (void)p->get_clientLeft(a0); }
  { BSTR a0{}; IDispatch* a1{}; VARIANT_BOOL* a2{}; (void)p->attachEvent(a0, a1, a2); }
  { BSTR a0{}; IDispatch* a1{}; (void)p->detachEvent(a0, a1); }
  { VARIANT* a0{}; (void)p->get_readyState(a0); }
  { VARIANT a0{}; (void)p->put_onreadystatechange(a0); }
  { VARIANT* a0{}; (void)p->get_onreadystatechange(a0); }
  { VARIANT a0{}; (void)p->put_onrowsdelete(a0); }
  { VARIANT* a0{}; (void)p->get_onrowsdelete(a0); }
  { VARIANT a0{}; (void)p->put_onrowsinserted(a0); }
  { VARIANT* a0{}; (void)p->get_onrowsinserted(a0); }
  { VARIANT a0{}; (void)p->put_oncellchange(a0); }
  { VARIANT* a0{}; (void)p->get_oncellchange(a0); }
  { BSTR a0{}; (void)p->put_dir(a0); }
  { BSTR* a0{}; (void)p->get_dir(a0); }
  { IDispatch** a0{}; (void)p->createControlRange(a0); }
  { LONG* a0{}; (void)p->get_scrollHeight(a0); }
  { LONG* a0{}; (void)p->get_scrollWidth(a0); }
  { LONG a0{}; (void)p->put_scrollTop(a0); }
  { LONG* a0{}; (void)p->get_scrollTop(a0); }
  { LONG a0{}; (void)p->put_scrollLeft(a0); }
  { LONG* a0{}; (void)p->get_scrollLeft(a0); }
  {  (void)p->clearAttributes(); }
  { IHTMLElement* a0{}; (void)p->mergeAttributes(a0); }
  { VARIANT a0{}; (void)p->put_oncontextmenu(a0); }
  { VARIANT* a0{}; (void)p->get_oncontextmenu(a0); }
  { BSTR a0{}; IHTMLElement* a1{}; IHTMLElement** a2{}; (void)p->insertAdjacentElement(a0, a1, a2); }
  { IHTMLElement* a0{}; BSTR a1{}; IHTMLElement** a2{}; (void)p->applyElement(a0, a1, a2); }
  { BSTR a0{}; BSTR* a1{}; (void)p->getAdjacentText(a0, a1); }
  { BSTR a0{}; BSTR a1{}; BSTR* a2{}; (void)p->replaceAdjacentText(a0, a1, a2); }
  { VARIANT_BOOL* a0{}; (void)p->get_canHaveChildren(a0); }
  { BSTR a0{}; VARIANT* a1{}; LONG* a2{}; (void)p->addBehavior(a0, a1, a2); }
  { LONG a0{}; VARIANT_BOOL* a1{}; (void)p->removeBehavior(a0, a1); }
  { IHTMLStyle** a0{}; (void)p->get_runtimeStyle(a0); }
  { IDispatch** a0{}; (void)p->get_behaviorUrns(a0); }
  { BSTR a0{}; (void)p->put_tagUrn(a0); }
  { BSTR* a0{}; (void)p->get_tagUrn(a0); }
  { VARIANT a0{}; (void)p->put_onbeforeeditfocus(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforeeditfocus(a0); }
  { LONG* a0{}; (void)p->get_readyStateValue(a0); }
  { BSTR a0{}; IHTMLElementCollection** a1{}; (void)p->getElementsByTagName(a0, a1); }
}

void CheckIHTMLElement3(IHTMLElement3 *p) {
  { IHTMLElement* a0{}; VARIANT* a1{}; (void)p->mergeAttributes(a0, a1); }
  { VARIANT_BOOL* a0{}; (void)p->get_isMultiLine(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_canHaveHTML(a0); }
  { VARIANT a0{}; (void)p->put_onlayoutcomplete(a0); }
  { VARIANT* a0{}; (void)p->get_onlayoutcomplete(a0); }
  { VARIANT a0{}; (void)p->put_onpage(a0); }
  { VARIANT* a0{}; (void)p->get_onpage(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_inflateBlock(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_inflateBlock(a0); }
  { VARIANT a0{}; (void)p->put_onbeforedeactivate(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforedeactivate(a0); }
  {  (void)p->setActive(); }
  { BSTR a0{}; (void)p->put_contentEditable(a0); }
  { BSTR* a0{}; (void)p->get_contentEditable(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_isContentEditable(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_hideFocus(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_hideFocus(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_disabled(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_disabled(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_isDisabled(a0); }
  { VARIANT a0{}; (void)p->put_onmove(a0); }
  { VARIANT* a0{}; (void)p->get_onmove(a0); }
  { VARIANT a0{}; (void)p->put_oncontrolselect(a0); }
  { VARIANT* a0{}; (void)p->get_oncontrolselect(a0); }
  { BSTR a0{}; VARIANT* a1{}; VARIANT_BOOL* a2{}; (void)p->fireEvent(a0, a1, a2); }
  { VARIANT a0{}; (void)p->put_onresizestart(a0); }
  { VARIANT* a0{}; (void)p->get_onresizestart(a0); }
  { VARIANT a0{}; (void)p->put_onresizeend(a0); }
  { VARIANT* a0{}; (void)p->get_onresizeend(a0); }
  { VARIANT a0{}; (void)p->put_onmovestart(a0); }
  { VARIANT* a0{}; (void)p->get_onmovestart(a0); }
  { VARIANT a0{}; (void)p->put_onmoveend(a0); }
  { VARIANT* a0{}; (void)p->get_onmoveend(a0); }
  { VARIANT a0{}; (void)p->put_onmouseenter(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseenter(a0); }
  { VARIANT a0{}; (void)p->put_onmouseleave(a0); }
  { VARIANT* a0{}; (void)p->get_onmouseleave(a0); }
  { VARIANT a0{}; (void)p->put_onactivate(a0); }
  { VARIANT* a0{}; (void)p->get_onactivate(a0); }
  { VARIANT a0{}; (void)p->put_ondeactivate(a0); }
  { VARIANT* a0{}; (void)p->get_ondeactivate(a0); }
  { VARIANT_BOOL* a0{}; (void)p->dragDrop(a0); }
  { LONG* a0{}; (void)p->get_glyphMode(a0); }
}

void CheckIHTMLElement4(IHTMLElement4 *p) {
  { VARIANT a0{}; (void)p->put_onmousewheel(a0); }
  { VARIANT* a0{}; (void)p->get_onmousewheel(a0); }
  {  (void)p->normalize(); }
  { BSTR a0{}; IHTMLDOMAttribute** a1{}; (void)p->getAttributeNode(a0, a1); }
  { IHTMLDOMAttribute* a0{}; IHTMLDOMAttribute** a1{}; (void)p->setAttributeNode(a0, a1); }
  { IHTMLDOMAttribute* a0{}; IHTMLDOMAttribute** a1{}; (void)p->removeAttributeNode(a0, a1); }
  { VARIANT a0{}; (void)p->put_onbeforeactivate(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforeactivate(a0); }
  { VARIANT a0{}; (void)p->put_onfocusin(a0); }
  { VARIANT* a0{}; (void)p->get_onfocusin(a0); }
  { VARIANT a0{}; (void)p->put_onfocusout(a0); }
  { VARIANT* a0{}; (void)p->get_onfocusout(a0); }
}

void CheckIHTMLDOMNode(IHTMLDOMNode *p) {
  { LONG* a0{}; (void)p->get_nodeType(a0); }
  { IHTMLDOMNode** a0{}; (void)p->get_parentNode(a0); }
  { VARIANT_BOOL* a0{}; (void)p->hasChildNodes(a0); }
  { IDispatch** a0{}; (void)p->get_childNodes(a0); }
  { IDispatch** a0{}; (void)p->get_attributes(a0); }
  { IHTMLDOMNode* a0{}; VARIANT a1{}; IHTMLDOMNode** a2{}; (void)p->insertBefore(a0, a1, a2); }
  { IHTMLDOMNode* a0{}; IHTMLDOMNode** a1{}; (void)p->removeChild(a0, a1); }
  { IHTMLDOMNode* a0{}; IHTMLDOMNode* a1{}; IHTMLDOMNode** a2{}; (void)p->replaceChild(a0, a1, a2); }
  { VARIANT_BOOL a0{}; IHTMLDOMNode** a1{}; (void)p->cloneNode(a0, a1); }
  { VARIANT_BOOL a0{}; IHTMLDOMNode** a1{}; (void)p->removeNode(a0, a1); }
  { IHTMLDOMNode* a0{}; IHTMLDOMNode** a1{}; (void)p->swapNode(a0, a1); }
  { IHTMLDOMNode* a0{}; IHTMLDOMNode** a1{}; (void)p->replaceNode(a0, a1); }
  { IHTMLDOMNode* a0{}; IHTMLDOMNode** a1{}; (void)p->appendChild(a0, a1); }
  { BSTR* a0{}; (void)p->get_nodeName(a0); }
  { VARIANT a0{}; (void)p->put_nodeValue(a0); }
  { VARIANT* a0{}; (void)p->get_nodeValue(a0); }
  { IHTMLDOMNode** a0{}; (void)p->get_firstChild(a0); }
  { IHTMLDOMNode** a0{}; (void)p->get_lastChild(a0); }
  { IHTMLDOMNode** a0{}; (void)p->get_previousSibling(a0); }
  { IHTMLDOMNode** a0{}; (void)p->get_nextSibling(a0); }
}

void CheckIHTMLDOMAttribute(IHTMLDOMAttribute *p) {
  { BSTR* a0{}; (void)p->get_nodeName(a0); }
  { VARIANT a0{}; (void)p->put_nodeValue(a0); }
  { VARIANT* a0{}; (void)p->get_nodeValue(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_specified(a0); }
}

void CheckIHTMLDOMChildrenCollection(IHTMLDOMChildrenCollection *p) {
  { LONG* a0{}; (void)p->get_length(a0); }
  { IUnknown** a0{}; (void)p->get__newEnum(a0); }
  { LONG a0{}; IDispatch** a1{}; (void)p->item(a0, a1); }
}

void CheckIHTMLElementCollection(IHTMLElementCollection *p) {
  { BSTR* a0{}; (void)p->toString(a0); }
  { LONG a0{}; (void)p->put_length(a0); }
  { LONG* a0{}; (void)p->get_length(a0); }
  { IUnknown** a0{}; (void)p->get__newEnum(a0); }
  { VARIANT a0{}; VARIANT a1{}; IDispatch** a2{}; (void)p->item(a0, a1, a2); }
  { VARIANT a0{}; IDispatch** a1{}; (void)p->tags(a0, a1); }
}

void CheckIHTMLStyle(IHTMLStyle *p) {
  { BSTR a0{}; (void)p->put_fontFamily(a0); }
  { BSTR* a0{}; (void)p->get_fontFamily(a0); }
  { BSTR a0{}; (void)p->put_fontStyle(a0); }
  { BSTR* a0{}; (void)p->get_fontStyle(a0); }
  { BSTR a0{}; (void)p->put_fontVariant(a0); }
  { BSTR* a0{}; (void)p->get_fontVariant(a0); }
  { BSTR a0{}; (void)p->put_fontWeight(a0); }
  { BSTR* a0{}; (void)p->get_fontWeight(a0); }
  { VARIANT a0{}; (void)p->put_fontSize(a0); }
  { VARIANT* a0{}; (void)p->get_fontSize(a0); }
  { BSTR a0{}; (void)p->put_font(a0); }
  { BSTR* a0{}; (void)p->get_font(a0); }
  { VARIANT a0{}; (void)p->put_color(a0); }
  { VARIANT* a0{}; (void)p->get_color(a0); }
  { BSTR a0{}; (void)p->put_background(a0); }
  { BSTR* a0{}; (void)p->get_background(a0); }
  { VARIANT a0{}; (void)p->put_backgroundColor(a0); }
  { VARIANT* a0{}; (void)p->get_backgroundColor(a0); }
  { BSTR a0{}; (void)p->put_backgroundImage(a0); }
  { BSTR* a0{}; (void)p->get_backgroundImage(a0); }
  { BSTR a0{}; (void)p->put_backgroundRepeat(a0); }
  { BSTR* a0{}; (void)p->get_backgroundRepeat(a0); }
  { BSTR a0{}; (void)p->put_backgroundAttachment(a0); }
  { BSTR* a0{}; (void)p->get_backgroundAttachment(a0); }
  { BSTR a0{}; (void)p->put_backgroundPosition(a0); }
  { BSTR* a0{}; (void)p->get_backgroundPosition(a0); }
  { VARIANT a0{}; (void)p->put_backgroundPositionX(a0); }
  { VARIANT* a0{}; (void)p->get_backgroundPositionX(a0); }
  { VARIANT a0{}; (void)p->put_backgroundPositionY(a0); }
  { VARIANT* a0{}; (void)p->get_backgroundPositionY(a0); }
  { VARIANT a0{}; (void)p->put_wordSpacing(a0); }
  { VARIANT* a0{}; (void)p->get_wordSpacing(a0); }
  { VARIANT a0{}; (void)p->put_letterSpacing(a0); }
  { VARIANT* a0{}; (void)p->get_letterSpacing(a0); }
  { BSTR a0{}; (void)p->put_textDecoration(a0); }
  { BSTR* a0{}; (void)p->get_textDecoration(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_textDecorationNone(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_textDecorationNone(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_textDecorationUnderline(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_textDecorationUnderline(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_textDecorationOverline(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_textDecorationOverline(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_textDecorationLineThrough(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_textDecorationLineThrough(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_textDecorationBlink(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_textDecorationBlink(a0); }
  { VARIANT a0{}; (void)p->put_verticalAlign(a0); }
  { VARIANT* a0{}; (void)p->get_verticalAlign(a0); }
  { BSTR a0{}; (void)p->put_textTransform(a0); }
  { BSTR* a0{}; (void)p->get_textTransform(a0); }
  { BSTR a0{}; (void)p->put_textAlign(a0); }
  { BSTR* a0{}; (void)p->get_textAlign(a0); }
  { VARIANT a0{}; (void)p->put_textIndent(a0); }
  { VARIANT* a0{}; (void)p->get_textIndent(a0); }
  { VARIANT a0{}; (void)p->put_lineHeight(a0); }
  { VARIANT* a0{}; (void)p->get_lineHeight(a0); }
  { VARIANT a0{}; (void)p->put_marginTop(a0); }
  { VARIANT* a0{}; (void)p->get_marginTop(a0); }
  { VARIANT a0{}; (void)p->put_marginRight(a0); }
  { VARIANT* a0{}; (void)p->get_marginRight(a0); }
  { VARIANT a0{}; (void)p->put_marginBottom(a0); }
  { VARIANT* a0{}; (void)p->get_marginBottom(a0); }
  { VARIANT a0{}; (void)p->put_marginLeft(a0); }
  { VARIANT* a0{}; (void)p->get_marginLeft(a0); }
  { BSTR a0{}; (void)p->put_margin(a0); }
  { BSTR* a0{}; (void)p->get_margin(a0); }
  { VARIANT a0{}; (void)p->put_paddingTop(a0); }
  { VARIANT* a0{}; (void)p->get_paddingTop(a0); }
  { VARIANT a0{}; (void)p->put_paddingRight(a0); }
  { VARIANT* a0{}; (void)p->get_paddingRight(a0); }
  { VARIANT a0{}; (void)p->put_paddingBottom(a0); }
  { VARIANT* a0{}; (void)p->get_paddingBottom(a0); }
  { VARIANT a0{}; (void)p->put_paddingLeft(a0); }
  { VARIANT* a0{}; (void)p->get_paddingLeft(a0); }
  { BSTR a0{}; (void)p->put_padding(a0); }
  { BSTR* a0{}; (void)p->get_padding(a0); }
  { BSTR a0{}; (void)p->put_border(a0); }
  { BSTR* a0{}; (void)p->get_border(a0); }
  { BSTR a0{}; (void)p->put_borderTop(a0); }
  { BSTR* a0{}; (void)p->get_borderTop(a0); }
  { BSTR a0{}; (void)p->put_borderRight(a0); }
  { BSTR* a0{}; (void)p->get_borderRight(a0); }
  { BSTR a0{}; (void)p->put_borderBottom(a0); }
  { BSTR* a0{}; (void)p->get_borderBottom(a0); }
  { BSTR a0{}; (void)p->put_borderLeft(a0); }
  { BSTR* a0{}; (void)p->get_borderLeft(a0); }
  { BSTR a0{}; (void)p->put_borderColor(a0); }
  { BSTR* a0{}; (void)p->get_borderColor(a0); }
  { VARIANT a0{}; (void)p->put_borderTopColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderTopColor(a0); }
  { VARIANT a0{}; (void)p->put_borderRightColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderRightColor(a0); }
  { VARIANT a0{}; (void)p->put_borderBottomColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderBottomColor(a0); }
  { VARIANT a0{}; (void)p->put_borderLeftColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderLeftColor(a0); }
  { BSTR a0{}; (void)p->put_borderWidth(a0); }
  { BSTR* a0{}; (void)p->get_borderWidth(a0); }
  { VARIANT a0{}; (void)p->put_borderTopWidth(a0); }
  { VARIANT* a0{}; (void)p->get_borderTopWidth(a0); }
  { VARIANT a0{}; (void)p->put_borderRightWidth(a0); }
  { VARIANT* a0{}; (void)p->get_borderRightWidth(a0); }
  { VARIANT a0{}; (void)p->put_borderBottomWidth(a0); }
  { VARIANT* a0{}; (void)p->get_borderBottomWidth(a0); }
  { VARIANT a0{}; (void)p->put_borderLeftWidth(a0); }
  { VARIANT* a0{}; (void)p->get_borderLeftWidth(a0); }
  { BSTR a0{}; (void)p->put_borderStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderStyle(a0); }
  { BSTR a0{}; (void)p->put_borderTopStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderTopStyle(a0); }
  { BSTR a0{}; (void)p->put_borderRightStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderRightStyle(a0); }
  { BSTR a0{}; (void)p->put_borderBottomStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderBottomStyle(a0); }
  { BSTR a0{}; (void)p->put_borderLeftStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderLeftStyle(a0); }
  { VARIANT a0{}; (void)p->put_width(a0); }
  { VARIANT* a0{}; (void)p->get_width(a0); }
  { VARIANT a0{}; (void)p->put_height(a0); }
  { VARIANT* a0{}; (void)p->get_height(a0); }
  { BSTR a0{}; (void)p->put_styleFloat(a0); }
  { BSTR* a0{}; (void)p->get_styleFloat(a0); }
  { BSTR a0{}; (void)p->put_clear(a0); }
  { BSTR* a0{}; (void)p->get_clear(a0); }
  { BSTR a0{}; (void)p->put_display(a0); }
  { BSTR* a0{}; (void)p->get_display(a0); }
  { BSTR a0{}; (void)p->put_visibility(a0); }
  { BSTR* a0{}; (void)p->get_visibility(a0); }
  { BSTR a0{}; (void)p->put_listStyleType(a0); }
  { BSTR* a0{}; (void)p->get_listStyleType(a0); }
  { BSTR a0{}; (void)p->put_listStylePosition(a0); }
  { BSTR* a0{}; (void)p->get_listStylePosition(a0); }
  { BSTR a0{}; (void)p->put_listStyleImage(a0); }
  { BSTR* a0{}; (void)p->get_listStyleImage(a0); }
  { BSTR a0{}; (void)p->put_listStyle(a0); }
  { BSTR* a0{}; (void)p->get_listStyle(a0); }
  { BSTR a0{}; (void)p->put_whiteSpace(a0); }
  { BSTR* a0{}; (void)p->get_whiteSpace(a0); }
  { VARIANT a0{}; (void)p->put_top(a0); }
  { VARIANT* a0{}; (void)p->get_top(a0); }
  { VARIANT a0{}; (void)p->put_left(a0); }
  { VARIANT* a0{}; (void)p->get_left(a0); }
  { BSTR* a0{}; (void)p->get_position(a0); }
  { VARIANT a0{}; (void)p->put_zIndex(a0); }
  { VARIANT* a0{}; (void)p->get_zIndex(a0); }
  { BSTR a0{}; (void)p->put_overflow(a0); }
  { BSTR* a0{}; (void)p->get_overflow(a0); }
  { BSTR a0{}; (void)p->put_pageBreakBefore(a0); }
  { BSTR* a0{}; (void)p->get_pageBreakBefore(a0); }
  { BSTR a0{}; (void)p->put_pageBreakAfter(a0); }
  { BSTR* a0{}; (void)p->get_pageBreakAfter(a0); }
  { BSTR a0{}; (void)p->put_cssText(a0); }
  { BSTR* a0{}; (void)p->get_cssText(a0); }
  { LONG a0{}; (void)p->put_pixelTop(a0); }
  { LONG* a0{}; (void)p->get_pixelTop(a0); }
  { LONG a0{}; (void)p->put_pixelLeft(a0); }
  { LONG* a0{}; (void)p->get_pixelLeft(a0); }
  { LONG a0{}; (void)p->put_pixelWidth(a0); }
  { LONG* a0{}; (void)p->get_pixelWidth(a0); }
  { LONG a0{}; (void)p->put_pixelHeight(a0); }
  { LONG* a0{}; (void)p->get_pixelHeight(a0); }
  { float a0{}; (void)p->put_posTop(a0); }
  { float* a0{}; (void)p->get_posTop(a0); }
  { float a0{}; (void)p->put_posLeft(a0); }
  { float* a0{}; (void)p->get_posLeft(a0); }
  { float a0{}; (void)p->put_posWidth(a0); }
  { float* a0{}; (void)p->get_posWidth(a0); }
  { float a0{}; (void)p->put_posHeight(a0); }
  { float* a0{}; (void)p->get_posHeight(a0); }
  { BSTR a0{}; (void)p->put_cursor(a0); }
  { BSTR* a0{}; (void)p->get_cursor(a0); }
  { BSTR a0{}; (void)p->put_clip(a0); }
  { BSTR* a0{}; (void)p->get_clip(a0); }
  { BSTR a0{}; (void)p->put_filter(a0); }
  { BSTR* a0{}; (void)p->get_filter(a0); }
  { BSTR a0{}; VARIANT a1{}; LONG a2{}; (void)p->setAttribute(a0, a1, a2); }
  { BSTR a0{}; LONG a1{}; VARIANT* a2{}; (void)p->getAttribute(a0, a1, a2); }
  { BSTR a0{}; LONG a1{}; VARIANT_BOOL* a2{}; (void)p->removeAttribute(a0, a1, a2); }
  { BSTR* a0{}; (void)p->toString(a0); }
}

void CheckIHTMLCurrentStyle(IHTMLCurrentStyle *p) {
  { BSTR* a0{}; (void)p->get_position(a0); }
  { BSTR* a0{}; (void)p->get_styleFloat(a0); }
  { VARIANT* a0{}; (void)p->get_color(a0); }
  { VARIANT* a0{}; (void)p->get_backgroundColor(a0); }
  { BSTR* a0{}; (void)p->get_fontFamily(a0); }
  { BSTR* a0{}; (void)p->get_fontStyle(a0); }
  { BSTR* a0{}; (void)p->get_fontVariant(a0); }
  { VARIANT* a0{}; (void)p->get_fontWeight(a0); }
  { VARIANT* a0{}; (void)p->get_fontSize(a0); }
  { BSTR* a0{}; (void)p->get_backgroundImage(a0); }
  { VARIANT* a0{}; (void)p->get_backgroundPositionX(a0); }
  { VARIANT* a0{}; (void)p->get_backgroundPositionY(a0); }
  { BSTR* a0{}; (void)p->get_backgroundRepeat(a0); }
  { VARIANT* a0{}; (void)p->get_borderLeftColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderTopColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderRightColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderBottomColor(a0); }
  { BSTR* a0{}; (void)p->get_borderTopStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderRightStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderBottomStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderLeftStyle(a0); }
  { VARIANT* a0{}; (void)p->get_borderTopWidth(a0); }
  { VARIANT* a0{}; (void)p->get_borderRightWidth(a0); }
  { VARIANT* a0{}; (void)p->get_borderBottomWidth(a0); }
  { VARIANT* a0{}; (void)p->get_borderLeftWidth(a0); }
  { VARIANT* a0{}; (void)p->get_left(a0); }
  { VARIANT* a0{}; (void)p->get_top(a0); }
  { VARIANT* a0{}; (void)p->get_width(a0); }
  { VARIANT* a0{}; (void)p->get_height(a0); }
  { VARIANT* a0{}; (void)p->get_paddingLeft(a0); }
  { VARIANT* a0{}; (void)p->get_paddingTop(a0); }
  { VARIANT* a0{}; (void)p->get_paddingRight(a0); }
  { VARIANT* a0{}; (void)p->get_paddingBottom(a0); }
  { BSTR* a0{}; (void)p->get_textAlign(a0); }
  { BSTR* a0{}; (void)p->get_textDecoration(a0); }
  { BSTR* a0{}; (void)p->get_display(a0); }
  { BSTR* a0{}; (void)p->get_visibility(a0); }
  { VARIANT* a0{}; (void)p->get_zIndex(a0); }
  { VARIANT* a0{}; (void)p->get_letterSpacing(a0); }
  { VARIANT* a0{}; (void)p->get_lineHeight(a0); }
  { VARIANT* a0{}; (void)p->get_textIndent(a0); }
  { VARIANT* a0{}; (void)p->get_verticalAlign(a0); }
  { BSTR* a0{}; (void)p->get_backgroundAttachment(a0); }
  { VARIANT* a0{}; (void)p->get_marginTop(a0); }
  { VARIANT* a0{}; (void)p->get_marginRight(a0); }
  { VARIANT* a0{}; (void)p->get_marginBottom(a0); }
  { VARIANT* a0{}; (void)p->get_marginLeft(a0); }
  { BSTR* a0{}; (void)p->get_clear(a0); }
  { BSTR* a0{}; (void)p->get_listStyleType(a0); }
  { BSTR* a0{}; (void)p->get_listStylePosition(a0); }
  { BSTR* a0{}; (void)p->get_listStyleImage(a0); }
  { VARIANT* a0{}; (void)p->get_clipTop(a0); }
  { VARIANT* a0{}; (void)p->get_clipRight(a0); }
  { VARIANT* a0{}; (void)p->get_clipBottom(a0); }
  { VARIANT* a0{}; (void)p->get_clipLeft(a0); }
  { BSTR* a0{}; (void)p->get_overflow(a0); }
  { BSTR* a0{}; (void)p->get_pageBreakBefore(a0); }
  { BSTR* a0{}; (void)p->get_pageBreakAfter(a0); }
  { BSTR* a0{}; (void)p->get_cursor(a0); }
  { BSTR* a0{}; (void)p->get_tableLayout(a0); }
  { BSTR* a0{}; (void)p->get_borderCollapse(a0); }
  { BSTR* a0{}; (void)p->get_direction(a0); }
  { BSTR* a0{}; (void)p->get_behavior(a0); }
  { BSTR a0{}; LONG a1{}; VARIANT* a2{}; (void)p->getAttribute(a0, a1, a2); }
  { BSTR* a0{}; (void)p->get_unicodeBidi(a0); }
  { VARIANT* a0{}; (void)p->get_right(a0); }
  { VARIANT* a0{}; (void)p->get_bottom(a0); }
  { BSTR* a0{}; (void)p->get_imeMode(a0); }
  { BSTR* a0{}; (void)p->get_rubyAlign(a0); }
  { BSTR* a0{}; (void)p->get_rubyPosition(a0); }
  { BSTR* a0{}; (void)p->get_rubyOverhang(a0); }
  { BSTR* a0{}; (void)p->get_textAutospace(a0); }
  { BSTR* a0{}; (void)p->get_lineBreak(a0); }
  { BSTR* a0{}; (void)p->get_wordBreak(a0); }
  { BSTR* a0{}; (void)p->get_textJustify(a0); }
  { BSTR* a0{}; (void)p->get_textJustifyTrim(a0); }
  { VARIANT* a0{}; (void)p->get_textKashida(a0); }
  { BSTR* a0{}; (void)p->get_blockDirection(a0); }
  { VARIANT* a0{}; (void)p->get_layoutGridChar(a0); }
  { VARIANT* a0{}; (void)p->get_layoutGridLine(a0); }
  { BSTR* a0{}; (void)p->get_layoutGridMode(a0); }
  { BSTR* a0{}; (void)p->get_layoutGridType(a0); }
  { BSTR* a0{}; (void)p->get_borderStyle(a0); }
  { BSTR* a0{}; (void)p->get_borderColor(a0); }
  { BSTR* a0{}; (void)p->get_borderWidth(a0); }
  { BSTR* a0{}; (void)p->get_padding(a0); }
  { BSTR* a0{}; (void)p->get_margin(a0); }
  { BSTR* a0{}; (void)p->get_accelerator(a0); }
  { BSTR* a0{}; (void)p->get_overflowX(a0); }
  { BSTR* a0{}; (void)p->get_overflowY(a0); }
  { BSTR* a0{}; (void)p->get_textTransform(a0); }
}

void CheckIHTMLRect(IHTMLRect *p) {
  { LONG a0{}; (void)p->put_left(a0); }
  { LONG* a0{}; (void)p->get_left(a0); }
  { LONG a0{}; (void)p->put_top(a0); }
  { LONG* a0{}; (void)p->get_top(a0); }
  { LONG a0{}; (void)p->put_right(a0); }
  { LONG* a0{}; (void)p->get_right(a0); }
  { LONG a0{}; (void)p->put_bottom(a0); }
  { LONG* a0{}; (void)p->get_bottom(a0); }
}

void CheckIHTMLTable(IHTMLTable *p) {
  { LONG a0{}; (void)p->put_cols(a0); }
  { LONG* a0{}; (void)p->get_cols(a0); }
  { VARIANT a0{}; (void)p->put_border(a0); }
  { VARIANT* a0{}; (void)p->get_border(a0); }
  { BSTR a0{}; (void)p->put_frame(a0); }
  { BSTR* a0{}; (void)p->get_frame(a0); }
  { BSTR a0{}; (void)p->put_rules(a0); }
  { BSTR* a0{}; (void)p->get_rules(a0); }
  { VARIANT a0{}; (void)p->put_cellSpacing(a0); }
  { VARIANT* a0{}; (void)p->get_cellSpacing(a0); }
  { VARIANT a0{}; (void)p->put_cellPadding(a0); }
  { VARIANT* a0{}; (void)p->get_cellPadding(a0); }
  { BSTR a0{}; (void)p->put_background(a0); }
  { BSTR* a0{}; (void)p->get_background(a0); }
  { VARIANT a0{}; (void)p->put_bgColor(a0); }
  { VARIANT* a0{}; (void)p->get_bgColor(a0); }
  { VARIANT a0{}; (void)p->put_borderColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderColor(a0); }
  { VARIANT a0{}; (void)p->put_borderColorLight(a0); }
  { VARIANT* a0{}; (void)p->get_borderColorLight(a0); }
  { VARIANT a0{}; (void)p->put_borderColorDark(a0); }
  { VARIANT* a0{}; (void)p->get_borderColorDark(a0); }
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
  {  (void)p->refresh(); }
  { IHTMLElementCollection** a0{}; (void)p->get_rows(a0); }
  { VARIANT a0{}; (void)p->put_width(a0); }
  { VARIANT* a0{}; (void)p->get_width(a0); }
  { VARIANT a0{}; (void)p->put_height(a0); }
  { VARIANT* a0{}; (void)p->get_height(a0); }
  { LONG a0{}; (void)p->put_dataPageSize(a0); }
  { LONG* a0{}; (void)p->get_dataPageSize(a0); }
  {  (void)p->nextPage(); }
  {  (void)p->previousPage(); }
  { IHTMLTableSection** a0{}; (void)p->get_tHead(a0); }
  { IHTMLTableSection** a0{}; (void)p->get_tFoot(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_tBodies(a0); }
  { IHTMLTableCaption** a0{}; (void)p->get_caption(a0); }
  { IDispatch** a0{}; (void)p->createTHead(a0); }
  {  (void)p->deleteTHead(); }
  { IDispatch** a0{}; (void)p->createTFoot(a0); }
  {  (void)p->deleteTFoot(); }
  { IHTMLTableCaption** a0{}; (void)p->createCaption(a0); }
  {  (void)p->deleteCaption(); }
  { LONG a0{}; IDispatch** a1{}; (void)p->insertRow(a0, a1); }
  { LONG a0{}; (void)p->deleteRow(a0); }
  { BSTR* a0{}; (void)p->get_readyState(a0); }
  { VARIANT a0{}; (void)p->put_onreadystatechange(a0); }
  { VARIANT* a0{}; (void)p->get_onreadystatechange(a0); }
}

void CheckIHTMLTable2(IHTMLTable2 *p) {
  {  (void)p->firstPage(); }
  {  (void)p->lastPage(); }
  { IHTMLElementCollection** a0{}; (void)p->get_cells(a0); }
  { LONG a0{}; LONG a1{}; IDispatch** a2{}; (void)p->moveRow(a0, a1, a2); }
}

void CheckIHTMLTableSection(IHTMLTableSection *p) {
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
  { BSTR a0{}; (void)p->put_vAlign(a0); }
  { BSTR* a0{}; (void)p->get_vAlign(a0); }
  { VARIANT a0{}; (void)p->put_bgColor(a0); }
  { VARIANT* a0{}; (void)p->get_bgColor(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_rows(a0); }
  { LONG a0{}; IDispatch** a1{}; (void)p->insertRow(a0, a1); }
  { LONG a0{}; (void)p->deleteRow(a0); }
}

void CheckIHTMLTableRow(IHTMLTableRow *p) {
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
  { BSTR a0{}; (void)p->put_vAlign(a0); }
  { BSTR* a0{}; (void)p->get_vAlign(a0); }
  { VARIANT a0{}; (void)p->put_bgColor(a0); }
  { VARIANT* a0{}; (void)p->get_bgColor(a0); }
  { VARIANT a0{}; (void)p->put_borderColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderColor(a0); }
  { VARIANT a0{}; (void)p->put_borderColorLight(a0); }
  { VARIANT* a0{}; (void)p->get_borderColorLight(a0); }
  { VARIANT a0{}; (void)p->put_borderColorDark(a0); }
  { VARIANT* a0{}; (void)p->get_borderColorDark(a0); }
  { LONG* a0{}; (void)p->get_rowIndex(a0); }
  { LONG* a0{}; (void)p->get_sectionRowIndex(a0); }
  { IHTMLElementCollection** a0{}; (void)p->get_cells(a0); }
  { LONG a0{}; IDispatch** a1{}; (void)p->insertCell(a0, a1); }
  { LONG a0{}; (void)p->deleteCell(a0); }
}

void CheckIHTMLTableCell(IHTMLTableCell *p) {
  { LONG a0{}; (void)p->put_rowSpan(a0); }
  { LONG* a0{}; (void)p->get_rowSpan(a0); }
  { LONG a0{}; (void)p->put_colSpan(a0); }
  { LONG* a0{}; (void)p->get_colSpan(a0); }
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
  { BSTR a0{}; (void)p->put_vAlign(a0); }
  { BSTR* a0{}; (void)p->get_vAlign(a0); }
  { VARIANT a0{}; (void)p->put_bgColor(a0); }
  { VARIANT* a0{}; (void)p->get_bgColor(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_noWrap(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_noWrap(a0); }
  { BSTR a0{}; (void)p->put_background(a0); }
  { BSTR* a0{}; (void)p->get_background(a0); }
  { VARIANT a0{}; (void)p->put_borderColor(a0); }
  { VARIANT* a0{}; (void)p->get_borderColor(a0); }
  { VARIANT a0{}; (void)p->put_borderColorLight(a0); }
  { VARIANT* a0{}; (void)p->get_borderColorLight(a0); }
  { VARIANT a0{}; (void)p->put_borderColorDark(a0); }
  { VARIANT* a0{}; (void)p->get_borderColorDark(a0); }
  { VARIANT a0{}; (void)p->put_width(a0); }
  { VARIANT* a0{}; (void)p->get_width(a0); }
  { VARIANT a0{}; (void)p->put_height(a0); }
  { VARIANT* a0{}; (void)p->get_height(a0); }
  { LONG* a0{}; (void)p->get_cellIndex(a0); }
}

void CheckIHTMLTableCaption(IHTMLTableCaption *p) {
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
  { BSTR a0{}; (void)p->put_vAlign(a0); }
  { BSTR* a0{}; (void)p->get_vAlign(a0); }
}

void CheckIHTMLAnchorElement(IHTMLAnchorElement *p) {
  { BSTR a0{}; (void)p->put_href(a0); }
  { BSTR* a0{}; (void)p->get_href(a0); }
  { BSTR a0{}; (void)p->put_target(a0); }
  { BSTR* a0{}; (void)p->get_target(a0); }
  { BSTR a0{}; (void)p->put_rel(a0); }
  { BSTR* a0{}; (void)p->get_rel(a0); }
  { BSTR a0{}; (void)p->put_rev(a0); }
  { BSTR* a0{}; (void)p->get_rev(a0); }
  { BSTR a0{}; (void)p->put_urn(a0); }
  { BSTR* a0{}; (void)p->get_urn(a0); }
  { BSTR a0{}; (void)p->put_Methods(a0); }
  { BSTR* a0{}; (void)p->get_Methods(a0); }
  { BSTR a0{}; (void)p->put_name(a0); }
  { BSTR* a0{}; (void)p->get_name(a0); }
  { BSTR a0{}; (void)p->put_host(a0); }
  { BSTR* a0{}; (void)p->get_host(a0); }
  { BSTR a0{}; (void)p->put_hostname(a0); }
  { BSTR* a0{}; (void)p->get_hostname(a0); }
  { BSTR a0{}; (void)p->put_pathname(a0); }
  { BSTR* a0{}; (void)p->get_pathname(a0); }
  { BSTR a0{}; (void)p->put_port(a0); }
  { BSTR* a0{}; (void)p->get_port(a0); }
  { BSTR a0{}; (void)p->put_protocol(a0); }
  { BSTR* a0{}; (void)p->get_protocol(a0); }
  { BSTR a0{}; (void)p->put_search(a0); }
  { BSTR* a0{}; (void)p->get_search(a0); }
  { BSTR a0{}; (void)p->put_hash(a0); }
  { BSTR* a0{}; (void)p->get_hash(a0); }
  { VARIANT a0{}; (void)p->put_onblur(a0); }
  { VARIANT* a0{}; (void)p->get_onblur(a0); }
  { VARIANT a0{}; (void)p->put_onfocus(a0); }
  { VARIANT* a0{}; (void)p->get_onfocus(a0); }
  { BSTR a0{}; (void)p->put_accessKey(a0); }
  { BSTR* a0{}; (void)p->get_accessKey(a0); }
  { BSTR* a0{}; (void)p->get_protocolLong(a0); }
  { BSTR* a0{}; (void)p->get_mimeType(a0); }
  { BSTR* a0{}; (void)p->get_nameProp(a0); }
  { short a0{}; (void)p->put_tabIndex(a0); }
  { short* a0{}; (void)p->get_tabIndex(a0); }
  {  (void)p->focus(); }
  {  (void)p->blur(); }
}

void CheckIHTMLFormElement(IHTMLFormElement *p) {
  { BSTR a0{}; (void)p->put_action(a0); }
  { BSTR* a0{}; (void)p->get_action(a0); }
  { BSTR a0{}; (void)p->put_dir(a0); }
  { BSTR* a0{}; (void)p->get_dir(a0); }
  { BSTR a0{}; (void)p->put_encoding(a0); }
  { BSTR* a0{}; (void)p->get_encoding(a0); }
  { BSTR a0{}; (void)p->put_method(a0); }
  { BSTR* a0{}; (void)p->get_method(a0); }
  { IDispatch** a0{}; (void)p->get_elements(a0); }
  { BSTR a0{}; (void)p->put_target(a0); }
  { BSTR* a0{}; (void)p->get_target(a0); }
  { BSTR a0{}; (void)p->put_name(a0); }
  { BSTR* a0{}; (void)p->get_name(a0); }
  { VARIANT a0{}; (void)p->put_onsubmit(a0); }
  { VARIANT* a0{}; (void)p->get_onsubmit(a0); }
  { VARIANT a0{}; (void)p->put_onreset(a0); }
  { VARIANT* a0{}; (void)p->get_onreset(a0); }
  {  (void)p->submit(); }
  {  (void)p->reset(); }
  { LONG a0{}; (void)p->put_length(a0); }
  { LONG* a0{}; (void)p->get_length(a0); }
  { IUnknown** a0{}; (void)p->get__newEnum(a0); }
  { VARIANT a0{}; VARIANT a1{}; IDispatch** a2{}; (void)p->item(a0, a1, a2); }
  { VARIANT a0{}; IDispatch** a1{}; (void)p->tags(a0, a1); }
}

void CheckIHTMLInputElement(IHTMLInputElement *p) {
  { BSTR a0{}; (void)p->put_type(a0); }
  { BSTR* a0{}; (void)p->get_type(a0); }
  { BSTR a0{}; (void)p->put_value(a0); }
  { BSTR* a0{}; (void)p->get_value(a0); }
  { BSTR a0{}; (void)p->put_name(a0); }
  { BSTR* a0{}; (void)p->get_name(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_status(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_status(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_disabled(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_disabled(a0); }
  { IHTMLFormElement** a0{}; (void)p->get_form(a0); }
  { LONG a0{}; (void)p->put_size(a0); }
  { LONG* a0{}; (void)p->get_size(a0); }
  { LONG a0{}; (void)p->put_maxLength(a0); }
  { LONG* a0{}; (void)p->get_maxLength(a0); }
  {  (void)p->select(); }
  { VARIANT a0{}; (void)p->put_onchange(a0); }
  { VARIANT* a0{}; (void)p->get_onchange(a0); }
  { VARIANT a0{}; (void)p->put_onselect(a0); }
  { VARIANT* a0{}; (void)p->get_onselect(a0); }
  { BSTR a0{}; (void)p->put_defaultValue(a0); }
  { BSTR* a0{}; (void)p->get_defaultValue(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_readOnly(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_readOnly(a0); }
  { IHTMLTxtRange** a0{}; (void)p->createTextRange(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_indeterminate(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_indeterminate(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_defaultChecked(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_defaultChecked(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_checked(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_checked(a0); }
  { VARIANT a0{}; (void)p->put_border(a0); }
  { VARIANT* a0{}; (void)p->get_border(a0); }
  { LONG a0{}; (void)p->put_vspace(a0); }
  { LONG* a0{}; (void)p->get_vspace(a0); }
  { LONG a0{}; (void)p->put_hspace(a0); }
  { LONG* a0{}; (void)p->get_hspace(a0); }
  { BSTR a0{}; (void)p->put_alt(a0); }
  { BSTR* a0{}; (void)p->get_alt(a0); }
  { BSTR a0{}; (void)p->put_src(a0); }
  { BSTR* a0{}; (void)p->get_src(a0); }
  { BSTR a0{}; (void)p->put_lowsrc(a0); }
  { BSTR* a0{}; (void)p->get_lowsrc(a0); }
  { BSTR a0{}; (void)p->put_vrml(a0); }
  { BSTR* a0{}; (void)p->get_vrml(a0); }
  { BSTR a0{}; (void)p->put_dynsrc(a0); }
  { BSTR* a0{}; (void)p->get_dynsrc(a0); }
  { BSTR* a0{}; (void)p->get_readyState(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_complete(a0); }
  { VARIANT a0{}; (void)p->put_loop(a0); }
  { VARIANT* a0{}; (void)p->get_loop(a0); }
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
  { VARIANT a0{}; (void)p->put_onload(a0); }
  { VARIANT* a0{}; (void)p->get_onload(a0); }
  { VARIANT a0{}; (void)p->put_onerror(a0); }
  { VARIANT* a0{}; (void)p->get_onerror(a0); }
  { VARIANT a0{}; (void)p->put_onabort(a0); }
  { VARIANT* a0{}; (void)p->get_onabort(a0); }
  { LONG a0{}; (void)p->put_width(a0); }
  { LONG* a0{}; (void)p->get_width(a0); }
  { LONG a0{}; (void)p->put_height(a0); }
  { LONG* a0{}; (void)p->get_height(a0); }
  { BSTR a0{}; (void)p->put_start(a0); }
  { BSTR* a0{}; (void)p->get_start(a0); }
}

void CheckIHTMLSelectElement(IHTMLSelectElement *p) {
  { LONG a0{}; (void)p->put_size(a0); }
  { LONG* a0{}; (void)p->get_size(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_multiple(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_multiple(a0); }
  { BSTR a0{}; (void)p->put_name(a0); }
  { BSTR* a0{}; (void)p->get_name(a0); }
  { IDispatch** a0{}; (void)p->get_options(a0); }
  { VARIANT a0{}; (void)p->put_onchange(a0); }
  { VARIANT* a0{}; (void)p->get_onchange(a0); }
  { LONG a0{}; (void)p->put_selectedIndex(a0); }
  { LONG* a0{}; (void)p->get_selectedIndex(a0); }
  { BSTR* a0{}; (void)p->get_type(a0); }
  { BSTR a0{}; (void)p->put_value(a0); }
  { BSTR* a0{}; (void)p->get_value(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_disabled(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_disabled(a0); }
  { IHTMLFormElement** a0{}; (void)p->get_form(a0); }
  { IHTMLElement* a0{}; VARIANT a1{}; (void)p->add(a0, a1); }
  { LONG a0{}; (void)p->remove(a0); }
  { LONG a0{}; (void)p->put_length(a0); }
  { LONG* a0{}; (void)p->get_length(a0); }
  { IUnknown** a0{}; (void)p->get__newEnum(a0); }
  { VARIANT a0{}; VARIANT a1{}; IDispatch** a2{}; (void)p->item(a0, a1, a2); }
  { VARIANT a0{}; IDispatch** a1{}; (void)p->tags(a0, a1); }
}

void CheckIHTMLOptionElement(IHTMLOptionElement *p) {
  { VARIANT_BOOL a0{}; (void)p->put_selected(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_selected(a0); }
  { BSTR a0{}; (void)p->put_value(a0); }
  { BSTR* a0{}; (void)p->get_value(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_defaultSelected(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_defaultSelected(a0); }
  { LONG a0{}; (void)p->put_index(a0); }
  { LONG* a0{}; (void)p->get_index(a0); }
  { BSTR a0{}; (void)p->put_text(a0); }
  { BSTR* a0{}; (void)p->get_text(a0); }
  { IHTMLFormElement** a0{}; (void)p->get_form(a0); }
}

void CheckIHTMLImgElement(IHTMLImgElement *p) {
  { VARIANT_BOOL a0{}; (void)p->put_isMap(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_isMap(a0); }
  { BSTR a0{}; (void)p->put_useMap(a0); }
  { BSTR* a0{}; (void)p->get_useMap(a0); }
  { BSTR* a0{}; (void)p->get_mimeType(a0); }
  { BSTR* a0{}; (void)p->get_fileSize(a0); }
  { BSTR* a0{}; (void)p->get_fileCreatedDate(a0); }
  { BSTR* a0{}; (void)p->get_fileModifiedDate(a0); }
  { BSTR* a0{}; (void)p->get_fileUpdatedDate(a0); }
  { BSTR* a0{}; (void)p->get_protocol(a0); }
  { BSTR* a0{}; (void)p->get_href(a0); }
  { BSTR* a0{}; (void)p->get_nameProp(a0); }
  { VARIANT a0{}; (void)p->put_border(a0); }
  { VARIANT* a0{}; (void)p->get_border(a0); }
  { LONG a0{}; (void)p->put_vspace(a0); }
  { LONG* a0{}; (void)p->get_vspace(a0); }
  { LONG a0{}; (void)p->put_hspace(a0); }
  { LONG* a0{}; (void)p->get_hspace(a0); }
  { BSTR a0{}; (void)p->put_alt(a0); }
  { BSTR* a0{}; (void)p->get_alt(a0); }
  { BSTR a0{}; (void)p->put_src(a0); }
  { BSTR* a0{}; (void)p->get_src(a0); }
  { BSTR a0{}; (void)p->put_lowsrc(a0); }
  { BSTR* a0{}; (void)p->get_lowsrc(a0); }
  { BSTR a0{}; (void)p->put_vrml(a0); }
  { BSTR* a0{}; (void)p->get_vrml(a0); }
  { BSTR a0{}; (void)p->put_dynsrc(a0); }
  { BSTR* a0{}; (void)p->get_dynsrc(a0); }
  { BSTR* a0{}; (void)p->get_readyState(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_complete(a0); }
  { VARIANT a0{}; (void)p->put_loop(a0); }
  { VARIANT* a0{}; (void)p->get_loop(a0); }
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
  { VARIANT a0{}; (void)p->put_onload(a0); }
  { VARIANT* a0{}; (void)p->get_onload(a0); }
  { VARIANT a0{}; (void)p->put_onerror(a0); }
  { VARIANT* a0{}; (void)p->get_onerror(a0); }
  { VARIANT a0{}; (void)p->put_onabort(a0); }
  { VARIANT* a0{}; (void)p->get_onabort(a0); }
  { BSTR a0{}; (void)p->put_name(a0); }
  { BSTR* a0{}; (void)p->get_name(a0); }
  { LONG a0{}; (void)p->put_width(a0); }
  { LONG* a0{}; (void)p->get_width(a0); }
  { LONG a0{}; (void)p->put_height(a0); }
  { LONG* a0{}; (void)p->get_height(a0); }
  { BSTR a0{}; (void)p->put_start(a0); }
  { BSTR* a0{}; (void)p->get_start(a0); }
}

void CheckIHTMLBodyElement(IHTMLBodyElement *p) {
  { BSTR a0{}; (void)p->put_background(a0); }
  { BSTR* a0{}; (void)p->get_background(a0); }
  { BSTR a0{}; (void)p->put_bgProperties(a0); }
  { BSTR* a0{}; (void)p->get_bgProperties(a0); }
  { VARIANT a0{}; (void)p->put_leftMargin(a0); }
  { VARIANT* a0{}; (void)p->get_leftMargin(a0); }
  { VARIANT a0{}; (void)p->put_topMargin(a0); }
  { VARIANT* a0{}; (void)p->get_topMargin(a0); }
  { VARIANT a0{}; (void)p->put_rightMargin(a0); }
  { VARIANT* a0{}; (void)p->get_rightMargin(a0); }
  { VARIANT a0{}; (void)p->put_bottomMargin(a0); }
  { VARIANT* a0{}; (void)p->get_bottomMargin(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_noWrap(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_noWrap(a0); }
  { VARIANT a0{}; (void)p->put_bgColor(a0); }
  { VARIANT* a0{}; (void)p->get_bgColor(a0); }
  { VARIANT a0{}; (void)p->put_text(a0); }
  { VARIANT* a0{}; (void)p->get_text(a0); }
  { VARIANT a0{}; (void)p->put_link(a0); }
  { VARIANT* a0{}; (void)p->get_link(a0); }
  { VARIANT a0{}; (void)p->put_vLink(a0); }
  { VARIANT* a0{}; (void)p->get_vLink(a0); }
  { VARIANT a0{}; (void)p->put_aLink(a0); }
  { VARIANT* a0{}; (void)p->get_aLink(a0); }
  { VARIANT a0{}; (void)p->put_onload(a0); }
  { VARIANT* a0{}; (void)p->get_onload(a0); }
  { VARIANT a0{}; (void)p->put_onunload(a0); }
  { VARIANT* a0{}; (void)p->get_onunload(a0); }
  { BSTR a0{}; (void)p->put_scroll(a0); }
  { BSTR* a0{}; (void)p->get_scroll(a0); }
  { VARIANT a0{}; (void)p->put_onselect(a0); }
  { VARIANT* a0{}; (void)p->get_onselect(a0); }
  { VARIANT a0{}; (void)p->put_onbeforeunload(a0); }
  { VARIANT* a0{}; (void)p->get_onbeforeunload(a0); }
  { IHTMLTxtRange** a0{}; (void)p->createTextRange(a0); }
}

void CheckIHTMLTxtRange(IHTMLTxtRange *p) {
  { BSTR* a0{}; (void)p->get_htmlText(a0); }
  { BSTR a0{}; (void)p->put_text(a0); }
  { BSTR* a0{}; (void)p->get_text(a0); }
  { IHTMLElement** a0{}; (void)p->parentElement(a0); }
  { IHTMLTxtRange** a0{}; (void)p->duplicate(a0); }
  { IHTMLTxtRange* a0{}; VARIANT_BOOL* a1{}; (void)p->inRange(a0, a1); }
  { IHTMLTxtRange* a0{}; VARIANT_BOOL* a1{}; (void)p->isEqual(a0, a1); }
  { VARIANT_BOOL a0{}; (void)p->scrollIntoView(a0); }
  { VARIANT_BOOL a0{}; (void)p->collapse(a0); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->expand(a0, a1); }
  { BSTR a0{}; LONG a1{}; LONG* a2{}; (void)p->move(a0, a1, a2); }
  { BSTR a0{}; LONG a1{}; LONG* a2{}; (void)p->moveStart(a0, a1, a2); }
  { BSTR a0{}; LONG a1{}; LONG* a2{}; (void)p->moveEnd(a0, a1, a2); }
  {  (void)p->select(); }
  { BSTR a0{}; (void)p->pasteHTML(a0); }
  { IHTMLElement* a0{}; (void)p->moveToElementText(a0); }
  { BSTR a0{}; IHTMLTxtRange* a1{}; (void)p->setEndPoint(a0, a1); }
  { BSTR a0{}; IHTMLTxtRange* a1{}; LONG* a2{}; (void)p->compareEndPoints(a0, a1, a2); }
  { BSTR a0{}; LONG a1{}; LONG a2{}; VARIANT_BOOL* a3{}; (void)p->findText(a0, a1, a2, a3); }
  { LONG a0{}; LONG a1{}; (void)p->moveToPoint(a0, a1); }
  { BSTR* a0{}; (void)p->getBookmark(a0); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->moveToBookmark(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandSupported(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandEnabled(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandState(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->queryCommandIndeterm(a0, a1); }
  { BSTR a0{}; BSTR* a1{}; (void)p->queryCommandText(a0, a1); }
  { BSTR a0{}; VARIANT* a1{}; (void)p->queryCommandValue(a0, a1); }
  { BSTR a0{}; VARIANT_BOOL a1{}; VARIANT a2{}; VARIANT_BOOL* a3{}; (void)p->execCommand(a0, a1, a2, a3); }
  { BSTR a0{}; VARIANT_BOOL* a1{}; (void)p->execCommandShowHelp(a0, a1); }
}

void CheckIHTMLEventObj(IHTMLEventObj *p) {
  { IHTMLElement** a0{}; (void)p->get_srcElement(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_altKey(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_ctrlKey(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_shiftKey(a0); }
  { VARIANT a0{}; (void)p->put_returnValue(a0); }
  { VARIANT* a0{}; (void)p->get_returnValue(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_cancelBubble(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_cancelBubble(a0); }
  { IHTMLElement** a0{}; (void)p->get_fromElement(a0); }
  { IHTMLElement** a0{}; (void)p->get_toElement(a0); }
  { LONG a0{}; (void)p->put_keyCode(a0); }
  { LONG* a0{}; (void)p->get_keyCode(a0); }
  { LONG* a0{}; (void)p->get_button(a0); }
  { BSTR* a0{}; (void)p->get_type(a0); }
  { BSTR* a0{}; (void)p->get_qualifier(a0); }
  { LONG* a0{}; (void)p->get_reason(a0); }
  { LONG* a0{}; (void)p->get_x(a0); }
  { LONG* a0{}; (void)p->get_y(a0); }
  { LONG* a0{}; (void)p->get_clientX(a0); }
  { LONG* a0{}; (void)p->get_clientY(a0); }
  { LONG* a0{}; (void)p->get_offsetX(a0); }
  { LONG* a0{}; (void)p->get_offsetY(a0); }
  { LONG* a0{}; (void)p->get_screenX(a0); }
  { LONG* a0{}; (void)p->get_screenY(a0); }
  { IDispatch** a0{}; (void)p->get_srcFilter(a0); }
}

void CheckIHTMLFrameBase(IHTMLFrameBase *p) {
  { BSTR a0{}; (void)p->put_src(a0); }
  { BSTR* a0{}; (void)p->get_src(a0); }
  { BSTR a0{}; (void)p->put_name(a0); }
  { BSTR* a0{}; (void)p->get_name(a0); }
  { VARIANT a0{}; (void)p->put_border(a0); }
  { VARIANT* a0{}; (void)p->get_border(a0); }
  { BSTR a0{}; (void)p->put_frameBorder(a0); }
  { BSTR* a0{}; (void)p->get_frameBorder(a0); }
  { VARIANT a0{}; (void)p->put_frameSpacing(a0); }
  { VARIANT* a0{}; (void)p->get_frameSpacing(a0); }
  { VARIANT a0{}; (void)p->put_marginWidth(a0); }
  { VARIANT* a0{}; (void)p->get_marginWidth(a0); }
  { VARIANT a0{}; (void)p->put_marginHeight(a0); }
  { VARIANT* a0{}; (void)p->get_marginHeight(a0); }
  { VARIANT_BOOL a0{}; (void)p->put_noResize(a0); }
  { VARIANT_BOOL* a0{}; (void)p->get_noResize(a0); }
  { BSTR a0{}; (void)p->put_scrolling(a0); }
  { BSTR* a0{}; (void)p->get_scrolling(a0); }
}

void CheckIHTMLIFrameElement(IHTMLIFrameElement *p) {
  { LONG a0{}; (void)p->put_vspace(a0); }
  { LONG* a0{}; (void)p->get_vspace(a0); }
  { LONG a0{}; (void)p->put_hspace(a0); }
  { LONG* a0{}; (void)p->get_hspace(a0); }
  { BSTR a0{}; (void)p->put_align(a0); }
  { BSTR* a0{}; (void)p->get_align(a0); }
}

