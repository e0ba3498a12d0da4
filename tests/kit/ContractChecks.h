// Compile-time checks of the host contract: enumeration values and record
// layouts. Included by the contract tests and by the cross-compiled check, so
// that both the Linux and the Windows declarations are held to them.
#pragma once

#include <cstddef>
#include <type_traits>

namespace contract_checks {

constexpr std::size_t AlignUp(std::size_t n, std::size_t a) { return (n + a - 1) / a * a; }

// Records.
static_assert(sizeof(LONG) == 4);
static_assert(sizeof(tagPOINT) == 8 && offsetof(tagPOINT, x) == 0 && offsetof(tagPOINT, y) == 4);
static_assert(sizeof(tagRECT) == 16 && offsetof(tagRECT, left) == 0 &&
              offsetof(tagRECT, top) == 4 && offsetof(tagRECT, right) == 8 &&
              offsetof(tagRECT, bottom) == 12);
static_assert(offsetof(tagWIEventData, EventName) == 0);
static_assert(offsetof(tagWIEventData, Point) == sizeof(BSTR));
static_assert(offsetof(tagWIEventData, hWnd) == sizeof(BSTR) + sizeof(tagPOINT));
static_assert(sizeof(decltype(tagWIEventData::hWnd)) == 4);
static_assert(sizeof(tagWIEventData) ==
              AlignUp(sizeof(BSTR) + sizeof(tagPOINT) + 4, alignof(BSTR)));

// Enumerations are 32-bit.
static_assert(sizeof(WEB_AV_TYPE) == 4 && sizeof(WEB_AV_ERR_CODE) == 4 &&
              sizeof(WEB_ID_FILTERS) == 4 && sizeof(WI_PRIORITY) == 4 &&
              sizeof(WEB_MSG_TYPE) == 4 && sizeof(METHOD_NAME_ENUM) == 4);

static_assert(WEB_AV_EMPTY == 0 && WEB_AV_ERROR == 1 && WEB_AV_STRING == 2 && WEB_AV_LONG == 3 &&
              WEB_AV_DOUBLE == 4 && WEB_AV_RECT == 5 && WEB_AV_POINT == 6 && WEB_AV_ID == 7 &&
              WEB_AV_EVENT_ID == 8 && WEB_AV_BOOL == 9 && WEB_AV_PACKABLE == 10);
static_assert(WEB_UNDEFINED_ERROR == 0 && WEB_E_INVALID_INFO == 1 && WEB_E_NOT_FOUND == 2 &&
              WEB_E_INVALID_ARG == 3 && WEB_E_FAILED == 4);
static_assert(ALL_KINDS_OF_OBJECTS == 0 && ONLY_REGULAR_OBJECTS == 1 && ONLY_OBJECTS == 2 &&
              ONLY_FRAMES_OR_STD_OBJECT == 4);
static_assert(WI_PRIORITY_LOW == 0 && WI_PRIORITY_NORMAL == 1 && WI_PRIORITY_HIGH == 2);

// Message ids: group boundaries and the last of the 128.
static_assert(MSG_UNKNOWN == 0 && QUERY_ELEMENT_INTERFACE == 1 && QUERY_IDS_TO_ATTRS == 39);
static_assert(SRVC_SET_INIT_INFO == 40 && SRVC_GET_TEXT == 63);
static_assert(CMD_BROWSER_BACK == 64 && CMD_OBJ_TYPE == 77);
static_assert(EVENT_ON_FOCUS == 78 && EVENT_BROWSER_DESTROY == 88);
static_assert(IE_QUERY_BUTTON_STATE == 89 && SRVC_MT_BATCH_QUERYATTR == 127);

// Method ids the kit's objects handle, and the bounds.
static_assert(METHOD_NOT_SUPPORTED == -1 && ADD_COORDINATES_TO_URL == 0);
static_assert(CALL_EVENT == 3 && CONTAINS_POINT == 5 && CONTAINS_TEXT == 6 &&
              GET_OBJ_ID_FROM_POINT == 13 && GET_TABLE_DATA == 17 && GET_TEXT_INFO_EX == 18 &&
              HIGHLIGHT_OBJECT == 19 && ID_TO_DESC == 21 && MAKE_VISIBLE == 28 &&
              SCROLL_POINT_INTO_VIEW == 39 && WEB_GETFORMA == 50 &&
              IS_MOUSE_REPLAY_REQUIRED == 53 && GET_TABLE_COLUMN == 60 &&
              GET_TABLE_CELL_DATA == 61 && GET_ROW_WITH_CELLTEXT == 62 && GET_SCREEN_RECT == 63);
static_assert(DOC_EXECUTE_SCRIPT == 66 && LAST_METHOD_ENUM == 67);

// Inheritance.
static_assert(std::is_base_of_v<IWIKit, IWIKit2>);
static_assert(std::is_base_of_v<IWIKitFactoryEx, IWIKitFactoryEx2>);
static_assert(std::is_base_of_v<IDispatch, IPropertyCollection>);
static_assert(std::is_base_of_v<IDispatch, IWIScriptHandler>);
static_assert(!std::is_base_of_v<IDispatch, IWebObj2> && !std::is_base_of_v<IDispatch, IRuntimeID>);

} // namespace contract_checks
