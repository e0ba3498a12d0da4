// The host contract as the host sees it: identifiers, table slots, enumeration
// order and the type library generated from kit/TallowickIE.idl.
#include <windows.h>

#include "TallowickIE_h.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "ContractChecks.h"

namespace {

GUID ParseGuid(const char *text) {
  auto hex = [&](int from, int digits) {
    uint32_t value = 0;
    for (int i = from; i < from + digits; ++i) {
      char c = text[i];
      value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return value;
  };
  GUID guid{};
  guid.Data1 = hex(0, 8);
  guid.Data2 = static_cast<WORD>(hex(9, 4));
  guid.Data3 = static_cast<WORD>(hex(14, 4));
  const int bytes[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (int i = 0; i < 8; ++i)
    guid.Data4[i] = static_cast<BYTE>(hex(bytes[i], 2));
  return guid;
}

struct Identity {
  const char *name;
  const GUID &declared;
  const GUID &uuidOf;
  const char *expected;
};

#define IID_ROW(I, text)                                                                           \
  { #I, IID_##I, __uuidof(I), text }
#define CLSID_ROW(C, text)                                                                         \
  { #C, CLSID_##C, __uuidof(C), text }

TEST(ContractTest, IdentifiersAreThePublishedOnes) {
  const Identity rows[] = {
      IID_ROW(IWIKit, "BC49F98F-41AB-4C0E-82C8-2AB255C32CB0"),
      IID_ROW(IWIKitFactoryEx, "54C59504-4B24-418D-9891-E0E23FCD9A08"),
      IID_ROW(IWIKitRequestsHandler2, "7C062C95-C929-4E63-B418-A8577E22269C"),
      IID_ROW(IWICallbacker, "1CDB29B8-21AB-462A-BBAC-556CE7EF0374"),
      IID_ROW(IWebObj2, "0884228B-30EE-4C1B-BA04-F5DB403FA2D4"),
      IID_ROW(IWebRunTimeID, "B5456EB1-4837-45B7-B37E-5AC0132F5832"),
      IID_ROW(IRuntimeID, "D044E814-3CB7-11D2-8E10-00104B3DE8B1"),
      IID_ROW(IWebAttrVal, "860BE501-34C0-498A-8EF9-E076339EB841"),
      IID_ROW(IWebVariant, "B8231A45-6687-4C35-991D-1F4718DD500A"),
      IID_ROW(IWebEventID, "7109320D-25D9-46E2-A811-393277939281"),
      IID_ROW(IWebInfo, "3E568D5F-FFF2-4A08-B1C6-D5A9ED01047C"),
      IID_ROW(IFilterStruct, "5745AA83-2A77-4979-AC15-8820CB1C1F12"),
      IID_ROW(IWIClassSet, "57BC08EB-D388-40C8-AE2F-0783187918E4"),
      IID_ROW(IPropertyCollection, "64DB8151-76B1-4EA5-B9E8-45EB1D08D7BD"),
      IID_ROW(IWebObjSelfEventConfig, "B286F13C-C3CA-41EC-A70A-E55EB9131258"),
      IID_ROW(IWebObjEventConfigControl, "8DD4C0C8-E3F4-416C-A17D-BCD69F6C66B4"),
      IID_ROW(IWIKitRegistrar, "9889202F-73C9-499A-A25D-DF4E6964E4FE"),
      IID_ROW(IWICallbackerRegistrar, "56E0521A-7A5F-4224-A5DA-2EB2D555D566"),
      IID_ROW(IWIAgentObjectServices, "6DF437F5-A156-4FF3-A813-35CEDAABF6F3"),
      IID_ROW(IWIViewLinkFrameAO, "14FB12D9-E7D1-49FC-8EF6-FE1772E4AFC8"),
      IID_ROW(IWIFrameAO, "161A2492-8170-401D-B50B-D7C7C4782EA3"),
      IID_ROW(IWIElementQuery, "30DE382C-764E-48AE-A00A-A1A9408CCD44"),
      IID_ROW(IWIBrowserServices, "27E159EF-203E-4DDC-BAC7-D2D2C406E15E"),
      IID_ROW(IWICallbackQuery, "1833D917-B359-4A45-B5A6-5FF68EF32836"),
      IID_ROW(IWIScriptHandler, "A7257581-349C-11D5-8EBB-0050DA4F349C"),
      CLSID_ROW(TallowickIE, "DFD0DCE1-9E27-43F5-85FB-995F3453720E"),
      CLSID_ROW(TallowickFactoryIE, "7838E0E6-BFFF-4B02-9656-E76512EDDFEC"),
      CLSID_ROW(TallowickRequestsHandlerIE, "B92C9351-02DD-40BF-B30A-F953408884E3"),
      CLSID_ROW(TallowickCallbackerIE, "491A7FB8-72A9-40C0-8F04-31DC4ADB7E57"),
      CLSID_ROW(WebInfo, "E10166A6-F591-4BA2-BCBC-C956C28299BD"),
      CLSID_ROW(WebAttrVal, "84E670AD-D3CE-4B15-AA0F-3D316DE16AE9"),
      CLSID_ROW(WebVariant, "BF79BC25-AA03-443B-8FD6-2CDD6FCD0AB7"),
      CLSID_ROW(WebRunTimeID, "9973C785-2902-4FE6-817F-1530B0879CCD"),
      CLSID_ROW(WIClassSet, "4475382B-70E5-49B4-B918-9CD380E5BF05"),
      CLSID_ROW(FilterStruct, "BFE7A453-3742-43AE-8568-D4556EAAA4F3"),
  };
  for (const Identity &row : rows) {
    GUID expected = ParseGuid(row.expected);
    EXPECT_TRUE(IsEqualGUID(row.declared, expected)) << row.name;
    EXPECT_TRUE(IsEqualGUID(row.uuidOf, expected)) << row.name << " (__uuidof)";
  }
  EXPECT_TRUE(IsEqualGUID(LIBID_TALLOWICKLib, ParseGuid("2F4F997F-2324-49AA-B6FD-C25627BB2C7D")));
  // The two interfaces without a published IID have their own, distinct ones.
  EXPECT_FALSE(IsEqualGUID(IID_IWIKit2, IID_IWIKit));
  EXPECT_FALSE(IsEqualGUID(IID_IWIKitFactoryEx2, IID_IWIKitFactoryEx));
}

// The table slot of a virtual member function. Itanium C++ ABI: a pointer to a
// virtual member holds 1 + the byte offset of its entry in the table.
template <class Method> std::ptrdiff_t SlotOf(Method method) {
  struct Representation {
    uintptr_t ptr;
    ptrdiff_t adj;
  } rep;
  static_assert(sizeof(Method) == sizeof(Representation));
  std::memcpy(&rep, &method, sizeof rep);
  if ((rep.ptr & 1) == 0)
    return -1;
  return static_cast<std::ptrdiff_t>((rep.ptr - 1) / sizeof(void *));
}

// Positions as the contract counts them: after IUnknown's three or IDispatch's seven.
constexpr std::ptrdiff_t AfterUnknown(int position) { return 2 + position; }
constexpr std::ptrdiff_t AfterDispatch(int position) { return 6 + position; }

struct Slot {
  const char *name;
  std::ptrdiff_t actual;
  std::ptrdiff_t expected;
};
#define SLOT(I, M, expected)                                                                       \
  { #I "::" #M, SlotOf(&I::M), expected }

TEST(ContractTest, InterfacesTheKitImplementsHaveTheirSlots) {
  const Slot slots[] = {
      SLOT(IWIKit, Initialize, AfterUnknown(1)),
      SLOT(IWIKit, Terminate, AfterUnknown(2)),
      SLOT(IWIKit, GetKitID, AfterUnknown(3)),
      SLOT(IWIKit, GetKitName, AfterUnknown(4)),
      SLOT(IWIKitFactoryEx, NewAO, AfterUnknown(1)),
      SLOT(IWIKitFactoryEx, NewDefaultAO, AfterUnknown(2)),
      SLOT(IWIKitFactoryEx, NewFrameAO, AfterUnknown(3)),
      SLOT(IWIKitFactoryEx, IsAOSpyable, AfterUnknown(4)),
      SLOT(IWIKitFactoryEx, GetRecordAO, AfterUnknown(5)),
      SLOT(IWIKitFactoryEx2, NewContainedAO, AfterUnknown(6)),
      SLOT(IWIKitFactoryEx2, IsKitElement, AfterUnknown(7)),
      SLOT(IWIKitRequestsHandler2, ProcessRequest, AfterUnknown(1)),
      SLOT(IWICallbacker, InvokeCallback, AfterUnknown(1)),
      SLOT(IWICallbacker, GetCallbackPriority, AfterUnknown(2)),
      SLOT(IWICallbacker, GetSupportedCallbacks, AfterUnknown(3)),
      SLOT(IWebObjSelfEventConfig, GetEventConfigState, AfterUnknown(1)),
      SLOT(IWebObjSelfEventConfig, GetEventConfigFile, AfterUnknown(2)),
      SLOT(IWebObjEventConfigControl, SetEventConfig, AfterUnknown(1)),
      SLOT(IWebObj2, ReleaseRefs, AfterUnknown(1)),
      SLOT(IWebObj2, SetId, AfterUnknown(2)),
      SLOT(IWebObj2, GetId, AfterUnknown(3)),
      SLOT(IWebObj2, GetIdRef, AfterUnknown(4)),
      SLOT(IWebObj2, SetKitId, AfterUnknown(5)),
      SLOT(IWebObj2, GetKitID, AfterUnknown(6)),
      SLOT(IWebObj2, SetParent, AfterUnknown(7)),
      SLOT(IWebObj2, GetParent, AfterUnknown(8)),
      SLOT(IWebObj2, GetParentFrame, AfterUnknown(9)),
      SLOT(IWebObj2, AddChild, AfterUnknown(10)),
      SLOT(IWebObj2, RemoveChild, AfterUnknown(11)),
      SLOT(IWebObj2, GetChild, AfterUnknown(12)),
      SLOT(IWebObj2, GetChildByAttr, AfterUnknown(13)),
      SLOT(IWebObj2, GetChildById, AfterUnknown(14)),
      SLOT(IWebObj2, GetDirectChildById, AfterUnknown(15)),
      SLOT(IWebObj2, RemoveAllChildren, AfterUnknown(16)),
      SLOT(IWebObj2, GetDirectChildCount, AfterUnknown(17)),
      SLOT(IWebObj2, GetChildIndex, AfterUnknown(18)),
      SLOT(IWebObj2, GetAllChildren, AfterUnknown(19)),
      SLOT(IWebObj2, GetDirectChildren, AfterUnknown(20)),
      SLOT(IWebObj2, GetTreeBranch, AfterUnknown(21)),
      SLOT(IWebObj2, GetTreeLevel, AfterUnknown(22)),
      SLOT(IWebObj2, GetWrappedElement, AfterUnknown(23)),
      SLOT(IWebObj2, GetRecordAttr, AfterUnknown(24)),
      SLOT(IWebObj2, GetRecordConfig, AfterUnknown(25)),
      SLOT(IWebObj2, FillRecordInformation, AfterUnknown(26)),
      SLOT(IWebObj2, GetAttr, AfterUnknown(27)),
      SLOT(IWebObj2, GetAttrEx, AfterUnknown(28)),
      SLOT(IWebObj2, GetAttrs, AfterUnknown(29)),
      SLOT(IWebObj2, CompareAttr, AfterUnknown(30)),
      SLOT(IWebObj2, CompareAttrData, AfterUnknown(31)),
      SLOT(IWebObj2, InvokeMethod, AfterUnknown(32)),
      SLOT(IWebObj2, SetWebClass, AfterUnknown(33)),
      SLOT(IWebObj2, CompareClass, AfterUnknown(34)),
      SLOT(IWebObj2, GetRecordableClass, AfterUnknown(35)),
      SLOT(IWebObj2, ResetWebClass, AfterUnknown(36)),
      SLOT(IWebObj2, SetWebClassSet, AfterUnknown(37)),
      SLOT(IWebObj2, GetWebClassSet, AfterUnknown(38)),
      SLOT(IWebObj2, CallUpdate, AfterUnknown(39)),
      SLOT(IWebObj2, UpdateChildren, AfterUnknown(40)),
      SLOT(IWebObj2, IsLockedForUpdate, AfterUnknown(41)),
      SLOT(IWebObj2, GetType, AfterUnknown(42)),
      SLOT(IWebObj2, IsStandAlone, AfterUnknown(43)),
      SLOT(IWebObj2, IsPointInObj, AfterUnknown(44)),
      SLOT(IWebObj2, GetDirectChildrenForLearn, AfterUnknown(45)),
  };
  for (const Slot &slot : slots)
    EXPECT_EQ(slot.actual, slot.expected) << slot.name;
}

TEST(ContractTest, HostInterfacesHaveTheSlotsTheKitCalls) {
  const Slot slots[] = {
      SLOT(IWebRunTimeID, SetInnerObjTypeId, AfterUnknown(5)),
      SLOT(IWebRunTimeID, GetInnerObjTypeId, AfterUnknown(13)),
      SLOT(IWebRunTimeID, Compare, AfterUnknown(20)),
      SLOT(IWebRunTimeID, IsFilterMatch, AfterUnknown(26)),
      SLOT(IRuntimeID, get_Package, AfterUnknown(1)),
      SLOT(IRuntimeID, put_Package, AfterUnknown(2)),
      SLOT(IRuntimeID, put_lValue, AfterUnknown(9)),
      SLOT(IRuntimeID, Clone, AfterUnknown(12)),
      SLOT(IWebAttrVal, AddString, AfterUnknown(6)),
      SLOT(IWebAttrVal, AddWebRTID, AfterUnknown(9)),
      SLOT(IWebAttrVal, GetStringValue, AfterUnknown(20)),
      SLOT(IWebAttrVal, Compare, AfterUnknown(30)),
      SLOT(IWebVariant, get_string, AfterUnknown(15)),
      SLOT(IWebVariant, GetType, AfterUnknown(21)),
      SLOT(IWebVariant, CompareRegExp, AfterUnknown(39)),
      SLOT(IWebEventID, Set, AfterUnknown(3)),
      SLOT(IWebEventID, IsEmpty, AfterUnknown(9)),
      SLOT(IWebInfo, InsertAttrWebAttr, AfterUnknown(13)),
      SLOT(IWebInfo, ReplaceAttrValueByName, AfterUnknown(25)),
      SLOT(IWebInfo, GetTopInnerAttrValueByName, AfterUnknown(41)),
      SLOT(IWebInfo, SetReturnValue, AfterUnknown(46)),
      SLOT(IWebInfo, FromPropCollection, AfterUnknown(56)),
      SLOT(IFilterStruct, get_xpath, AfterUnknown(7)),
      SLOT(IFilterStruct, put_css, AfterUnknown(10)),
      SLOT(IWIClassSet, Reset, AfterUnknown(4)),
      SLOT(IPropertyCollection, Item, AfterDispatch(1)),
      SLOT(IPropertyCollection, Remove, AfterDispatch(4)),
      // The host's unpublished interfaces: the slots the kit calls.
      SLOT(IWIKitRegistrar, RegisterKitFactory, AfterUnknown(2)),
      SLOT(IWIKitRegistrar, RegisterRequestsHandler, AfterUnknown(3)),
      SLOT(IWICallbackerRegistrar, RegisterCallbacker, AfterUnknown(1)),
      SLOT(IWICallbackerRegistrar, InvokeHostCallback, AfterUnknown(2)),
      SLOT(IWIAgentServices, GetSetting, AfterUnknown(1)),
      SLOT(IWIAgentServices, RegisterWebClass, AfterUnknown(2)),
      SLOT(IWIAgentServices, GetWebClassName, AfterUnknown(3)),
      SLOT(IWIAgentServices, GetWebClassId, AfterUnknown(4)),
      SLOT(IWIAgentObjectServices, GetElementAO, AfterUnknown(5)),
      SLOT(IWIAgentObjectServices, GetViewLinkElementAO, AfterUnknown(6)),
      SLOT(IWIViewLinkFrameAO, GetOwnerAO, AfterUnknown(1)),
      SLOT(IWIViewLinkFrameAO, GetFrameStyle, AfterUnknown(4)),
      SLOT(IWIFrameAO, GetDocument, AfterUnknown(2)),
      SLOT(IWIFrameAO, GetWindowNumber, AfterUnknown(3)),
      SLOT(IWIElementQuery, QueryElements, AfterUnknown(5)),
      SLOT(IWIElementQuery, GetAOPath, AfterUnknown(6)),
      SLOT(IWIBrowserServices, GetCallbackRegistry, AfterUnknown(1)),
      SLOT(IWICallbackQuery, IsCallbackRegistered, AfterUnknown(3)),
      // Position 17 of the table, counting QueryInterface as 1.
      SLOT(IWIScriptHandler, HasHandlerCode, 16),
  };
  for (const Slot &slot : slots)
    EXPECT_EQ(slot.actual, slot.expected) << slot.name;
}

// A kit object reached the way the host reaches it: through raw table slots.
class SlotKit final : public IWIKit2 {
public:
  STDMETHODIMP QueryInterface(REFIID, void **ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP Initialize(IUnknown *pKitsManager) override {
    called = "Initialize";
    manager = pKitsManager;
    return S_OK;
  }
  STDMETHODIMP Terminate() override {
    called = "Terminate";
    return S_FALSE;
  }
  STDMETHODIMP GetKitID(LONG *plKitID) override {
    called = "GetKitID";
    *plKitID = 77;
    return S_OK;
  }
  STDMETHODIMP GetKitName(BSTR *pbsKitName) override {
    called = "GetKitName";
    *pbsKitName = nullptr;
    return E_NOTIMPL;
  }
  std::string called;
  IUnknown *manager = nullptr;
};

template <class Fn> Fn SlotFunction(IUnknown *object, int slot) {
  void **table = *reinterpret_cast<void ***>(object);
  return reinterpret_cast<Fn>(table[slot]);
}

TEST(ContractTest, HostCallsReachTheKitByTableSlot) {
  SlotKit kit; // IWIKit2 adds nothing: implementing IWIKit's methods makes it concrete
  IWIKit2 *object = &kit;
  auto initialize = SlotFunction<HRESULT(STDMETHODCALLTYPE *)(IWIKit2 *, IUnknown *)>(object, 3);
  EXPECT_EQ(initialize(object, object), S_OK);
  EXPECT_EQ(kit.called, "Initialize");
  EXPECT_EQ(kit.manager, object);

  auto terminate = SlotFunction<HRESULT(STDMETHODCALLTYPE *)(IWIKit2 *)>(object, 4);
  EXPECT_EQ(terminate(object), S_FALSE);
  EXPECT_EQ(kit.called, "Terminate");

  LONG id = 0;
  auto getKitId = SlotFunction<HRESULT(STDMETHODCALLTYPE *)(IWIKit2 *, LONG *)>(object, 5);
  EXPECT_EQ(getKitId(object, &id), S_OK);
  EXPECT_EQ(kit.called, "GetKitID");
  EXPECT_EQ(id, 77);

  BSTR name = nullptr;
  auto getKitName = SlotFunction<HRESULT(STDMETHODCALLTYPE *)(IWIKit2 *, BSTR *)>(object, 6);
  EXPECT_EQ(getKitName(object, &name), E_NOTIMPL);
  EXPECT_EQ(kit.called, "GetKitName");
}

struct EnumValue {
  const char *name;
  long value;
};
#define E(name)                                                                                    \
  { #name, name }

TEST(ContractTest, MessageIdsAreNumberedInOrderWithoutGaps) {
  // clang-format off
  const EnumValue ids[] = {
      E(MSG_UNKNOWN), E(QUERY_ELEMENT_INTERFACE), E(QUERY_INNER_MOST_OBJ_DESC_TO_ID),
      E(QUERY_ID_TO_UNIQUE_DESC), E(QUERY_FIRST_CHILD_BY_DESC), E(QUERY_FRAME_ID_BY_HWND),
      E(QUERY_DESC_COUNT), E(QUERY_STATIST_LINKNUMBER), E(QUERY_STATIST_IMAGENUMBER),
      E(QUERY_STATIST_LOADTIME), E(QUERY_HTML_BROKENLINK), E(QUERY_HTML_CONTENT),
      E(QUERY_HTML_LAYOUT), E(QUERY_ITEMS_VALUE), E(QUERY_HTML_LINKS_NAME),
      E(QUERY_HTML_IMAGES_NAME), E(QUERY_STATE), E(QUERY_MAIN_COMBO_SELECTION),
      E(QUERY_MAIN_COMBO_ITEM_TO_NUM), E(QUERY_ATTR), E(QUERY_RECORD_ATTRS), E(QUERY_ALL_ATTR),
      E(QUERY_OBJ_TEXT_TO_FILE), E(QUERY_OBJ_TEXT_TO_FILE_NO_SPACES), E(REPLAY_SET_COOKIES),
      E(QUERY_DOCUMENT_TO_VIEW), E(QUERY_VIEW_TO_DOCUMENT), E(QUERY_TEXT_EXISTS),
      E(QUERY_DESC_TO_ID), E(QUERY_OBJ_POINT_TO_ID), E(QUERY_LIST_ITEM_TO_NUM),
      E(QUERY_LIST_NUM_TO_ITEM), E(QUERY_ACTIVE_OBJ), E(QUERY_ACTIVEX_LPDISP),
      E(QUERY_ACTIVEX_INDEX_FROM_POINT), E(QUERY_ACTIVEX_INDEX_FROM_HWND),
      E(QUERY_APPLET_ID_FROM_HWND), E(QUERY_ACTIVEX_HANDLE), E(QUERY_FILTER_BY_DESC),
      E(QUERY_IDS_TO_ATTRS), E(SRVC_SET_INIT_INFO), E(SRVC_SET_RECORD_ATTR), E(SRVC_SET_TOOLTIP),
      E(SRVC_CALL_OBJ_EVENT), E(SRVC_SET_INPUT_VALUE), E(SRVC_SAVE_HTML_SOURCE),
      E(SRVC_WRITE_OBJ_ATTR_TO_FILE), E(SRVC_WRITE_FORMAT_TO_FILE), E(SRVC_MAKE_OBJ_VISIBLE),
      E(SRVC_MAKE_HWND_OBJ_VISIBLE), E(SRVC_HIGHLIGHT_OBJECT), E(SRVC_SET_MONITOR_MSG),
      E(SRVC_WRITE_OBJ_INFO_TO_FILE), E(SRVC_WRITE_OBJ_CHILDS_INFO_TO_FILE), E(SRVC_KEEP_MSG),
      E(SRVC_FIRE_EVENT), E(SRVC_FRAME_UNLOAD), E(SRVC_OBJ_CLICK_COORD),
      E(SRVC_CANCEL_DEFAULTACTION), E(SRVC_RETRIEVE_DEFAULTACTION), E(SRVC_GET_FORM),
      E(SRVC_EDIT_SET), E(SRVC_OBJ_HIGHLIGHT), E(SRVC_GET_TEXT), E(CMD_BROWSER_BACK),
      E(CMD_BROWSER_FORWARD), E(CMD_BROWSER_STOP), E(CMD_BROWSER_REFRESH), E(CMD_BROWSER_HOME),
      E(CMD_BROWSER_FULLSCREEN), E(CMD_BROWSER_NAVIGATE), E(CMD_BROWSER_CLOSE), E(CMD_LIST_START),
      E(CMD_LIST_SELECT), E(CMD_LIST_DESELECT), E(CMD_LIST_EXTEND_SELECT), E(CMD_LIST_END),
      E(CMD_OBJ_TYPE), E(EVENT_ON_FOCUS), E(EVENT_ON_BLUR), E(EVENT_ON_CLICK), E(EVENT_ON_KEYDOWN),
      E(EVENT_ON_KEYUP), E(EVENT_ON_MOUSEUP), E(EVENT_ON_CHANGE), E(EVENT_FRAME_BEFORE_NAVIGATE),
      E(EVENT_RECORD), E(EVENT_BROWSER_CREATE), E(EVENT_BROWSER_DESTROY), E(IE_QUERY_BUTTON_STATE),
      E(IE_QUERY_EDIT_INFO), E(IE_SRVC_UPDATE_ACTIVE_X_MAP), E(NS_SRVC_SCROLL_WHOLE_FRAME),
      E(NS_SRVC_LOCK_LAYOUT), E(NS_SRVC_UNLOCK_LAYOUT), E(SRVC_SET_ACTIVE_RADIO),
      E(QUERY_PARENT_BY_WINDOW), E(SRVC_SET_EVENT_CONFIGURATION), E(QUERY_DIRECT_CHILD_DESC_TO_ID),
      E(LOAD_QUERY_READYSTATE), E(QUERY_MATCH_DESC_VS_ID), E(QUERY_GET_TABLE_DATA),
      E(SRVC_SET_GLOBAL_VARIABLES), E(SRVC_INVOKE_METHOD), E(EVENT_FRAME_DESTROY_OBJECTS),
      E(EVENT_BROWSER_CMD), E(SRVC_GET_ALL_BROWSERS), E(QUERY_WEB_PRIORITY_TOLERANT),
      E(SRVC_SAVE_IMAGE_CONTENT), E(SRVC_BATCH_QUERYATTR), E(QUERY_DESC_TO_ID_AND_CLASS),
      E(SRVC_LOAD_KIT), E(SRVC_LOAD_EXT_TOOLKIT), E(SRVC_SET_CLASS2WITYPE_OBJ),
      E(SRVC_SET_ENUM2STRINGMAP_OBJ), E(QUERY_REPOSITORY_DESC2ID),
      E(QUERY_REPOSITORY_DESC2ID_DIRECT), E(REBUILD_WEB_SUPPORT), E(SRVC_GET_SCREEN_RECT),
      E(BROWSER_IS_SIBLING_TAB), E(CMD_BROWSER_OPEN_NEW_TAB), E(CMD_BROWSER_REFRESH_ALL_TABS),
      E(CMD_BROWSER_CLOSE_ALL_TABS), E(CMD_BROWSER_CLEAR_CACHE), E(CMD_BROWSER_DELETE_COOKIES),
      E(CMD_BROWSER_EMBED_SCRIPT), E(CMD_BROWSER_RUN_ENDED), E(SRVC_MT_BATCH_QUERYATTR),
  };
  // clang-format on
  ASSERT_EQ(std::size(ids), 128u);
  for (size_t i = 0; i < std::size(ids); ++i)
    EXPECT_EQ(ids[i].value, static_cast<long>(i)) << ids[i].name;
}

TEST(ContractTest, MethodIdsAreNumberedInOrderWithoutGaps) {
  // clang-format off
  const EnumValue ids[] = {
      E(ADD_COORDINATES_TO_URL), E(BROWSER_COMMAND), E(BUILD_LAYOUT_TREE), E(CALL_EVENT),
      E(CALL_UPDATE_OF_ALL_FRAMES), E(CONTAINS_POINT), E(CONTAINS_TEXT), E(DESC_TO_ID),
      E(FIND_ACTIVEX_BY_IUNKNOWN), E(GET_AND_INCREMENT_TABLE_INDEX), E(GET_COOKIES),
      E(GET_ID_FROM_SOURCE_INDEX), E(GET_LAST_LO_ELEMENT), E(GET_OBJ_ID_FROM_POINT), E(GET_PANE),
      E(GET_PARENT_ID_FROM_HWND), E(GET_PATH_STATUS), E(GET_TABLE_DATA), E(GET_TEXT_INFO_EX),
      E(HIGHLIGHT_OBJECT), E(HTML_FILE_PROPERTIES), E(ID_TO_DESC), E(IS_ALIVE), E(IS_EMBED_HWND),
      E(IS_FRAMESET), E(IS_SAME_ELEMENT), E(ITEM_TO_NUM), E(MAKE_HWND_OBJ_VISIBLE),
      E(MAKE_VISIBLE), E(NUM_TO_ITEM), E(LIST_DESELECT), E(LIST_EXTEND_SELECT), E(LIST_SELECT),
      E(OBJ_CLICK_COORDS), E(PREF_SET_PREFS), E(RESET_LAYOUT_TREE),
      E(SAVE_FRAME_SOURCE_NOT_RECURSIVE), E(SAVE_HTML_SOURCE), E(SCROLL_FRAME_BY_POINT),
      E(SCROLL_POINT_INTO_VIEW), E(SCROLL_RECT_INTO_VIEW), E(SCROLL_WHOLE_FRAME),
      E(SET_ACTIVE_RADIO_BY_ELEMENT), E(SET_ACTIVE_RADIO_BY_VALUE), E(SET_ATTRIB), E(SET_COOKIES),
      E(SET_DATA), E(SET_IDLE_FLAG), E(SET_VALUE), E(SKIP_OBJ_FROM_POINT), E(WEB_GETFORMA),
      E(ZERO_WASTED_TIME), E(GET_OBJ_IDENT_FROM_POINT), E(IS_MOUSE_REPLAY_REQUIRED),
      E(UPDATE_FRAMES_BY_DOM), E(SRVC_GET_OBJECTS_PROP_BY_IDENTIFIER), E(SRVC_APPLICATION_LOGIN),
      E(SRVC_APPLICATION_LOGOUT), E(SET_OPENEDBYQT_FLAG), E(SET_INNER_CELL_DATA),
      E(GET_TABLE_COLUMN), E(GET_TABLE_CELL_DATA), E(GET_ROW_WITH_CELLTEXT), E(GET_SCREEN_RECT),
      E(REBUILD_WEB_SUPPORT_METHOD_NAME), E(BROWSER_IS_SIBLING_TAB_METHOD_NAME),
      E(DOC_EXECUTE_SCRIPT),
  };
  // clang-format on
  ASSERT_EQ(std::size(ids), 67u);
  for (size_t i = 0; i < std::size(ids); ++i)
    EXPECT_EQ(ids[i].value, static_cast<long>(i)) << ids[i].name;
}

std::string ReadFile(const char *path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t ReadU32(const std::string &data, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, data.data() + offset, sizeof value);
  return value;
}

bool Contains(const std::string &data, const GUID &guid) {
  return data.find(std::string(reinterpret_cast<const char *>(&guid), sizeof guid)) !=
         std::string::npos;
}

TEST(ContractTest, TypeLibraryDescribesTheModule) {
  const std::string tlb = ReadFile(TALLOWICK_CONTRACT_TLB);
  ASSERT_GT(tlb.size(), 64u);
  ASSERT_EQ(tlb.compare(0, 4, "MSFT"), 0);
  EXPECT_EQ(ReadU32(tlb, 12), 0u) << "locale";
  EXPECT_EQ(ReadU32(tlb, 20) & 0xF, static_cast<uint32_t>(SYS_WIN32)) << "system kind";
  EXPECT_EQ(ReadU32(tlb, 24), 1u) << "version 1.0";

  for (const GUID *guid : {&LIBID_TALLOWICKLib, &CLSID_TallowickIE, &CLSID_TallowickFactoryIE,
                           &CLSID_TallowickRequestsHandlerIE, &CLSID_TallowickCallbackerIE,
                           &IID_IWIKit2, &IID_IWebObj2, &IID_IPropertyCollection}) {
    EXPECT_TRUE(Contains(tlb, *guid));
  }
  for (const char *name : {"TALLOWICKLib", "TallowickIE 1.0 Type Library", "TallowickIE Class",
                           "TallowickFactoryIE Class", "TallowickRequestsHandlerIE Class",
                           "TallowickCallbackerIE Class", "tagWIEventData", "METHOD_NAME_ENUM",
                           "SRVC_MT_BATCH_QUERYATTR", "FromPropCollection"}) {
    EXPECT_NE(tlb.find(name), std::string::npos) << name;
  }
  // The host's unpublished interfaces and the kit's private ones stay out.
  EXPECT_FALSE(Contains(tlb, IID_IWIKitRegistrar));
  EXPECT_FALSE(Contains(tlb, IID_IWIKitFactoryEx2));
  for (const char *name : {"IWIKitRegistrar", "IWIAgentObjectServices", "IWIScriptHandler",
                           "IWIKitFactoryEx2", "IWebObjSelfEventConfig"}) {
    EXPECT_EQ(tlb.find(name), std::string::npos) << name;
  }
}

} // namespace
