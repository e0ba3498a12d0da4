// Late binding for the DOM objects: the members scripts use most, by name
// (case-insensitive), each answered through the object's own interfaces.
#include <functional>

#include "tallowick/Strings.h"
#include "xml/XmlCommon.h"

namespace tallowick::platform::xml {

namespace {

struct Call {
  IDispatch *self;
  DISPPARAMS *params;
  VARIANT *result;
  bool put;
};

using Handler = std::function<HRESULT(Call &)>;

constexpr DISPID kAuto = DISPID_UNKNOWN; // numbered in table order

struct Member {
  const wchar_t *name;
  DISPID id;
  Handler handler;
};

// Argument `index` (in call order) converted to `type`.
HRESULT Arg(const Call &call, UINT index, VARTYPE type, VARIANT &out) {
  VariantInit(&out);
  UINT count = call.params ? call.params->cArgs : 0;
  if (index >= count)
    return DISP_E_BADPARAMCOUNT;
  const VARIANT &arg = call.params->rgvarg[count - 1 - index];
  if (type == VT_VARIANT)
    return VariantCopy(&out, &arg);
  return VariantChangeType(&out, &arg, 0, type) == S_OK ? S_OK : DISP_E_TYPEMISMATCH;
}

template <class I> HRESULT With(IDispatch *self, const std::function<HRESULT(I *)> &body) {
  I *target = nullptr;
  if (FAILED(self->QueryInterface(__uuidof(I), reinterpret_cast<void **>(&target))))
    return DISP_E_MEMBERNOTFOUND;
  HRESULT hr = body(target);
  target->Release();
  return hr;
}

HRESULT SetResult(Call &call, VARIANT &value) {
  if (call.result == nullptr) {
    VariantClear(&value);
    return S_OK;
  }
  *call.result = value;
  return S_OK;
}

template <class T> HRESULT ObjectResult(Call &call, T *object, HRESULT hr) {
  if (FAILED(hr))
    return hr;
  VARIANT value;
  VariantInit(&value);
  if (object != nullptr) {
    value.vt = VT_DISPATCH;
    value.pdispVal = object;
  } else {
    value.vt = VT_NULL;
  }
  return SetResult(call, value);
}

HRESULT BstrResult(Call &call, BSTR text, HRESULT hr) {
  if (FAILED(hr))
    return hr;
  VARIANT value;
  VariantInit(&value);
  value.vt = text ? VT_BSTR : VT_NULL;
  value.bstrVal = text;
  return SetResult(call, value);
}

HRESULT LongResult(Call &call, LONG number, HRESULT hr) {
  if (FAILED(hr))
    return hr;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = number;
  return SetResult(call, value);
}

HRESULT BoolResult(Call &call, VARIANT_BOOL flag, HRESULT hr) {
  if (FAILED(hr))
    return hr;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BOOL;
  value.boolVal = flag;
  return SetResult(call, value);
}

HRESULT VariantResult(Call &call, VARIANT &value, HRESULT hr) {
  if (FAILED(hr))
    return hr;
  return SetResult(call, value);
}

// A string argument handed to `body`, freed afterwards.
HRESULT WithString(Call &call, UINT index, const std::function<HRESULT(BSTR)> &body) {
  VARIANT arg;
  HRESULT hr = Arg(call, index, VT_BSTR, arg);
  if (FAILED(hr))
    return hr;
  hr = body(arg.bstrVal);
  VariantClear(&arg);
  return hr;
}

HRESULT WithNodeArg(Call &call, UINT index, const std::function<HRESULT(IXMLDOMNode *)> &body) {
  VARIANT arg;
  HRESULT hr = Arg(call, index, VT_UNKNOWN, arg);
  if (FAILED(hr))
    return hr;
  IXMLDOMNode *node = nullptr;
  if (arg.punkVal != nullptr)
    arg.punkVal->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void **>(&node));
  VariantClear(&arg);
  if (node == nullptr)
    return DISP_E_TYPEMISMATCH;
  hr = body(node);
  node->Release();
  return hr;
}

#define NODE_GET_OBJECT(Name, Method, Type)                                                        \
  {                                                                                                \
    L"" Name, kAuto, [](Call &c) {                                                                 \
      return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {                                       \
        Type *o = nullptr;                                                                         \
        HRESULT hr = n->Method(&o);                                                                \
        return ObjectResult(c, o, hr);                                                             \
      });                                                                                          \
    }                                                                                              \
  }

