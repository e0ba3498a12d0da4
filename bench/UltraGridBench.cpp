// The grid object's table data request on a grid of 1,000 rows × 10 columns
// rendered by the page-side client library, and its parts measured alone:
// the row lookups the request evaluates, and the cell calls it makes.
#include <windows.h>

#include <mshtml.h>
#include <tallowick/Page.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TallowickHost.h"
#include "controls/WfUltraGrid.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilDispatchDriver.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"

namespace {

constexpr int kRows = 1000;
constexpr int kColumns = 10;

std::string GridPage() {
  std::string rows;
  for (int r = 0; r < kRows; ++r) {
    rows += r > 0 ? ",{cells:[" : "{cells:[";
    for (int c = 0; c < kColumns; ++c)
      rows += (c > 0 ? ",\"" : "\"") + std::to_string(r) + ":" + std::to_string(c) + "\"";
    rows += "]}";
  }
  std::string columns;
  for (int c = 0; c < kColumns; ++c)
    columns += (c > 0 ? ",{key:\"C" : "{key:\"C") + std::to_string(c) + "\"}";
  return "<html><head><script src=\"scripts/ultragrid.js\"></script></head><body>"
         "<div id=\"holder\"></div><script>igtbl_renderGrid(\"G1\", {bands: [{key: \"B\", "
         "columns: [" +
         columns + "]}], rows: [" + rows + "]}, \"holder\");</script></body></html>";
}

class Fixture {
public:
  Fixture() {
    folder_ = std::filesystem::temp_directory_path() /
              ("tallowick-ultragrid-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    setenv("TALLOWICK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
    CoInitialize(nullptr);
    HMODULE host = LoadLibraryW(kHostModule);
    auto registerServer = host != nullptr
                              ? reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(
                                    GetProcAddress(host, "DllRegisterServer")))
                              : nullptr;
    if (registerServer != nullptr)
      registerServer();
    HostServices::EnsureAgentServices();
    std::wstring url =
        std::wstring(L"file://") + TALLOWICK_SOURCE_DIR + L"/examples/pages/bench-grid.html";
    tallowick::platform::LoadPageFromString(GridPage(), url.c_str(), &document_);
    CQilComPtr<IHTMLDocument3> document3;
    CQilComPtr<IHTMLElement> table;
    document3.QueryFrom(document_);
    if (document3)
      document3->getElementById(CQilBstr(L"G1_main"), &table);
    if (table)
      CreateWebObject<CWfUltraGrid>(&grid_, table.Get(), nullptr);
    CQilComPtr<IHTMLWindow2> window;
    if (document_ && SUCCEEDED(document_->get_parentWindow(&window)))
      window_.QueryFrom(window);
    if (host != nullptr)
      FreeLibrary(host);
  }
  ~Fixture() {
    window_.Release();
    grid_.Release();
    document_.Release();
    HostServices::ReleaseAgentServices();
    HostServices::ReleaseFactories();
    CoUninitialize();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  IWebObj2 *Grid() const { return grid_; }
  CQilVariant Eval(const std::wstring &script) const {
    CQilVariant argument(script.c_str());
    CQilVariant result;
    CallNamedMethod1(window_, L"eval", &argument, &result, nullptr, nullptr);
    return result;
  }

private:
  std::filesystem::path folder_;
  CQilComPtr<IHTMLDocument2> document_;
  CQilComPtr<IWebObj2> grid_;
  CQilComPtr<IDispatch> window_;
};

Fixture &Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_UltraGridTableData(benchmark::State &state) {
  Fixture &fixture = Shared();
  if (fixture.Grid() == nullptr) {
    state.SkipWithError("no grid");
    return;
  }
  for (auto _ : state) {
    CQilComPtr<IWebInfo> request = HostServices::NewWebInfo();
    IWebInfo *raw = request;
    HRESULT hr = fixture.Grid()->InvokeMethod(GET_TABLE_DATA, &raw);
    LONG rows = 0;
    request->GetLongValueByName(66, &rows);
    if (hr != S_OK || rows != kRows) {
      state.SkipWithError("GET_TABLE_DATA failed");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRows * kColumns); // cells per second
}
BENCHMARK(BM_UltraGridTableData)->Unit(benchmark::kMillisecond);

// The row lookups alone: one eval of igtbl_getRowById a row.
void BM_UltraGridRowLookups(benchmark::State &state) {
  Fixture &fixture = Shared();
  for (auto _ : state) {
    for (int r = 0; r < kRows; ++r) {
      CQilVariant row = fixture.Eval(L"igtbl_getRowById('G1r_" + std::to_wstring(r) + L"')");
      benchmark::DoNotOptimize(row.vt);
    }
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_UltraGridRowLookups)->Unit(benchmark::kMillisecond);

// The cell calls alone: getCell and getValue through IDispatch on row 0.
void BM_UltraGridCellCalls(benchmark::State &state) {
  Fixture &fixture = Shared();
  CQilVariant row = fixture.Eval(L"igtbl_getRowById('G1r_0')");
  if (row.vt != VT_DISPATCH) {
    state.SkipWithError("no row");
    return;
  }
  for (auto _ : state) {
    for (int i = 0; i < kRows * kColumns; ++i) {
      CQilVariant index(static_cast<LONG>(i % kColumns));
      CQilVariant cell;
      CQilVariant value;
      CallNamedMethod1(row.pdispVal, L"getCell", &index, &cell, nullptr, nullptr);
      if (cell.vt == VT_DISPATCH)
        CallNamedMethod0(cell.pdispVal, L"getValue", &value, nullptr, nullptr);
      benchmark::DoNotOptimize(value.vt);
    }
  }
  state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_UltraGridCellCalls)->Unit(benchmark::kMillisecond);

} // namespace
