// The configuration document: reading XML files into specifier tables, and
// matching page elements against the specifiers.
#include "KitTestSupport.h"

#include <mshtml.h>
#include <tallowick/Page.h>

#include <fstream>
#include <memory>
#include <string>

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilUtils.h"
#include "support/QilVariant.h"
#include "webobj/IEConfigurationObject.h"

namespace {

class ConfigurationTest : public KitRegistryTest {
protected:
  void SetUp() override {
    KitRegistryTest::SetUp();
    Reset();
  }
  void TearDown() override {
    ReleaseTextMatcher();
    KitRegistryTest::TearDown();
  }

  // A new configuration, prepared as the detection utility prepares it.
  void Reset() {
    owned_ = std::make_unique<CIEConfigurationObject>();
    ASSERT_EQ(owned_->Reserve(2), S_OK);
    owned_->SetSpecifierIndex(L"Grid_Main", 0);
    owned_->SetSpecifierIndex(L"Grid_Rules", 1);
  }
  CIEConfigurationObject &Config() { return *owned_; }

  std::wstring WriteXml(const std::string &name, const std::string &xml) {
    std::filesystem::path path = folder_ / name;
    std::ofstream(path) << xml;
    return path.wstring();
  }
  // Loads the document into a new configuration.
  HRESULT Load(const std::string &xml) {
    Reset();
    return Config().LoadFromFile(WriteXml("config.xml", xml).c_str());
  }

  LONG IndexOf(LPCOLESTR name) {
    LONG index = -1;
    EXPECT_EQ(Config().GetSpecifierIndex(CQilBstr(name), &index), S_OK) << name;
    return index;
  }
  LONG Rows(LONG index) {
    SAFEARRAY *table = nullptr;
    EXPECT_EQ(Config().GetSpecifierTable(index, &table), S_OK);
    return CIEConfigurationObject::TableRowCount(table);
  }
  // The value of a row ("<none>" when there is no such row) and its flags.
  std::wstring Value(LONG index, LPCOLESTR name) {
    CQilBstr value;
    if (Config().GetPropertyValue(index, name, &value) != S_OK)
      return L"<none>";
    return value.Text();
  }
  LONG Flags(LONG index, LPCOLESTR name) {
    SAFEARRAY *table = nullptr;
    Config().GetSpecifierTable(index, &table);
    for (LONG row = 0; row < CIEConfigurationObject::TableRowCount(table); ++row) {
      CQilVariant cell;
      CIEConfigurationObject::GetTableCell(table, row, kSpecColumnName, &cell);
      if (cell.vt == VT_BSTR && std::wstring(cell.bstrVal) == name) {
        CIEConfigurationObject::GetTableCell(table, row, kSpecColumnFlags, &cell);
        return cell.vt == VT_I4 ? cell.lVal : -1;
      }
    }
    return -1;
  }