const std::vector<Member> &Members() {
  static const std::vector<Member> members = [] {
    std::vector<Member> m = {
        {L"nodeName", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             BSTR s = nullptr;
             HRESULT hr = n->get_nodeName(&s);
             return BstrResult(c, s, hr);
           });
         }},
        {L"nodeValue", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) -> HRESULT {
             if (c.put) {
               VARIANT v;
               HRESULT hr = Arg(c, 0, VT_VARIANT, v);
               if (SUCCEEDED(hr))
                 hr = n->put_nodeValue(v);
               VariantClear(&v);
               return hr;
             }
             VARIANT v;
             HRESULT hr = n->get_nodeValue(&v);
             return VariantResult(c, v, hr);
           });
         }},
        {L"nodeType", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             DOMNodeType t = NODE_INVALID;
             HRESULT hr = n->get_nodeType(&t);
             return LongResult(c, t, hr);
           });
         }},
        NODE_GET_OBJECT("parentNode", get_parentNode, IXMLDOMNode),
        NODE_GET_OBJECT("childNodes", get_childNodes, IXMLDOMNodeList),
        NODE_GET_OBJECT("firstChild", get_firstChild, IXMLDOMNode),
        NODE_GET_OBJECT("lastChild", get_lastChild, IXMLDOMNode),
        NODE_GET_OBJECT("previousSibling", get_previousSibling, IXMLDOMNode),
        NODE_GET_OBJECT("nextSibling", get_nextSibling, IXMLDOMNode),
        NODE_GET_OBJECT("attributes", get_attributes, IXMLDOMNamedNodeMap),
        NODE_GET_OBJECT("ownerDocument", get_ownerDocument, IXMLDOMDocument),
        {L"text", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) -> HRESULT {
             if (c.put)
               return WithString(c, 0, [&](BSTR s) { return n->put_text(s); });
             BSTR s = nullptr;
             HRESULT hr = n->get_text(&s);
             return BstrResult(c, s, hr);
           });
         }},
        {L"xml", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             BSTR s = nullptr;
             HRESULT hr = n->get_xml(&s);
             return BstrResult(c, s, hr);
           });
         }},
        {L"hasChildNodes", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             VARIANT_BOOL b = VARIANT_FALSE;
             HRESULT hr = n->hasChildNodes(&b);
             return BoolResult(c, b, hr);
           });
         }},
        {L"appendChild", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             return WithNodeArg(c, 0, [&](IXMLDOMNode *child) {
               IXMLDOMNode *o = nullptr;
               HRESULT hr = n->appendChild(child, &o);
               return ObjectResult(c, o, hr);
             });
           });
         }},
        {L"removeChild", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             return WithNodeArg(c, 0, [&](IXMLDOMNode *child) {
               IXMLDOMNode *o = nullptr;
               HRESULT hr = n->removeChild(child, &o);
               return ObjectResult(c, o, hr);
             });
           });
         }},
        {L"selectNodes", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             return WithString(c, 0, [&](BSTR q) {
               IXMLDOMNodeList *o = nullptr;
               HRESULT hr = n->selectNodes(q, &o);
               return ObjectResult(c, o, hr);
             });
           });
         }},
        {L"selectSingleNode", kAuto,
         [](Call &c) {
           return With<IXMLDOMNode>(c.self, [&](IXMLDOMNode *n) {
             return WithString(c, 0, [&](BSTR q) {
               IXMLDOMNode *o = nullptr;
               HRESULT hr = n->selectSingleNode(q, &o);
               return ObjectResult(c, o, hr);
             });
           });
         }},
        {L"tagName", kAuto,
         [](Call &c) {
           return With<IXMLDOMElement>(c.self, [&](IXMLDOMElement *e) {
             BSTR s = nullptr;
             HRESULT hr = e->get_tagName(&s);
             return BstrResult(c, s, hr);
           });
         }},
        {L"getAttribute", kAuto,
         [](Call &c) {
           return With<IXMLDOMElement>(c.self, [&](IXMLDOMElement *e) {
             return WithString(c, 0, [&](BSTR name) {
               VARIANT v;
               HRESULT hr = e->getAttribute(name, &v);
               return VariantResult(c, v, hr);
             });
           });
         }},
        {L"setAttribute", kAuto,
         [](Call &c) {
           return With<IXMLDOMElement>(c.self, [&](IXMLDOMElement *e) {
             return WithString(c, 0, [&](BSTR name) {
               VARIANT v;
               HRESULT hr = Arg(c, 1, VT_VARIANT, v);
               if (SUCCEEDED(hr))
                 hr = e->setAttribute(name, v);
               VariantClear(&v);
               return hr;
             });
           });
         }},
        {L"removeAttribute", kAuto,
         [](Call &c) {
           return With<IXMLDOMElement>(c.self, [&](IXMLDOMElement *e) {
             return WithString(c, 0, [&](BSTR name) { return e->removeAttribute(name); });
           });
         }},
        {L"getElementsByTagName", kAuto,
         [](Call &c) -> HRESULT {
           return WithString(c, 0, [&](BSTR name) -> HRESULT {
             IXMLDOMNodeList *o = nullptr;
             HRESULT hr = With<IXMLDOMElement>(
                 c.self, [&](IXMLDOMElement *e) { return e->getElementsByTagName(name, &o); });
             if (hr == DISP_E_MEMBERNOTFOUND)
               hr = With<IXMLDOMDocument>(
                   c.self, [&](IXMLDOMDocument *d) { return d->getElementsByTagName(name, &o); });
             return ObjectResult(c, o, hr);
           });
         }},
        {L"documentElement", kAuto,
         [](Call &c) {
           return With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) {
             IXMLDOMElement *o = nullptr;
             HRESULT hr = d->get_documentElement(&o);
             return ObjectResult(c, o, hr);
           });
         }},
        {L"parseError", kAuto,
         [](Call &c) {
           return With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) {
             IXMLDOMParseError *o = nullptr;
             HRESULT hr = d->get_parseError(&o);
             return ObjectResult(c, o, hr);
           });
         }},
        {L"async", kAuto,
         [](Call &c) {
           return With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) -> HRESULT {
             if (c.put) {
               VARIANT v;
               HRESULT hr = Arg(c, 0, VT_BOOL, v);
               return FAILED(hr) ? hr : d->put_async(v.boolVal);
             }
             VARIANT_BOOL b = VARIANT_FALSE;
             HRESULT hr = d->get_async(&b);
             return BoolResult(c, b, hr);
           });
         }},
        {L"load", kAuto,
         [](Call &c) {
           return With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) {
             VARIANT source;
             HRESULT hr = Arg(c, 0, VT_VARIANT, source);
             VARIANT_BOOL ok = VARIANT_FALSE;
             if (SUCCEEDED(hr))
               hr = d->load(source, &ok);
             VariantClear(&source);
             return BoolResult(c, ok, hr);
           });
         }},
        {L"loadXML", kAuto,
         [](Call &c) {
           return With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) {
             return WithString(c, 0, [&](BSTR xml) {
               VARIANT_BOOL ok = VARIANT_FALSE;
               HRESULT hr = d->loadXML(xml, &ok);
               return BoolResult(c, ok, hr);
             });
           });
         }},
        {L"createElement", kAuto,
         [](Call &c) {
           return With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) {
             return WithString(c, 0, [&](BSTR name) {
               IXMLDOMElement *o = nullptr;
               HRESULT hr = d->createElement(name, &o);
               return ObjectResult(c, o, hr);
             });
           });
         }},
        {L"createTextNode", kAuto,
         [](Call &c) {
           return With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) {
             return WithString(c, 0, [&](BSTR text) {
               IXMLDOMText *o = nullptr;
               HRESULT hr = d->createTextNode(text, &o);
               return ObjectResult(c, o, hr);
             });
           });
         }},
        {L"length", kAuto,
         [](Call &c) {
           LONG n = 0;
           HRESULT hr =
               With<IXMLDOMNodeList>(c.self, [&](IXMLDOMNodeList *l) { return l->get_length(&n); });
           if (hr == DISP_E_MEMBERNOTFOUND)
             hr = With<IXMLDOMNamedNodeMap>(
                 c.self, [&](IXMLDOMNamedNodeMap *m) { return m->get_length(&n); });
           return LongResult(c, n, hr);
         }},
        {L"item", DISPID_VALUE,
         [](Call &c) {
           VARIANT index;
           HRESULT hr = Arg(c, 0, VT_I4, index);
           if (FAILED(hr))
             return hr;
           IXMLDOMNode *o = nullptr;
           hr = With<IXMLDOMNodeList>(
               c.self, [&](IXMLDOMNodeList *l) { return l->get_item(index.lVal, &o); });
           if (hr == DISP_E_MEMBERNOTFOUND)
             hr = With<IXMLDOMNamedNodeMap>(
                 c.self, [&](IXMLDOMNamedNodeMap *m) { return m->get_item(index.lVal, &o); });
           return ObjectResult(c, o, hr);
         }},
        {L"_newEnum", DISPID_NEWENUM,
         [](Call &c) {
           IUnknown *o = nullptr;
           HRESULT hr = With<IXMLDOMNodeList>(
               c.self, [&](IXMLDOMNodeList *l) { return l->get__newEnum(&o); });
           if (hr == DISP_E_MEMBERNOTFOUND)
             hr = With<IXMLDOMNamedNodeMap>(
                 c.self, [&](IXMLDOMNamedNodeMap *m) { return m->get__newEnum(&o); });
           if (FAILED(hr))
             return hr;
           VARIANT v;
           VariantInit(&v);
           v.vt = VT_UNKNOWN;
           v.punkVal = o;
           return SetResult(c, v);
         }},
        {L"getNamedItem", kAuto,
         [](Call &c) {
           return With<IXMLDOMNamedNodeMap>(c.self, [&](IXMLDOMNamedNodeMap *m) {
             return WithString(c, 0, [&](BSTR name) {
               IXMLDOMNode *o = nullptr;
               HRESULT hr = m->getNamedItem(name, &o);
               return ObjectResult(c, o, hr);
             });
           });
         }},
        {L"name", kAuto,
         [](Call &c) {
           return With<IXMLDOMAttribute>(c.self, [&](IXMLDOMAttribute *a) {
             BSTR s = nullptr;
             HRESULT hr = a->get_name(&s);
             return BstrResult(c, s, hr);
           });
         }},
        {L"value", kAuto,
         [](Call &c) {
           return With<IXMLDOMAttribute>(c.self, [&](IXMLDOMAttribute *a) -> HRESULT {
             if (c.put) {
               VARIANT v;
               HRESULT hr = Arg(c, 0, VT_VARIANT, v);
               if (SUCCEEDED(hr))
                 hr = a->put_value(v);
               VariantClear(&v);
               return hr;
             }
             VARIANT v;
             HRESULT hr = a->get_value(&v);
             return VariantResult(c, v, hr);
           });
         }},
    };
    auto errorNumber = [](const wchar_t *name, HRESULT (IXMLDOMParseError::*get)(LONG *)) {
      return Member{name, kAuto, [get](Call &c) {
                      return With<IXMLDOMParseError>(c.self, [&](IXMLDOMParseError *e) {
                        LONG n = 0;
                        HRESULT hr = (e->*get)(&n);
                        return LongResult(c, n, hr);
                      });
                    }};
    };
    auto errorText = [](const wchar_t *name, HRESULT (IXMLDOMParseError::*get)(BSTR *)) {
      return Member{name, kAuto, [get](Call &c) {
                      return With<IXMLDOMParseError>(c.self, [&](IXMLDOMParseError *e) {
                        BSTR s = nullptr;
                        HRESULT hr = (e->*get)(&s);
                        return BstrResult(c, s, hr);
                      });
                    }};
    };
    m.push_back(errorNumber(L"errorCode", &IXMLDOMParseError::get_errorCode));
    m.push_back(errorNumber(L"line", &IXMLDOMParseError::get_line));
    m.push_back(errorNumber(L"linepos", &IXMLDOMParseError::get_linepos));
    m.push_back(errorNumber(L"filepos", &IXMLDOMParseError::get_filepos));
    m.push_back(errorText(L"reason", &IXMLDOMParseError::get_reason));
    m.push_back(errorText(L"srcText", &IXMLDOMParseError::get_srcText));
    // "url": the parse error's, else the document's.
    m.push_back(Member{
        L"url", kAuto, [](Call &c) {
          BSTR s = nullptr;
          HRESULT hr =
              With<IXMLDOMParseError>(c.self, [&](IXMLDOMParseError *e) { return e->get_url(&s); });
          if (hr == DISP_E_MEMBERNOTFOUND)
            hr = With<IXMLDOMDocument>(c.self, [&](IXMLDOMDocument *d) { return d->get_url(&s); });
          return BstrResult(c, s, hr);
        }});
    DISPID next = 1;
    for (Member &member : m)
      if (member.id == kAuto)
        member.id = next++;
    return m;
  }();
  return members;
}

