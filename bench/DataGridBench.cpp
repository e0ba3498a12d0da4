// A large DataGrid read whole: GET_TABLE_DATA of the grid object in the
// host's object tree against reading every cell's inner text directly
// through the DOM, on the same page in the same run.
#include <windows.h>

#include <mshtml.h>
#include <tallowick/Page.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TallowickHost.h"
#include "kit/TallowickIE.h"
#include "recognition/TallowickFactoryIE.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"

namespace {

constexpr LONG kRows = 10000; // the header row included
constexpr LONG kColumns = 10;
constexpr LONG kGridClass = 1029;

// Rows as System.Web writes a DataGrid's: a header row, then items.
std::string GridPage() {
  std::string html = "<html><body><form name=\"Form1\" method=\"post\" action=\"Big.aspx\" "
                     "id=\"Form1\">\n<table cellspacing=\"0\" rules=\"all\" border=\"1\" "
                     "id=\"DataGrid1\" style=\"border-collapse:collapse;\">\n";
  html.reserve(static_cast<size_t>(kRows) * kColumns * 24);
  for (LONG r = 0; r < kRows; ++r) {
    html += "\t<tr>\n\t\t";
    for (LONG c = 0; c < kColumns; ++c) {
      html += "<td>";
      html += r == 0 ? "Column " + std::to_string(c) : std::to_string(r * kColumns + c);
      html += "</td>";
    }
    html += "\n\t</tr>";
  }
  return html + "\n</table></form></body></html>";
}

// The per-run registry's folder, removed at exit.
struct TempFolder {
  TempFolder()
      : path(std::filesystem::temp_directory_path() /
             ("tallowick-datagrid-bench-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
  std::filesystem::path path;
};

// The host with the kit's factory and a browser showing the grid page, and
// the grid's object.
class Fixture {
public:
  Fixture() {
    static TempFolder folder;
    setenv("TALLOWICK_REGISTRY", (folder.path / "registry.reg").c_str(), 1);
    CoInitialize(nullptr);
    if (!RegisterHost())
      return;
    HostServices::EnsureAgentServices();
    for (const KitWebClass &webClass : kKitWebClasses)
      HostServices::RegisterWebClass(webClass.id, CQilBstr(webClass.name));
    CLSID clsid{};
    CQilComPtr<IWIKitFactoryEx> factory;
    if (FAILED(CLSIDFromProgID(kBrowserProgID, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWIHostBrowser),
                                reinterpret_cast<void **>(&browser_))) ||
        FAILED(CTallowickFactoryIE::Create(nullptr, IID_IWIKitFactoryEx,
                                           reinterpret_cast<void **>(&factory))) ||
        FAILED(browser_->AddKitFactory(factory, kTallowickKitId)) ||
        FAILED(tallowick::platform::LoadPageFromString(GridPage(), L"http://bench/Big.aspx",
                                                       &document_)) ||
        FAILED(browser_->SetDocument(document_)))
      return;
    CQilComPtr<IHTMLDocument3> document3;
    CQilComPtr<IWebObj2> page;
    CQilComPtr<IWebObj2> frame;
    if (FAILED(document3.QueryFrom(document_)) || !document3 ||
        FAILED(document3->getElementById(CQilBstr(L"DataGrid1"), &table_)) || !table_ ||
        FAILED(browser_->GetPageAO(&page)) || !page || FAILED(page->GetChild(0, &frame)))
      return;
    CQilComPtr<IWebObj2> grid = HostServices::GetHostAO(table_, frame, VARIANT_FALSE);
    LONG webClass = 0;
    if (grid && SUCCEEDED(grid->GetRecordableClass(&webClass)) && webClass == kGridClass)
      grid_ = grid;
  }
  IWebObj2 *Grid() const { return grid_; }
  IHTMLElement *Table() const { return table_; }

private:
  static bool RegisterHost() {
    HMODULE host = LoadLibraryW(kHostModule);
    if (host == nullptr)
      return false;
    auto registerServer = reinterpret_cast<HRESULT (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(host, "DllRegisterServer")));
    bool registered = registerServer != nullptr && registerServer() == S_OK;
    FreeLibrary(host);
    return registered;
  }

  CQilComPtr<IWIHostBrowser> browser_;
  CQilComPtr<IHTMLDocument2> document_;
  CQilComPtr<IHTMLElement> table_;
  CQilComPtr<IWebObj2> grid_;
};

// Kept to the end of the process: dropping a tree of a hundred thousand
// objects costs the host far more than the whole run.
Fixture &Shared() {
  static Fixture *fixture = new Fixture;
  return *fixture;
}

void BM_GetTableData(benchmark::State &state) {
  IWebObj2 *grid = Shared().Grid();
  if (grid == nullptr) {
    state.SkipWithError("no DataGrid object for the table");
    return;
  }
  for (auto _ : state) {
    CQilComPtr<IWebInfo> request = HostServices::NewWebInfo();
    IWebInfo *info = request;
    HRESULT found = grid->InvokeMethod(GET_TABLE_DATA, &info);
    LONG rows = 0;
    LONG columns = 0;
    request->GetLongValueByName(66, &rows);
    request->GetLongValueByName(606, &columns);
    if (found != 1 || request->GetReturnValue() != S_OK || rows != kRows || columns != kColumns) {
      state.SkipWithError("GET_TABLE_DATA did not read the whole grid");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_GetTableData)->Unit(benchmark::kMillisecond);

// The items of a collection through its enumerator, in order.
template <class Visit> LONG ForEachItem(IHTMLElementCollection *collection, Visit visit) {
  CQilComPtr<IUnknown> unknown;
  CQilComPtr<IEnumVARIANT> items;
  if (collection == nullptr || FAILED(collection->get__newEnum(&unknown)) ||
      FAILED(items.QueryFrom(unknown)) || !items)
    return 0;
  LONG count = 0;
  for (;;) {
    CQilVariant item;
    ULONG fetched = 0;
    if (items->Next(1, &item, &fetched) != S_OK || fetched != 1)
      return count;
    ++count;
    if (item.vt == VT_DISPATCH)
      visit(item.pdispVal);
  }
}

// Every cell's innerText through IHTMLTable rows and IHTMLTableRow cells,
// each collection enumerated once.
void BM_DirectInnerText(benchmark::State &state) {
  CQilComPtr<IHTMLTable> table;
  if (FAILED(table.QueryFrom(Shared().Table())) || !table) {
    state.SkipWithError("no table");
    return;
  }
  for (auto _ : state) {
    CQilComPtr<IHTMLElementCollection> rows;
    LONG cellsRead = 0;
    table->get_rows(&rows);
    ForEachItem(rows, [&](IDispatch *rowItem) {
      CQilComPtr<IHTMLTableRow> row;
      CQilComPtr<IHTMLElementCollection> cells;
      if (FAILED(row.QueryFrom(rowItem)) || !row || FAILED(row->get_cells(&cells)))
        return;
      ForEachItem(cells, [&](IDispatch *cellItem) {
        CQilComPtr<IHTMLElement> cell;
        CQilBstr text;
        if (SUCCEEDED(cell.QueryFrom(cellItem)) && cell && SUCCEEDED(cell->get_innerText(&text)))
          ++cellsRead;
        benchmark::DoNotOptimize(text.Get());
      });
    });
    if (cellsRead != kRows * kColumns) {
      state.SkipWithError("not every cell was read");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_DirectInnerText)->Unit(benchmark::kMillisecond);

} // namespace