  std::unique_ptr<CIEConfigurationObject> owned_;
};

TEST_F(ConfigurationTest, DocumentFillsTablesByName) {
  ASSERT_EQ(Load(R"(<?xml version="1.0"?>
<AnyRoot>
  <Specifier Name="Grid_Main">
    <Property Name="className" Value="DataGrid" Flags="8"/>
    <Property Name="id" Value="first" Flags="1"/>
    <Property Name="id" Value="second" Flags="1024"/>
  </Specifier>
  <Specifier Name="Other">
    <Property Name="rules" Flags="34"/>
    <Property Name="title" Value="t"/>
    <Property Name="lang" Value="en" Flags="many"/>
    <Property Value="nameless" Flags="1"/>
  </Specifier>
  <Specifier Name="Grid_Main">
    <Property Name="tagName" Value="TABLE" Flags="0"/>
  </Specifier>
  <Specifier><Property Name="lost" Value="x"/></Specifier>
  <Specifier Name=""><Property Name="lost" Value="x"/></Specifier>
</AnyRoot>)"),
            S_OK);

  EXPECT_EQ(Config().GetSpecifierCount(), 3);
  EXPECT_EQ(IndexOf(L"Grid_Main"), 0);
  EXPECT_EQ(IndexOf(L"Other"), 2);
  // Grid_Main: the later "id" replaced the earlier one; the second element added a row.
  EXPECT_EQ(Rows(0), 3);
  EXPECT_EQ(Value(0, L"id"), L"second");
  EXPECT_EQ(Flags(0, L"id"), 1024);
  EXPECT_EQ(Value(0, L"tagName"), L"TABLE");
  EXPECT_EQ(Flags(0, L"className"), 8);
  // Missing Value: empty; missing or non-numeric Flags: 0; no Name: skipped.
  EXPECT_EQ(Rows(2), 3);
  EXPECT_EQ(Value(2, L"rules"), L"");
  EXPECT_EQ(Flags(2, L"rules"), 34);
  EXPECT_EQ(Flags(2, L"title"), 0);
  EXPECT_EQ(Flags(2, L"lang"), 0);
  EXPECT_EQ(Value(2, L"lost"), L"<none>");
  // Grid_Rules stays empty.
  SAFEARRAY *table = reinterpret_cast<SAFEARRAY *>(1);
  EXPECT_EQ(Config().GetSpecifierTable(1, &table), S_OK);
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(Config().GetPropertyValue(1, L"rules", nullptr), E_FAIL);
}

TEST_F(ConfigurationTest, DocumentsThatLoadNothing) {
  // Parse error on line 3.
  EXPECT_EQ(
      Load("<Root>\n  <Specifier Name=\"Grid_Main\">\n    <Property Name=\"id\" Value=\"x\">\n"
           "  </Specifier>\n</Root>\n"),
      E_FAIL);
  EXPECT_EQ(Rows(0), 0);
  // Well formed, without Specifier.
  EXPECT_EQ(Load("<Root><Property Name=\"id\" Value=\"x\"/></Root>"), E_FAIL);
  EXPECT_EQ(Rows(0), 0);
  EXPECT_EQ(Config().GetSpecifierCount(), 2);
  // Missing file.
  EXPECT_EQ(Config().LoadFromFile((folder_ / "missing.xml").wstring().c_str()), E_FAIL);
  EXPECT_EQ(Config().LoadFromFile(nullptr), E_FAIL);
  CQilBstr value;
  EXPECT_EQ(Config().GetPropertyValue(0, L"id", &value), E_FAIL);
  EXPECT_EQ(Config().GetPropertyValue(2, L"id", &value), E_FAIL);
}

TEST_F(ConfigurationTest, LookupsCheckTheirArguments) {
  SAFEARRAY *table = nullptr;
  EXPECT_EQ(Config().GetSpecifierTable(0, nullptr), E_FAIL);
  EXPECT_EQ(Config().GetSpecifierTable(-1, &table), E_FAIL);
  EXPECT_EQ(Config().GetSpecifierTable(2, &table), E_FAIL);
  EXPECT_EQ(Config().GetSpecifierIndex(CQilBstr(L"Grid_Main"), nullptr), E_POINTER);
  LONG index = -1;
  EXPECT_EQ(Config().GetSpecifierIndex(CQilBstr(L"grid_main"), &index), E_FAIL);
  EXPECT_EQ(Config().GetSpecifierIndex(nullptr, &index), E_FAIL);
  // A name mapped beyond the tables gets a new table of its own.
  Config().SetSpecifierIndex(L"Far", 7);
  CQilVariant value(L"v");
  EXPECT_EQ(Config().AddProperty(L"Far", CQilBstr(L"id"), value, 0), S_OK);
  EXPECT_EQ(IndexOf(L"Far"), 2);
  EXPECT_EQ(Value(2, L"id"), L"v");
  EXPECT_EQ(Config().Reserve(0), S_OK);
  EXPECT_EQ(Config().GetSpecifierCount(), 3);
}

// Matching against elements of a page, one row per document.
class SpecifierMatchTest : public ConfigurationTest {
protected:
  void SetUp() override {
    ConfigurationTest::SetUp();
    ASSERT_EQ(tallowick::platform::LoadPageFromString(R"(<html><body><form action="g.aspx">
<table id="MyGrid1" class="DataGrid" rules="all"><tr><td>1</td></tr></table>
<table id="mygrid1" class="datagrid"><tr><td>1</td></tr></table>
<div id="b"></div><div id="a|b"></div><div id="dg_1"></div><div id="xdg_1"></div>
<div id="y"></div><p></p>
<div id="aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"></div>
</form></body></html>)",
                                                      L"http://example.test/g.aspx", &document_),
              S_OK);
  }

