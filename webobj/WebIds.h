// Ids shared by the agent object classes: web classes of the host's
// class-name table and the HRESULTs of the agent object contract.
#pragma once

#include <windows.h>

// Web classes (positions in the class-name table).
inline constexpr LONG kAnyWebObjectClass = 1;
inline constexpr LONG kRowClass = 2;
inline constexpr LONG kCellClass = 3;
inline constexpr LONG kWebElementClass = 10;
inline constexpr LONG kTableClass = 11;
inline constexpr LONG kFrameClass = 21;
inline constexpr LONG kViewLinkClass = 27;
inline constexpr LONG kTabStripClass = 1025;
inline constexpr LONG kToolbarClass = 1026;
inline constexpr LONG kTreeViewClass = 1027;

// Attribute ids that the table object and its helper both answer.
inline constexpr LONG kAttrText = 3;
inline constexpr LONG kAttrRowCount = 67;
inline constexpr LONG kAttrRowCellCount = 69;
inline constexpr LONG kAttrDescription = 146;
inline constexpr LONG kAttrCaption = 163;

// Outcomes of the agent object contract.
inline constexpr HRESULT kNothingToActOn = static_cast<HRESULT>(0x80040202); // also: text not found
inline constexpr HRESULT kFoundMoreThanOnce = static_cast<HRESULT>(0x80040203);
inline constexpr HRESULT kChildCannotBeAdded = static_cast<HRESULT>(0x80040208);
inline constexpr HRESULT kIndexOutOfRange = static_cast<HRESULT>(0x80040211);
inline constexpr HRESULT kNoCheckBox = static_cast<HRESULT>(0x80040205);
inline constexpr HRESULT kItemNotFound = static_cast<HRESULT>(0x80040209);
