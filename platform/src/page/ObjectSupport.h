// Small helpers shared by the page's small objects and collections.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "page/PageObjects.h"

namespace tallowick::page::support {

inline std::wstring Text(BSTR value) {
  return value ? std::wstring(value, SysStringLen(value)) : L"";
}

inline HRESULT Long(LONG value, LONG *p) {
  if (!p)
    return E_POINTER;
  *p = value;
  return S_OK;
}

inline HRESULT Bool(bool value, VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

template <class T, class I> HRESULT Publish(T *object, I **out) {
  object->AddRef();
  *out = object;
  return S_OK;
}

// One new reference to the wrapper of each node.
inline std::vector<IDispatch *> WrapAll(const std::vector<Node *> &nodes) {
  std::vector<IDispatch *> items;
  items.reserve(nodes.size());
  for (Node *node : nodes)
    items.push_back(WrapNode(node));
  return items;
}

} // namespace tallowick::page::support
