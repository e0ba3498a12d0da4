// The kit's configuration document: named specifiers, each a table of
// properties (name, value, flags), read from an XML file, and the matching of
// page elements against them.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// Flags of a specifier row.
inline constexpr LONG kSpecRegularExpression = 0x001;
inline constexpr LONG kSpecPresence = 0x002;
inline constexpr LONG kSpecNegation = 0x004;
inline constexpr LONG kSpecIgnoreCase = 0x008;
inline constexpr LONG kSpecAlternatives = 0x010;
inline constexpr LONG kSpecAttribute = 0x020;
inline constexpr LONG kSpecReference = 0x040;
inline constexpr LONG kSpecDocument = 0x080;
inline constexpr LONG kSpecWindow = 0x100;
inline constexpr LONG kSpecStyle = 0x200;
inline constexpr LONG kSpecContains = 0x400;

// Columns of a specifier table.
inline constexpr LONG kSpecColumnName = 0;
inline constexpr LONG kSpecColumnValue = 1;
inline constexpr LONG kSpecColumnFlags = 2;
inline constexpr LONG kSpecColumns = 3;

// Nested specifier references followed before a match gives up.
inline constexpr int kSpecMaxReferenceDepth = 64;

class CIEConfigurationObject {
public:
  CIEConfigurationObject() = default;
  CIEConfigurationObject(const CIEConfigurationObject &) = delete;
  CIEConfigurationObject &operator=(const CIEConfigurationObject &) = delete;
  virtual ~CIEConfigurationObject() = default;

  // Appends `count` empty tables (nothing for a count below 1).
  HRESULT Reserve(LONG count);
  // Maps the name to the index, replacing an earlier mapping.
  HRESULT SetSpecifierIndex(LPCOLESTR name, LONG index);
  // Reads the XML file: Specifier elements (Name) holding Property elements
  // (Name, Value, Flags). S_OK, or E_NOINTERFACE without an XML document
  // class, E_FAIL for a file that is missing, malformed or has no Specifier.
  HRESULT LoadFromFile(LPCOLESTR path);
  // Stores one row in the specifier's table (created when the name is new),
  // replacing a row of the same name.
  HRESULT AddProperty(LPCOLESTR specifier, BSTR name, const VARIANT &value, LONG flags);
  // A copy of the value of the named row of table `index` (null when the value
  // is not a string); E_FAIL when there is no such row.
  HRESULT GetPropertyValue(LONG index, LPCOLESTR name, BSTR *value) const;

  LONG GetSpecifierCount() const { return static_cast<LONG>(tables_.size()); }
  // The configuration's own table (null for a specifier without properties).
  HRESULT GetSpecifierTable(LONG index, SAFEARRAY **table) const;
  HRESULT GetSpecifierIndex(BSTR name, LONG *index) const;

  // Table access: the number of rows and a copy of one cell (row, column).
  static LONG TableRowCount(SAFEARRAY *table);
  static HRESULT GetTableCell(SAFEARRAY *table, LONG row, LONG column, VARIANT *cell);

  // Whether the element holds every row of specifier `index`. A specifier
  // that reaches itself through references, or references nested deeper than
  // kSpecMaxReferenceDepth, matches nothing.
  bool MatchSpecifier(IUnknown *element, LONG index) const;
  bool MatchSpecifierRow(IUnknown *element, BSTR name, const VARIANT &value, LONG flags) const;
  bool MatchValue(IUnknown *element, BSTR pattern, BSTR text, LONG flags) const;

private:
  struct CTableDeleter {
    void operator()(SAFEARRAY *table) const { SafeArrayDestroy(table); }
  };
  using CTable = std::unique_ptr<SAFEARRAY, CTableDeleter>;
  class CMatch;

  HRESULT LoadSpecifier(IUnknown *specifierNode);
  LONG FindRow(SAFEARRAY *table, BSTR name) const;
  HRESULT PutRow(SAFEARRAY *table, LONG row, BSTR name, const VARIANT &value, LONG flags);

  bool MatchSpecifier(CMatch &match, IUnknown *element, LONG index) const;
  bool MatchRows(CMatch &match, IUnknown *element, SAFEARRAY *table) const;
  bool MatchSpecifierRow(CMatch &match, IUnknown *element, BSTR name, const VARIANT &value,
                         LONG flags) const;
  bool MatchValue(CMatch &match, IUnknown *element, BSTR pattern, BSTR text, LONG flags) const;

  std::map<std::wstring, LONG> specifiers_;
  std::vector<CTable> tables_;
};
