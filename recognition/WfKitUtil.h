// The kit's process-wide utility for recognising Web Forms controls: the AO
// that records an event, whether an AO is one of the kit's, the ASP.NET form
// test, the window's current event, and the configuration document.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <vector>

#include "TallowickIE_h.h"
#include "support/QilComPtr.h"
#include "webobj/IEConfigurationObject.h"

// Inner object type id of an AO made directly under a view-link frame.
inline constexpr LONG kViewLinkFrameChildType = -3;

class CWfKitUtil {
public:
  // Prepares the "Grid_Main" and "Grid_Rules" tables and loads the document
  // named by the agent setting "web forms configuration file".
  CWfKitUtil();
  CWfKitUtil(const CWfKitUtil &) = delete;
  CWfKitUtil &operator=(const CWfKitUtil &) = delete;
  virtual ~CWfKitUtil() = default;

  // The process-wide object, created on first call and kept until unload.
  static CWfKitUtil &Instance();

  // The control AO for the element: a TabStrip, ToolBar or TreeView around
  // the host's view-link AO of the element, or for a TABLE the first of
  // Calendar, UltraGrid and DataGrid whose test holds. Empty for any other.
  CQilComPtr<IWebObj2> CreateControlAO(IHTMLElement *element, IWebObj2 *parent) const;
  // False when CreateControlAO certainly gives the element no AO of any of
  // `classes`; cheap, reads no table rows and asks nothing of the host.
  static bool MayCreateControlOfClass(IHTMLElement *element, const std::vector<LONG> &classes);

  // The kit AO that records an event on the host AO's element: the kit owner
  // of a view-link frame, else the nearest kit AO at or above the host AO,
  // not crossing a frame. Empty when there is none.
  CQilComPtr<IWebObj2> FindRecordAO(IWebObj2 *hostAO, IWebObj2 *parent) const;
  // Whether the AO's recordable class is one of the kit's (1025 to 1030).
  static bool IsKitAO(IWebObj2 *ao);
  // Whether the element lies in a FORM of a page whose URL names an .aspx.
  static bool IsInAspxForm(IHTMLElement *element);
  // The event object of the element's window, or empty.
  static CQilComPtr<IHTMLEventObj> GetCurrentEvent(IHTMLElement *element);

  CIEConfigurationObject &Configuration() { return configuration_; }
  const CIEConfigurationObject &Configuration() const { return configuration_; }

private:
  void LoadConfiguration();

  CIEConfigurationObject configuration_;
};
