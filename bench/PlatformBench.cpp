// Costs of the platform calls the kit makes on every element and attribute:
// variant conversions, BSTR traffic, registry reads and in-process activation.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void VariantStringToLong(benchmark::State &state) {
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocString(L" 12345 ");
  for (auto _ : state) {
    VARIANT target;
    VariantInit(&target);
    VariantChangeType(&target, &source, 0, VT_I4);
    benchmark::DoNotOptimize(target.lVal);
  }
  VariantClear(&source);
}
BENCHMARK(VariantStringToLong);

void BstrRoundTrip(benchmark::State &state) {
  std::wstring text(static_cast<size_t>(state.range(0)), L'x');
  for (auto _ : state) {
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    benchmark::DoNotOptimize(SysStringLen(copy));
    SysFreeString(copy);
  }
}
BENCHMARK(BstrRoundTrip)->Arg(16)->Arg(1024);

// A registry file of a few hundred keys, read as activation reads it.
class RegistryFile {
public:
  RegistryFile() {
    path_ = std::filesystem::temp_directory_path() /
            ("tallowick-bench-" + std::to_string(getpid()) + ".reg");
    setenv("TALLOWICK_REGISTRY", path_.c_str(), 1);
    for (int i = 0; i < 300; ++i) {
      std::wstring key = L"CLSID\\{00000000-0000-0000-0000-" + std::to_wstring(100000000000 + i) +
                         L"}\\InprocServer32";
      HKEY handle = nullptr;
      RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &handle, nullptr);
      const wchar_t value[] = L"libServer.so";
      RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                     sizeof value);
      RegCloseKey(handle);
    }
  }
  ~RegistryFile() {
    std::filesystem::remove(path_);
    std::filesystem::remove(path_.string() + ".lock");
  }

private:
  std::filesystem::path path_;
};

void RegistryReadServerPath(benchmark::State &state) {
  RegistryFile file;
  for (auto _ : state) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CLASSES_ROOT,
                  L"CLSID\\{00000000-0000-0000-0000-100000000150}\\InprocServer32", 0, KEY_READ,
                  &key);
    WCHAR buffer[MAX_PATH];
    DWORD size = sizeof buffer;
    RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    benchmark::DoNotOptimize(buffer[0]);
  }
}
BENCHMARK(RegistryReadServerPath);

} // namespace