  CQilComPtr<IHTMLElement> Element(LPCOLESTR id) {
    CQilComPtr<IHTMLDocument3> document3;
    CQilComPtr<IHTMLElement> element;
    document3.QueryFrom(document_);
    if (id == nullptr) { // the P without id
      CQilComPtr<IHTMLElementCollection> all;
      CQilComPtr<IDispatch> item;
      document3->getElementsByTagName(CQilBstr(L"P"), &all);
      CQilVariant zero(LONG{0});
      all->item(zero, zero, &item);
      element.QueryFrom(item);
    } else {
      document3->getElementById(CQilBstr(id), &element);
    }
    EXPECT_TRUE(element) << (id != nullptr ? id : L"P");
    return element;
  }

  // Loads a document whose specifier "Test" holds the given properties.
  LONG LoadTest(const std::string &properties, const std::string &more = "") {
    EXPECT_EQ(Load("<Config><Specifier Name=\"Test\">" + properties + "</Specifier>" + more +
                   "</Config>"),
              S_OK);
    return IndexOf(L"Test");
  }
  static std::string Row(const std::string &name, const std::string &value, int flags) {
    return "<Property Name=\"" + name + "\" Value=\"" + value + "\" Flags=\"" +
           std::to_string(flags) + "\"/>";
  }
  bool Matches(LONG index, LPCOLESTR id) { return Config().MatchSpecifier(Element(id), index); }

  CQilComPtr<IHTMLDocument2> document_;
};

TEST_F(SpecifierMatchTest, EqualityAndCase) {
  LONG exact = LoadTest(Row("className", "DataGrid", 0));
  EXPECT_TRUE(Matches(exact, L"MyGrid1"));
  EXPECT_FALSE(Matches(exact, L"mygrid1"));
  LONG folded = LoadTest(Row("className", "DataGrid", 0x008));
  EXPECT_TRUE(Matches(folded, L"MyGrid1"));
  EXPECT_TRUE(Matches(folded, L"mygrid1"));
}

TEST_F(SpecifierMatchTest, Containment) {
  LONG exact = LoadTest(Row("id", "Grid", 0x400));
  EXPECT_TRUE(Matches(exact, L"MyGrid1"));
  EXPECT_FALSE(Matches(exact, L"mygrid1"));
  LONG folded = LoadTest(Row("id", "Grid", 0x408));
  EXPECT_TRUE(Matches(folded, L"MyGrid1"));
  EXPECT_TRUE(Matches(folded, L"mygrid1"));
}

TEST_F(SpecifierMatchTest, Alternatives) {
  LONG two = LoadTest(Row("id", "a|b", 0x010));
  EXPECT_TRUE(Matches(two, L"b"));
  EXPECT_FALSE(Matches(two, L"a|b"));
  EXPECT_FALSE(Matches(two, nullptr));
  LONG withEmpty = LoadTest(Row("id", "a||b", 0x010));
  EXPECT_TRUE(Matches(withEmpty, nullptr));
  EXPECT_FALSE(Matches(withEmpty, L"y"));
  LONG trailing = LoadTest(Row("id", "a|", 0x010));
  EXPECT_TRUE(Matches(trailing, nullptr));
}