bool IsWritable(const wchar_t *name) {
  for (const wchar_t *writable : {L"nodeValue", L"text", L"async", L"value"})
    if (std::wstring_view(name) == writable)
      return true;
  return false;
}

} // namespace

HRESULT DispatchGetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, DISPID *ids) {
  if (iid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  if (count == 0)
    return S_OK;
  if (names == nullptr || ids == nullptr)
    return E_POINTER;
  return Guard([&]() -> HRESULT {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      if (i > 0) {
        hr = DISP_E_UNKNOWNNAME; // no named arguments
        continue;
      }
      for (const Member &member : Members())
        if (names[i] != nullptr && EqualsNoCase(names[i], member.name))
          ids[i] = member.id;
      if (ids[i] == DISPID_UNKNOWN)
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  });
}

HRESULT DispatchInvoke(IDispatch *self, DISPID id, WORD flags, DISPPARAMS *params,
                       VARIANT *result) {
  if (result != nullptr)
    VariantInit(result);
  return Guard([&]() -> HRESULT {
    for (const Member &member : Members()) {
      if (member.id != id)
        continue;
      Call call{self, params, result,
                (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0};
      if (call.put && !IsWritable(member.name))
        return DISP_E_MEMBERNOTFOUND; // read-only property or method
      return member.handler(call);
    }
    return DISP_E_MEMBERNOTFOUND;
  });
}

} // namespace tallowick::platform::xml
