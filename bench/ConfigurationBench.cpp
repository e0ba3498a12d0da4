// The configuration document at scale: loading a document of a thousand
// specifiers, and matching a page element against them, including a
// specifier that refers to itself.
#include <windows.h>

#include <mshtml.h>
#include <tallowick/Page.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilUtils.h"
#include "webobj/IEConfigurationObject.h"

namespace {

constexpr int kSpecifiers = 1000;

std::string Property(const std::string &name, const std::string &value, int flags) {
  return "<Property Name=\"" + name + "\" Value=\"" + value + "\" Flags=\"" +
         std::to_string(flags) + "\"/>";
}

// Grid_Main refers to every other specifier as alternatives (the last one
// holds); each specifier S<i> has a few rows of every kind; "Loop" refers to
// itself; "Chain" walks S1 to S40 through references.
std::string Document() {
  std::string xml = "<Config><Specifier Name=\"Grid_Main\">";
  std::string all;
  for (int i = 1; i < kSpecifiers; ++i)
    all += (i > 1 ? "|S" : "S") + std::to_string(i);
  xml += Property("", all, 0x050) + "</Specifier>";
  for (int i = 1; i < kSpecifiers; ++i) {
    bool last = i == kSpecifiers - 1;
    xml += "<Specifier Name=\"S" + std::to_string(i) + "\">";
    xml += Property("rules", "", 0x022);
    xml += Property("className", "datagrid", 0x008);
    xml += Property("id", last ? "Grid" : "Grid" + std::to_string(i), 0x400);
    xml += Property("tagName", "T.*E", 0x001);
    xml += "</Specifier>";
  }
  xml += "<Specifier Name=\"Loop\">" + Property("rules", "", 0x022) + Property("", "Loop", 0x040) +
         "</Specifier>";
  xml += "<Specifier Name=\"Chain\">" + Property("", "C1", 0x040) + "</Specifier>";
  for (int i = 1; i <= 40; ++i)
    xml += "<Specifier Name=\"C" + std::to_string(i) + "\">" +
           (i < 40 ? Property("", "C" + std::to_string(i + 1), 0x040)
                   : Property("rules", "all", 0x028)) +
           "</Specifier>";
  return xml + "</Config>";
}

class Fixture {
public:
  Fixture() {
    folder_ = std::filesystem::temp_directory_path() /
              ("tallowick-config-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    setenv("TALLOWICK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
    CoInitialize(nullptr);
    path_ = (folder_ / "config.xml").wstring();
    std::ofstream(folder_ / "config.xml") << Document();
    tallowick::platform::LoadPageFromString(
        "<form><table id=\"DataGrid\" class=\"DataGrid\" rules=\"all\"><tr><td>1</td></tr>"
        "</table></form>",
        L"http://example.test/grid.aspx", &document_);
    CQilComPtr<IHTMLDocument3> document3;
    document3.QueryFrom(document_);
    if (document3)
      document3->getElementById(CQilBstr(L"DataGrid"), &grid_);
  }
  ~Fixture() {
    grid_.Release();
    document_.Release();
    ReleaseTextMatcher();
    CoUninitialize();
    std::filesystem::remove_all(folder_);
  }
  const std::wstring &Path() const { return path_; }
  IHTMLElement *Grid() const { return grid_; }

private:
  std::filesystem::path folder_;
  std::wstring path_;
  CQilComPtr<IHTMLDocument2> document_;
  CQilComPtr<IHTMLElement> grid_;
};

Fixture &Shared() {
  static Fixture fixture;
  return fixture;
}

void Prepare(CIEConfigurationObject &config) {
  config.Reserve(2);
  config.SetSpecifierIndex(L"Grid_Main", 0);
  config.SetSpecifierIndex(L"Grid_Rules", 1);
}

void LoadThousandSpecifiers(benchmark::State &state) {
  Fixture &fixture = Shared();
  for (auto _ : state) {
    CIEConfigurationObject config;
    Prepare(config);
    if (config.LoadFromFile(fixture.Path().c_str()) != S_OK)
      state.SkipWithError("the document did not load");
    benchmark::DoNotOptimize(config.GetSpecifierCount());
  }
}
BENCHMARK(LoadThousandSpecifiers)->Unit(benchmark::kMillisecond);

// Matches a named specifier of the loaded document; the answer must be `expected`.
void MatchNamed(benchmark::State &state, LPCOLESTR name, bool expected) {
  Fixture &fixture = Shared();
  CIEConfigurationObject config;
  Prepare(config);
  LONG index = -1;
  if (config.LoadFromFile(fixture.Path().c_str()) != S_OK || fixture.Grid() == nullptr ||
      FAILED(config.GetSpecifierIndex(CQilBstr(name), &index))) {
    state.SkipWithError("no document or page");
    return;
  }
  for (auto _ : state) {
    bool matched = config.MatchSpecifier(fixture.Grid(), index);
    if (matched != expected)
      state.SkipWithError("unexpected answer");
    benchmark::DoNotOptimize(matched);
  }
}

void MatchAcrossThousandSpecifiers(benchmark::State &state) {
  MatchNamed(state, L"Grid_Main", true);
}
BENCHMARK(MatchAcrossThousandSpecifiers)->Unit(benchmark::kMillisecond);

void MatchSelfReferencingSpecifier(benchmark::State &state) { MatchNamed(state, L"Loop", false); }
BENCHMARK(MatchSelfReferencingSpecifier);

void MatchChainOfReferences(benchmark::State &state) { MatchNamed(state, L"Chain", true); }
BENCHMARK(MatchChainOfReferences);

} // namespace