TEST_F(SpecifierMatchTest, RegularExpressionCoversTheWholeText) {
  LONG expression = LoadTest(Row("id", "dg_.*", 0x001));
  EXPECT_TRUE(Matches(expression, L"dg_1"));
  EXPECT_FALSE(Matches(expression, L"xdg_1"));
  // Line feeds are taken out of the pattern; case and containment bits do not apply.
  LONG split = LoadTest(Row("id", "DG_&#10;1", 0x409));
  EXPECT_FALSE(Matches(split, L"dg_1"));
  LONG joined = LoadTest(Row("id", "dg_&#10;1", 0x001));
  EXPECT_TRUE(Matches(joined, L"dg_1"));
  // A pattern that makes the matcher run away is a failed match.
  LONG runaway = LoadTest(Row("id", "(a+)+b", 0x001));
  EXPECT_FALSE(Matches(runaway, L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"));
  LONG broken = LoadTest(Row("id", "dg_(", 0x001));
  EXPECT_FALSE(Matches(broken, L"dg_1"));
}

TEST_F(SpecifierMatchTest, PresenceOfAnAttribute) {
  for (int flags : {0x022, 0x026}) {
    LONG presence = LoadTest(Row("rules", "", flags));
    EXPECT_TRUE(Matches(presence, L"MyGrid1")) << flags;
    EXPECT_FALSE(Matches(presence, L"mygrid1")) << flags;
  }
}

TEST_F(SpecifierMatchTest, NegationAndEmptyTexts) {
  LONG negated = LoadTest(Row("id", "x", 0x004));
  EXPECT_TRUE(Matches(negated, L"y"));
  EXPECT_TRUE(Matches(negated, nullptr)); // one empty side: no match, negated
  LONG same = LoadTest(Row("id", "y", 0x004));
  EXPECT_FALSE(Matches(same, L"y"));
  LONG bothEmpty = LoadTest(Row("id", "", 0));
  EXPECT_TRUE(Matches(bothEmpty, nullptr));
  EXPECT_FALSE(Matches(bothEmpty, L"y"));
}

TEST_F(SpecifierMatchTest, RowsThatCannotHold) {
  // Window and document properties are not offered by an element.
  EXPECT_FALSE(Matches(LoadTest(Row("name", "", 0x102)), L"y"));
  EXPECT_FALSE(Matches(LoadTest(Row("name", "x", 0x104)), L"y"));
  EXPECT_FALSE(Matches(LoadTest(Row("URL", "x", 0x084)), L"y"));
  // A row without a string value fails, negated or not.
  CQilVariant none;
  EXPECT_FALSE(Config().MatchSpecifierRow(Element(L"y"), CQilBstr(L"id"), none, 0x004));
  EXPECT_TRUE(Config().MatchSpecifierRow(Element(L"y"), CQilBstr(L"id"), CQilVariant(L"x"), 0x004));
  // Nothing to match against.
  LONG any = LoadTest(Row("id", "y", 0));
  EXPECT_FALSE(Config().MatchSpecifier(nullptr, any));
  EXPECT_FALSE(Config().MatchSpecifier(Element(L"y"), 99));
  EXPECT_FALSE(Config().MatchSpecifier(Element(L"y"), -1));
}

TEST_F(SpecifierMatchTest, EverySpecifierRowMustHold) {
  LONG both = LoadTest(Row("id", "MyGrid1", 0) + Row("rules", "ALL", 0x028));
  EXPECT_TRUE(Matches(both, L"MyGrid1"));
  LONG second = LoadTest(Row("id", "MyGrid1", 0) + Row("rules", "rows", 0x020));
  EXPECT_FALSE(Matches(second, L"MyGrid1"));
  // The empty specifier matches nothing.
  EXPECT_FALSE(Matches(0, L"MyGrid1"));
}

TEST_F(SpecifierMatchTest, SpecifierReferences) {
  std::string rules = "<Specifier Name=\"Grid_Rules\">" + Row("rules", "", 0x022) + "</Specifier>";
  LONG grid = LoadTest(Row("id", "Grid", 0x408) + Row("", "Grid_Rules", 0x040), rules);
  EXPECT_TRUE(Matches(grid, L"MyGrid1"));
  EXPECT_FALSE(Matches(grid, L"mygrid1")); // no rules attribute
  LONG unknown = LoadTest(Row("", "NoSuch", 0x040));
  EXPECT_FALSE(Matches(unknown, L"MyGrid1"));
  LONG either = LoadTest(Row("", "NoSuch|Grid_Rules", 0x050), rules);
  EXPECT_TRUE(Matches(either, L"MyGrid1"));
  LONG none = LoadTest(Row("", "Grid_Rules", 0x044), rules);
  EXPECT_FALSE(Matches(none, L"MyGrid1"));
  EXPECT_TRUE(Matches(none, L"mygrid1"));
  // A shared specifier reached twice is fine.
  LONG twice = LoadTest(Row("x", "Grid_Rules", 0x040) + Row("y", "Grid_Rules", 0x040), rules);
  EXPECT_TRUE(Matches(twice, L"MyGrid1"));
}

TEST_F(SpecifierMatchTest, CyclesOfReferencesMatchNothing) {
  LONG self = LoadTest(Row("id", "MyGrid1", 0) + Row("", "Test", 0x040));
  EXPECT_FALSE(Matches(self, L"MyGrid1"));
  // Negation does not turn a cycle into a match.
  LONG negated = LoadTest(Row("", "Test", 0x044));
  EXPECT_FALSE(Matches(negated, L"MyGrid1"));
  std::string loop = "<Specifier Name=\"B\">" + Row("", "C", 0x040) + "</Specifier>" +
                     "<Specifier Name=\"C\">" + Row("", "x|Test", 0x054) + "</Specifier>";
  LONG through = LoadTest(Row("id", "MyGrid1", 0) + Row("", "B", 0x040), loop);
  EXPECT_FALSE(Matches(through, L"MyGrid1"));
  // Each match starts afresh.
  LONG fine = LoadTest(Row("id", "MyGrid1", 0));
  EXPECT_TRUE(Matches(fine, L"MyGrid1"));
}

TEST_F(SpecifierMatchTest, ChainsBeyondTheDepthBoundMatchNothing) {
  auto chain = [](int length) {
    std::string xml;
    for (int i = 1; i < length; ++i)
      xml += "<Specifier Name=\"S" + std::to_string(i) + "\">" +
             Row("", "S" + std::to_string(i + 1), 0x040) + "</Specifier>";
    return xml + "<Specifier Name=\"S" + std::to_string(length) + "\">" + Row("id", "y", 0) +
           "</Specifier>";
  };
  LONG within = LoadTest(Row("", "S1", 0x040), chain(kSpecMaxReferenceDepth - 1));
  EXPECT_TRUE(Matches(within, L"y"));
  LONG beyond = LoadTest(Row("", "S1", 0x040), chain(kSpecMaxReferenceDepth));
  EXPECT_FALSE(Matches(beyond, L"y"));
}

// The configuration document shipped beside tallowick, on DataGrids as ASP.NET renders them.
TEST_F(SpecifierMatchTest, ShippedDocumentRecognisesRenderedDataGrids) {
  ASSERT_EQ(
      Config().LoadFromFile(TALLOWICK_SOURCE_DIR L"/examples/config/WebFormsConfiguration.xml"),
      S_OK);
  CQilComPtr<IHTMLDocument2> page;
  ASSERT_EQ(tallowick::platform::LoadPageFromFile(
                TALLOWICK_SOURCE_DIR L"/examples/pages/datagrid.html", L"", &page),
            S_OK);
  CQilComPtr<IHTMLDocument3> page3;
  page3.QueryFrom(page);
  CQilComPtr<IHTMLElement> grid;
  page3->getElementById(CQilBstr(L"DataGrid1"), &grid);
  ASSERT_TRUE(grid);
  EXPECT_TRUE(Config().MatchSpecifier(grid, 1));
  EXPECT_FALSE(Config().MatchSpecifier(grid, 0)); // Grid_Main is empty
  CQilBstr rules;
  EXPECT_EQ(Config().GetPropertyValue(1, L"rules", &rules), S_OK);

  ASSERT_EQ(tallowick::platform::LoadPageFromString(
                R"(<table id="h" rules="rows"></table><table id="v" rules="cols"></table>
<table id="n" border="0"></table><table id="g" rules="groups"></table>)",
                L"http://example.test/g.aspx", &document_),
            S_OK);
  EXPECT_TRUE(Matches(1, L"h"));
  EXPECT_TRUE(Matches(1, L"v"));
  EXPECT_TRUE(Matches(1, L"n"));
  EXPECT_FALSE(Matches(1, L"g"));
}

} // namespace
