// The per-class helpers of the element objects: stateless objects that answer
// the class name (attribute 0) and the object type, shared by every element
// object of a kind, and the text and tree utilities of the family.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <vector>

#include "TallowickIE_h.h"
#include "support/QilComPtr.h"

// The parent element of `element`, or empty at the top.
CQilComPtr<IHTMLElement> ParentElement(IHTMLElement *element);
// The elements of a collection, in order: through its enumerator, which
// lists a live collection once, else item by item. Empty when out of memory.
std::vector<CQilComPtr<IHTMLElement>> CollectionElements(IHTMLElementCollection *collection);

class CWebObjUtil {
public:
  CWebObjUtil() = default;
  explicit CWebObjUtil(LONG type) : m_lType(type) {}
  CWebObjUtil(const CWebObjUtil &) = delete;
  CWebObjUtil &operator=(const CWebObjUtil &) = delete;

  // A new attribute value holding the class name; a null `value` does
  // nothing, a creation failure leaves *value untouched.
  virtual void GetClassName(IWebAttrVal **value) const;
  virtual LONG GetObjectType() const { return m_lType; }

  // The agent object itself when it is of web class 21 ("Frame"), else its
  // first ancestor of that class; empty when there is none.
  static CQilComPtr<IWebObj2> FindFrame(IWebObj2 *ao);
  // The host's callback registry, from the first object at or above `ao`
  // that offers the browser services; empty when any step fails.
  static CQilComPtr<IUnknown> FindCallbackRegistry(IWebObj2 *ao);

protected:
  static void MakeClassName(LPCOLESTR name, IWebAttrVal **value);

private:
  LONG m_lType = 0;
  LONG m_unused[3] = {};
};

class CWebGeneralObjUtil : public CWebObjUtil {
public:
  CWebGeneralObjUtil() : CWebObjUtil(2) {}
};

class CWebTextUtil : public CWebObjUtil {
public:
  CWebTextUtil() : CWebObjUtil(1) {}
  // TAB becomes a space, CR and LF are removed (the BSTR is replaced by the
  // shorter one). False, and untouched, for a null or empty string.
  static bool NormalizeText(BSTR *text);
};

class CWebHyperlinkUtil : public CWebObjUtil {};

class CWebLinkUtil : public CWebObjUtil {
public:
  CWebLinkUtil() : CWebObjUtil(2) {}
  void GetClassName(IWebAttrVal **value) const override;
};

class CWebImageUtil : public CWebObjUtil {
public:
  CWebImageUtil() : CWebObjUtil(2) {}
  void GetClassName(IWebAttrVal **value) const override;
};

class CWebImageLinkUtil : public CWebObjUtil {
public:
  CWebImageLinkUtil() : CWebObjUtil(2) {}
  void GetClassName(IWebAttrVal **value) const override;
};

class CWebTableUtil : public CWebObjUtil {
public:
  void GetClassName(IWebAttrVal **value) const override;

  // The table rules of the table object (WebTableUtil.cpp); `table` is the
  // table's agent object. Each answers its boolean outcome.
  static bool GetTableName(IWebObj2 *table, BSTR *name);
  // Attribute 78: the run-time id of the cell at (row, column), both from 1,
  // the long values 0 and 1 of `data`.
  static bool GetCellId(IWebObj2 *table, IWebAttrVal *data, IWebAttrVal *value);
  // Attribute 146: the first non-blank text that describes the table.
  static bool GetDescriptiveText(IWebObj2 *table, IWebAttrVal *data, IWebAttrVal **value);
  static bool GetTableData(IWebObj2 *table, IWebInfo *request);
  static bool GetTableColumn(IWebObj2 *table, IWebInfo *request);
  static bool GetTableCellData(IWebObj2 *table, IWebInfo *request);
  static bool GetRowWithCellText(IWebObj2 *table, IWebInfo *request);
};

class CWebRowUtil : public CWebObjUtil {};
class CWebCellUtil : public CWebObjUtil {};

class CWebAreaUtil : public CWebObjUtil {
public:
  CWebAreaUtil() : CWebObjUtil(2) {}
  void GetClassName(IWebAttrVal **value) const override;
};

class CWebActiveXUtil : public CWebObjUtil {
public:
  CWebActiveXUtil() : CWebObjUtil(2) {}
};

class CWebAppletUtil : public CWebObjUtil {
public:
  CWebAppletUtil() : CWebObjUtil(2) {}
};

class CViewLinkUtil : public CWebObjUtil {
public:
  CViewLinkUtil() : CWebObjUtil(2) {}
  void GetClassName(IWebAttrVal **value) const override;
};

// Positions in the table of shared helpers.
enum WebObjUtilPosition : int {
  kElementUtil = 0,
  kGeneralObjUtil = 1,
  kTextUtil = 2,
  kHyperlinkUtil = 3,
  kLinkUtil = 4,
  kImageUtil = 5,
  kImageLinkUtil = 6,
  kTableUtil = 7,
  kRowUtil = 8,
  kCellUtil = 9,
  kAreaUtil = 10,
  kActiveXUtil = 11,
  kAppletUtil = 12,
  kViewLinkUtil = 13,
  kWebObjUtilCount = 14
};

// The shared helper at `position` (0 to 13); the element helper otherwise.
const CWebObjUtil *SharedWebObjUtil(int position);
